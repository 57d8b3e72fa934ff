// Handles: the 32-bit names scripts hold for nodes and portals.
//
//   bits 0-21   index into the node or portal array (index 0 is never issued,
//               so a live handle is never 0)
//   bit  22     0 for a node, 1 for a portal
//   bits 23-31  the record's generation, bumped each time its slot is freed
//
// A handle is accepted only when its kind, index and generation match a live
// record, so a deleted, never-issued or wrong-kind handle names nothing.
#pragma once

#include <cstdint>

namespace tarvo {

using Handle = int32_t;

inline constexpr uint32_t kIndexBits = 22;
inline constexpr uint32_t kMaxIndex = (1u << kIndexBits) - 1;
inline constexpr uint32_t kPortalBit = 1u << kIndexBits;
inline constexpr uint32_t kGenerationShift = kIndexBits + 1;
inline constexpr uint32_t kGenerationMask = (1u << (32 - kGenerationShift)) - 1;

enum class HandleKind : uint32_t { kNode = 0, kPortal = kPortalBit };

constexpr Handle makeHandle(HandleKind kind, uint32_t index, uint16_t generation) {
    return static_cast<Handle>(((generation & kGenerationMask) << kGenerationShift) |
                               static_cast<uint32_t>(kind) | index);
}

struct DecodedHandle {
    HandleKind kind;
    uint32_t index;
    uint32_t generation;
};

constexpr DecodedHandle decodeHandle(Handle handle) {
    const auto bits = static_cast<uint32_t>(handle);
    return {static_cast<HandleKind>(bits & kPortalBit), bits & kMaxIndex, bits >> kGenerationShift};
}

constexpr bool sameGeneration(uint16_t recordGeneration, uint32_t handleGeneration) {
    return (recordGeneration & kGenerationMask) == handleGeneration;
}

}  // namespace tarvo
