// The recording flavour's exports: each runs the shipped export, then writes
// the command, with the host state it read, to the process's journal. Without
// a journal this is one test per command.
#include <array>
#include <bit>
#include <type_traits>

#include "commands/command_table.h"
#include "commands/record/export_list.h"
#include "commands/record/journal.h"
#include "commands/state.h"
#include "tarvo/culling.h"

#define TARVO_DECLARE_UNRECORDED(result, name, parameters, arguments) \
    extern "C" result tarvo_unrecorded_##name parameters;
TARVO_EXPORTS(TARVO_DECLARE_UNRECORDED)

namespace tarvo::record {
namespace {

consteval int commandId(std::string_view exportName) {
    return findCommandByExport(exportName)->id;
}

uint32_t slotOf(int32_t value) {
    return std::bit_cast<uint32_t>(value);
}
uint32_t slotOf(float value) {
    return std::bit_cast<uint32_t>(value);
}

// The journal writes each slot by the command table's letter for it.
template <typename... Arguments>
constexpr bool slotsAsDeclared(int id) {
    constexpr std::array<char, sizeof...(Arguments)> letters{
        (std::is_same_v<Arguments, float> ? 'F' : 'L')...};
    return std::string_view(letters.data(), letters.size()) ==
           signatureOf(kCommandTable[id - 1]).parameters;
}

template <int id, typename Export, typename... Arguments>
auto recorded(Export run, Arguments... arguments) {
    static_assert(slotsAsDeclared<Arguments...>(id));
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
}  // namespace tarvo::record

#define TARVO_RECORDED_EXPORT(result, name, parameters, arguments)       \
    extern "C" result OT_CALL name parameters {                          \
        return tarvo::record::recorded<tarvo::record::commandId(#name)>( \
            tarvo_unrecorded_##name TARVO_UNPAREN_COMMA arguments);      \
    }
#define TARVO_UNPAREN_COMMA(...) __VA_OPT__(, ) __VA_ARGS__
TARVO_EXPORTS(TARVO_RECORDED_EXPORT)
