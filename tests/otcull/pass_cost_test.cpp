// The cost report: box corners counted by the eight-corner rule, and the
// figures `otcull run --stats` prints after a pass.
#include "trace/pass_cost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "cli/verbs.h"

namespace tarvo {
namespace {

constexpr Plane kEverywhere = {0, 0, 0, 1};  // every point in front

OtFrustum frustumWithFirstPlane(Plane first) {
    OtFrustum f;
    for (Plane& p : f.planes) p = kEverywhere;
    f.planes[0] = first;
    return f;
}

struct CornerCase {
    const char* what;
    Plane first;
    Vec3 a, b;
    uint32_t corners;
};

TEST(PassCost, CountsBoxCornersByTheEightCornerRule) {
    const CornerCase cases[] = {
        {"the first corner settles every plane", kEverywhere, {0, 0, 0}, {1, 1, 1}, 6},
        {"the second corner settles the first plane", {1, 0, 0, 0}, {-1, 0, 0}, {1, 1, 1}, 7},
        {"only the last corner is in front", {1, 1, 1, -2.5f}, {0, 0, 0}, {1, 1, 1}, 13},
        {"no corner in front: all eight, then stop", {1, 0, 0, 0}, {-2, 0, 0}, {-1, 1, 1}, 8},
        {"a corner on the plane is behind it", {1, 0, 0, 0}, {-1, 0, 0}, {0, 1, 1}, 8},
        {"given the other way round, corner A is still tried first",
         {1, 0, 0, 0},
         {1, 1, 1},
         {-1, 0, 0},
         6},
    };
    for (const CornerCase& c : cases) {
        EXPECT_EQ(boxCornersEvaluated(frustumWithFirstPlane(c.first), c.a, c.b), c.corners)
            << c.what;
    }
}

// Runs `otcull run --stats` on the script; returns the cost lines, the time
// of each cut off.
std::vector<std::string> costLines(const std::string& script) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "otcull_pass_cost_test.otc";
    std::ofstream(file) << script;
    std::ostringstream out;
    std::ostringstream err;
    const std::string path = file.string();
    EXPECT_EQ(otcullMain(std::vector<std::string_view>{"run", "--stats", path}, out, err), 0)
        << err.str();
    std::filesystem::remove(file);
    std::vector<std::string> lines;
    std::istringstream text(out.str());
    const std::regex time(R"(, [0-9.]+ us$)");
    for (std::string line; std::getline(text, line);) {
        if (line.starts_with("cost: ")) lines.push_back(std::regex_replace(line, time, ""));
    }
    return lines;
}

// The doorway: the camera zone z1 is flooded untested, the far side z2 too;
// d, t and w are tested, each settled by its first corner on every plane.
constexpr const char* kDoorway =
    "camera 0 lookat 0 0 0  0 0 1  90 1 1 100\n"
    "z1 = OT_CreateBox(0, -10, -5, -5,  10, 5, 10, 2)\n"
    "z2 = OT_CreateBox(0, -10, -5, 10,  10, 5, 30, 2)\n"
    "o  = OT_CreateBox(0, -1, -1, -20,  1, 1, -15)\n"
    "d  = OT_CreateBox(z1, -1, -2, 9.5,  1, 2, 10.5)\n"
    "t  = OT_CreateBox(z1, 2, -1, 5,  4, 1, 7)\n"
    "w  = OT_CreateBox(z2, -2, -1, 20,  2, 1, 22)\n"
    "OT_AddObject(z1, 1)\nOT_AddObject(d, 2)\nOT_AddObject(t, 3)\n"
    "OT_AddObject(z2, 4)\nOT_AddObject(w, 5)\nOT_AddObject(o, 6)\n"
    "door = OT_AddPortal(z1, z2, d)\n"
    "OT_UpdateFrustum()\nOT_CullAll()\n";

TEST(PassCost, RunWithStatsReportsEachPass) {
    // Six objects hidden (two calls each), five nodes shown (two calls each);
    // the door is met from both sides, yet is one portal, followed once. A
    // second door, closed, is met and not followed.
    const std::vector<std::string> lines =
        costLines(std::string(kDoorway) +
                  "shut = OT_AddPortal(z1, z2, t)\nOT_DisablePortal(shut)\nOT_CullAll()\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "cost: 3 nodes tested (1 zone for the camera), 18 box corners, 1 of 1 portals "
              "followed, 22 host calls");
    EXPECT_EQ(lines[1].substr(0, lines[1].find(" portals")),
              "cost: 3 nodes tested (1 zone for the camera), 18 box corners, 1 of 2");
}

// The demo counts on a repeat of each timed pass; with Normal and Zone nodes
// only, a pass repeated with the same camera costs exactly the same.
TEST(PassCost, ARepeatedPassCostsTheSame) {
    const std::vector<std::string> lines =
        costLines(std::string(kDoorway) + "OT_CullAll()\n" +
                  "camera 0 lookat 0 0 25  0 0 0  90 1 1 100\nOT_UpdateFrustum()\n" +
                  "OT_CullAll()\nOT_CullAll()\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], lines[1]);
    EXPECT_EQ(lines[2], lines[3]);
    EXPECT_NE(lines[1], lines[2]);
}

}  // namespace
}  // namespace tarvo
