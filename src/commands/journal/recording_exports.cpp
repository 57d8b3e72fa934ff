// The recording flavour's exports: each runs the shipped export, then writes
// the command, with the host state it read, to the process's journal. Without
// a journal this is one test per command.
#include <array>
#include <bit>
#include <type_traits>

#include "commands/command_table.h"
#include "commands/journal/journal.h"
#include "commands/state.h"
#include "tarvo/culling.h"

#define TARVO_DECLARE_UNRECORDED(id, exportName, scriptName, hostLink, reads, result, parameters, \
                                 reference)                                                       \
    extern "C" TARVO_FUNCTION_TYPE(result, parameters) tarvo_unrecorded_##exportName;
TARVO_COMMANDS(TARVO_DECLARE_UNRECORDED)

namespace tarvo::journal {
namespace {

uint32_t slotOf(int32_t value) {
    return std::bit_cast<uint32_t>(value);
}
uint32_t slotOf(float value) {
    return std::bit_cast<uint32_t>(value);
}

template <int id, typename Export, typename... Arguments>
auto recorded(Export run, Arguments... arguments) {
    const auto journal = [&](uint32_t result) {
        Journal& out = processJournal();
        if (!out.active()) return;
        const std::array<uint32_t, sizeof...(Arguments)> slots{slotOf(arguments)...};
        out.record(cullingState().host(), id, slots, result);
    };
    if constexpr (std::is_void_v<decltype(run(arguments...))>) {
        run(arguments...);
        journal(0);
    } else {
        const int32_t result = run(arguments...);
        journal(slotOf(result));
        return result;
    }
}

}  // namespace
}  // namespace tarvo::journal

#define TARVO_RECORDED_EXPORT(id, exportName, scriptName, hostLink, reads, result, parameters, \
                              reference)                                                       \
    extern "C" TARVO_RESULT_TYPE(result) OT_CALL exportName(                                   \
        TARVO_EACH_PARAMETER(TARVO_PARAMETER_DECLARATION, parameters)) {                       \
        return tarvo::journal::recorded<id>(tarvo_unrecorded_##exportName TARVO_COMMA_FIRST(   \
            TARVO_EACH_PARAMETER(TARVO_PARAMETER_NAME, parameters)));                          \
    }
TARVO_COMMANDS(TARVO_RECORDED_EXPORT)
