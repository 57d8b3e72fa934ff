// Which of many solids share inside points, found without comparing every
// pair: the lint's overlapping zones, in a level of any layout.
#pragma once

#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "lint/volume_geometry.h"

namespace tarvo {

// Every (i, j), i < j, whose solids' insides overlap (insidesOverlap), in
// ascending order; a solid with a NaN bound overlaps nothing. Costs in
// proportion to the solids and the pairs found whether they lie in a row
// along any axis, a tower, a grid or nested in one another, for solids of
// bounded aspect ratio.
std::vector<std::pair<size_t, size_t>> overlappingPairs(std::span<const Solid> solids);

}  // namespace tarvo
