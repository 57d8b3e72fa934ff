// Which nodes' explanations may read differently after this pass than after
// the one before, so that a session explains only those: at 100,000 nodes a
// pass changes the story of a few thousand, and explaining one costs
// microseconds.
//
// A node's key holds what its explanation reads of itself: its story (see
// explain/explain.cpp) and its record (visible flag, role, parent,
// generation). The key can change only for a node the pass met (or hid
// with a subtree it rejected), one the pass before met, or one a command
// named since the pass before: a node the pass only hid with everything
// else at the start, or did not meet at all, has the same story each pass,
// and only commands change records. So only those are compared, and listed
// as candidates.
//
// What an explanation reads besides its node's key, and how a change to it
// reaches the node explained, x:
//   - its parent's story and role ("inside zone hall, which ..."): a node
//     whose part of the key its children read changed makes them stale;
//   - the story of the node whose subtree hide took x ("with the subtree of
//     lamp, which is outside the left plane"): a node whose rejection
//     changed makes its whole subtree stale;
//   - the story of the opening of the portal x was reached through: an
//     opening shown now and not before, or the other way, makes the zones of
//     its portals stale;
//   - the stories and records of x's portals, and for a top-level node
//     those of every portal that leads out: a changed portal makes its zones
//     stale, one that leads out the whole top level;
//   - the camera zone (for nodes holding the camera) and the start node of
//     a pass without one (for every node);
//   - the names of all of these: a handle a command named or whose name
//     was bound since the last pass makes stale every node whose
//     explanation can name it.
// A test explains every node at every pass of many scripts and checks that
// those left alone read the same.
#pragma once

#include <optional>
#include <vector>

#include "trace/pass_story.h"
#include "tree/handles.h"

namespace tarvo {

class StaleExplanations : public PassListener {
public:
    // Listen to the passes after story does.
    StaleExplanations(const Tree& tree, const PassStory& story) : tree_(tree), story_(story) {}
    void onPassEvent(const PassEvent& event) override;

    // A handle a command named, or whose name changed, before the next pass.
    void touch(Handle handle) {
        touched_.push_back(handle);
        pending_.push_back(handle);
    }
    // A command that may have changed the visible flags below a node, or of
    // every node (handle 0).
    void touchSubtree(Handle handle);

    // After each pass: the live nodes whose explanations may have changed,
    // each once.
    const std::vector<NodeIndex>& afterPass();
    // The live nodes compared in the last call: no other node's state or
    // story changed since the pass before.
    const std::vector<NodeIndex>& candidates() const { return candidates_; }

    // The key holds every field of the story an explanation can read: a new
    // field in NodeStory must join it.
    struct EventKey {
        bool present = false;
        Reach reach = Reach::kTopLevel;
        int8_t plane = 0;
        Handle from = 0;
        Handle portal = 0;
        bool behind = false;  // a rejection: wholly behind the near plane
        bool operator==(const EventKey&) const = default;
    };
    struct NodeKey {
        EventKey shownBy;
        EventKey rejected;
        Handle hiddenWith = 0;
        Handle parent = 0;
        int32_t role = 0;
        uint16_t generation = 0;
        LastAct last = LastAct::kNone;
        uint16_t flags = 0;  // the story's booleans, the visible flag, live, and the camera
        bool operator==(const NodeKey&) const = default;
    };
    struct PortalKey {
        NodeIndex zoneA = kNone;
        NodeIndex zoneB = kNone;
        NodeIndex opening = kNone;
        uint16_t generation = 0;
        bool live = false;
        bool disabled = false;
        bool met = false;
        PortalDecision decision = PortalDecision::kDisabled;
        bool operator==(const PortalKey&) const = default;
        bool leadsOut() const { return live && ((zoneA == kNone) != (zoneB == kNone)); }
    };

private:
    EventKey eventKey(const std::optional<PassEvent>& event, bool withPlane) const;
    Handle nodeHandle(NodeIndex index) const;
    Handle portalHandle(PortalIndex index) const;
    NodeKey nodeKey(NodeIndex index) const;
    PortalKey portalKey(PortalIndex index) const;
    void met(NodeIndex index);
    void candidate(NodeIndex index);
    void add(NodeIndex index);
    void addSubtree(NodeIndex root, bool asCandidates);
    void addPortalZones(const PortalKey& key);
    void gatherCandidates();
    void compareNodes();
    void addCameraZoneReaders();
    void comparePortals();
    void followTouched();
    Handle passContext() const;

    const Tree& tree_;
    const PassStory& story_;
    std::vector<Handle> touched_;  // since the last call
    // Touched since the call after the last pass that ran: an OT_Cull of a
    // deleted node runs none, and a node made before it then has the story
    // of a pass before it existed.
    std::vector<Handle> pending_;
    std::vector<Handle> pendingSubtrees_;
    uint32_t lastPass_ = 0;             // the story's pass number at the last call
    std::vector<NodeIndex> metNow_;     // met by the pass, in the order met
    std::vector<NodeIndex> metBefore_;  // met by the pass before
    std::vector<uint32_t> metIn_;       // by node index: the pass it was last listed as met in
    bool hidingEverything_ = false;     // between finding the camera zone and its flood
    std::vector<NodeKey> nodes_;        // by node index, as of the pass before
    std::vector<PortalKey> portals_;
    std::vector<NodeIndex> candidates_;
    std::vector<uint32_t> candidateIn_;  // by node index: the pass it was last a candidate in
    std::vector<NodeIndex> parents_;     // keys changed in what their children read
    std::vector<NodeIndex> rejections_;  // keys changed in their rejection
    std::vector<NodeIndex> openings_;    // shown in view now and not before, or the other way
    std::vector<NodeIndex> holders_;     // nodes tested and holding the camera, this pass
    std::vector<NodeIndex> keptAround_;  // zones kept with the camera in them, this pass
    std::vector<uint32_t> staleIn_;      // by node index: the pass it was last listed in
    std::vector<NodeIndex> stale_;
    uint32_t pass_ = 1;  // counts calls of afterPass, from 1
    bool everything_ = true;
    bool topLevel_ = false;
    NodeIndex cameraZone_ = kNone;  // of the pass before
    Handle context_ = 0;            // of the pass before
};

}  // namespace tarvo
