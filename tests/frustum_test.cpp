// Plane extraction and the volume tests, at their boundaries.
#include "tree/frustum.h"

#include <cmath>
#include <limits>
#include <random>

#include "fixture.h"

namespace tarvo {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

using FrustumTest = PluginTest;

void expectPlane(const Plane& got, Plane want) {
    EXPECT_EQ(got.a, want.a);
    EXPECT_EQ(got.b, want.b);
    EXPECT_EQ(got.c, want.c);
    EXPECT_EQ(got.d, want.d);
}

TEST_F(FrustumTest, BeforeAnyUpdateEveryDistanceIsZero) {
    EXPECT_EQ(OT_TestBox(-1, -1, -1, 1, 1, 1), 0);
    EXPECT_EQ(OT_TestSphere(0, 0, 0, 1), 1);
    EXPECT_EQ(OT_TestSphere(0, 0, 0, 0), 0);
    EXPECT_EQ(OT_TestSphere(0, 0, 0, -1), 0);
    EXPECT_EQ(OT_TestPoint(5, 5, 5), 0);
}

// An off-centre projection (x leans with depth) under a translated view: the
// left plane must take the right plane's factor, not its own length.
TEST_F(FrustumTest, PairedPlanesShareTheFirstPlanesFactor) {
    StandInCamera& c = host.camera(3);
    const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};
    const float projection[16] = {1, 0, 0, 0, 0, 2, 0, 0, 0.5f, 0.25f, 2, 1, 0, 0, -2, 0};
    std::copy(view, view + 16, c.view);
    std::copy(projection, projection + 16, c.projection);
    OT_UpdateFrustum2(3);
    const OtFrustum& f = cullingState().frustum();
    // viewProjection columns: c1 = (1,0,.5,-1), c2 = (0,2,.25,-.5), c3 = (0,0,2,-6), c4 =
    // (0,0,1,-2)
    const float side = 1.0f / std::sqrt(1.25f);        // right = (-1, 0, .5, -1)
    const float vertical = 1.0f / std::sqrt(5.5625f);  // bottom = (0, 2, 1.25, -2.5)
    expectPlane(f.planes[kRight], {-side, 0, 0.5f * side, -side});
    expectPlane(f.planes[kLeft], {side, 0, 1.5f * side, -3.0f * side});
    expectPlane(f.planes[kBottom], {0, 2 * vertical, 1.25f * vertical, -2.5f * vertical});
    expectPlane(f.planes[kTop], {0, -2 * vertical, 0.75f * vertical, -1.5f * vertical});
    const float farFactor = 1.0f / std::sqrt(1.0f);
    expectPlane(f.planes[kFar], {0, 0, -1 * farFactor, 4 * farFactor});
    expectPlane(f.planes[kNear], {0, 0, 3.0f / 3.0f, -8.0f / 3.0f});
}

