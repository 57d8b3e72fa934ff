#include "tree/attachment_pool.h"

#include <algorithm>

#include "tree/slot_pool.h"

namespace tarvo {
namespace {

constexpr size_t kHolesBeforeSqueeze = 64;

}  // namespace

void AttachmentPool::add(NodeIndex node, OtAttachment attachment) {
    Range& r = ranges_[node];
    if (r.count == 0) {
        r.begin = static_cast<uint32_t>(entries_.size());
    } else {
        const size_t next = size_t{r.begin} + r.count;
        if (next < entries_.size() && owners_[next] != kNone) moveToEnd(node);
    }
    const size_t slot = size_t{r.begin} + r.count;
    if (slot == entries_.size()) {
        growByEighth(entries_);
        growByEighth(owners_);
        entries_.push_back(attachment);
        owners_.push_back(node);
    } else {
        entries_[slot] = attachment;
        owners_[slot] = node;
    }
    ++r.count;
    ++inUse_;
}

// The block goes to the end followed by as many holes, so that it can double
// in place before it has to move again.
void AttachmentPool::moveToEnd(NodeIndex node) {
    Range& r = ranges_[node];
    const size_t from = r.begin;
    const size_t to = entries_.size();
    entries_.resize(to + 2 * size_t{r.count});
    owners_.resize(to + 2 * size_t{r.count}, kNone);
    for (size_t i = 0; i < r.count; ++i) {
        entries_[to + i] = entries_[from + i];
        owners_[to + i] = node;
        owners_[from + i] = kNone;
    }
    r.begin = static_cast<uint32_t>(to);
}

void AttachmentPool::remove(NodeIndex node, OtAttachment attachment) {
    Range& r = ranges_[node];
    const auto begin = entries_.begin() + r.begin;
    const auto kept = std::remove(begin, begin + r.count, attachment);
    const auto left = static_cast<uint32_t>(kept - begin);
    for (size_t i = r.begin + left; i < size_t{r.begin} + r.count; ++i) owners_[i] = kNone;
    inUse_ -= r.count - left;
    r.count = left;
    squeezeIfSparse();
}

void AttachmentPool::clear(NodeIndex node) {
    Range& r = ranges_[node];
    for (size_t i = r.begin; i < size_t{r.begin} + r.count; ++i) owners_[i] = kNone;
    inUse_ -= r.count;
    r = {};
    squeezeIfSparse();
}

// Entries keep their order, so each block stays whole; a block's new start is
// where its first entry lands. Paid for by the holes it removes.
void AttachmentPool::squeezeIfSparse() {
    if (entries_.size() - inUse_ <= inUse_ + kHolesBeforeSqueeze) return;
    size_t kept = 0;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const NodeIndex owner = owners_[i];
        if (owner == kNone) continue;
        if (ranges_[owner].begin == i) ranges_[owner].begin = static_cast<uint32_t>(kept);
        entries_[kept] = entries_[i];
        owners_[kept] = owner;
        ++kept;
    }
    entries_.resize(kept);
    owners_.resize(kept);
}

}  // namespace tarvo
