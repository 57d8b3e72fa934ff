// The culling tree: nodes with their volumes, attachments and portals, and
// the operations the commands run on them. Every public operation takes the
// handles a script gives and ignores any handle that names nothing live.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tree/attachment_pool.h"
#include "tree/frustum.h"
#include "tree/handles.h"
#include "tree/host_link.h"
#include "tree/pass_observer.h"
#include "tree/records.h"
#include "tree/slot_pool.h"

namespace tarvo {

struct Volume {
    VolumeKind kind;
    Vec3 cornerA;
    Vec3 cornerB;
    float radius;
};

// One frame of the flood walk, kept on an explicit stack so that neither deep
// trees nor long portal chains touch the machine stack.
struct FloodFrame {
    NodeIndex node;
    NodeIndex nextNode;          // next top-level node or child to cull
    uint32_t portalCursor : 24;  // position in the node's zonePortals
    uint32_t phase : 2;          // see FloodPhase in pass.cpp
    uint32_t restoreInside : 1;  // the camera was inside a far node before its flood
    uint32_t isFarNode : 1;
};
// One frame per node is reserved, so its size is part of every node's cost.
static_assert(sizeof(FloodFrame) == 12);
static_assert(kMaxIndex < (1u << 24), "a portal cursor holds any list position");

class Tree {
public:
    Tree();

    HostLink& host() { return host_; }
    const HostLink& host() const { return host_; }
    OtFrustum& frustum() { return frustum_; }
    const OtFrustum& frustum() const { return frustum_; }

    // --- nodes (handles in, handles out; 0 means none) ---
    Handle createNode(Handle parent, int32_t role, const Volume& volume);
    // A node sized to a host object (limb < 0 and wholeObject) or to one limb
    // of it, with that object or limb attached; 0 when the host lacks it.
    Handle createFitted(Handle parent, int32_t object, int32_t limb, bool wholeObject,
                        VolumeKind kind, int32_t role);
    void deleteNode(Handle node);
    void deleteAll();
    void setParent(Handle node, Handle newParent);
    Handle parentOf(Handle node) const;

    // --- volumes ---
    void setPosition(Handle node, Vec3 position);
    void setBox(Handle node, Vec3 cornerA, Vec3 cornerB);
    void setBoxSize(Handle node, Vec3 size);
    void setRadius(Handle node, float radius);
    // Each getter reads one float of a live node; 0 for anything else.
    enum class Figure {
        kPositionX,
        kPositionY,
        kPositionZ,
        kRadius,
        kWidth,
        kHeight,
        kDepth,
        kXA,
        kYA,
        kZA,
        kXB,
        kYB,
        kZB
    };
    float figure(Handle node, Figure which) const;

    // --- attachments and switches ---
    void attach(Handle node, int32_t object, int32_t limb);
    void detach(Handle node, int32_t object, int32_t limb);
    bool isVisible(Handle node) const;
    void switchNode(Handle node, bool show);
    // Handle 0 switches every top-level subtree.
    void switchSubtree(Handle node, bool show);

    // --- portals ---
    Handle addPortal(Handle zoneA, Handle zoneB, Handle portalNode);
    void removePortal(Handle portal);
    void setPortalDisabled(Handle portal, bool disabled);
    bool portalEnabled(Handle portal) const;
    enum class PortalEnd { kPortalNode, kZoneA, kZoneB };
    Handle portalEnd(Handle portal, PortalEnd which) const;

    // --- frustum and pass ---
    void updateFrustum(int32_t camera);
    void cull(Handle start);
    // Reports every decision of later passes to observer (nullptr detaches).
    void setObserver(const PassObserver* observer) { observer_ = observer; }

