// Objects and limbs as the host's switches left them, counted, with those
// that changed since the last pass: a pass hides and shows every object it
// deals with, so the ledger costs an array access a switch.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "script_runner.h"

namespace tarvo {

// A host object, or one of its limbs (limb -1: the whole object).
struct HostObject {
    int32_t object;
    int32_t limb;
    auto operator<=>(const HostObject&) const = default;
};

struct ObjectSwitch {
    HostObject object;
    bool shown;
};

class SwitchLedger {
public:
    void apply(script::HostSwitch which, int32_t object, int32_t limb);
    // Only those ever switched are counted.
    uint64_t shown() const { return shownCount_; }
    uint64_t hidden() const { return hiddenCount_; }
    // The objects and limbs shown now and hidden at the last call, or the
    // other way round; the next call starts from now.
    std::vector<ObjectSwitch> switchedSinceLastCall();

private:
    struct Entry {
        HostObject object;
        bool hidden;
        bool hiddenBefore;  // at the last call
        bool listed;        // in touched_
        bool counted;       // switched before the last call
    };
    Entry& entry(HostObject object);

    // Whole objects with small ids by id, everything else by a map: ids are
    // the host's, and most hosts number their objects from 1.
    static constexpr int32_t kDirectIds = 1 << 22;
    std::vector<int32_t> direct_;  // object id -> index into entries_ + 1, 0 for none
    std::map<HostObject, int32_t> others_;
    std::vector<Entry> entries_;
    std::vector<int32_t> touched_;  // entries switched since the last call
    uint64_t shownCount_ = 0;
    uint64_t hiddenCount_ = 0;
};

}  // namespace tarvo
