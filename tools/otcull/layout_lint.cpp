#include "layout_lint.h"

#include <algorithm>
#include <istream>
#include <map>
#include <ostream>
#include <set>

#include "commands/state.h"
#include "tapped_run.h"
#include "text/number_text.h"
#include "tree_walk.h"
#include "volume_geometry.h"

namespace tarvo {
namespace {

constexpr const char* kAxes[3] = {"x", "y", "z"};

std::string number(double value) {
    return script::formatFloat(static_cast<float>(value));
}

class LayoutLint {
public:
    LayoutLint(const Tree& tree, const ScriptFacts& facts, const script::ScriptRunner& names)
        : tree_(tree), facts_(facts), names_(names), nodes_(nodesInTreeOrder(tree)) {}

    std::vector<LintWarning> run();

private:
    void checkCorners(NodeIndex node);
    void checkDepth(NodeIndex node);
    void checkZonePairs();
    void checkPortal(PortalIndex portal);
    void checkPortalZones(PortalIndex portal);
    void checkLoneZone(NodeIndex zone);
    void checkAttachments();

    bool canHoldCamera(NodeIndex node) const;
    std::string name(NodeIndex node) const;
    std::string portalName(PortalIndex portal) const;
    std::string nameAndLine(NodeIndex node) const;
    int line(NodeIndex node) const { return lineOf(tree_.nodeHandle(node)); }
    int lineOf(Handle handle) const;
    void warn(int line, LintKind kind, std::string text) {
        warnings_.push_back({line, kind, std::move(text)});
    }

