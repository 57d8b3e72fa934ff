// Every node's attachments in one array, each node's entries side by side,
// so that a switch reads one small range record and then consecutive
// entries instead of following a list per node. A block that cannot grow in
// place moves to the end with room to double; the holes it leaves are
// squeezed out once they outnumber the entries in use.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tree/records.h"

namespace tarvo {

class AttachmentPool {
public:
    std::span<const OtAttachment> of(NodeIndex node) const {
        const Range r = ranges_[node];
        return {entries_.data() + r.begin, r.count};
    }

    // Keeps one range per node slot, with the same spare capacity as the nodes.
    void matchNodeSlots(size_t slots, size_t capacity) {
        if (ranges_.capacity() < capacity) ranges_.reserve(capacity);
        if (ranges_.size() < slots) ranges_.resize(slots);
    }

    void add(NodeIndex node, OtAttachment attachment);
    // Removes every entry equal to attachment.
    void remove(NodeIndex node, OtAttachment attachment);
    // Removes all of the node's entries (the node is being freed).
    void clear(NodeIndex node);

private:
    struct Range {
        uint32_t begin;
        uint32_t count;
    };

    void moveToEnd(NodeIndex node);
    void squeezeIfSparse();

    std::vector<Range> ranges_;          // by node index
    std::vector<OtAttachment> entries_;  // blocks and holes
    std::vector<NodeIndex> owners_;      // by entry; kNone marks a hole
    size_t inUse_ = 0;
};

}  // namespace tarvo
