// The host entry points the plug-in binds by decorated name, found in one
// sweep over the host's modules. The sweep is data: each module's file name
// and its names in lookup order; a slot per (module, name) entry.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "host/windows/module_functions.h"

namespace tarvo::win {

struct SweptModule {
    std::string_view file;
    std::span<const std::string_view> names;
};

// Only the entries something calls have slots: the six visibility switches.
// The host's other modules and names are reached by the link itself (the
// global record, the object and camera lookups), not through this sweep.
inline constexpr std::string_view kBasic3DDebugNames[] = {
    "?Hide@@YAXH@Z",       "?Show@@YAXH@Z",      "?ExcludeOn@@YAXH@Z",
    "?ExcludeOff@@YAXH@Z", "?HideLimb@@YAXHH@Z", "?ShowLimb@@YAXHH@Z",
};

inline constexpr SweptModule kSweep[] = {
    {"TarvoBasic3DDebug.dll", kBasic3DDebugNames},
};

consteval std::size_t sweptSlotCount() {
    std::size_t count = 0;
    for (const SweptModule& module : kSweep) count += module.names.size();
    return count;
}

// The slot of a name in a module, fixed at compile time; a name the sweep
// does not hold fails the build.
consteval std::size_t slotOf(std::string_view file, std::string_view name) {
    std::size_t slot = 0;
    for (const SweptModule& module : kSweep) {
        for (std::string_view entry : module.names) {
            if (module.file == file && entry == name) return slot;
            ++slot;
        }
    }
    throw "no such entry in the sweep";
}

class EntryTable {
public:
    static constexpr std::size_t kSlots = sweptSlotCount();

    // Runs the sweep the first time only: modules the host loads later keep
    // their slots empty for the life of the process.
    void fillOnce(const ModuleFunctions& windows);

    bool filled() const { return filled_; }
    EntryAddress slot(std::size_t index) const { return slots_[index]; }

private:
    bool filled_ = false;
    std::array<EntryAddress, kSlots> slots_{};
};

}  // namespace tarvo::win