    const Tree& tree_;
    const ScriptFacts& facts_;
    const script::ScriptRunner& names_;
    const std::vector<NodeIndex> nodes_;  // tree order
    std::vector<LintWarning> warnings_;
};

std::vector<LintWarning> LayoutLint::run() {
    for (NodeIndex node : nodes_) {
        checkCorners(node);
        checkDepth(node);
        checkLoneZone(node);
    }
    checkZonePairs();
    for (PortalIndex p = 1; p < tree_.portalSlotCount(); ++p) {
        if (tree_.portal(p).state == SlotState::kLive) checkPortal(p);
    }
    checkAttachments();
    return std::move(warnings_);
}

int LayoutLint::lineOf(Handle handle) const {
    const auto found = facts_.madeAt.find(handle);
    return found == facts_.madeAt.end() ? 0 : found->second;
}

std::string LayoutLint::name(NodeIndex node) const {
    return names_.nameOfHandle(static_cast<uint32_t>(tree_.nodeHandle(node)));
}

std::string LayoutLint::portalName(PortalIndex portal) const {
    return names_.nameOfHandle(static_cast<uint32_t>(tree_.portalHandle(portal)));
}

std::string LayoutLint::nameAndLine(NodeIndex node) const {
    const int made = line(node);
    return name(node) + (made != 0 ? " (line " + std::to_string(made) + ")" : "");
}

// The camera-inside tests are strict, with corner A as the lower corner.
bool LayoutLint::canHoldCamera(NodeIndex node) const {
    const OtNode& n = tree_.node(node);
    if (n.kind == kSphere) return n.radius > 0.0f;
    if (n.kind != kBox) return false;
    return n.cornerA.x < n.cornerB.x && n.cornerA.y < n.cornerB.y && n.cornerA.z < n.cornerB.z;
}

void LayoutLint::checkCorners(NodeIndex node) {
    const OtNode& n = tree_.node(node);
    const bool zone = n.role == kZone;
    if (zone && !canHoldCamera(node) && n.kind != kBox) {
        const std::string what =
            n.kind == kSphere ? "a sphere of radius " + number(n.radius) : "a point";
        warn(line(node), LintKind::kZoneNeverHoldsCamera,
             "zone " + name(node) + " is " + what + ", so it can never hold the camera");
        return;
    }
    if (n.kind != kBox) return;
    const float a[3] = {n.cornerA.x, n.cornerA.y, n.cornerA.z};
    const float b[3] = {n.cornerB.x, n.cornerB.y, n.cornerB.z};
    for (int i = 0; i < 3; ++i) {
        const std::string corners =
            " on " + std::string(kAxes[i]) + " (" + number(a[i]) + " and " + number(b[i]) + ")";
        if (zone && !(a[i] < b[i])) {
            warn(line(node), LintKind::kZoneNeverHoldsCamera,
                 "zone " + name(node) + ": corner A is not below corner B" + corners +
                     ", so it can never hold the camera");
            return;
        }
        if (!zone && a[i] > b[i]) {
            warn(line(node), LintKind::kCornersSwapped,
                 "box " + name(node) + ": corner A is above corner B" + corners +
                     ": the corners look swapped");
            return;
        }
    }
}

// Depth is fixed when a node is made; the camera zone search compares it.
void LayoutLint::checkDepth(NodeIndex node) {
    const OtNode& n = tree_.node(node);
    if (n.role != kZone) return;
    int depth = 0;
    NodeIndex moved = kNone;
    for (NodeIndex up = node; up != kRoot; up = tree_.node(up).parent) {
        if (up != node) ++depth;
        if (moved == kNone && facts_.movedAt.count(tree_.nodeHandle(up)) != 0) moved = up;
    }
    if (depth == n.depth) return;
    std::string since;
    if (moved != kNone) {
        since = " since OT_SetParent of " + name(moved) + " on line " +
                std::to_string(facts_.movedAt.at(tree_.nodeHandle(moved)));
    }
    warn(line(node), LintKind::kStaleDepth,
         "zone " + name(node) + " was made at depth " + std::to_string(n.depth) +
             " but sits at depth " + std::to_string(depth) + since +
             ": the camera zone search still compares depth " + std::to_string(n.depth));
}

// Zones in search order (children before parents): of two that overlap at
// the same depth, the first holds the camera wherever both would.
void LayoutLint::checkZonePairs() {
    std::vector<NodeIndex> zones;
    for (NodeIndex node : nodesInSearchOrder(tree_)) {
        if (tree_.node(node).role == kZone && canHoldCamera(node)) zones.push_back(node);
    }
    std::stable_sort(zones.begin(), zones.end(), [&](NodeIndex x, NodeIndex y) {
        return tree_.node(x).depth > tree_.node(y).depth;
    });
    for (size_t i = 0; i < zones.size(); ++i) {
        const Solid first = *solidOf(tree_.node(zones[i]));
        for (size_t j = i + 1; j < zones.size(); ++j) {
            if (tree_.node(zones[j]).depth != tree_.node(zones[i]).depth) break;
            if (!insidesOverlap(first, *solidOf(tree_.node(zones[j])))) continue;
            warn(line(zones[j]), LintKind::kZonesOverlap,
                 "zones " + name(zones[j]) + " and " + nameAndLine(zones[i]) +
                     " overlap at depth " + std::to_string(tree_.node(zones[i]).depth) +
                     ": where both hold the camera, " + name(zones[i]) +
                     " is the camera zone, being first in search order");
        }
    }
}

void LayoutLint::checkPortal(PortalIndex portal) {
    const OtPortal& p = tree_.portal(portal);
    const int made = lineOf(tree_.portalHandle(portal));
    const std::string named = "portal " + portalName(portal);
    if (p.portalNode == kNone) {
        warn(made, LintKind::kNoOpening,
             named + " has no opening node: it is followed as if its opening were in view");
    }
    if (p.zoneA == p.zoneB) {
        warn(made, LintKind::kSameZoneTwice,
             p.zoneA == kNone ? named + " names no zone: it is never followed"
                              : named + " joins zone " + name(p.zoneA) +
                                    " to itself: it leads nowhere but still culls its opening");
        return;
    }
    // Slots are reused, so the script line says which of two came first.
    for (PortalIndex earlier = 1; earlier < tree_.portalSlotCount(); ++earlier) {
        const OtPortal& e = tree_.portal(earlier);
        const int earlierLine = lineOf(tree_.portalHandle(earlier));
        const bool before = earlierLine < made || (earlierLine == made && earlier < portal);
        const bool sameZones = (e.zoneA == p.zoneA && e.zoneB == p.zoneB) ||
                               (e.zoneA == p.zoneB && e.zoneB == p.zoneA);
        if (e.state == SlotState::kLive && before && sameZones && e.portalNode == p.portalNode) {
            warn(made, LintKind::kDuplicatePortal,
                 named + " repeats portal " + portalName(earlier) +
                     (earlierLine != 0 ? " (line " + std::to_string(earlierLine) + ")" : "") +
                     ": the same zones and opening");
            return;
        }
    }
    checkPortalZones(portal);
}

// The opening should meet both zones, and two zones a camera walks between
// should meet each other, or the camera passes through no zone on the way.
void LayoutLint::checkPortalZones(PortalIndex portal) {
    const OtPortal& p = tree_.portal(portal);
    const int made = lineOf(tree_.portalHandle(portal));
    const auto opening = p.portalNode != kNone ? solidOf(tree_.node(p.portalNode)) : std::nullopt;
    for (NodeIndex zone : {p.zoneA, p.zoneB}) {
        if (zone == kNone || !opening) continue;
        const auto solid = solidOf(tree_.node(zone));
        const double gap = solid ? gapBetween(*opening, *solid) : 0.0;
        if (gap > 0.0) {
            warn(made, LintKind::kOpeningApart,
                 "the opening " + name(p.portalNode) + " of portal " + portalName(portal) +
                     " does not touch zone " + name(zone) + " (" + number(gap) + " apart)");
        }
    }
    if (p.zoneA == kNone || p.zoneB == kNone) return;
    if (!canHoldCamera(p.zoneA) || !canHoldCamera(p.zoneB)) return;
    const double gap = gapBetween(*solidOf(tree_.node(p.zoneA)), *solidOf(tree_.node(p.zoneB)));
    if (gap > 0.0) {
        warn(made, LintKind::kGapBetweenZones,
             "zones " + name(p.zoneA) + " and " + name(p.zoneB) + ", joined by portal " +
                 portalName(portal) + ", are " + number(gap) +
                 " apart: a camera between them is in no zone, and the pass falls back to "
                 "frustum tests alone");
    }
}

void LayoutLint::checkLoneZone(NodeIndex zone) {
    if (tree_.node(zone).role != kZone) return;
    for (PortalIndex portal : tree_.zonePortals(zone)) {
        const OtPortal& p = tree_.portal(portal);
        if (p.zoneA != p.zoneB) return;
    }
    warn(line(zone), LintKind::kLoneZone,
         "zone " + name(zone) +
             ": no portal joins it to another zone, so with the camera inside it nothing "
             "outside it is shown");
}

// A host object or limb has one visibility; hung on two nodes, the one
// switched last decides, and a subtree hide late in a pass can take back
// what another node showed.
void LayoutLint::checkAttachments() {
    std::map<std::pair<int32_t, int32_t>, std::vector<NodeIndex>> holders;
    for (NodeIndex node : nodes_) {
        for (const OtAttachment& a : tree_.attachments(node)) {
            std::vector<NodeIndex>& nodes = holders[{a.object, a.limb}];
            if (std::find(nodes.begin(), nodes.end(), node) == nodes.end()) nodes.push_back(node);
        }
    }
    for (const auto& [attachment, nodes] : holders) {
        if (nodes.size() < 2) continue;
        const auto [object, limb] = attachment;
        const std::string what =
            limb < 0 ? "object " + std::to_string(object)
                     : "limb " + std::to_string(limb) + " of object " + std::to_string(object);
        std::string list = nameAndLine(nodes[0]);
        for (size_t i = 1; i < nodes.size(); ++i) {
            list += (i + 1 == nodes.size() ? " and " : ", ") + nameAndLine(nodes[i]);
        }
        const auto attached = facts_.attachedAt.find({tree_.nodeHandle(nodes[1]), object, limb});
        const int at = attached != facts_.attachedAt.end() ? attached->second : line(nodes[1]);
        warn(at, LintKind::kSharedAttachment,
             what + " is attached to " + list +
                 ": a later subtree hide of one can hide it after another showed it");
    }
}

}  // namespace

std::string_view lintKindName(LintKind kind) {
    switch (kind) {
        case LintKind::kZoneNeverHoldsCamera:
            return "zone never holds the camera";
        case LintKind::kCornersSwapped:
            return "box corners swapped";
        case LintKind::kZonesOverlap:
            return "zones overlap";
        case LintKind::kGapBetweenZones:
            return "gap between zones";
        case LintKind::kStaleDepth:
            return "zone depth out of date";
        case LintKind::kNoOpening:
            return "portal without opening";
        case LintKind::kSameZoneTwice:
            return "portal with one zone twice";
        case LintKind::kDuplicatePortal:
            return "portal repeated";
        case LintKind::kOpeningApart:
            return "opening apart from its zone";
        case LintKind::kLoneZone:
            return "zone no portal joins";
        case LintKind::kSharedAttachment:
            return "object or limb on several nodes";
    }
    return {};
}

std::vector<LintWarning> lintLayout(const Tree& tree, const ScriptFacts& facts,
                                    const script::ScriptRunner& names) {
    return LayoutLint(tree, facts, names).run();
}

namespace {

void printLint(const std::set<LintWarning>& warnings, std::string_view path, bool quiet,
               std::ostream& out) {
    std::map<LintKind, size_t> counts;
    for (const LintWarning& w : warnings) {
        ++counts[w.kind];
        if (quiet) continue;
        out << path << ':';
        if (w.line != 0) out << w.line << ':';
        out << " warning: " << w.text << '\n';
    }
    out << path << ": ";
    if (warnings.empty()) {
        out << "no warnings\n";
        return;
    }
    out << warnings.size() << (warnings.size() == 1 ? " warning (" : " warnings (");
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        out << (it == counts.begin() ? "" : ", ") << it->second << ' ' << lintKindName(it->first);
    }
    out << ")\n";
}

}  // namespace

int lintScript(std::istream& in, std::string_view path, bool quiet, std::ostream& out,
               std::ostream& err) {
    std::ostream trace(nullptr);  // the host calls and results are not wanted here
    TappedRun run(trace);
    std::set<LintWarning> warnings;
    auto check = [&] {
        for (LintWarning& w : lintLayout(cullingState(), run.tap.facts(), run.runner)) {
            warnings.insert(std::move(w));
        }
    };
    run.tap.afterEachPass([&](const PassRun&) { check(); });
    const int status = run.runner.runScript(in, path, err);
    check();
    printLint(warnings, path, quiet, out);
    if (status != 0) return status;
    return warnings.empty() ? 0 : 1;
}

}  // namespace tarvo
