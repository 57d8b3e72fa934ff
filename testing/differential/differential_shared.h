// What the parts of the differential harness share: a command's entry in the
// command table, and how reports compare and write 32-bit values.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "commands/command_table.h"

namespace tarvo::reliability {

inline const CommandDeclaration& commandOf(int id) {
    return kCommandTable[static_cast<size_t>(id - 1)];
}

inline std::string_view exportName(int id) {
    return commandOf(id).signature.exportName;
}

// Any NaN equals any NaN: a compiler may swap the operands of an addition,
// and x86 keeps the payload of whichever NaN comes first, so payloads differ
// between two correct builds (seen: SetPosition on a box with a NaN corner).
inline bool sameFloat(uint32_t a, uint32_t b) {
    if (a == b) return true;
    return std::isnan(std::bit_cast<float>(a)) && std::isnan(std::bit_cast<float>(b));
}

inline std::string hex(uint32_t v) {
    static const char* digits = "0123456789abcdef";
    std::string s = "0x";
    for (int i = 7; i >= 0; --i) s += digits[(v >> (4 * i)) & 15];
    return s;
}

inline bool isCreate(int id) {
    return commandOf(id).result == ResultKind::kNewNode ||
           commandOf(id).result == ResultKind::kNewPortal;
}

}  // namespace tarvo::reliability
