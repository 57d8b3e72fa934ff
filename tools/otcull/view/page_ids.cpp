#include "view/page_ids.h"

namespace tarvo {

int32_t PageIds::idOf(uint32_t index, Handle handle) {
    if (index < slotHandle_.size() && slotHandle_[index] == handle) return slotId_[index];
    const auto [entry, added] = ids_.try_emplace(handle, static_cast<int32_t>(record_.size()));
    if (added) {
        record_.push_back(-1);
        state_.push_back(-1);
        why_.push_back(-1);
        handles_.push_back(handle);
    }
    if (index >= slotHandle_.size()) {
        slotHandle_.resize(index + 1 + index / 8, 0);
        slotId_.resize(slotHandle_.size(), -1);
    }
    slotHandle_[index] = handle;
    slotId_[index] = entry->second;
    return entry->second;
}

int32_t PageIds::find(Handle handle) const {
    const auto found = ids_.find(handle);
    return found == ids_.end() ? -1 : found->second;
}

void PageIds::setRecord(int32_t id, int32_t record, std::vector<ViewChange>& changes) {
    if (record_[static_cast<size_t>(id)] < 0) live_.push_back(id);
    set(record_, id, record, changes);
}

void PageIds::sweep(const std::function<bool(Handle)>& alive, std::vector<ViewChange>& changes) {
    std::erase_if(live_, [&](int32_t id) {
        if (alive(handles_[static_cast<size_t>(id)])) return false;
        set(record_, id, -1, changes);
        return true;
    });
}

}  // namespace tarvo
