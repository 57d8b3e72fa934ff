#include "trace/switch_ledger.h"

namespace tarvo {

SwitchLedger::Entry& SwitchLedger::entry(HostObject object) {
    auto add = [&] {
        entries_.push_back({object, false, false, false, false});
        return static_cast<int32_t>(entries_.size());
    };
    if (object.limb < 0 && object.object >= 0 && object.object < kDirectIds) {
        const auto id = static_cast<size_t>(object.object);
        if (id >= direct_.size()) direct_.resize(id + 1 + id / 8, 0);
        if (direct_[id] == 0) direct_[id] = add();
        return entries_[static_cast<size_t>(direct_[id]) - 1];
    }
    const auto [found, added] = others_.try_emplace(object, 0);
    if (added) found->second = add();
    return entries_[static_cast<size_t>(found->second) - 1];
}

void SwitchLedger::apply(script::HostSwitch which, int32_t object, int32_t limb) {
    using script::HostSwitch;
    const bool isLimb = which == HostSwitch::kHideLimb || which == HostSwitch::kShowLimb;
    const bool hide = which == HostSwitch::kHide || which == HostSwitch::kExcludeOn ||
                      which == HostSwitch::kHideLimb;
    const size_t before = entries_.size();
    Entry& e = entry({object, isLimb ? limb : -1});
    if (entries_.size() != before) {
        ++(hide ? hiddenCount_ : shownCount_);
    } else if (e.hidden != hide) {
        --(hide ? shownCount_ : hiddenCount_);
        ++(hide ? hiddenCount_ : shownCount_);
    } else {
        return;
    }
    e.hidden = hide;
    if (!e.listed) {
        e.listed = true;
        touched_.push_back(static_cast<int32_t>(&e - entries_.data()));
    }
}

std::vector<ObjectSwitch> SwitchLedger::switchedSinceLastCall() {
    std::vector<ObjectSwitch> switched;
    for (const int32_t index : touched_) {
        Entry& e = entries_[static_cast<size_t>(index)];
        if (e.counted && e.hidden != e.hiddenBefore) switched.push_back({e.object, !e.hidden});
        e.hiddenBefore = e.hidden;
        e.counted = true;
        e.listed = false;
    }
    touched_.clear();
    return switched;
}

}  // namespace tarvo
