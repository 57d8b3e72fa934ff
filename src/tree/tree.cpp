// Node storage and the shape of the tree: creation, deletion, reparenting.
#include "tree/tree.h"

#include <algorithm>

namespace tarvo {
Tree::Tree() {
    nodes_.push_back(OtNode{});  // the root: its children are the top-level list
    nodes_[kRoot].state = SlotState::kLive;
    portals_.push_back(OtPortal{});  // index 0 is never issued
    lists_.emplace_back();           // list index 0 means "no lists"
    attachments_.matchNodeSlots(1, 1);
}

// --- storage ---

NodeIndex Tree::allocateNode() {
    const NodeIndex index = freeNodes_.take(nodes_);
    if (index == kNone) return kNone;
    // The flood walk never holds more frames than there are nodes.
    if (floodStack_.capacity() < nodes_.size()) floodStack_.reserve(nodes_.capacity());
    attachments_.matchNodeSlots(nodes_.size(), nodes_.capacity());
    ++liveNodes_;
    return index;
}

void Tree::freeNode(NodeIndex index) {
    OtNode& n = nodes_[index];
    attachments_.clear(index);
    if (n.lists != kNone) {
        NodeLists& lists = lists_[n.lists];
        lists.zonePortals.clear();
        lists.ownPortals.clear();
        freeLists_.push_back(n.lists);
    }
    if (n.role == kZone) countZone(-1);
    n.lists = kNone;
    freeNodes_.give(nodes_, index);
    --liveNodes_;
}

NodeLists& Tree::listsFor(NodeIndex index) {
    OtNode& n = nodes_[index];
    if (n.lists == kNone) {
        if (!freeLists_.empty()) {
            n.lists = freeLists_.back();
            freeLists_.pop_back();
        } else {
            n.lists = static_cast<uint32_t>(lists_.size());
            lists_.emplace_back();
        }
    }
    return lists_[n.lists];
}

void Tree::releaseListsIfEmpty(NodeIndex index) {
    OtNode& n = nodes_[index];
    if (n.lists != kNone && lists_[n.lists].empty()) {
        freeLists_.push_back(n.lists);
        n.lists = kNone;
    }
}

// --- handles ---

NodeIndex Tree::nodeIndex(Handle handle) const {
    const DecodedHandle h = decodeHandle(handle);
    if (h.kind != HandleKind::kNode || h.index == kRoot || h.index >= nodes_.size()) return kNone;
    const OtNode& n = nodes_[h.index];
    if (n.state != SlotState::kLive || !sameGeneration(n.generation, h.generation)) return kNone;
    return h.index;
}

Handle Tree::nodeHandle(NodeIndex index) const {
    if (index == kRoot) return 0;
    return makeHandle(HandleKind::kNode, index, nodes_[index].generation);
}

// --- sibling lists ---

void Tree::appendChild(NodeIndex parent, NodeIndex child) {
    OtNode& p = nodes_[parent];
    OtNode& c = nodes_[child];
    c.parent = parent;
    c.nextSibling = kNone;
    if (p.firstChild == kNone) {
        p.firstChild = child;
        c.prevSibling = child;
        return;
    }
    OtNode& first = nodes_[p.firstChild];
    const NodeIndex last = first.prevSibling;
    nodes_[last].nextSibling = child;
    c.prevSibling = last;
    first.prevSibling = child;
}

void Tree::unlinkChild(NodeIndex child) {
    OtNode& c = nodes_[child];
    OtNode& p = nodes_[c.parent];
    if (p.firstChild == child) {
        p.firstChild = c.nextSibling;
        if (c.nextSibling != kNone) nodes_[c.nextSibling].prevSibling = c.prevSibling;
    } else {
        nodes_[c.prevSibling].nextSibling = c.nextSibling;
        const NodeIndex after = c.nextSibling != kNone ? c.nextSibling : p.firstChild;
        nodes_[after].prevSibling = c.prevSibling;
    }
    c.nextSibling = kNone;
    c.prevSibling = kNone;
}

bool Tree::isInSubtree(NodeIndex candidate, NodeIndex root) const {
    for (NodeIndex n = candidate; n != kRoot; n = nodes_[n].parent) {
        if (n == root) return true;
    }
    return false;
}

// Pre-order, without recursion: down to the first child, else along to the
// next sibling, else up until some ancestor below root has one.
void Tree::collectSubtree(NodeIndex root, std::vector<NodeIndex>& out) const {
    NodeIndex n = root;
    while (true) {
        out.push_back(n);
        if (nodes_[n].firstChild != kNone) {
            n = nodes_[n].firstChild;
            continue;
        }
        while (n != root && nodes_[n].nextSibling == kNone) n = nodes_[n].parent;
        if (n == root) return;
        n = nodes_[n].nextSibling;
    }
}

// --- node operations ---

Handle Tree::createNode(Handle parent, int32_t role, const Volume& volume) {
    NodeIndex parentIndex = kRoot;
    if (parent != 0) {
        parentIndex = nodeIndex(parent);
        if (parentIndex == kNone) return 0;
    }
    const NodeIndex index = allocateNode();
    if (index == kNone) return 0;
    OtNode& n = nodes_[index];
    n.kind = volume.kind;
    n.role = role;
    n.cornerA = volume.cornerA;
    n.cornerB = volume.cornerB;
    n.radius = volume.radius;
    n.visible = 1;  // the host shows an object until told otherwise
    n.depth = parentIndex == kRoot ? 0 : nodes_[parentIndex].depth + 1;
    if (role == kZone) countZone(1);
    appendChild(parentIndex, index);
    return nodeHandle(index);
}

void Tree::deleteNode(Handle node) {
    const NodeIndex index = nodeIndex(node);
    if (index == kNone) return;
    scratchNodes_.clear();
    collectSubtree(index, scratchNodes_);
    endPortalsOfDying(scratchNodes_);
    unlinkChild(index);
    for (NodeIndex dying : scratchNodes_) freeNode(dying);
    scratchNodes_.clear();
}

// Every node goes, so no survivor's lists need sweeping: one pass over the
// storage frees every live node and every portal that names one.
void Tree::deleteAll() {
    for (NodeIndex i = 1; i < nodes_.size(); ++i) {
        if (nodes_[i].state == SlotState::kLive) freeNode(i);
    }
    // A portal that names no node at all outlives every deletion.
    for (PortalIndex i = 1; i < portals_.size(); ++i) {
        const OtPortal& p = portals_[i];
        const bool namesANode = p.zoneA != kNone || p.zoneB != kNone || p.portalNode != kNone;
        if (p.state == SlotState::kLive && namesANode) freePortal(i);
    }
    nodes_[kRoot].firstChild = kNone;
}

// Frees every portal that names a dying node. Survivors that share such a
// portal are each swept once, so a subtree's deletion costs its own size,
// its portals, and the portal lists of the survivors it touches.
void Tree::endPortalsOfDying(const std::vector<NodeIndex>& dying) {
    for (NodeIndex d : dying) nodes_[d].scratch = 1;
    touchedNodes_.clear();
    auto touch = [&](NodeIndex n) {
        if (n != kNone && nodes_[n].scratch == 0) {
            nodes_[n].scratch = 2;
            touchedNodes_.push_back(n);
        }
    };
    auto endAll = [&](const std::vector<PortalIndex>& list) {
        for (PortalIndex p : list) {
            if (portals_[p].state != SlotState::kLive) continue;
            touch(portals_[p].zoneA);
            touch(portals_[p].zoneB);
            touch(portals_[p].portalNode);
            freePortal(p);
        }
    };
    for (NodeIndex d : dying) {
        if (nodes_[d].lists == kNone) continue;
        endAll(lists_[nodes_[d].lists].zonePortals);
        endAll(lists_[nodes_[d].lists].ownPortals);
    }
    auto isEnded = [&](PortalIndex p) { return portals_[p].state != SlotState::kLive; };
    for (NodeIndex t : touchedNodes_) {
        NodeLists& lists = lists_[nodes_[t].lists];
        std::erase_if(lists.zonePortals, isEnded);
        std::erase_if(lists.ownPortals, isEnded);
        releaseListsIfEmpty(t);
        nodes_[t].scratch = 0;
    }
    for (NodeIndex d : dying) nodes_[d].scratch = 0;
    touchedNodes_.clear();
}

// The search order's room is kept ahead of the zones, so that rebuilding it
// in a pass allocates nothing.
void Tree::countZone(int delta) {
    zoneCount_ += delta;
    zoneOrderStale_ = true;
    if (zoneOrder_.capacity() < zoneCount_) zoneOrder_.reserve(capacityFor(zoneCount_));
}

void Tree::setParent(Handle node, Handle newParent) {
    const NodeIndex index = nodeIndex(node);
    if (index == kNone) return;
    NodeIndex parentIndex = kRoot;
    if (newParent != 0) {
        parentIndex = nodeIndex(newParent);
        if (parentIndex == kNone) return;
    }
    if (nodes_[index].parent == parentIndex) return;
    // Under itself or a descendant the subtree would leave the tree for good.
    if (isInSubtree(parentIndex, index)) return;
    zoneOrderStale_ = true;
    unlinkChild(index);
    appendChild(parentIndex, index);
}

Handle Tree::parentOf(Handle node) const {
    const NodeIndex index = nodeIndex(node);
    if (index == kNone) return 0;
    return nodeHandle(nodes_[index].parent);
}

}  // namespace tarvo
