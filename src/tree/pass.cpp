// The visibility pass: find the camera zone, hide everything and flood out
// from it; without one, frustum-test the top level. Walks use the sibling and
// parent links or the reserved flood stack, never the machine stack, and the
// pass allocates nothing.
#include "tree/tree.h"

// For the few steps every node of a pass goes through: the compiler would
// keep them as calls, and the call costs as much as the step.
#define TARVO_PASS_STEP [[gnu::always_inline]] inline

namespace tarvo {
namespace {

enum FloodPhase : uint8_t {
    kPortals,       // next: the portal at portalCursor
    kAfterOpening,  // the opening of the portal at portalCursor has been culled
    kTopLevel,      // culling the top level for a portal with a zero side
    kChildren,      // culling children from nextNode on
};

PassEvent passEvent(PassEventKind kind, NodeIndex node) {
    PassEvent event;
    event.kind = kind;
    event.node = node;
    return event;
}

}  // namespace

// The switch every visibility decision ends in, kept beside the pass so that
// its loops take it inline. Sets the flag even without attachments, and
// calls the host again for a node already in that state: the switch looks at
// nothing else.
TARVO_PASS_STEP void Tree::switchOne(NodeIndex index, bool show) {
    OtNode& n = nodes_[index];
    n.visible = show ? 1 : 0;
    const std::span<const OtAttachment> attached = attachments_.of(index);
    if (show) {
        for (const OtAttachment& a : attached) {
            if (a.limb == -1) {
                host_.excludeOff(a.object);
                host_.show(a.object);
            } else {
                host_.showLimb(a.object, a.limb);
            }
        }
        return;
    }
    for (const OtAttachment& a : attached) {
        if (a.limb == -1) {
            host_.hide(a.object);
            host_.excludeOn(a.object);
        } else {
            host_.hideLimb(a.object, a.limb);
        }
    }
}

void Tree::switchNode(Handle node, bool show) {
    const NodeIndex index = nodeIndex(node);
    if (index != kNone) switchOne(index, show);
}

// Pre-order over the subtree (the root first, then each child's subtree in
// turn), walked through the sibling links rather than the machine stack.
void Tree::switchDescendants(NodeIndex root, bool show, bool includeRoot) {
    if (includeRoot) switchOne(root, show);
    NodeIndex n = nodes_[root].firstChild;
    if (n == kNone) return;
    while (true) {
        switchOne(n, show);
        if (nodes_[n].firstChild != kNone) {
            n = nodes_[n].firstChild;
            continue;
        }
        while (nodes_[n].nextSibling == kNone) {
            n = nodes_[n].parent;
            if (n == root) return;
        }
        n = nodes_[n].nextSibling;
    }
}

PassEvent Tree::metEvent(NodeIndex node, const Origin& origin, CullOutcome outcome, int plane) {
    PassEvent event = passEvent(PassEventKind::kCullNode, node);
    event.reach = origin.reach;
    event.outcome = outcome;
    event.plane = static_cast<int8_t>(plane);
    event.from = origin.from;
    event.portal = origin.portal;
    return event;
}

void Tree::updateFrustum(int32_t camera) {
    OtCameraRef ref{};
    if (host_.findCamera(camera, &ref)) setFrustumFromCamera(frustum_, ref);
}

TARVO_PASS_STEP int Tree::rejectingPlane(const OtNode& n) const {
    switch (n.kind) {
        case kBox:
            return boxRejectingPlane(frustum_, &n.cornerA.x);
        case kSphere:
            return sphereRejectingPlane(frustum_, n.cornerA, n.radius);
        case kPoint:
            return sphereRejectingPlane(frustum_, n.cornerA, 0.0f);
        default:
            return kPlaneCount;
    }
}

bool Tree::testCameraInside(OtNode& n) {
    bool inside = false;
    if (n.kind == kBox) inside = cameraInBox(frustum_, n.cornerA, n.cornerB);
    if (n.kind == kSphere) inside = cameraInSphere(frustum_, n.cornerA, n.radius);
    n.cameraInside = inside ? passEpoch_ : 0;
    return inside;
}

// A new pass epoch clears every node's pass flags at once: a flag counts only
// when it holds the current epoch. Every 255 passes the bytes are really
// cleared so that an old epoch can never come back.
void Tree::clearPassFlags() {
    if (++passEpoch_ != 0) return;
    for (OtNode& n : nodes_) {
        n.mark = 0;
        n.cameraInside = 0;
    }
    passEpoch_ = 1;
}

// Lists the zones in post-order (children before parents, top-level nodes in
// order): the order the camera search tries them.
void Tree::rebuildZoneOrder() {
    zoneOrder_.clear();
    zoneOrderStale_ = false;
    auto leftmostLeaf = [&](NodeIndex n) {
        while (nodes_[n].firstChild != kNone) n = nodes_[n].firstChild;
        return n;
    };
    if (nodes_[kRoot].firstChild == kNone) return;
    NodeIndex n = leftmostLeaf(nodes_[kRoot].firstChild);
    while (n != kRoot) {
        const OtNode& node = nodes_[n];
        if (node.role == kZone) zoneOrder_.push_back(n);
        n = node.nextSibling != kNone ? leftmostLeaf(node.nextSibling) : node.parent;
    }
}

// Tries the zones in search order for the deepest one holding the camera; a
// zone no deeper than the best so far is not tested.
NodeIndex Tree::clearAndFindCameraZone() {
    clearPassFlags();
    if (zoneCount_ == 0 || frustum_.cameraRecord.position == nullptr) return kNone;
    if (zoneOrderStale_) rebuildZoneOrder();
    NodeIndex best = kNone;
    for (const NodeIndex z : zoneOrder_) {
        OtNode& node = nodes_[z];
        if (best != kNone && node.depth <= nodes_[best].depth) continue;
        const bool inside = testCameraInside(node);
        if (observer_) [[unlikely]] {
            PassEvent event = passEvent(PassEventKind::kZoneTested, z);
            event.inside = inside;
            report(event);
        }
        if (inside) best = z;
    }
    return best;
}

TARVO_PASS_STEP void Tree::hideSubtreeInPass(NodeIndex root) {
    if (observer_) [[unlikely]]
        reportSubtreeHidden(root);
    if (nodes_[root].firstChild == kNone) {
        switchOne(root, false);
    } else {
        switchDescendants(root, false, true);
    }
}

// True when the node is to be flooded. Marks before looking at the role, so
// inert nodes are dealt with once too.
TARVO_PASS_STEP bool Tree::cullNode(NodeIndex index, const Origin& origin) {
    OtNode& n = nodes_[index];
    if (n.mark == passEpoch_) {
        if (observer_) [[unlikely]]
            report(metEvent(index, origin, CullOutcome::kAlreadyHandled));
        return false;
    }
    n.mark = passEpoch_;
    if (n.role != kNormal && n.role != kZone) {
        if (observer_) [[unlikely]]
            report(metEvent(index, origin, CullOutcome::kInert));
        return false;
    }
    const int plane = rejectingPlane(n);
    if (plane == kPlaneCount) {
        if (observer_) [[unlikely]]
            report(metEvent(index, origin, CullOutcome::kInView));
        return true;
    }
    if (observer_) [[unlikely]]
        report(metEvent(index, origin, CullOutcome::kOutOfView, plane));
    hideSubtreeInPass(index);
    return false;
}

void Tree::reportSubtreeHidden(NodeIndex root) {
    scratchNodes_.clear();
    collectSubtree(root, scratchNodes_);
    for (NodeIndex n : scratchNodes_) {
        PassEvent event = passEvent(PassEventKind::kSubtreeHidden, n);
        event.from = root;
        report(event);
    }
    scratchNodes_.clear();
}

// A far node is flooded as though the camera were inside it. A node with no
// portals and no children to walk is done once shown, without a frame.
TARVO_PASS_STEP void Tree::enterFlood(NodeIndex index, bool asFarNode) {
    OtNode& n = nodes_[index];
    n.mark = passEpoch_;
    switchOne(index, true);
    const bool walksChildren = asFarNode || n.cameraInside == passEpoch_ || n.role != kZone;
    if (observer_) [[unlikely]] {
        report(passEvent(PassEventKind::kFlood, index));
        if (!walksChildren && n.firstChild != kNone) {
            report(passEvent(PassEventKind::kChildrenKept, index));
        }
    }
    if (zonePortals(index).empty() && (n.firstChild == kNone || !walksChildren)) return;
    FloodFrame frame{index, kNone, 0, kPortals, 0, 0};
    if (asFarNode) {
        frame.isFarNode = 1;
        frame.restoreInside = n.cameraInside == passEpoch_ ? 1 : 0;
        n.cameraInside = passEpoch_;
    }
    floodStack_.push_back(frame);
}

void Tree::stepPortal(FloodFrame& frame) {
    const std::vector<PortalIndex>& portals = zonePortals(frame.node);
    if (frame.portalCursor == portals.size()) {
        // Children are walked unless this is a zone the camera is not in.
        const OtNode& n = nodes_[frame.node];
        const bool walk = n.cameraInside == passEpoch_ || n.role != kZone;
        frame.phase = kChildren;
        frame.nextNode = walk ? n.firstChild : kNone;
        return;
    }
    const PortalIndex portal = portals[frame.portalCursor];
    const OtPortal& p = portals_[portal];
    if (p.disabled) {
        if (observer_) [[unlikely]]
            reportPortal(frame.node, portal, PortalDecision::kDisabled);
        ++frame.portalCursor;
        return;
    }
    frame.phase = kAfterOpening;
    if (p.portalNode != kNone && cullNode(p.portalNode, {Reach::kOpening, frame.node, portal})) {
        enterFlood(p.portalNode, false);
    }
}

void Tree::stepAfterOpening(FloodFrame& frame) {
    const PortalIndex portal = zonePortals(frame.node)[frame.portalCursor];
    const OtPortal& p = portals_[portal];
    ++frame.portalCursor;
    frame.phase = kPortals;
    const NodeIndex far = p.zoneA == frame.node ? p.zoneB : p.zoneA;
    // A portal without an opening node is followed as if the opening were in
    // view: culling stays conservative.
    PortalDecision decision = PortalDecision::kFollowed;
    if (p.portalNode != kNone && nodes_[p.portalNode].visible == 0) {
        decision = PortalDecision::kOpeningHidden;
    } else if (far == kNone) {
        decision = topLevelCulled_ ? PortalDecision::kLeadsOutAgain : PortalDecision::kLeadsOut;
    } else if (nodes_[far].mark == passEpoch_) {
        decision = PortalDecision::kFarSideHandled;
    }
    if (observer_) [[unlikely]]
        reportPortal(frame.node, portal, decision);
    // Once one such portal has culled the whole top level, every top-level
    // node is marked for the rest of the pass: later ones would find nothing.
    if (decision == PortalDecision::kLeadsOut) {
        frame.phase = kTopLevel;
        frame.nextNode = nodes_[kRoot].firstChild;
    } else if (decision == PortalDecision::kFollowed) {
        if (observer_) [[unlikely]] {
            report(metEvent(far, {Reach::kFarSide, frame.node, portal}, CullOutcome::kInView,
                            kPlaneCount));
        }
        enterFlood(far, true);
    }
}

void Tree::reportPortal(NodeIndex from, PortalIndex portal, PortalDecision decision) const {
    PassEvent event = passEvent(PassEventKind::kPortal, from);
    event.decision = decision;
    event.portal = portal;
    report(event);
}

// Runs the flood from one node to completion. Each portal's far side is
// flooded completely before the next portal, and all portals before children.
void Tree::flood(NodeIndex start) {
    enterFlood(start, false);
    while (!floodStack_.empty()) {
        FloodFrame& frame = floodStack_.back();
        switch (frame.phase) {
            case kPortals:
                stepPortal(frame);
                break;
            case kAfterOpening:
                stepAfterOpening(frame);
                break;
            case kTopLevel:
            case kChildren:
                if (cullRunOfNodes(frame)) break;
                if (frame.phase == kTopLevel) {
                    topLevelCulled_ = true;
                    frame.phase = kPortals;
                    break;
                }
                if (frame.isFarNode) {
                    nodes_[frame.node].cameraInside = frame.restoreInside ? passEpoch_ : 0;
                }
                floodStack_.pop_back();
                break;
        }
    }
}

// Culls the frame's remaining children (or top-level nodes) in one run, until
// one of them needs a frame of its own; false when the run is over.
bool Tree::cullRunOfNodes(FloodFrame& frame) {
    const Origin origin =
        frame.phase == kTopLevel
            ? Origin{Reach::kLeadOut, frame.node, zonePortals(frame.node)[frame.portalCursor - 1]}
            : Origin{Reach::kChild, frame.node, kNone};
    const size_t frames = floodStack_.size();
    while (frame.nextNode != kNone) {
        const NodeIndex next = frame.nextNode;
        frame.nextNode = nodes_[next].nextSibling;
        if (cullNode(next, origin)) {
            enterFlood(next, false);
            if (floodStack_.size() != frames) return true;
        }
    }
    return false;
}

void Tree::cull(Handle start) {
    NodeIndex startIndex = kNone;
    if (start != 0) {
        startIndex = nodeIndex(start);
        if (startIndex == kNone) return;
    }
    if (observer_) [[unlikely]]
        report(passEvent(PassEventKind::kPassBegin, startIndex));
    runPass(startIndex);
    if (observer_) [[unlikely]]
        report(passEvent(PassEventKind::kPassEnd, kNone));
}

void Tree::runPass(NodeIndex startIndex) {
    topLevelCulled_ = false;
    const NodeIndex cameraZone = clearAndFindCameraZone();
    if (observer_) [[unlikely]]
        report(passEvent(PassEventKind::kCameraZone, cameraZone));
    if (cameraZone != kNone) {
        for (NodeIndex n = nodes_[kRoot].firstChild; n != kNone; n = nodes_[n].nextSibling) {
            hideSubtreeInPass(n);
        }
        if (observer_) [[unlikely]] {
            report(metEvent(cameraZone, {Reach::kCameraZone, kNone, kNone}, CullOutcome::kInView,
                            kPlaneCount));
        }
        flood(cameraZone);
        return;
    }
    if (startIndex != kNone) {
        if (cullNode(startIndex, {Reach::kStartNode, kNone, kNone})) flood(startIndex);
        return;
    }
    for (NodeIndex n = nodes_[kRoot].firstChild; n != kNone;) {
        const NodeIndex next = nodes_[n].nextSibling;
        if (cullNode(n, {Reach::kTopLevel, kNone, kNone})) flood(n);
        n = next;
    }
}

}  // namespace tarvo
