// Page ids for one kind of handle (nodes or portals), with the last value
// of each channel the page was told, so that a pass reports only what
// differs, and which ids are live.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "tree/handles.h"
#include "view/page_data.h"

namespace tarvo {

class PageIds {
public:
    // The id of the handle now in slot index; a slot remembers its last
    // handle, so that a pass finds its ids without a hash look-up.
    int32_t idOf(uint32_t index, Handle handle);
    // -1 for a handle the page never saw.
    int32_t find(Handle handle) const;

    static void set(std::vector<int32_t>& last, int32_t id, int32_t value,
                    std::vector<ViewChange>& changes) {
        if (last[static_cast<size_t>(id)] == value) return;
        last[static_cast<size_t>(id)] = value;
        changes.push_back({id, value});
    }
    // Sets the id's record; its first makes it live.
    void setRecord(int32_t id, int32_t record, std::vector<ViewChange>& changes);
    // Ends the records of the live ids whose handles are gone.
    void sweep(const std::function<bool(Handle)>& alive, std::vector<ViewChange>& changes);

    std::vector<int32_t> record_;
    std::vector<int32_t> state_;
    std::vector<int32_t> why_;

private:
    std::unordered_map<Handle, int32_t> ids_;
    std::vector<Handle> handles_;  // by id
    std::vector<Handle> slotHandle_;
    std::vector<int32_t> slotId_;
    std::vector<int32_t> live_;  // ids with a record
};

}  // namespace tarvo