    // --- index-level access for the pass, tests, tools and invariant checks ---
    NodeIndex nodeIndex(Handle handle) const;  // kNone unless a live node
    PortalIndex portalIndex(Handle handle) const;
    Handle nodeHandle(NodeIndex index) const;
    Handle portalHandle(PortalIndex index) const;
    const OtNode& node(NodeIndex index) const { return nodes_[index]; }
    const OtPortal& portal(PortalIndex index) const { return portals_[index]; }
    NodeIndex nodeSlotCount() const { return static_cast<NodeIndex>(nodes_.size()); }
    PortalIndex portalSlotCount() const { return static_cast<PortalIndex>(portals_.size()); }
    std::span<const OtAttachment> attachments(NodeIndex index) const {
        return attachments_.of(index);
    }
    const std::vector<PortalIndex>& zonePortals(NodeIndex index) const {
        const uint32_t lists = nodes_[index].lists;
        return lists == kNone ? noPortals_ : lists_[lists].zonePortals;
    }
    const std::vector<PortalIndex>& ownPortals(NodeIndex index) const {
        const uint32_t lists = nodes_[index].lists;
        return lists == kNone ? noPortals_ : lists_[lists].ownPortals;
    }
    // The pass flags as the last pass left them.
    bool markedInLastPass(NodeIndex index) const { return nodes_[index].mark == passEpoch_; }
    bool cameraInsideInLastPass(NodeIndex index) const {
        return nodes_[index].cameraInside == passEpoch_;
    }
    uint32_t liveNodeCount() const { return liveNodes_; }
    uint32_t livePortalCount() const { return livePortals_; }

private:
    NodeIndex allocateNode();
    void freeNode(NodeIndex index);
    PortalIndex allocatePortal();
    void freePortal(PortalIndex index);
    NodeLists& listsFor(NodeIndex index);
    void releaseListsIfEmpty(NodeIndex index);
    void countZone(int delta);

    void appendChild(NodeIndex parent, NodeIndex child);
    void unlinkChild(NodeIndex child);
    bool isInSubtree(NodeIndex candidate, NodeIndex root) const;
    void collectSubtree(NodeIndex root, std::vector<NodeIndex>& out) const;
    void endPortalsOfDying(const std::vector<NodeIndex>& dying);

    void linkPortal(PortalIndex index);
    void unlinkPortal(PortalIndex index);

    void switchOne(NodeIndex index, bool show);
    void switchDescendants(NodeIndex root, bool show, bool includeRoot);

    // Pass pieces (pass.cpp).
    void clearPassFlags();
    NodeIndex clearAndFindCameraZone();
    void rebuildZoneOrder();
    // Where a cull step's node came from, for the observer.
    struct Origin {
        Reach reach;
        NodeIndex from;
        PortalIndex portal;
    };
    bool cullNode(NodeIndex index, const Origin& origin);
    void enterFlood(NodeIndex index, bool asFarNode);
    void hideSubtreeInPass(NodeIndex root);
    void reportSubtreeHidden(NodeIndex root);
    void report(const PassEvent& event) const { observer_->onEvent(observer_->context, event); }
    static PassEvent metEvent(NodeIndex node, const Origin& origin, CullOutcome outcome,
                              int plane = kPlaneCount);
    void reportPortal(NodeIndex from, PortalIndex portal, PortalDecision decision) const;
    void runPass(NodeIndex startIndex);
    void flood(NodeIndex start);
    void stepPortal(FloodFrame& frame);
    void stepAfterOpening(FloodFrame& frame);
    bool cullRunOfNodes(FloodFrame& frame);
    int rejectingPlane(const OtNode& n) const;  // kPlaneCount when in view
    bool testCameraInside(OtNode& n);

    std::vector<OtNode> nodes_;
    std::vector<OtPortal> portals_;
    std::vector<NodeLists> lists_;
    AttachmentPool attachments_;
    std::vector<uint32_t> freeLists_;
    SlotPool<OtNode, &OtNode::nextSibling> freeNodes_;
    SlotPool<OtPortal, &OtPortal::zoneA> freePortals_;
    uint32_t liveNodes_ = 0;
    uint32_t livePortals_ = 0;
    uint32_t zoneCount_ = 0;  // live nodes of role Zone; no search without one
    // The zones in the camera search's order (post-order). Creating or freeing
    // a zone and any reparenting make it stale; the next search rebuilds it.
    std::vector<NodeIndex> zoneOrder_;
    bool zoneOrderStale_ = true;

    // mark and cameraInside count only when they equal the current pass's epoch.
    uint8_t passEpoch_ = 1;
    bool topLevelCulled_ = false;          // a portal with a zero side has culled it all
    std::vector<FloodFrame> floodStack_;   // capacity kept >= node slots
    std::vector<NodeIndex> scratchNodes_;  // deletion work lists
    std::vector<NodeIndex> touchedNodes_;

    static inline const std::vector<PortalIndex> noPortals_{};
    HostLink host_;
    OtFrustum frustum_;
    const PassObserver* observer_ = nullptr;
};

}  // namespace tarvo
