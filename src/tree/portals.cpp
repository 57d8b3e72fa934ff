// Portals: records joining two zones through an opening node.
#include <algorithm>

#include "tree/tree.h"

namespace tarvo {
PortalIndex Tree::allocatePortal() {
    const PortalIndex index = freePortals_.take(portals_);
    if (index != kNone) ++livePortals_;
    return index;
}

void Tree::freePortal(PortalIndex index) {
    freePortals_.give(portals_, index);
    --livePortals_;
}

PortalIndex Tree::portalIndex(Handle handle) const {
    const DecodedHandle h = decodeHandle(handle);
    if (h.kind != HandleKind::kPortal || h.index == kNone || h.index >= portals_.size()) {
        return kNone;
    }
    const OtPortal& p = portals_[h.index];
    if (p.state != SlotState::kLive || !sameGeneration(p.generation, h.generation)) return kNone;
    return h.index;
}

Handle Tree::portalHandle(PortalIndex index) const {
    return makeHandle(HandleKind::kPortal, index, portals_[index].generation);
}

void Tree::linkPortal(PortalIndex index) {
    const OtPortal p = portals_[index];
    if (p.zoneA != kNone) listsFor(p.zoneA).zonePortals.push_back(index);
    if (p.zoneB != kNone) listsFor(p.zoneB).zonePortals.push_back(index);
    if (p.portalNode != kNone) listsFor(p.portalNode).ownPortals.push_back(index);
}

// Removes every entry of the portal, so one naming a node as both zones
// leaves that node's list at the first removal.
void Tree::unlinkPortal(PortalIndex index) {
    const OtPortal p = portals_[index];
    auto drop = [&](NodeIndex n, bool own) {
        if (n == kNone || nodes_[n].lists == kNone) return;
        NodeLists& lists = lists_[nodes_[n].lists];
        std::erase(own ? lists.ownPortals : lists.zonePortals, index);
        releaseListsIfEmpty(n);
    };
    drop(p.zoneA, false);
    drop(p.zoneB, false);
    drop(p.portalNode, true);
}

Handle Tree::addPortal(Handle zoneA, Handle zoneB, Handle portalNode) {
    // A zero side is absent; any other handle must name a live node.
    NodeIndex ends[3] = {kNone, kNone, kNone};
    const Handle given[3] = {zoneA, zoneB, portalNode};
    for (int i = 0; i < 3; ++i) {
        if (given[i] == 0) continue;
        ends[i] = nodeIndex(given[i]);
        if (ends[i] == kNone) return 0;
    }
    const PortalIndex index = allocatePortal();
    if (index == kNone) return 0;
    OtPortal& p = portals_[index];
    p.zoneA = ends[0];
    p.zoneB = ends[1];
    p.portalNode = ends[2];
    p.disabled = 0;
    linkPortal(index);
    return portalHandle(index);
}

void Tree::removePortal(Handle portal) {
    const PortalIndex index = portalIndex(portal);
    if (index == kNone) return;
    unlinkPortal(index);
    freePortal(index);
}

void Tree::setPortalDisabled(Handle portal, bool disabled) {
    const PortalIndex index = portalIndex(portal);
    if (index != kNone) portals_[index].disabled = disabled ? 1 : 0;
}

bool Tree::portalEnabled(Handle portal) const {
    const PortalIndex index = portalIndex(portal);
    return index != kNone && portals_[index].disabled == 0;
}

Handle Tree::portalEnd(Handle portal, PortalEnd which) const {
    const PortalIndex index = portalIndex(portal);
    if (index == kNone) return 0;
    const OtPortal& p = portals_[index];
    const NodeIndex n = which == PortalEnd::kZoneA   ? p.zoneA
                        : which == PortalEnd::kZoneB ? p.zoneB
                                                     : p.portalNode;
    return n == kNone ? 0 : nodeHandle(n);
}

}  // namespace tarvo
