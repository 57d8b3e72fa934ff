// Calls any export by its command-table identifier with its arguments as
// 32-bit slots, the way the host's runtime passes them: an 'L' argument is the
// integer, an 'F' argument the float's bit pattern. The result is the 32-bit
// value the export returns (0 for commands without a result).
#pragma once

#include <cstdint>
#include <span>

namespace tarvo {

// id counts from 1 in the command list's order; slots holds exactly the
// declared parameters.
int32_t invokeCommand(int id, std::span<const uint32_t> slots);

}  // namespace tarvo
