#include <gtest/gtest.h>

#include <cmath>

#include "camera_math.h"
#include "commands/state.h"
#include "demo/demo_scene.h"
#include "demo/demo_walk.h"
#include "plan/svg_writer.h"
#include "tarvo/culling.h"

namespace tarvo {
namespace {

// A fresh plug-in bound to a fresh stand-in host holding one demo building.
class DemoSceneTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        resetCullingState();
        api_ = host_.api();
        ot_bind_host(&api_);
        DemoOptions options;
        options.rooms = GetParam();
        scene_ = buildDemoScene(host_, options);
    }
    void TearDown() override {
        resetCullingState();
        ot_bind_host(nullptr);
    }

    int32_t room(const GridCell& cell) const {
        return scene_.rooms[static_cast<size_t>(scene_.cellIndex(cell))];
    }

    // True when an enabled portal joins the two rooms.
    bool openDoorBetween(int32_t a, int32_t b) const {
        const Tree& tree = cullingState();
        const NodeIndex ia = tree.nodeIndex(a);
        const NodeIndex ib = tree.nodeIndex(b);
        for (PortalIndex p : tree.zonePortals(ia)) {
            const OtPortal& portal = tree.portal(p);
            const bool joins = (portal.zoneA == ia && portal.zoneB == ib) ||
                               (portal.zoneA == ib && portal.zoneB == ia);
            if (joins && !portal.disabled) return true;
        }
        return false;
    }

    StandInHost host_;
    OtHostApi api_{};
    DemoScene scene_;
};

TEST_P(DemoSceneTest, HasAtLeastTheRoomsAskedForOnTwoFloors) {
    EXPECT_GE(static_cast<int>(scene_.rooms.size()), GetParam());
    EXPECT_EQ(scene_.rooms.size(), static_cast<size_t>(2 * scene_.cols * scene_.rows));
    EXPECT_GT(scene_.closedDoors, 0);
    EXPECT_GT(scene_.windows, 0);
}

TEST_P(DemoSceneTest, TheRouteGoesOnlyThroughOpenDoorsAndTheStairwell) {
    ASSERT_GE(scene_.route.size(), 2u);
    EXPECT_EQ(scene_.route.front().floor, 1);
    EXPECT_EQ(scene_.route.back(), scene_.entrance);
    for (size_t i = 1; i < scene_.route.size(); ++i) {
        const GridCell& a = scene_.route[i - 1];
        const GridCell& b = scene_.route[i];
        const int steps =
            std::abs(a.col - b.col) + std::abs(a.row - b.row) + std::abs(a.floor - b.floor);
        EXPECT_EQ(steps, 1) << "route step " << i;
        EXPECT_TRUE(openDoorBetween(room(a), room(b))) << "route step " << i;
    }
    EXPECT_TRUE(openDoorBetween(room(scene_.entrance), scene_.yard));
}

TEST_P(DemoSceneTest, TheWalkNeverLooksStraightUpOrDown) {
    const DemoWalk walk(scene_);
    for (int i = 0; i <= 1000; ++i) {
        const CameraPose pose = walk.at(i / 1000.0);
        script::LookAt setup{};
        std::copy(std::begin(pose.eye), std::end(pose.eye), setup.eye);
        std::copy(std::begin(pose.target), std::end(pose.target), setup.target);
        setup.fovDegrees = 70;
        setup.aspect = 1.5;
        setup.zNear = 0.1;
        setup.zFar = 100;
        const script::CameraMatrices m = script::lookAtMatrices(setup);
        for (float v : m.view) ASSERT_TRUE(std::isfinite(v)) << "at " << i / 1000.0;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, DemoSceneTest, ::testing::Values(4, 64, 201));

TEST(SvgWriter, EscapesTextAndWritesTidyNumbers) {
    SvgWriter svg(10, 20);
    svg.text(1.005, -0.001, "a<b & \"c\"", {{"fill", "#000"}});
    svg.line(0, 0.5, 2.25, -3, {{"stroke", "red"}});
    const std::string doc = svg.finish();
    EXPECT_NE(doc.find(">a&lt;b &amp; &quot;c&quot;</text>"), std::string::npos) << doc;
    EXPECT_NE(doc.find("x=\"1\" y=\"0\""), std::string::npos) << doc;
    EXPECT_NE(doc.find("x1=\"0\" y1=\"0.50\" x2=\"2.25\" y2=\"-3\""), std::string::npos) << doc;
    EXPECT_NE(doc.find("viewBox=\"0 0 10 20\""), std::string::npos);
}

}  // namespace
}  // namespace tarvo