TEST_F(FrustumTest, TouchingABoundaryCountsAsOutside) {
    lookAlongZ(0, 0, 0, 0);
    OT_UpdateFrustum1();
    // Right plane: x < z, unit normal (-1, 0, 1) / sqrt(2).
    struct Case {
        const char* what;
        int32_t got, want;
    };
    const Plane& right = cullingState().frustum().planes[kRight];
    const float r = -signedDistance(right, 11, 0, 10);  // the sphere just touches from behind
    const Case cases[] = {
        {"point inside", OT_TestPoint(0, 0, 10), 1},
        {"point on the right plane", OT_TestPoint(10, 0, 10), 0},
        {"point behind the camera", OT_TestPoint(0, 0, -1), 0},
        {"sphere at exactly -radius", OT_TestSphere(11, 0, 10, r), 0},
        {"sphere a hair inside -radius", OT_TestSphere(11, 0, 10, std::nextafter(r, 2.0f)), 1},
        {"sphere far outside", OT_TestSphere(50, 0, 10, r), 0},
        {"box with a corner on the plane only", OT_TestBox(10, 0, 10, 12, 1, 10), 0},
        {"box straddling the plane", OT_TestBox(9, 0, 10, 12, 1, 10), 1},
        {"box given the other way round", OT_TestBox(12, 1, 10, 9, 0, 10), 1},
        {"box beyond the far plane", OT_TestBox(-1, -1, 200, 1, 1, 300), 0},
        {"sphere with a NaN centre is never rejected", OT_TestSphere(kNaN, 0, 0, 1), 1},
        {"box with NaN corners is behind every plane",
         OT_TestBox(kNaN, kNaN, kNaN, kNaN, kNaN, kNaN), 0},
        {"box with one NaN axis still has corners in front", OT_TestBox(-1, -1, 9, 1, 1, kNaN), 1},
        {"infinite box: 0 times infinity is NaN, so behind",
         OT_TestBox(-kInf, -kInf, -kInf, kInf, kInf, kInf), 0},
        {"box infinite along x: the bottom plane meets 0 times infinity too",
         OT_TestBox(-kInf, -1, 9, kInf, 1, 11), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

TEST_F(FrustumTest, ZeroMatricesLeaveEveryPlaneNotANumber) {
    host.camera(1);
    OT_UpdateFrustum2(1);
    EXPECT_EQ(OT_TestBox(-1, -1, -1, 1, 1, 1), 0);
    EXPECT_EQ(OT_TestSphere(0, 0, 0, 0), 1);
    EXPECT_EQ(OT_TestPoint(0, 0, 0), 1);
}

TEST_F(FrustumTest, UnknownCameraLeavesTheLastFrustum) {
    lookAlongZ(0, 0, 0, 0);
    OT_UpdateFrustum2(0);
    OT_UpdateFrustum2(99);
    host.setCurrentCamera(98);
    OT_UpdateFrustum1();
    EXPECT_EQ(OT_TestPoint(0, 0, 10), 1);
    EXPECT_EQ(OT_TestPoint(0, 0, -10), 0);
}

TEST_F(FrustumTest, CameraInsideTestsAreStrictAndReadTheCameraNow) {
    OtFrustum f{};
    EXPECT_FALSE(cameraInBox(f, {-1, -1, -1}, {1, 1, 1})) << "no camera yet";
    float position[3] = {0, 0, 0};
    f.cameraRecord.position = position;
    struct Case {
        float x, y, z;
        bool inBox, inSphere;
    };
    const Case cases[] = {
        {0, 0, 0, true, true},
        {1, 0, 0, false, true},   // on the box face
        {0, 2, 0, false, false},  // on the sphere's surface
        {0.5f, -0.5f, 0.999f, true, true},
        {kNaN, 0, 0, false, false},
    };
    for (const Case& c : cases) {
        position[0] = c.x;
        position[1] = c.y;
        position[2] = c.z;
        EXPECT_EQ(cameraInBox(f, {-1, -1, -1}, {1, 1, 1}), c.inBox) << c.x << ' ' << c.y;
        EXPECT_EQ(cameraInSphere(f, {0, 0, 0}, 2), c.inSphere) << c.x << ' ' << c.y;
        EXPECT_FALSE(cameraInBox(f, {1, 1, 1}, {-1, -1, -1})) << "corner A must be the lower";
        EXPECT_FALSE(cameraInSphere(f, {c.x, c.y, c.z}, 0)) << "radius 0 holds nothing";
    }
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// The one-corner box test must give the same plane as trying all eight, for
// random frusta and boxes, boxes on the planes, and special values.
TEST(BoxTestPaths, OneCornerAgreesWithEightCorners) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    const float specials[] = {0.0f, -0.0f, 1e-38f, -1e-45f, 3e38f, -3e38f, kInf, -kInf, kNaN, 1.0f};
    auto pick = [&](float scale) {
        const uint32_t r = random() % 16;
        return r < 10 ? specials[r] : unit(random) * scale;
    };
    for (int round = 0; round < 2000; ++round) {
        OtFrustum f{};
        float view[16], projection[16];
        for (int i = 0; i < 16; ++i) {
            view[i] = unit(random) * 3;
            projection[i] = round % 4 == 0 ? pick(10) : unit(random) * 3;
        }
        setFrustumFromCamera(f, {projection, view, nullptr});
        for (int box = 0; box < 200; ++box) {
            Vec3 a = {unit(random) * 50, unit(random) * 50, unit(random) * 50};
            Vec3 b = {unit(random) * 50, unit(random) * 50, unit(random) * 50};
            if (box % 5 == 0) a = {pick(100), pick(100), pick(100)};
            if (box % 7 == 0) b = {pick(1e30f), b.y, pick(1e30f)};
            if (box % 11 == 0 && f.planes[0].a != 0) {
                // A corner on the right plane: distance 0 counts as behind.
                a.x = -(f.planes[0].b * a.y + f.planes[0].c * a.z + f.planes[0].d) / f.planes[0].a;
            }
            ASSERT_EQ(boxRejectingPlane(f, a, b), boxRejectingPlaneByCorners(f, a, b))
                << round << ' ' << box;
        }
    }
}

}  // namespace
}  // namespace tarvo
