#include "plan/plan_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "demo/demo_run.h"
#include "plan/plan_svg.h"
#include "script_runner.h"
#include "trace/standin_session.h"

namespace tarvo {
namespace {

// Runs a script against the stand-in and keeps the culling state for a look.
class PlanViewTest : public ::testing::Test {
protected:
    void run(std::string_view script) {
        std::istringstream in{std::string(script)};
        ASSERT_EQ(runner_.runScript(in, "scene", err_), 0) << err_.str();
    }
    std::ostringstream out_;
    std::ostringstream err_;
    StandInSession session_{out_};
    script::ScriptRunner runner_{session_, session_, out_};
};

constexpr const char* kThreeRooms =
    "camera 0 lookat 1 1.6 5  20 1.6 5  75 1.5 0.1 100\n"
    "hall    = OT_CreateBox(0,  0, 0, 0,   6, 3, 10, 2)\n"
    "kitchen = OT_CreateBox(0,  6, 0, 0,  12, 3, 10, 2)\n"
    "bedroom = OT_CreateBox(0, 12, 0, 0,  18, 3, 10, 2)\n"
    "behind  = OT_CreateBox(0, -9, 0, 0,   0, 3, 10, 2)\n"
    "d1 = OT_CreateBox(hall,     5.9, 0, 4,   6.1, 2.2, 6)\n"
    "d2 = OT_CreateBox(kitchen, 11.9, 0, 4,  12.1, 2.2, 6)\n"
    "d3 = OT_CreateBox(hall,    -0.1, 0, 4,   0.1, 2.2, 6)\n"
    "chair = OT_CreateBox(behind, -5, 0, 5, -4, 1, 6)\n"
    "open   = OT_AddPortal(hall, kitchen, d1)\n"
    "closed = OT_AddPortal(kitchen, bedroom, d2)\n"
    "back   = OT_AddPortal(hall, behind, d3)\n"
    "OT_DisablePortal(closed)\n"
    "OT_UpdateFrustum()\n"
    "OT_CullAll()\n";

// The opening, or the node, whose footprint starts at this x.
const PlanPortal& portalAt(const PlanScene& plan, float x) {
    for (const PlanPortal& p : plan.portals) {
        if (p.opening.min[0] == x) return p;
    }
    throw std::runtime_error("no portal at x = " + std::to_string(x));
}

const PlanNode& nodeAt(const PlanScene& plan, float x, bool zone) {
    for (const PlanNode& n : plan.nodes) {
        if (n.extent.min[0] == x && n.isZone == zone) return n;
    }
    throw std::runtime_error("no node at x = " + std::to_string(x));
}

TEST_F(PlanViewTest, PortalsAreSortedByWhatThePassDidWithThem) {
    run(kThreeRooms);
    const PlanScene plan = capturePlan(session_.tree(), session_.passedPortals());
    ASSERT_EQ(plan.portals.size(), 3u);
    EXPECT_EQ(portalAt(plan, 5.9f).state, PortalState::kPassed);
    EXPECT_EQ(portalAt(plan, 11.9f).state, PortalState::kDisabled);
    EXPECT_EQ(portalAt(plan, -0.1f).state, PortalState::kOpen)
        << "its doorway is behind the camera";
    for (const PlanPortal& p : plan.portals) EXPECT_FALSE(p.leadsOutside);
}

TEST_F(PlanViewTest, ASecondDoorIntoAFloodedRoomIsNotPassed) {
    run("camera 0 lookat 1 1.6 5  20 1.6 5  75 1.5 0.1 100\n"
        "hall    = OT_CreateBox(0, 0, 0, 0,   6, 3, 10, 2)\n"
        "kitchen = OT_CreateBox(0, 6, 0, 0,  12, 3, 10, 2)\n"
        "d1 = OT_CreateBox(hall, 5.9, 0, 3,  6.1, 2.2, 4)\n"
        "d2 = OT_CreateBox(hall, 5.8, 0, 6,  6.2, 2.2, 7)\n"
        "first  = OT_AddPortal(hall, kitchen, d1)\n"
        "second = OT_AddPortal(kitchen, hall, d2)\n"
        "OT_UpdateFrustum()\n"
        "OT_CullAll()\n");
    const PlanScene plan = capturePlan(session_.tree(), session_.passedPortals());
    EXPECT_EQ(portalAt(plan, 5.9f).state, PortalState::kPassed);
    EXPECT_EQ(portalAt(plan, 5.8f).state, PortalState::kOpen);
}

TEST_F(PlanViewTest, NodesCarryTheirStateAndTheCameraZoneIsMarked) {
    run(kThreeRooms);
    const PlanScene plan = capturePlan(session_.tree(), session_.passedPortals());
    EXPECT_EQ(std::count_if(plan.nodes.begin(), plan.nodes.end(),
                            [](const PlanNode& n) { return n.cameraZone; }),
              1);
    EXPECT_TRUE(nodeAt(plan, 0.0f, true).cameraZone) << "the hall holds the camera";
    EXPECT_TRUE(nodeAt(plan, 6.0f, true).visible);
    EXPECT_TRUE(nodeAt(plan, 6.0f, true).reached);
    EXPECT_FALSE(nodeAt(plan, 12.0f, true).reached) << "behind the closed door";
    EXPECT_FALSE(nodeAt(plan, -5.0f, false).visible) << "the chair behind the camera";
    EXPECT_TRUE(nodeAt(plan, 5.9f, false).isOpening);
    ASSERT_TRUE(plan.camera.has_value());
    EXPECT_FLOAT_EQ(plan.camera->position[0], 1.0f);
}

TEST_F(PlanViewTest, PictureHoldsOneShapePerNodeAndTheFrustumWedge) {
    run(kThreeRooms);
    const PlanScene plan = capturePlan(session_.tree(), session_.passedPortals());
    const std::string svg = renderPlanSvg(plan, {"title", "subtitle", {}, {{"label", "42"}}});
    EXPECT_TRUE(svg.starts_with("<?xml"));
    EXPECT_TRUE(svg.ends_with("</svg>\n"));
    auto count = [&svg](std::string_view what) {
        size_t n = 0;
        for (size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("fill=\"url(#wedge-hatch)\""), 2u) << "the wedge and its legend sample";
    EXPECT_EQ(count("stroke-linecap=\"round\""), 3u + 4u) << "three doors, four legend bars";
    EXPECT_NE(svg.find(">42</text>"), std::string::npos);
}

TEST(Demo, WalksFromUpstairsOutIntoTheYardAndDrawsItsPlan) {
    const std::filesystem::path svg =
        std::filesystem::temp_directory_path() / "otcull_demo_test.svg";
    std::ostringstream out;
    std::ostringstream err;
    DemoRunOptions options;
    options.frames = 60;
    options.rooms = 12;
    options.every = 59;
    options.svgFile = svg.string();
    ASSERT_EQ(runDemo(options, out, err), 0) << err.str();
    const std::string text = out.str();
    EXPECT_NE(text.find("\n    0  upper "), std::string::npos) << text;
    EXPECT_NE(text.find("\n   59  yard "), std::string::npos) << text;
    EXPECT_NE(text.find("summary over 60 frames"), std::string::npos);
    EXPECT_NE(text.find("\n  pass work   mean "), std::string::npos) << text;
    std::ifstream picture(svg);
    std::stringstream content;
    content << picture.rdbuf();
    EXPECT_NE(content.str().find("Ground floor and yard"), std::string::npos);
    std::filesystem::remove(svg);
}

}  // namespace
}  // namespace tarvo
