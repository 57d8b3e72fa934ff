// Distances and overlaps between node volumes, which the lint's zone and
// opening warnings rest on.
#include "lint/volume_geometry.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

Solid box(Vec3 a, Vec3 b) {
    OtNode n{};
    n.kind = kBox;
    n.cornerA = a;
    n.cornerB = b;
    return *solidOf(n);
}

Solid sphere(Vec3 centre, float radius, uint8_t kind = kSphere) {
    OtNode n{};
    n.kind = kind;
    n.cornerA = centre;
    n.radius = radius;
    return *solidOf(n);
}

struct PairCase {
    const char* what;
    Solid a, b;
    double gap;
    bool overlap;
};

TEST(VolumeGeometry, GapsAndOverlaps) {
    const Solid unit = box({0, 0, 0}, {1, 1, 1});
    const PairCase cases[] = {
        {"boxes sharing a face", unit, box({1, 0, 0}, {2, 1, 1}), 0.0, false},
        {"boxes apart along one axis", unit, box({1.5, 0, 0}, {2, 1, 1}), 0.5, false},
        {"boxes apart on a diagonal", unit, box({4, 5, 0}, {5, 6, 1}), 5.0, false},
        {"boxes overlapping", unit, box({0.5, 0.5, 0.5}, {2, 2, 2}), 0.0, true},
        {"a box given corner B first", box({1, 1, 1}, {0, 0, 0}), box({0.5, 0, 0}, {2, 1, 1}), 0.0,
         true},
        {"a sphere touching a box", sphere({2, 0.5, 0.5}, 1), unit, 0.0, false},
        {"a sphere clear of a box", sphere({4, 0.5, 0.5}, 1), unit, 2.0, false},
        {"a sphere cutting into a box", unit, sphere({1.5, 0.5, 0.5}, 1), 0.0, true},
        {"spheres apart", sphere({0, 0, 0}, 1), sphere({5, 0, 0}, 2), 2.0, false},
        {"spheres overlapping", sphere({0, 0, 0}, 1), sphere({2, 0, 0}, 1.5), 0.0, true},
        {"a point on a box face", sphere({1, 0.5, 0.5}, 0, kPoint), unit, 0.0, false},
        {"a point inside a box", sphere({0.5, 0.5, 0.5}, 0, kPoint), unit, 0.0, false},
        {"a sphere of negative radius as a point", sphere({3, 0.5, 0.5}, -4), unit, 2.0, false},
    };
    for (const PairCase& c : cases) {
        EXPECT_DOUBLE_EQ(gapBetween(c.a, c.b), c.gap) << c.what;
        EXPECT_DOUBLE_EQ(gapBetween(c.b, c.a), c.gap) << c.what << ", the other way round";
        EXPECT_EQ(insidesOverlap(c.a, c.b), c.overlap) << c.what;
        EXPECT_EQ(insidesOverlap(c.b, c.a), c.overlap) << c.what << ", the other way round";
    }
}

TEST(VolumeGeometry, AKindWithoutAVolumeHasNoSolid) {
    OtNode n{};
    n.kind = 9;
    EXPECT_FALSE(solidOf(n).has_value());
}

}  // namespace
}  // namespace tarvo
