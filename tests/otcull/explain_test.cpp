// Each explanation, provoked by a small script. The camera stands at the
// origin looking down +z (90 degrees, square, near 1, far 100), so x < z is
// in front of the right plane and -x < z in front of the left.
#include "explain/explain.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tarvo {
namespace {

constexpr const char* kCamera = "camera 0 lookat 0 0 0  0 0 1  90 1 1 100\n";

// Two zones joined by a doorway; the camera is in z1.
constexpr const char* kRooms =
    "z1 = OT_CreateBox(0, -10, -5, -5,  10, 5, 10, 2)\n"
    "z2 = OT_CreateBox(0, -10, -5, 10,  10, 5, 30, 2)\n"
    "t  = OT_CreateBox(z1, 2, -1, 5,  4, 1, 7)\n";
constexpr const char* kDoorInView =
    "d  = OT_CreateBox(z1, -1, -2, 9.5,  1, 2, 10.5)\n"
    "door = OT_AddPortal(z1, z2, d)\n";
constexpr const char* kCull = "OT_UpdateFrustum()\nOT_CullAll()\n";

std::string explainOutput(const std::string& script, std::vector<std::string_view> nodes = {}) {
    std::istringstream in(kCamera + script);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(explainScript(in, "scene.otc", nodes, out, err), 0) << err.str();
    return out.str();
}

struct Case {
    const char* what;
    std::string script;
    const char* line;  // expected among the output, without its indent
};

TEST(Explain, SaysWhyEachNodeEndedShownOrHidden) {
    const std::string rooms = std::string(kRooms) + kDoorInView;
    // The camera zone, room, in a zone, building, that the pass reaches
    // again through a window leading out.
    const std::string building =
        "building = OT_CreateBox(0, -50, -5, -5,  50, 5, 50, 2)\n"
        "room = OT_CreateBox(building, -10, -5, -5,  10, 5, 10, 2)\n"
        "window = OT_CreateBox(room, -1, -1, 9.5,  1, 1, 10.5)\n"
        "sky = OT_AddPortal(room, 0, window)\n"
        "lamp = OT_CreateBox(building, -1, -1, 30,  1, 1, 31)\n";
    const Case cases[] = {
        {"camera zone", rooms + kCull, "z1: shown - the camera zone: the camera is inside it"},
        {"far side", rooms + kCull,
         "z2: shown - reached through portal door from z1 (opening d in view)"},
        {"opening", rooms + kCull, "d: shown - in view as the opening of portal door from z1"},
        {"child", rooms + kCull, "t: shown - in view as a child of z1"},
        {"rejected by a plane", rooms + "side = OT_CreateBox(z1, -20, -1, 5,  -15, 1, 6)\n" + kCull,
         "side: hidden - outside the left plane, met as a child of z1"},
        {"hidden with a subtree",
         rooms + "shelf = OT_CreateBox(z1, -20, -1, 5,  -15, 1, 6)\n" +
             "book = OT_CreateBox(shelf, 0, 0, 5,  1, 1, 6)\n" + kCull,
         "book: hidden - with the subtree of shelf, which is outside the left plane"},
        {"re-hidden by a later subtree hide",
         std::string(kRooms) + "wall = OT_CreateBox(z1, -20, -1, 5,  -15, 1, 6)\n" +
             "d = OT_CreateBox(wall, -1, -2, 9.5,  1, 2, 10.5)\n" +
             "door = OT_AddPortal(z1, z2, d)\n" + kCull,
         "d: re-hidden - shown first (in view as the opening of portal door from z1), then "
         "hidden later in the pass with the subtree of wall, which is outside the left plane"},
        {"zone flooded without the camera",
         "house = OT_CreateBox(0, -50, -5, -5,  50, 5, 50, 2)\n"
         "hall = OT_CreateBox(house, -5, -5, 20,  5, 5, 30, 2)\n"
         "lamp = OT_CreateBox(hall, -1, -1, 25,  1, 1, 26)\n" +
             std::string(kCull),
         "lamp: hidden - inside zone hall, which was flooded without the camera, so its "
         "children were not walked"},
        {"the zone itself",
         "house = OT_CreateBox(0, -50, -5, -5,  50, 5, 50, 2)\n"
         "hall = OT_CreateBox(house, -5, -5, 20,  5, 5, 30, 2)\n"
         "lamp = OT_CreateBox(hall, -1, -1, 25,  1, 1, 26)\n" +
             std::string(kCull),
         "hall: shown - in view as a child of house, a zone without the camera, so its "
         "children were not walked"},
        {"a zone around the camera zone", building + kCull,
         "building: shown - in view at the top level, through portal sky from room, which leads "
         "out, a zone with the camera in it but not as the camera zone (that is room), so its "
         "children were not walked"},
        {"inside a zone around the camera zone", building + kCull,
         "lamp: hidden - inside zone building, which was flooded with the camera in it but not "
         "as the camera zone (that is room), so its children were not walked"},
        {"behind the camera", rooms + "back = OT_CreateBox(z1, -1, -1, -4,  1, 1, -3)\n" + kCull,
         "back: hidden - behind the camera, met as a child of z1"},
        {"only the zone's own portals",
         rooms + "z3 = OT_CreateBox(0, 20, -5, -5,  40, 5, 10, 2)\nsky = OT_AddPortal(z3, 0, 0)\n" +
             "OT_DisablePortal(door)\n" + kCull,
         "z2: hidden - no portal led here: portal door is disabled"},
        {"disabled portal", rooms + "OT_DisablePortal(door)\n" + kCull,
         "z2: hidden - no portal led here: portal door is disabled"},
        {"opening out of view",
         std::string(kRooms) + "d = OT_CreateBox(z1, -1, -2, -10.5,  1, 2, -9.5)\n" +
             "door = OT_AddPortal(z1, z2, d)\n" + kCull,
         "z2: hidden - no portal led here: portal door has its opening d hidden"},
        {"inside a zone not reached",
         rooms + "w = OT_CreateBox(z2, -2, -1, 20,  2, 1, 22)\n" + "OT_DisablePortal(door)\n" +
             kCull,
         "w: hidden - inside z2, which was not reached"},
        {"a zone whose only portal leads out of it",
         rooms + "z3 = OT_CreateBox(0, -10, -5, 30,  10, 5, 50, 2)\n" +
             "out = OT_AddPortal(z3, 0, 0)\n" + kCull,
         "z3: hidden - no portal led here: portal out leads out of it only"},
        {"portal never met",
         rooms + "z3 = OT_CreateBox(0, -10, -5, 30,  10, 5, 50, 2)\n" +
             "far = OT_AddPortal(z2, z3, 0)\nOT_DisablePortal(door)\n" + kCull,
         "z3: hidden - no portal led here: portal far was not met: z2 was not flooded"},
        {"no portal at all", rooms + "crate = OT_CreateBox(0, -1, -1, 50,  1, 1, 51)\n" + kCull,
         "crate: hidden - no portal leads to it"},
        {"a portal without an opening node",
         std::string(kRooms) + "door = OT_AddPortal(z1, z2, 0)\n" + kCull,
         "z2: shown - reached through portal door from z1 (a portal without an opening node)"},
        {"leading out to the top level",
         rooms + "window = OT_CreateBox(z1, -1, -1, 9.5,  1, 1, 10.5)\n" +
             "garden = OT_AddPortal(z1, 0, window)\n" + "tree = OT_CreateSphere(0, 0, 0, 60, 2)\n" +
             kCull,
         "tree: shown - in view at the top level, through portal garden from z1, which leads "
         "out"},
        {"an opening that takes no part, shown before the pass",
         "yard = OT_CreateBox(0, -10, -5, 5,  10, 5, 10)\n"
         "shed = OT_CreateBox(0, -10, -5, 50,  10, 5, 60, 2)\n"
         "gate = OT_CreateBox(yard, -1, -1, 9,  1, 1, 11, 7)\n"
         "path = OT_AddPortal(yard, shed, gate)\n" +
             std::string(kCull),
         "shed: shown - reached through portal path from yard (opening gate shown before the "
         "pass)"},
        {"a shallower zone that holds the camera too",
         "outer = OT_CreateBox(0, -5, -5, -5,  5, 5, 5, 2)\n"
         "block = OT_CreateBox(0, -9, -9, -9,  9, 9, 9)\n"
         "inner = OT_CreateBox(block, -2, -2, -2,  2, 2, 2, 2)\n" +
             std::string(kCull),
         "outer: hidden - it holds the camera too, but the deeper zone inner is the camera "
         "zone, and no portal led back to it"},
        {"inert role, camera zone",
         rooms + "odd = OT_CreateBox(z1, -1, -1, 5,  1, 1, 6, 7)\n" + kCull,
         "odd: hidden - its role (7) takes no part in the pass"},
        {"top level without a camera zone",
         "post = OT_CreateBox(0, -1, -1, 5,  1, 1, 6)\n" + std::string(kCull),
         "post: shown - in view at the top level"},
        {"below an inert node, without a camera zone",
         "odd = OT_CreateBox(0, -1, -1, 5,  1, 1, 6, 7)\n"
         "cup = OT_CreateBox(odd, -1, -1, 5,  1, 1, 6)\n" +
             std::string(kCull),
         "cup: shown - left as it was, below odd, whose role (7) takes no part, so its "
         "children were not walked"},
        {"left as it was below a zone without the camera",
         "hall = OT_CreateBox(0, -5, -5, 20,  5, 5, 30, 2)\n"
         "lamp = OT_CreateBox(hall, -1, -1, 25,  1, 1, 26)\nOT_HideAll(lamp)\n" +
             std::string(kCull),
         "lamp: hidden - left as it was, inside zone hall, which was flooded without the "
         "camera, so its children were not walked"},
        {"start node",
         "s = OT_CreateBox(0, -1, -1, 5,  1, 1, 6)\n"
         "other = OT_CreateBox(0, -1, -1, 7,  1, 1, 8)\nOT_UpdateFrustum()\nOT_Cull(s)\n",
         "s: shown - in view as the start node"},
        {"outside the start node's reach",
         "s = OT_CreateBox(0, -1, -1, 5,  1, 1, 6)\n"
         "other = OT_CreateBox(0, -1, -1, 7,  1, 1, 8)\nOT_UpdateFrustum()\nOT_Cull(s)\n",
         "other: shown - left as it was, OT_Cull culled only s and what it floods into"},
    };
    for (const Case& c : cases) {
        const std::string out = explainOutput(c.script);
        EXPECT_NE(out.find("\n  " + std::string(c.line) + "\n"), std::string::npos)
            << c.what << "\n"
            << out;
    }
}

TEST(Explain, HeadsEachPassWithItsLineAndCameraZone) {
    const std::string out = explainOutput(
        "s = OT_CreateBox(0, -1, -1, 5,  1, 1, 6)\nOT_UpdateFrustum()\nOT_Cull(s)\n"
        "z = OT_CreateBox(0, -9, -9, -9,  9, 9, 9, 2)\nOT_CullAll()\n");
    EXPECT_EQ(out,
              "line 4: OT_Cull(s) - no zone holds the camera\n"
              "  s: shown - in view as the start node\n"
              "line 6: OT_CullAll - camera zone z\n"
              "  s: hidden - no portal leads to it\n"
              "  z: shown - the camera zone: the camera is inside it\n");
}

TEST(Explain, NamedNodesOnlyPlusAnyReHidden) {
    const std::string script = std::string(kRooms) +
                               "wall = OT_CreateBox(z1, -20, -1, 5,  -15, 1, 6)\n" +
                               "d = OT_CreateBox(wall, -1, -2, 9.5,  1, 2, 10.5)\n" +
                               "door = OT_AddPortal(z1, z2, d)\n" + kCull;
    const std::string out = explainOutput(script, {"t", "ghost"});
    EXPECT_EQ(out,
              "line 9: OT_CullAll - camera zone z1\n"
              "  t: shown - in view as a child of z1\n"
              "  ghost: names no live node\n"
              "  d: re-hidden - shown first (in view as the opening of portal door from z1), "
              "then hidden later in the pass with the subtree of wall, which is outside the "
              "left plane\n");
}

TEST(Explain, AScriptErrorStopsWithItsLine) {
    std::istringstream in("OT_CullAll()\nOT_Frobnicate()\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(explainScript(in, "bad.otc", {}, out, err), 2);
    EXPECT_EQ(out.str(), "line 1: OT_CullAll - no zone holds the camera\n");
    EXPECT_EQ(err.str(), "bad.otc:2: error: unknown command 'OT_Frobnicate'\n");
}

}  // namespace
}  // namespace tarvo
