#include "explain/explain.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "script_text.h"
#include "trace/tapped_run.h"
#include "trace/tree_walk.h"

namespace tarvo {
namespace {

constexpr const char* kPlaneNames[kPlaneCount] = {"right", "left", "bottom", "top", "far", "near"};

std::string roleText(const OtNode& n) {
    return "its role (" + std::to_string(n.role) + ") takes no part in the pass";
}

}  // namespace

std::string Explainer::name(NodeIndex node) const {
    return names_.nameOfHandle(static_cast<uint32_t>(tree_.nodeHandle(node)));
}

std::string Explainer::portalName(PortalIndex portal) const {
    return names_.nameOfHandle(static_cast<uint32_t>(tree_.portalHandle(portal)));
}

std::string Explainer::passSummary() const {
    const NodeIndex zone = story_.cameraZone();
    return zone == kNone ? "no zone holds the camera" : "camera zone " + name(zone);
}

std::string Explainer::explain(NodeIndex node) const {
    const NodeStory& story = story_.node(node);
    std::string state;
    std::string reason;
    switch (story.last) {
        case LastAct::kShown:
            state = "shown";
            reason = whyShown(node, story);
            break;
        case LastAct::kHidden:
            state = story.reHidden ? "re-hidden" : "hidden";
            reason = whyHidden(node, story);
            break;
        case LastAct::kNone:
            state = tree_.node(node).visible ? "shown" : "hidden";
            reason = "left as it was, " + whyNotReached(node);
            break;
    }
    return name(node) + ": " + state + " - " + reason;
}

std::string Explainer::howMet(const PassEvent& e) const {
    switch (e.reach) {
        case Reach::kTopLevel:
            return "at the top level";
        case Reach::kStartNode:
            return "as the start node";
        case Reach::kChild:
            return "as a child of " + name(e.from);
        case Reach::kOpening:
            return "as the opening of portal " + portalName(e.portal) + " from " + name(e.from);
        case Reach::kLeadOut:
            return "at the top level, through portal " + portalName(e.portal) + " from " +
                   name(e.from) + ", which leads out";
        case Reach::kCameraZone:
            return "as the camera zone";
        case Reach::kFarSide:
            return throughPortal(e);
    }
    return {};
}

std::string Explainer::throughPortal(const PassEvent& e) const {
    const NodeIndex opening = tree_.portal(e.portal).portalNode;
    std::string why;
    if (opening == kNone) {
        why = "a portal without an opening node";
    } else {
        const bool inView = story_.node(opening).shownBy.has_value();
        why = "opening " + name(opening) + (inView ? " in view" : " shown before the pass");
    }
    return "through portal " + portalName(e.portal) + " from " + name(e.from) + " (" + why + ")";
}

std::string Explainer::whyShown(NodeIndex node, const NodeStory& story) const {
    const PassEvent& e = *story.shownBy;
    std::string why;
    if (e.reach == Reach::kCameraZone) {
        why = "the camera zone: the camera is inside it";
    } else if (e.reach == Reach::kFarSide) {
        why = "reached " + throughPortal(e);
    } else {
        why = "in view " + howMet(e);
    }
    if (story.childrenKept)
        why += ", a zone " + childrenKeptBy(node) + ", so its children were not walked";
    return why;
}

// The pass walks a flooded zone's children only when it found the camera in
// it, and it stops looking at the deepest zone holding the camera: a zone
// around the camera zone holds the camera, yet is never found to.
bool holdsCameraOutsideCameraZone(const Tree& tree, const PassStory& story, NodeIndex zone) {
    const OtNode& n = tree.node(zone);
    const OtFrustum& camera = story.camera();
    const bool inside = n.kind == kBox
                            ? cameraInBox(camera, n.cornerA, n.cornerB)
                            : n.kind == kSphere && cameraInSphere(camera, n.cornerA, n.radius);
    return inside && story.cameraZone() != kNone;
}

// Wholly behind the near plane, by the pass's own test against that plane
// alone; said so rather than by the first plane the pass tried.
bool behindCamera(const Tree& tree, const PassStory& story, NodeIndex node) {
    OtFrustum nearOnly{};
    for (Plane& p : nearOnly.planes) p = {0.0f, 0.0f, 0.0f, 1.0f};
    nearOnly.planes[kNear] = story.nearPlane();
    const OtNode& n = tree.node(node);
    const float radius = n.kind == kSphere ? n.radius : 0.0f;
    const int plane = n.kind == kBox ? boxRejectingPlaneByCorners(nearOnly, n.cornerA, n.cornerB)
                                     : sphereRejectingPlane(nearOnly, n.cornerA, radius);
    return plane == kNear;
}

std::string Explainer::childrenKeptBy(NodeIndex zone) const {
    if (!holdsCameraOutsideCameraZone(tree_, story_, zone)) return "without the camera";
    return "with the camera in it but not as the camera zone (that is " +
           name(story_.cameraZone()) + ")";
}

// Only a node that failed its own test starts a subtree hide in the flood.
std::string Explainer::outsidePlane(NodeIndex node) const {
    if (behindCamera(tree_, story_, node)) return "behind the camera";
    const int plane = story_.node(node).rejected->plane;
    return "outside the " + std::string(kPlaneNames[plane]) + " plane";
}

std::string Explainer::whyHidden(NodeIndex node, const NodeStory& story) const {
    if (story.hiddenWith == node) {
        return outsidePlane(node) + ", met " + howMet(*story.rejected);
    }
    if (story.hiddenWith != kNone) {
        const std::string subtree = "with the subtree of " + name(story.hiddenWith) +
                                    ", which is " + outsidePlane(story.hiddenWith);
        if (!story.reHidden) return subtree;
        return "shown first (" + whyShown(node, story) + "), then hidden later in the pass " +
               subtree;
    }
    return whyNotReached(node);
}

// Why no step of the pass came to a node: its own role, how its parent was
// dealt with, or the portals that could have led to it.
std::string Explainer::whyNotReached(NodeIndex node) const {
    const OtNode& n = tree_.node(node);
    const NodeStory& story = story_.node(node);
    if (n.role != kNormal && n.role != kZone) return roleText(n);
    const NodeIndex zone = story_.cameraZone();
    if (story.holdsCamera && zone != kNone) {
        return "it holds the camera too, but the deeper zone " + name(zone) +
               " is the camera zone, and no portal led back to it";
    }
    if (zone == kNone && story_.startNode() != kNone) {
        return "OT_Cull culled only " + name(story_.startNode()) + " and what it floods into";
    }
    const bool parentDealtWith = n.parent != kRoot && story_.node(n.parent).last != LastAct::kNone;
    if (parentDealtWith || (n.parent != kRoot && tree_.zonePortals(node).empty())) {
        return whyNotWalked(n.parent);
    }
    return portalsNotFollowed(node);
}

std::string Explainer::whyNotWalked(NodeIndex parent) const {
    const NodeStory& story = story_.node(parent);
    const OtNode& p = tree_.node(parent);
    if (story.childrenKept) {
        return "inside zone " + name(parent) + ", which was flooded " + childrenKeptBy(parent) +
               ", so its children were not walked";
    }
    if (story.inert) {
        return "below " + name(parent) + ", whose role (" + std::to_string(p.role) +
               ") takes no part, so its children were not walked";
    }
    return "inside " + name(parent) + ", which was not reached";
}

// A node's own portals, each with why the pass did not come through it, in
// portal order. A zone is entered through its own portals; a top-level node
// outside every zone (or a zone without portals) only by a portal that leads
// out to the top level, so those are named there too.
std::string Explainer::portalsNotFollowed(NodeIndex node) const {
    std::vector<PortalIndex> own = tree_.zonePortals(node);
    std::sort(own.begin(), own.end());
    own.erase(std::unique(own.begin(), own.end()), own.end());
    const OtNode& n = tree_.node(node);
    const bool byLeadOut = n.parent == kRoot && (n.role != kZone || own.empty());
    static const std::vector<LeadOutReason> kNoLeadOut;
    const std::vector<LeadOutReason>& leadOut = byLeadOut ? leadOutReasons() : kNoLeadOut;
    std::string reasons;
    auto add = [&](const std::string& why) {
        if (!why.empty()) reasons += (reasons.empty() ? "" : "; ") + why;
    };
    auto ownAt = own.begin();
    for (const auto& [portal, why] : leadOut) {
        for (; ownAt != own.end() && *ownAt <= portal; ++ownAt) add(whyNotFollowed(node, *ownAt));
        if (!std::binary_search(own.begin(), own.end(), portal)) add(why);
    }
    for (; ownAt != own.end(); ++ownAt) add(whyNotFollowed(node, *ownAt));
    return reasons.empty() ? "no portal leads to it" : "no portal led here: " + reasons;
}

// What each portal leading out to the top level says to a top-level node
// that is not its zone: the same for every such node, so it is gathered once
// a pass (the tree does not change while a pass is explained), and only the
// portals with something to say are kept.
const std::vector<Explainer::LeadOutReason>& Explainer::leadOutReasons() const {
    if (leadOutPass_ == story_.passNumber()) return leadOut_;
    leadOutPass_ = story_.passNumber();
    leadOut_.clear();
    const NodeIndex noZone = tree_.nodeSlotCount();  // no node has this index
    for (PortalIndex p = 1; p < tree_.portalSlotCount(); ++p) {
        const OtPortal& portal = tree_.portal(p);
        const bool leadsOut = (portal.zoneA == kNone) != (portal.zoneB == kNone);
        if (portal.state != SlotState::kLive || !leadsOut) continue;
        std::string why = whyNotFollowed(noZone, p);
        if (!why.empty()) leadOut_.push_back({p, std::move(why)});
    }
    return leadOut_;
}

std::string Explainer::whyNotFollowed(NodeIndex node, PortalIndex portal) const {
    const OtPortal& p = tree_.portal(portal);
    const PortalStory& story = story_.portal(portal);
    const std::string named = "portal " + portalName(portal);
    if (story.met && story.decision == PortalDecision::kDisabled) return named + " is disabled";
    if (story.met && story.decision == PortalDecision::kOpeningHidden) {
        return named + " has its opening " + name(p.portalNode) + " hidden";
    }
    const NodeIndex other = p.zoneA == node ? p.zoneB : p.zoneA;
    if (other == node || story.met) return {};
    if (other == kNone) return named + " leads out of it only";
    return named + " was not met: " + name(other) + " was not flooded";
}

namespace {

// The named nodes in the order named, then any node a subtree hide took back
// after it was shown, which is easily missed; every node when none is named.
void explainPass(const Tree& tree, const Explainer& explainer, const PassStory& story,
                 const script::ScriptRunner& runner, const std::vector<std::string_view>& nodeNames,
                 std::ostream& out) {
    if (nodeNames.empty()) {
        for (NodeIndex node : nodesInTreeOrder(tree))
            out << "  " << explainer.explain(node) << '\n';
        return;
    }
    std::vector<NodeIndex> named;
    for (std::string_view name : nodeNames) {
        const auto value = runner.valueOf(name);
        const NodeIndex node = value ? tree.nodeIndex(static_cast<Handle>(*value)) : kNone;
        if (node == kNone) {
            out << "  " << script::shownText(name) << ": names no live node\n";
            continue;
        }
        named.push_back(node);
        out << "  " << explainer.explain(node) << '\n';
    }
    if (story.reHidden().empty()) return;
    std::sort(named.begin(), named.end());
    for (NodeIndex node : nodesInTreeOrder(tree)) {
        if (story.node(node).reHidden && !std::binary_search(named.begin(), named.end(), node)) {
            out << "  " << explainer.explain(node) << '\n';
        }
    }
}

}  // namespace

int explainScript(std::istream& in, std::string_view path,
                  const std::vector<std::string_view>& nodeNames, std::ostream& out,
                  std::ostream& err) {
    std::ostream trace(nullptr);  // the host calls and results are not wanted here
    TappedRun run(trace);
    const script::ScriptRunner& runner = run.runner;
    const Tree& tree = run.session.tree();
    PassStory story(tree);
    run.session.listen(story);
    const Explainer explainer(tree, story, runner);
    run.tap.afterEachPass([&](const PassRun& pass) {
        out << "line " << pass.line << ": " << pass.exportName;
        if (pass.start != 0)
            out << '(' << runner.nameOfHandle(static_cast<uint32_t>(pass.start)) << ')';
        out << " - " << explainer.passSummary() << '\n';
        explainPass(tree, explainer, story, runner, nodeNames, out);
    });
    run.runner.stopOnFailureOf(out);
    return run.runner.runScript(in, path, err);
}

}  // namespace tarvo
