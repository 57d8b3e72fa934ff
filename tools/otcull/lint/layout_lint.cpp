#include "lint/layout_lint.h"

#include <algorithm>
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <tuple>

#include "lint/overlap_pairs.h"
#include "lint/volume_geometry.h"
#include "script_text.h"
#include "text/number_text.h"
#include "trace/tapped_run.h"
#include "trace/tree_walk.h"

namespace tarvo {
namespace {

constexpr const char* kAxes[3] = {"x", "y", "z"};
constexpr size_t kSharedNamed = 3;  // nodes a shared attachment's warning names

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
    void checkOverlapsAtOneDepth(std::span<const NodeIndex> zones);
    void checkPortals();
    void checkPortal(PortalIndex portal, PortalIndex repeated);
    void checkPortalZones(PortalIndex portal);
    void checkLoneZone(NodeIndex zone);
    void checkAttachments();
    void warnShared(int32_t object, int32_t limb, const std::vector<NodeIndex>& nodes);

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
    // By node index, filled in tree order: a node's depth below the top
    // level, and the nearest of it and its ancestors that OT_SetParent moved.
    std::vector<int32_t> depth_;
    std::vector<NodeIndex> movedSelfOrAbove_;
    std::vector<LintWarning> warnings_;
};

std::vector<LintWarning> LayoutLint::run() {
    depth_.assign(tree_.nodeSlotCount(), 0);
    movedSelfOrAbove_.assign(tree_.nodeSlotCount(), kNone);
    for (NodeIndex node : nodes_) {
        checkCorners(node);
        checkDepth(node);
        checkLoneZone(node);
    }
    checkZonePairs();
    checkPortals();
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
        auto corners = [&] {
            return " on " + std::string(kAxes[i]) + " (" + number(a[i]) + " and " + number(b[i]) +
                   ")";
        };
        if (zone && !(a[i] < b[i])) {
            warn(line(node), LintKind::kZoneNeverHoldsCamera,
                 "zone " + name(node) + ": corner A is not below corner B" + corners() +
                     ", so it can never hold the camera");
            return;
        }
        if (!zone && a[i] > b[i]) {
            warn(line(node), LintKind::kCornersSwapped,
                 "box " + name(node) + ": corner A is above corner B" + corners() +
                     ": the corners look swapped");
            return;
        }
    }
}

