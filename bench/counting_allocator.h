// Replaces the global allocator with one that counts the bytes in use, so
// memory figures are measured through the allocator, not estimated.
#pragma once

#include <cstdint>

int64_t heapBytesInUse();
