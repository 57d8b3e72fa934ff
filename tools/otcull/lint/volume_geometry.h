// Node volumes as solids, for asking how far apart two of them are and
// whether they share inside points. Double precision: the answers are for
// warnings, not for culling.
#pragma once

#include <optional>

#include "tree/records.h"

namespace tarvo {

struct Solid {
    bool isBox;
    double min[3];  // a box's lower and upper corners, whichever way given
    double max[3];
    double centre[3];  // a sphere's or point's
    double radius;     // 0 for a point
};

// None for a kind without a volume.
std::optional<Solid> solidOf(const OtNode& node);

// The shortest distance between the two; 0 when they touch or overlap.
double gapBetween(const Solid& a, const Solid& b);

// True when some point lies strictly inside both.
bool insidesOverlap(const Solid& a, const Solid& b);

}  // namespace tarvo
