// Slots of a record array, handed out and taken back. Freed slots wait in a
// first-in, first-out queue linked through one field of the free records and
// are reused only once many are waiting, so a stale handle meets its old slot
// again only after many creations, and then with a different generation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tree/handles.h"
#include "tree/records.h"

namespace tarvo {

// Room for `needed` and an eighth more: arrays grow by that rather than
// doubling, so that no more than about an eighth of their capacity waits unused.
inline size_t capacityFor(size_t needed) {
    return needed + needed / 8 + 16;
}

template <typename T>
void growByEighth(std::vector<T>& records) {
    if (records.size() == records.capacity()) records.reserve(capacityFor(records.size()));
}

template <typename Record, uint32_t Record::*Next>
class SlotPool {
public:
    static constexpr uint32_t kReuseAfterFreed = 1024;

    // A fresh record in a slot (its generation kept), or kNone when full.
    uint32_t take(std::vector<Record>& records) {
        uint32_t index;
        if (count_ >= kReuseAfterFreed) {
            index = head_;
            head_ = records[index].*Next;
            --count_;
        } else {
            if (records.size() > kMaxIndex) return kNone;
            index = static_cast<uint32_t>(records.size());
            growByEighth(records);
            records.emplace_back();
        }
        const uint16_t generation = records[index].generation;
        records[index] = Record{};
        records[index].generation = generation;
        records[index].state = SlotState::kLive;
        return index;
    }

    // Ends the record: its handles go stale and its slot joins the queue.
    void give(std::vector<Record>& records, uint32_t index) {
        Record& r = records[index];
        r.state = SlotState::kFree;
        ++r.generation;
        r.*Next = kNone;
        if (count_ == 0) {
            head_ = index;
        } else {
            records[tail_].*Next = index;
        }
        tail_ = index;
        ++count_;
    }

private:
    uint32_t head_ = kNone;
    uint32_t tail_ = kNone;
    uint32_t count_ = 0;
};

}  // namespace tarvo
