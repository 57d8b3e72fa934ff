#include "lint/volume_geometry.h"

#include <algorithm>
#include <cmath>

namespace tarvo {
namespace {

// Distance from a point to the solid; 0 inside or on it.
double distanceTo(const Solid& s, const double p[3]) {
    double sum = 0.0;
    for (int i = 0; i < 3; ++i) {
        const double out =
            s.isBox ? std::max({s.min[i] - p[i], p[i] - s.max[i], 0.0}) : p[i] - s.centre[i];
        sum += out * out;
    }
    const double distance = std::sqrt(sum);
    return s.isBox ? distance : std::max(distance - s.radius, 0.0);
}

}  // namespace

std::optional<Solid> solidOf(const OtNode& n) {
    const double a[3] = {n.cornerA.x, n.cornerA.y, n.cornerA.z};
    Solid s{};
    if (n.kind == kBox) {
        const double b[3] = {n.cornerB.x, n.cornerB.y, n.cornerB.z};
        s.isBox = true;
        for (int i = 0; i < 3; ++i) {
            s.min[i] = std::min(a[i], b[i]);
            s.max[i] = std::max(a[i], b[i]);
        }
        return s;
    }
    if (n.kind != kSphere && n.kind != kPoint) return std::nullopt;
    std::copy(a, a + 3, s.centre);
    s.radius = n.kind == kSphere ? std::max<double>(n.radius, 0.0) : 0.0;
    return s;
}

double gapBetween(const Solid& a, const Solid& b) {
    if (!a.isBox) return std::max(distanceTo(b, a.centre) - a.radius, 0.0);
    if (!b.isBox) return std::max(distanceTo(a, b.centre) - b.radius, 0.0);
    double sum = 0.0;
    for (int i = 0; i < 3; ++i) {
        const double gap = std::max({a.min[i] - b.max[i], b.min[i] - a.max[i], 0.0});
        sum += gap * gap;
    }
    return std::sqrt(sum);
}

bool insidesOverlap(const Solid& a, const Solid& b) {
    if (!a.isBox) return distanceTo(b, a.centre) < a.radius;
    if (!b.isBox) return distanceTo(a, b.centre) < b.radius;
    for (int i = 0; i < 3; ++i) {
        if (!(std::max(a.min[i], b.min[i]) < std::min(a.max[i], b.max[i]))) return false;
    }
    return true;
}

}  // namespace tarvo
