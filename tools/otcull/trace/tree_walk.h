// The live nodes of a tree in two orders.
#pragma once

#include <vector>

#include "tree/tree.h"

namespace tarvo {

// As a script author reads the tree: top-level nodes in list order, each
// followed by its subtree, children in order.
inline std::vector<NodeIndex> nodesInTreeOrder(const Tree& tree) {
    std::vector<NodeIndex> order;
    NodeIndex n = tree.node(kRoot).firstChild;
    while (n != kNone) {
        order.push_back(n);
        if (tree.node(n).firstChild != kNone) {
            n = tree.node(n).firstChild;
            continue;
        }
        while (n != kRoot && tree.node(n).nextSibling == kNone) n = tree.node(n).parent;
        if (n == kRoot) break;
        n = tree.node(n).nextSibling;
    }
    return order;
}

// The order of the camera zone search: children before their parent.
inline std::vector<NodeIndex> nodesInSearchOrder(const Tree& tree) {
    std::vector<NodeIndex> order;
    auto leftmostLeaf = [&](NodeIndex n) {
        while (tree.node(n).firstChild != kNone) n = tree.node(n).firstChild;
        return n;
    };
    if (tree.node(kRoot).firstChild == kNone) return order;
    NodeIndex n = leftmostLeaf(tree.node(kRoot).firstChild);
    while (n != kRoot) {
        order.push_back(n);
        const NodeIndex next = tree.node(n).nextSibling;
        n = next != kNone ? leftmostLeaf(next) : tree.node(n).parent;
    }
    return order;
}

}  // namespace tarvo
