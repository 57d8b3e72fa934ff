// The camera zone search of a real pass at the bounds of its zones: a camera
// exactly on a box's face, edge or corner, or on a sphere's surface, is
// outside the zone; a hair inside is inside, a hair outside is outside.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fixture.h"

namespace tarvo {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

enum class Nudge { kNone, kIn, kOut };

struct CameraCase {
    std::string where;
    float position[3];
    bool inside;
};

std::string nudgeText(Nudge nudge) {
    if (nudge == Nudge::kIn) return "a hair inside";
    if (nudge == Nudge::kOut) return "a hair outside";
    return "exactly";
}

// Moves a coordinate on a bound one float towards (in) or away from (out) the
// volume; side is -1 on a lower bound, +1 on an upper one.
float nudged(float bound, int side, Nudge nudge) {
    if (nudge == Nudge::kNone) return bound;
    const bool up = (nudge == Nudge::kOut) == (side > 0);
    return std::nextafter(bound, up ? kInf : -kInf);
}

// No two axes alike and the origin outside, so that no comparison can stand
// in for another.
constexpr float kLow[3] = {2.0f, -3.0f, 5.0f};
constexpr float kHigh[3] = {4.0f, 1.0f, 9.5f};

// Each face, edge and corner of the box, named by the side taken on each
// axis (-1 its lower bound, +1 its upper, 0 the middle), met exactly, a hair
// inside and a hair outside.
std::vector<CameraCase> boxCases() {
    std::vector<CameraCase> cases;
    constexpr const char* kAxes = "xyz";
    for (int feature = 0; feature < 27; ++feature) {
        const int sides[3] = {feature % 3 - 1, feature / 3 % 3 - 1, feature / 9 - 1};
        if (sides[0] == 0 && sides[1] == 0 && sides[2] == 0) continue;
        for (const Nudge nudge : {Nudge::kNone, Nudge::kIn, Nudge::kOut}) {
            CameraCase c{"box", {}, nudge == Nudge::kIn};
            for (int axis = 0; axis < 3; ++axis) {
                const int side = sides[axis];
                const float bound = side < 0 ? kLow[axis] : kHigh[axis];
                c.position[axis] =
                    side == 0 ? (kLow[axis] + kHigh[axis]) / 2 : nudged(bound, side, nudge);
                if (side != 0)
                    c.where += std::string(", ") + kAxes[axis] + (side < 0 ? " low" : " high");
            }
            c.where += ", " + nudgeText(nudge);
            cases.push_back(c);
        }
    }
    return cases;
}

// Chosen so that centre + offset is exact for every offset below, a hair
// either way included: the sphere test sees the offset it was given.
constexpr float kCentre[3] = {0.5f, -0.25f, -0.5f};
constexpr float kRadius = 5.0f;

// Offsets exactly the radius long in floats, along each axis and along 3-4-5
// diagonals, then one float shorter or longer on each axis they use.
std::vector<CameraCase> sphereCases() {
    const float offsets[][3] = {{5, 0, 0},  {-5, 0, 0}, {0, 5, 0},  {0, -5, 0}, {0, 0, 5},
                                {0, 0, -5}, {3, 4, 0},  {0, -3, 4}, {-4, 0, -3}};
    std::vector<CameraCase> cases;
    for (const auto& offset : offsets) {
        for (const Nudge nudge : {Nudge::kNone, Nudge::kIn, Nudge::kOut}) {
            CameraCase c{"sphere, offset", {}, nudge == Nudge::kIn};
            for (int axis = 0; axis < 3; ++axis) {
                const float d = offset[axis];
                const float moved = d == 0 ? 0 : nudged(d, d < 0 ? -1 : 1, nudge);
                c.position[axis] = kCentre[axis] + moved;
                EXPECT_EQ(c.position[axis] - kCentre[axis], moved) << "an inexact case";
                c.where += ' ' + std::to_string(static_cast<int>(d));
            }
            c.where += ", " + nudgeText(nudge);
            cases.push_back(c);
        }
    }
    return cases;
}

class CameraZoneTest : public PluginTest {
protected:
    // Whether the pass's zone search found the camera inside the zone.
    bool cameraFoundIn(int32_t zone, const float position[3]) {
        lookAlongZ(0, position[0], position[1], position[2]);
        OT_UpdateFrustum1();
        OT_CullAll();
        const Tree& tree = cullingState();
        return tree.cameraInsideInLastPass(tree.nodeIndex(zone));
    }
};

TEST_F(CameraZoneTest, BoxHoldsTheCameraOnlyStrictlyInside) {
    const int32_t zone =
        OT_CreateBox1(0, kLow[0], kLow[1], kLow[2], kHigh[0], kHigh[1], kHigh[2], kZone);
    const float middle[3] = {3.0f, -1.0f, 7.25f};
    EXPECT_TRUE(cameraFoundIn(zone, middle));
    const std::vector<CameraCase> cases = boxCases();
    ASSERT_EQ(cases.size(), 26u * 3u);
    for (const CameraCase& c : cases) {
        EXPECT_EQ(cameraFoundIn(zone, c.position), c.inside) << c.where;
    }
    OT_Delete(zone);
    const int32_t swapped =
        OT_CreateBox1(0, kHigh[0], kHigh[1], kHigh[2], kLow[0], kLow[1], kLow[2], kZone);
    EXPECT_FALSE(cameraFoundIn(swapped, middle)) << "corner A above corner B holds nothing";
}

TEST_F(CameraZoneTest, SphereHoldsTheCameraOnlyStrictlyInside) {
    const int32_t zone = OT_CreateSphere1(0, kCentre[0], kCentre[1], kCentre[2], kRadius, kZone);
    EXPECT_TRUE(cameraFoundIn(zone, kCentre));
    for (const CameraCase& c : sphereCases()) {
        EXPECT_EQ(cameraFoundIn(zone, c.position), c.inside) << c.where;
    }
}

}  // namespace
}  // namespace tarvo
