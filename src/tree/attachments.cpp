// Attachments and the subtree switch command.
#include "tree/tree.h"

namespace tarvo {

void Tree::attach(Handle node, int32_t object, int32_t limb) {
    const NodeIndex index = nodeIndex(node);
    if (index == kNone) return;
    attachments_.add(index, {object, limb});
}

void Tree::detach(Handle node, int32_t object, int32_t limb) {
    const NodeIndex index = nodeIndex(node);
    if (index != kNone) attachments_.remove(index, {object, limb});
}

bool Tree::isVisible(Handle node) const {
    const NodeIndex index = nodeIndex(node);
    return index != kNone && nodes_[index].visible != 0;
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
