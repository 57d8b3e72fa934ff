#include "commands/invoke.h"

#include <array>
#include <bit>
#include <string_view>
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

template <typename T>
constexpr char letterOf() {
    return std::is_same_v<T, float> ? 'F' : 'L';
}

template <typename Function>
struct ExportTraits;

template <typename R, typename... A>
struct ExportTraits<R (*)(A...)> {
    static constexpr bool hasResult = !std::is_void_v<R>;
    static constexpr std::array<char, sizeof...(A)> letters{letterOf<A>()...};

    template <auto F, size_t... I>
    static int32_t call(const uint32_t* slots, std::index_sequence<I...>) {
        if constexpr (hasResult) {
            return F(fromSlot<A>(slots[I])...);
        } else {
            F(fromSlot<A>(slots[I])...);
            return 0;
        }
    }
};

struct ExportEntry {
    std::string_view name;
    int32_t (*call)(const uint32_t* slots);
    bool hasResult;
    std::string_view letters;
};

template <auto F>
constexpr ExportEntry entry(std::string_view name) {
    using Traits = ExportTraits<decltype(F)>;
    return {name,
            [](const uint32_t* slots) {
                return Traits::template call<F>(slots,
                                                std::make_index_sequence<Traits::letters.size()>{});
            },
            Traits::hasResult, std::string_view(Traits::letters.data(), Traits::letters.size())};
}

#define OT_ENTRY(name) entry<&name>(#name)

// In identifier order; checked against the command table below.
constexpr std::array<ExportEntry, 61> kExports = {{
    OT_ENTRY(OT_UpdateFrustum1),
    OT_ENTRY(OT_UpdateFrustum2),
    OT_ENTRY(OT_CullAll),
    OT_ENTRY(OT_Cull),
    OT_ENTRY(OT_CreateBox1),
    OT_ENTRY(OT_CreateSphere1),
    OT_ENTRY(OT_CreatePoint1),
    OT_ENTRY(OT_CreateBox2),
    OT_ENTRY(OT_CreateSphere2),
    OT_ENTRY(OT_CreatePoint2),
    OT_ENTRY(OT_Delete),
    OT_ENTRY(OT_DeleteAll),
    OT_ENTRY(OT_AddObject),
    OT_ENTRY(OT_AddLimb),
    OT_ENTRY(OT_RemoveObject),
    OT_ENTRY(OT_RemoveLimb),
    OT_ENTRY(OT_Visible),
    OT_ENTRY(OT_Hide),
    OT_ENTRY(OT_Show),
    OT_ENTRY(OT_HideAll1),
    OT_ENTRY(OT_ShowAll1),
    OT_ENTRY(OT_HideAll2),
    OT_ENTRY(OT_ShowAll2),
    OT_ENTRY(OT_AddPortal),
    OT_ENTRY(OT_RemovePortal),
    OT_ENTRY(OT_CreateObjectBox1),
    OT_ENTRY(OT_CreateObjectSphere1),
    OT_ENTRY(OT_CreateObjectBox2),
    OT_ENTRY(OT_CreateObjectSphere2),
    OT_ENTRY(OT_CreateLimbBox1),
    OT_ENTRY(OT_CreateLimbSphere1),
    OT_ENTRY(OT_CreateLimbBox2),
    OT_ENTRY(OT_CreateLimbSphere2),
    OT_ENTRY(OT_TestBox),
    OT_ENTRY(OT_TestSphere),
    OT_ENTRY(OT_TestPoint),
    OT_ENTRY(OT_SetParent),
    OT_ENTRY(OT_SetPosition),
    OT_ENTRY(OT_SetBox),
    OT_ENTRY(OT_SetBoxSize),
    OT_ENTRY(OT_SetRadius),
    OT_ENTRY(OT_GetPositionX),
    OT_ENTRY(OT_GetPositionY),
    OT_ENTRY(OT_GetPositionZ),
    OT_ENTRY(OT_GetRadius),
    OT_ENTRY(OT_GetBoxWidth),
    OT_ENTRY(OT_GetBoxHeight),
    OT_ENTRY(OT_GetBoxDepth),
    OT_ENTRY(OT_GetBoxXA),
    OT_ENTRY(OT_GetBoxYA),
    OT_ENTRY(OT_GetBoxZA),
    OT_ENTRY(OT_GetBoxXB),
    OT_ENTRY(OT_GetBoxYB),
    OT_ENTRY(OT_GetBoxZB),
    OT_ENTRY(OT_GetParent),
    OT_ENTRY(OT_EnablePortal),
    OT_ENTRY(OT_DisablePortal),
    OT_ENTRY(OT_PortalEnabled),
    OT_ENTRY(OT_GetPortalPortal),
    OT_ENTRY(OT_GetPortalA),
    OT_ENTRY(OT_GetPortalB),
}};

// Each export's C signature must be the one its declaration announces.
constexpr bool exportsMatchTable() {
    for (size_t i = 0; i < kExports.size(); ++i) {
        const CommandSignature sig = signatureOf(kCommandTable[i]);
        const ExportEntry& e = kExports[i];
        if (kCommandTable[i].id != static_cast<int>(i) + 1) return false;
        if (e.name != sig.exportName || e.letters != sig.parameters) return false;
        if (e.hasResult != (sig.result != 0)) return false;
    }
    return true;
}
static_assert(exportsMatchTable(), "an export differs from its command table declaration");

}  // namespace

int32_t invokeCommand(int id, std::span<const uint32_t> slots) {
    if (id < 1 || id > static_cast<int>(kExports.size())) return 0;
    const ExportEntry& e = kExports[static_cast<size_t>(id - 1)];
    if (slots.size() != e.letters.size()) return 0;
    return e.call(slots.data());
}

}  // namespace tarvo
