// Attachments and the two switches every visibility decision ends in.
#include <algorithm>

#include "tree/tree.h"

namespace tarvo {

void Tree::attach(Handle node, int32_t object, int32_t limb) {
    const NodeIndex index = nodeIndex(node);
    if (index == kNone) return;
    listsFor(index).attachments.push_back({object, limb});
}

void Tree::detach(Handle node, int32_t object, int32_t limb) {
    const NodeIndex index = nodeIndex(node);
    if (index == kNone || nodes_[index].lists == kNone) return;
    std::erase(lists_[nodes_[index].lists].attachments, OtAttachment{object, limb});
    releaseListsIfEmpty(index);
}

bool Tree::isVisible(Handle node) const {
    const NodeIndex index = nodeIndex(node);
    return index != kNone && nodes_[index].visible != 0;
}

// Sets the flag even without attachments, and calls the host again for a
// node already in that state: the switch looks at nothing else.
void Tree::switchOne(NodeIndex index, bool show) {
    OtNode& n = nodes_[index];
    n.visible = show ? 1 : 0;
    if (n.lists == kNone) return;
    const std::vector<OtAttachment>& attached = lists_[n.lists].attachments;
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

void Tree::switchNode(Handle node, bool show) {
    const NodeIndex index = nodeIndex(node);
    if (index != kNone) switchOne(index, show);
}

void Tree::switchSubtree(Handle node, bool show) {
    if (node == 0) {
        switchDescendants(kRoot, show, false);
        return;
    }
    const NodeIndex index = nodeIndex(node);
    if (index != kNone) switchDescendants(index, show, true);
}

}  // namespace tarvo
