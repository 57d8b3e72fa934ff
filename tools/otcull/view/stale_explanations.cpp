#include "view/stale_explanations.h"

#include "explain/explain.h"

namespace tarvo {
namespace {

// The keys below copy each story field by name; these sizes change when a
// field is added, so that the build stops until the key holds it too.
static_assert(sizeof(PassEvent) == 20, "a new PassEvent field: see StaleExplanations::EventKey");
static_assert(sizeof(NodeStory) == 64, "a new NodeStory field: see StaleExplanations::NodeKey");
static_assert(sizeof(PortalStory) == 16, "a new PortalStory field: see PortalKey");

constexpr uint16_t kHiddenAtStart = 1;
constexpr uint16_t kReHidden = 2;
constexpr uint16_t kInert = 4;
constexpr uint16_t kChildrenKept = 8;
constexpr uint16_t kHoldsCamera = 16;
constexpr uint16_t kVisible = 32;
constexpr uint16_t kLive = 64;
constexpr uint16_t kKeptAroundCamera = 128;  // kept, yet holding the camera

// What a node's children read of it when the pass did not reach them.
bool sameForChildren(const StaleExplanations::NodeKey& a, const StaleExplanations::NodeKey& b) {
    constexpr uint16_t kRead = kInert | kChildrenKept | kLive | kKeptAroundCamera;
    return (a.last == LastAct::kNone) == (b.last == LastAct::kNone) &&
           (a.flags & kRead) == (b.flags & kRead) && a.role == b.role;
}

}  // namespace

// Besides the nodes it hides with everything at the start, a pass with a
// camera zone meets only those it floods through; what it hides at the
// start it hides every pass.
void StaleExplanations::onPassEvent(const PassEvent& event) {
    switch (event.kind) {
        case PassEventKind::kPassBegin:
            metBefore_.swap(metNow_);
            metNow_.clear();
            hidingEverything_ = false;
            break;
        case PassEventKind::kZoneTested:
            if (event.inside) met(event.node);
            break;
        case PassEventKind::kCameraZone:
            hidingEverything_ = event.node != kNone;
            break;
        case PassEventKind::kCullNode:
            if (event.reach == Reach::kCameraZone) hidingEverything_ = false;
            met(event.node);
            break;
        case PassEventKind::kFlood:
        case PassEventKind::kChildrenKept:
            met(event.node);
            break;
        case PassEventKind::kSubtreeHidden:
            if (!hidingEverything_) met(event.node);
            break;
        case PassEventKind::kPortal:
        case PassEventKind::kPassEnd:
            break;
    }
}

void StaleExplanations::met(NodeIndex index) {
    if (metIn_.size() <= index) metIn_.resize(index + 1 + index / 8, 0);
    const uint32_t stamp = story_.passNumber();
    if (metIn_[index] == stamp) return;
    metIn_[index] = stamp;
    metNow_.push_back(index);
}

void StaleExplanations::touchSubtree(Handle handle) {
    if (handle == 0) everything_ = true;
    pendingSubtrees_.push_back(handle);
}

// A rejection's plane is its outcome; a meeting in view has none. Nodes and
// portals go by handle: a slot used again holds another name.
StaleExplanations::EventKey StaleExplanations::eventKey(const std::optional<PassEvent>& event,
                                                        bool withPlane) const {
    if (!event) return {};
    return {true, event->reach, withPlane ? event->plane : int8_t{0}, nodeHandle(event->from),
            portalHandle(event->portal)};
}

Handle StaleExplanations::nodeHandle(NodeIndex index) const {
    return index == kNone ? 0 : tree_.nodeHandle(index);
}

Handle StaleExplanations::portalHandle(PortalIndex index) const {
    return index == kNone ? 0 : tree_.portalHandle(index);
}

StaleExplanations::NodeKey StaleExplanations::nodeKey(NodeIndex index) const {
    const OtNode& n = tree_.node(index);
    if (n.state != SlotState::kLive) return {};
    const NodeStory& s = story_.node(index);
    const bool keptAround = s.childrenKept && holdsCameraOutsideCameraZone(tree_, story_, index);
    const int flags = (s.hiddenAtStart ? kHiddenAtStart : 0) | (s.reHidden ? kReHidden : 0) |
                      (s.inert ? kInert : 0) | (s.childrenKept ? kChildrenKept : 0) |
                      (s.holdsCamera ? kHoldsCamera : 0) | (n.visible != 0 ? kVisible : 0) |
                      (keptAround ? kKeptAroundCamera : 0) | kLive;
    EventKey rejected = eventKey(s.rejected, true);
    rejected.behind = rejected.present && behindCamera(tree_, story_, index);
    return {eventKey(s.shownBy, false),
            rejected,
            nodeHandle(s.hiddenWith),
            nodeHandle(n.parent),
            n.role,
            n.generation,
            s.last,
            static_cast<uint16_t>(flags)};
}

StaleExplanations::PortalKey StaleExplanations::portalKey(PortalIndex index) const {
    const OtPortal& p = tree_.portal(index);
    if (p.state != SlotState::kLive) return {};
    const PortalStory& s = story_.portal(index);
    return {p.zoneA, p.zoneB,         p.portalNode, p.generation,
            true,    p.disabled != 0, s.met,        s.met ? s.decision : PortalDecision::kDisabled};
}

// A pass without a camera zone that culls from a start node explains every
// node left alone by naming the start node; a pass with one hides every
// node at the start.
Handle StaleExplanations::passContext() const {
    const NodeIndex start = story_.startNode();
    if (story_.cameraZone() != kNone) return ~Handle{0};
    return start == kNone ? 0 : tree_.nodeHandle(start);
}

void StaleExplanations::candidate(NodeIndex index) {
    if (index == kNone || index >= candidateIn_.size()) return;
    if (tree_.node(index).state != SlotState::kLive || candidateIn_[index] == pass_) return;
    candidateIn_[index] = pass_;
    candidates_.push_back(index);
}

void StaleExplanations::add(NodeIndex index) {
    if (index == kNone || index >= staleIn_.size()) return;
    if (tree_.node(index).state != SlotState::kLive || staleIn_[index] == pass_) return;
    staleIn_[index] = pass_;
    stale_.push_back(index);
}

void StaleExplanations::addSubtree(NodeIndex root, bool asCandidates) {
    auto take = [&](NodeIndex n) { asCandidates ? candidate(n) : add(n); };
    take(root);
    NodeIndex n = tree_.node(root).firstChild;
    while (n != kNone) {
        take(n);
        if (tree_.node(n).firstChild != kNone) {
            n = tree_.node(n).firstChild;
            continue;
        }
        while (n != root && tree_.node(n).nextSibling == kNone) n = tree_.node(n).parent;
        if (n == root) return;
        n = tree_.node(n).nextSibling;
    }
}

void StaleExplanations::addPortalZones(const PortalKey& key) {
    add(key.zoneA);
    add(key.zoneB);
}

void StaleExplanations::gatherCandidates() {
    if (everything_) {
        for (NodeIndex i = 1; i < tree_.nodeSlotCount(); ++i) candidate(i);
        return;
    }
    for (const NodeIndex i : metNow_) candidate(i);
    for (const NodeIndex i : metBefore_) candidate(i);
    for (const Handle h : pending_) candidate(tree_.nodeIndex(h));
    for (const Handle h : pendingSubtrees_) {
        const NodeIndex root = tree_.nodeIndex(h);
        if (root != kNone) addSubtree(root, true);
    }
}

// Nodes holding the camera, and zones kept around it with their children,
// name the camera zone.
void StaleExplanations::addCameraZoneReaders() {
    for (const NodeIndex holder : holders_) add(holder);
    for (const NodeIndex zone : keptAround_) {
        add(zone);
        for (NodeIndex c = tree_.node(zone).firstChild; c != kNone; c = tree_.node(c).nextSibling)
            add(c);
    }
}

void StaleExplanations::compareNodes() {
    for (const NodeIndex i : candidates_) {
        const NodeKey key = nodeKey(i);
        if ((key.flags & kHoldsCamera) != 0) holders_.push_back(i);
        if ((key.flags & kKeptAroundCamera) != 0) keptAround_.push_back(i);
        const NodeKey old = nodes_[i];
        if (key == old) continue;
        nodes_[i] = key;
        add(i);
        if (!sameForChildren(key, old)) parents_.push_back(i);
        if (key.rejected.present && key.rejected != old.rejected) rejections_.push_back(i);
        if (key.shownBy.present != old.shownBy.present) openings_.push_back(i);
    }
}

// A portal's opening changes state with it.
void StaleExplanations::comparePortals() {
    if (portals_.size() < tree_.portalSlotCount()) portals_.resize(tree_.portalSlotCount());
    for (PortalIndex i = 1; i < tree_.portalSlotCount(); ++i) {
        const PortalKey key = portalKey(i);
        if (key == portals_[i]) continue;
        topLevel_ = topLevel_ || key.leadsOut() || portals_[i].leadsOut();
        addPortalZones(portals_[i]);
        addPortalZones(key);
        candidate(portals_[i].opening);
        candidate(key.opening);
        portals_[i] = key;
    }
}

// Everything whose explanation can name the handle.
void StaleExplanations::followTouched() {
    for (const Handle handle : touched_) {
        const PortalIndex portal = tree_.portalIndex(handle);
        if (portal != kNone) {
            const PortalKey& key = portals_[portal];
            addPortalZones(key);
            add(key.opening);
            topLevel_ = topLevel_ || key.leadsOut();
        }
        const NodeIndex node = tree_.nodeIndex(handle);
        if (node == kNone) continue;
        addSubtree(node, false);
        for (const PortalIndex p : tree_.zonePortals(node)) {
            addPortalZones(portals_[p]);
            add(portals_[p].opening);
            topLevel_ = topLevel_ || portals_[p].leadsOut();
        }
        for (const PortalIndex p : tree_.ownPortals(node)) {
            addPortalZones(portals_[p]);
            topLevel_ = topLevel_ || portals_[p].leadsOut();
        }
        if (node == story_.cameraZone()) {
            addCameraZoneReaders();
        }
        everything_ = everything_ || node == story_.startNode();
    }
}

const std::vector<NodeIndex>& StaleExplanations::afterPass() {
    ++pass_;
    for (auto* list :
         {&stale_, &candidates_, &parents_, &rejections_, &openings_, &holders_, &keptAround_}) {
        list->clear();
    }
    topLevel_ = false;
    const NodeIndex slots = tree_.nodeSlotCount();
    for (auto* stamps : {&staleIn_, &candidateIn_}) {
        if (stamps->size() < slots) stamps->resize(slots, 0);
    }
    if (nodes_.size() < slots) nodes_.resize(slots);
    const Handle context = passContext();
    everything_ = everything_ || context != context_;
    // Without a pass since the last call the stories are those of a tree
    // the commands since have changed: what follows a story's links back
    // through the tree no longer finds every node that read it.
    const bool noPass = story_.passNumber() == lastPass_;
    everything_ = everything_ || (noPass && !(pending_.empty() && pendingSubtrees_.empty()));
    // Candidates come in the order of the tree's slots, then of the commands
    // that named them, so that the page numbers new nodes in the order made.
    gatherCandidates();
    comparePortals();
    compareNodes();
    for (const NodeIndex x : parents_) {
        for (NodeIndex c = tree_.node(x).firstChild; c != kNone; c = tree_.node(c).nextSibling)
            add(c);
    }
    for (const NodeIndex x : rejections_) addSubtree(x, false);
    for (const NodeIndex x : openings_) {
        for (const PortalIndex p : tree_.ownPortals(x)) addPortalZones(portals_[p]);
    }
    followTouched();
    if (story_.cameraZone() != cameraZone_) {
        addCameraZoneReaders();
    }
    if (topLevel_) {
        for (NodeIndex n = tree_.node(kRoot).firstChild; n != kNone; n = tree_.node(n).nextSibling)
            add(n);
    }
    if (everything_) {
        for (NodeIndex i = 1; i < slots; ++i) add(i);
    }
    touched_.clear();
    if (story_.passNumber() != lastPass_) {
        pending_.clear();
        pendingSubtrees_.clear();
        lastPass_ = story_.passNumber();
    }
    everything_ = false;
    cameraZone_ = story_.cameraZone();
    context_ = context;
    return stale_;
}

}  // namespace tarvo
