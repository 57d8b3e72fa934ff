#include "host/windows/entry_table.h"

namespace tarvo::win {

// The sweep's names are string literals, so their data() is terminated.
void EntryTable::fillOnce(const ModuleFunctions& windows) {
    if (filled_) return;
    // Set first: whatever the sweep finds or misses, it is never run again.
    filled_ = true;
    std::size_t slot = 0;
    for (const SweptModule& module : kSweep) {
        const ModuleHandle handle = windows.findLoaded(module.file.data());
        for (std::string_view name : module.names) {
            slots_[slot++] = handle ? windows.lookUp(handle, name.data()) : nullptr;
        }
    }
}

}  // namespace tarvo::win
