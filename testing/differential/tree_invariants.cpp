#include "differential/tree_invariants.h"

#include <bit>
#include <string>
#include <vector>

namespace tarvo::reliability {
namespace {

std::string at(const char* what, uint32_t index) {
    return std::string(what) + " (index " + std::to_string(index) + ")";
}

bool isLiveNode(const Tree& tree, NodeIndex i) {
    return i != kRoot && i < tree.nodeSlotCount() && tree.node(i).state == SlotState::kLive;
}

bool isLivePortal(const Tree& tree, PortalIndex i) {
    return i != kNone && i < tree.portalSlotCount() && tree.portal(i).state == SlotState::kLive;
}

// Walks the containers from the root; every list is bounded by the slot count
// so a corrupted (cyclic) list ends the walk with a message, not a hang.
std::string checkContainers(const Tree& tree) {
    const NodeIndex slots = tree.nodeSlotCount();
    std::vector<uint8_t> seen(slots, 0);
    std::vector<NodeIndex> pending{kRoot};
    uint32_t reached = 0;
    while (!pending.empty()) {
        const NodeIndex parent = pending.back();
        pending.pop_back();
        const NodeIndex first = tree.node(parent).firstChild;
        NodeIndex previous = kNone;
        uint32_t steps = 0;
        for (NodeIndex c = first; c != kNone; c = tree.node(c).nextSibling) {
            if (++steps > slots) return at("a child list does not end, under", parent);
            if (c >= slots) return at("a child list names a slot beyond the array, under", parent);
            if (!isLiveNode(tree, c)) return at("a freed node is reachable as a child", c);
            if (seen[c] != 0) return at("a node is in more than one container, or twice", c);
            seen[c] = 1;
            ++reached;
            if (tree.node(c).parent != parent) {
                return at("a node's parent is not the node whose list holds it", c);
            }
            if (previous != kNone && tree.node(c).prevSibling != previous) {
                return at("a node's previous sibling is not the one before it", c);
            }
            previous = c;
            pending.push_back(c);
        }
        if (first != kNone && tree.node(first).prevSibling != previous) {
            return at("the first child does not name the last child, under", parent);
        }
    }
    for (NodeIndex i = 1; i < slots; ++i) {
        if (tree.node(i).state == SlotState::kLive && seen[i] == 0) {
            return at("a live node is in no container", i);
        }
    }
    if (reached != tree.liveNodeCount()) {
        return "live node count " + std::to_string(tree.liveNodeCount()) + " but " +
               std::to_string(reached) + " nodes reachable";
    }
    return {};
}

uint32_t occurrences(const std::vector<PortalIndex>& list, PortalIndex p) {
    uint32_t n = 0;
    for (PortalIndex e : list) n += e == p ? 1 : 0;
    return n;
}

std::string checkPortals(const Tree& tree) {
    const NodeIndex slots = tree.nodeSlotCount();
    uint32_t live = 0;
    for (PortalIndex p = 1; p < tree.portalSlotCount(); ++p) {
        if (!isLivePortal(tree, p)) continue;
        ++live;
        const OtPortal& portal = tree.portal(p);
        for (NodeIndex end : {portal.portalNode, portal.zoneA, portal.zoneB}) {
            if (end != kNone && !isLiveNode(tree, end)) {
                return at("a live portal names a freed node", p);
            }
        }
        if (tree.portalIndex(tree.portalHandle(p)) != p) {
            return at("a live portal's handle does not name it", p);
        }
    }
    if (live != tree.livePortalCount()) return "live portal count disagrees with the slots";

    for (NodeIndex n = 1; n < slots; ++n) {
        if (!isLiveNode(tree, n)) continue;
        if (tree.nodeIndex(tree.nodeHandle(n)) != n) {
            return at("a live node's handle does not name it", n);
        }
        const auto& zone = tree.zonePortals(n);
        const auto& own = tree.ownPortals(n);
        for (PortalIndex p : zone) {
            if (!isLivePortal(tree, p)) return at("a freed portal is in a zone list of node", n);
            const OtPortal& portal = tree.portal(p);
            const uint32_t named = (portal.zoneA == n ? 1u : 0u) + (portal.zoneB == n ? 1u : 0u);
            if (occurrences(zone, p) != named) {
                return at("a zone list holds a portal other than as often as it names the node",
                          n);
            }
        }
        for (PortalIndex p : own) {
            if (!isLivePortal(tree, p)) return at("a freed portal is in an opening list of", n);
            if (tree.portal(p).portalNode != n || occurrences(own, p) != 1) {
                return at("an opening list holds a portal that does not open there once", n);
            }
        }
    }
    // Every naming must be listed: the loop above proved every entry is named.
    for (PortalIndex p = 1; p < tree.portalSlotCount(); ++p) {
        if (!isLivePortal(tree, p)) continue;
        const OtPortal& portal = tree.portal(p);
        for (NodeIndex zone : {portal.zoneA, portal.zoneB}) {
            if (zone != kNone && occurrences(tree.zonePortals(zone), p) == 0) {
                return at("a portal is missing from the zone list of a zone it names", p);
            }
        }
        if (portal.portalNode != kNone && occurrences(tree.ownPortals(portal.portalNode), p) != 1) {
            return at("a portal is missing from its opening's list", p);
        }
    }
    return {};
}

}  // namespace

std::string describeTree(const Tree& tree) {
    std::string out;
    auto add = [&](uint32_t v) {
        out += std::to_string(v);
        out += ' ';
    };
    auto addFloat = [&](float f) { add(std::bit_cast<uint32_t>(f)); };
    for (NodeIndex i = 1; i < tree.nodeSlotCount(); ++i) {
        if (!isLiveNode(tree, i)) continue;
        const OtNode& n = tree.node(i);
        out += "\nnode ";
        add(static_cast<uint32_t>(tree.nodeHandle(i)));
        add(n.parent == kRoot ? 0u : static_cast<uint32_t>(tree.nodeHandle(n.parent)));
        add(n.kind);
        add(static_cast<uint32_t>(n.role));
        add(static_cast<uint32_t>(n.depth));
        for (float f : {n.cornerA.x, n.cornerA.y, n.cornerA.z, n.cornerB.x, n.cornerB.y,
                        n.cornerB.z, n.radius}) {
            addFloat(f);
        }
        add(tree.isVisible(tree.nodeHandle(i)) ? 1u : 0u);
        out += "children ";
        for (NodeIndex c = n.firstChild; c != kNone; c = tree.node(c).nextSibling) add(c);
        out += "attached ";
        for (const OtAttachment& a : tree.attachments(i)) {
            add(static_cast<uint32_t>(a.object));
            add(static_cast<uint32_t>(a.limb));
        }
        out += "zone ";
        for (PortalIndex p : tree.zonePortals(i)) add(p);
        out += "own ";
        for (PortalIndex p : tree.ownPortals(i)) add(p);
    }
    out += "\ntop ";
    for (NodeIndex c = tree.node(kRoot).firstChild; c != kNone; c = tree.node(c).nextSibling) {
        add(c);
    }
    for (PortalIndex p = 1; p < tree.portalSlotCount(); ++p) {
        if (!isLivePortal(tree, p)) continue;
        const OtPortal& portal = tree.portal(p);
        out += "\nportal ";
        add(static_cast<uint32_t>(tree.portalHandle(p)));
        add(portal.portalNode);
        add(portal.zoneA);
        add(portal.zoneB);
        add(portal.disabled);
    }
    out += "\nplanes ";
    for (const Plane& plane : tree.frustum().planes) {
        for (float f : {plane.a, plane.b, plane.c, plane.d}) addFloat(f);
    }
    return out;
}

std::string checkTreeInvariants(const Tree& tree) {
    if (tree.nodeSlotCount() == 0) return "no root node";
    if (std::string broken = checkContainers(tree); !broken.empty()) return broken;
    return checkPortals(tree);
}

}  // namespace tarvo::reliability