// Depth is fixed when a node is made; the camera zone search compares it.
// Parents come before their children in tree order, so each node takes its
// depth and its nearest moved ancestor from its parent.
void LayoutLint::checkDepth(NodeIndex node) {
    const OtNode& n = tree_.node(node);
    const bool topLevel = n.parent == kRoot;
    const int depth = topLevel ? 0 : depth_[n.parent] + 1;
    const bool moved = facts_.movedAt.count(tree_.nodeHandle(node)) != 0;
    depth_[node] = depth;
    movedSelfOrAbove_[node] = moved ? node : topLevel ? kNone : movedSelfOrAbove_[n.parent];
    if (n.role != kZone || depth == n.depth) return;
    std::string since;
    if (const NodeIndex movedNode = movedSelfOrAbove_[node]; movedNode != kNone) {
        since = " since OT_SetParent of " + name(movedNode) + " on line " +
                std::to_string(facts_.movedAt.at(tree_.nodeHandle(movedNode)));
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
    for (size_t first = 0; first < zones.size();) {
        size_t end = first + 1;
        while (end < zones.size() && tree_.node(zones[end]).depth == tree_.node(zones[first]).depth)
            ++end;
        checkOverlapsAtOneDepth(std::span(zones).subspan(first, end - first));
        first = end;
    }
}

// Pairs come from a broad phase that is linear in the zones whatever the
// level's layout, then the exact test of their insides.
void LayoutLint::checkOverlapsAtOneDepth(std::span<const NodeIndex> zones) {
    std::vector<Solid> solids;
    solids.reserve(zones.size());
    for (NodeIndex zone : zones) solids.push_back(*solidOf(tree_.node(zone)));
    for (const auto& [firstRank, secondRank] : overlappingPairs(solids)) {
        const NodeIndex first = zones[firstRank];
        const NodeIndex second = zones[secondRank];
        warn(line(second), LintKind::kZonesOverlap,
             "zones " + name(second) + " and " + nameAndLine(first) + " overlap at depth " +
                 std::to_string(tree_.node(first).depth) + ": where both hold the camera, " +
                 name(first) + " is the camera zone, being first in search order");
    }
}

// A portal repeats another with the same zones (either way round) and
// opening that the script made before it; slots are reused, so the script
// line says which came first, and of several earlier ones the lowest slot is
// named. Portals are grouped by zones and opening, each group sorted by
// (line, slot), and the lowest slot before each portal is a running minimum.
void LayoutLint::checkPortals() {
    struct Made {
        int line;
        PortalIndex portal;
    };
    std::map<std::tuple<NodeIndex, NodeIndex, NodeIndex>, std::vector<Made>> groups;
    for (PortalIndex p = 1; p < tree_.portalSlotCount(); ++p) {
        const OtPortal& portal = tree_.portal(p);
        if (portal.state != SlotState::kLive) continue;
        const auto [low, high] = std::minmax(portal.zoneA, portal.zoneB);
        groups[{low, high, portal.portalNode}].push_back({lineOf(tree_.portalHandle(p)), p});
    }
    for (auto& [key, made] : groups) {
        std::sort(made.begin(), made.end(), [](const Made& a, const Made& b) {
            return std::tie(a.line, a.portal) < std::tie(b.line, b.portal);
        });
        PortalIndex lowestBefore = kNone;
        for (const Made& m : made) {
            checkPortal(m.portal, lowestBefore);
            lowestBefore = lowestBefore == kNone ? m.portal : std::min(lowestBefore, m.portal);
        }
    }
}

// repeated: the earlier portal this one repeats, if any.
void LayoutLint::checkPortal(PortalIndex portal, PortalIndex repeated) {
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
    if (repeated != kNone) {
        const int earlierLine = lineOf(tree_.portalHandle(repeated));
        warn(made, LintKind::kDuplicatePortal,
             named + " repeats portal " + portalName(repeated) +
                 (earlierLine != 0 ? " (line " + std::to_string(earlierLine) + ")" : "") +
                 ": the same zones and opening");
        return;
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
void LayoutLint::warnShared(int32_t object, int32_t limb, const std::vector<NodeIndex>& nodes) {
    const std::string what =
        limb < 0 ? "object " + std::to_string(object)
                 : "limb " + std::to_string(limb) + " of object " + std::to_string(object);
    // A few nodes named, so that a level full of them still gives a line to read.
    const size_t named = nodes.size() <= kSharedNamed + 1 ? nodes.size() : kSharedNamed;
    std::string list = nameAndLine(nodes[0]);
    for (size_t i = 1; i < named; ++i) {
        list += (i + 1 == nodes.size() ? " and " : ", ") + nameAndLine(nodes[i]);
    }
    if (named < nodes.size()) list += " and " + std::to_string(nodes.size() - named) + " more";
    const auto attached = facts_.attachedAt.find({tree_.nodeHandle(nodes[1]), object, limb});
    const int at = attached != facts_.attachedAt.end() ? attached->second : line(nodes[1]);
    warn(at, LintKind::kSharedAttachment,
         what + " is attached to " + list +
             ": a later subtree hide of one can hide it after another showed it");
}

// Each (object, limb) with the nodes holding it, in tree order, once each.
void LayoutLint::checkAttachments() {
    struct Holder {
        int32_t object;
        int32_t limb;
        size_t treeRank;
        auto operator<=>(const Holder&) const = default;
    };
    std::vector<Holder> holders;
    for (size_t rank = 0; rank < nodes_.size(); ++rank) {
        for (const OtAttachment& a : tree_.attachments(nodes_[rank])) {
            holders.push_back({a.object, a.limb, rank});
        }
    }
    std::sort(holders.begin(), holders.end());
    holders.erase(std::unique(holders.begin(), holders.end()), holders.end());
    for (size_t first = 0; first < holders.size();) {
        const auto [object, limb, rank] = holders[first];
        size_t end = first + 1;
        while (end < holders.size() && holders[end].object == object && holders[end].limb == limb)
            ++end;
        if (end - first >= 2) {
            std::vector<NodeIndex> nodes;
            for (size_t i = first; i < end; ++i) nodes.push_back(nodes_[holders[i].treeRank]);
            warnShared(object, limb, nodes);
        }
        first = end;
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
    const std::string shown = script::shownText(path);
    std::map<LintKind, size_t> counts;
    for (const LintWarning& w : warnings) {
        ++counts[w.kind];
        if (quiet) continue;
        out << shown << ':';
        if (w.line != 0) out << w.line << ':';
        out << " warning: " << w.text << '\n';
    }
    out << shown << ": ";
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
    // A pass changes no layout: the tree is checked again only when a
    // command since the last check may have changed it.
    std::optional<uint64_t> checkedAt;
    auto check = [&] {
        if (checkedAt == run.tap.treeChanges()) return;
        checkedAt = run.tap.treeChanges();
        for (LintWarning& w : lintLayout(run.session.tree(), run.tap.facts(), run.runner)) {
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
