#include "commands/invoke.h"

#include <array>
#include <bit>
#include <type_traits>
#include <utility>

#include "commands/command_table.h"
#include "tarvo/culling.h"

namespace tarvo {
namespace {

template <typename T>
T fromSlot(uint32_t slot) {
    if constexpr (std::is_same_v<T, float>) {
        return std::bit_cast<float>(slot);
    } else {
        static_assert(std::is_same_v<T, int32_t>);
        return static_cast<int32_t>(slot);
    }
}

using SlotCall = int32_t (*)(const uint32_t* slots);

template <typename Function>
struct SlotCaller;

template <typename R, typename... A>
struct SlotCaller<R (*)(A...)> {
    template <auto F, size_t... I>
    static int32_t callWith(const uint32_t* slots, std::index_sequence<I...>) {
        if constexpr (std::is_void_v<R>) {
            F(fromSlot<A>(slots[I])...);
            return 0;
        } else {
            return F(fromSlot<A>(slots[I])...);
        }
    }

    template <auto F>
    static int32_t call(const uint32_t* slots) {
        return callWith<F>(slots, std::index_sequence_for<A...>{});
    }
};

#define TARVO_SLOT_CALL(id, exportName, ...) &SlotCaller<decltype(&exportName)>::call<&exportName>,

// By identifier, from 1.
constexpr std::array<SlotCall, kCommandCount> kSlotCalls = {{TARVO_COMMANDS(TARVO_SLOT_CALL)}};

}  // namespace

int32_t invokeCommand(int id, std::span<const uint32_t> slots) {
    if (id < 1 || id > static_cast<int>(kCommandCount)) return 0;
    const auto index = static_cast<size_t>(id - 1);
    if (slots.size() != kCommandTable[index].signature.parameters.size()) return 0;
    return kSlotCalls[index](slots.data());
}

}  // namespace tarvo
