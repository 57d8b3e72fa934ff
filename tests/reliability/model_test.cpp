// The oracle is only as good as its own reading of the behaviour: these pin
// the model (and, through the harness, the core with it) to outcomes worked
// out by hand.
#include <cmath>
#include <limits>

#include "scene.h"

namespace tarvo::reliability {
namespace {

float asFloat(int32_t bits) { return std::bit_cast<float>(bits); }

// Zones Z1 and Z2 side by side along +z, joined by the doorway D inside Z1;
// T is a second child of Z1, W the child of Z2, O a node far out of view.
void buildWorkedExample(Scene& s) {
    s.run().setCamera(0, cannedCamera(0));
    s.run().moveCamera(0, 2, 1, 2);
    s("OT_CreateBox1", {I(0), F(-5), F(0), F(-1), F(10), F(5), F(10), I(2)}, "Z1");
    s("OT_CreateBox1", {I(0), F(-5), F(0), F(10), F(10), F(5), F(20), I(2)}, "Z2");
    s("OT_CreateBox2", {I(0), F(30), F(30), F(-30), F(32), F(32), F(-28)}, "O");
    s("OT_CreateBox2", {H("Z1"), F(4), F(-1), F(9), F(6), F(3), F(11)}, "D");
    s("OT_CreateBox2", {H("Z1"), F(1), F(0), F(5), F(3), F(2), F(7)}, "T");
    s("OT_CreateBox2", {H("Z2"), F(1), F(0), F(14), F(3), F(2), F(16)}, "W");
    int object = 1;
    for (const char* n : {"Z1", "D", "T", "Z2", "W", "O"}) s("OT_AddObject", {H(n), I(object++)});
    s("OT_AddPortal", {H("Z1"), H("Z2"), H("D")}, "P");
    s("OT_UpdateFrustum1", {});
}

std::vector<std::string> hidesThenShows(std::initializer_list<int> hidden,
                                        std::initializer_list<int> shown) {
    std::vector<std::string> out;
    for (int o : hidden) {
        out.push_back("Hide " + std::to_string(o));
        out.push_back("ExcludeOn " + std::to_string(o));
    }
    for (int o : shown) {
        out.push_back("ExcludeOff " + std::to_string(o));
        out.push_back("Show " + std::to_string(o));
    }
    return out;
}

TEST(ReferenceModel, WorkedExampleHidesEverythingThenFloodsThroughTheDoorway) {
    Scene s;
    buildWorkedExample(s);
    s("OT_CullAll", {});
    // Objects: Z1 1, D 2, T 3, Z2 4, W 5, O 6. Shown: Z1, D, Z2, W, T.
    EXPECT_EQ(formatted(s.calls()), hidesThenShows({1, 2, 3, 4, 5, 6}, {1, 2, 4, 5, 3}));
    EXPECT_EQ(s("OT_Visible", {H("O")}), 0);
    EXPECT_EQ(s("OT_Visible", {H("W")}), 1);
}

TEST(ReferenceModel, DisabledDoorwayLeavesTheFarZoneHidden) {
    Scene s;
    buildWorkedExample(s);
    s("OT_DisablePortal", {H("P")});
    s("OT_CullAll", {});
    EXPECT_EQ(formatted(s.calls()), hidesThenShows({1, 2, 3, 4, 5, 6}, {1, 2, 3}));
}

TEST(ReferenceModel, CameraZoneFollowsTheCameraNotTheFrustum) {
    Scene s;
    buildWorkedExample(s);
    s.run().moveCamera(0, 2, 1, 15);  // now inside Z2, frustum unchanged
    s("OT_CullAll", {});
    // Z2 floods first; D (in view) leads back into Z1, which floods D's
    // sibling T; W is Z2's child, walked last.
    EXPECT_EQ(formatted(s.calls()), hidesThenShows({1, 2, 3, 4, 5, 6}, {4, 2, 1, 3, 5}));
}

TEST(ReferenceModel, BeforeAnyFrustumUpdate) {
    Scene s;
    struct Case {
        const char* command;
        std::vector<float> args;
        int32_t expected;
    } cases[] = {
        {"OT_TestBox", {-1, -1, -1, 1, 1, 1}, 0},
        {"OT_TestSphere", {0, 0, 0, 1}, 1},
        {"OT_TestSphere", {0, 0, 0, 0}, 0},
        {"OT_TestSphere", {0, 0, 0, -1}, 0},
        {"OT_TestPoint", {5, 5, 5}, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> slots;
        for (float f : c.args) slots.push_back(std::bit_cast<uint32_t>(f));
        int32_t result = -1;
        EXPECT_EQ(s.run().command(idOf(c.command), slots, &result), "");
        EXPECT_EQ(result, c.expected) << c.command;
    }
    // No camera record yet: the zone around the origin holds no camera, so
    // it is only frustum-tested, and box tests fail on all-zero planes.
    s("OT_CreateBox1", {I(0), F(-1), F(-1), F(-1), F(1), F(1), F(1), I(2)}, "Z");
    s("OT_AddObject", {H("Z"), I(7)});
    s("OT_CullAll", {});
    EXPECT_EQ(formatted(s.calls()), hidesThenShows({7}, {}));
}

TEST(ReferenceModel, AllZeroCameraMakesEveryPlaneNotANumber) {
    Scene s;
    s.run().setCamera(3, cannedCamera(7));
    s("OT_UpdateFrustum2", {I(3)});
    EXPECT_EQ(s("OT_TestBox", {F(-1), F(-1), F(-1), F(1), F(1), F(1)}), 0);
    EXPECT_EQ(s("OT_TestSphere", {F(1e30f), F(0), F(0), F(0)}), 1);
    EXPECT_EQ(s("OT_TestPoint", {F(0), F(0), F(0)}), 1);
}

TEST(ReferenceModel, VolumeFigures) {
    Scene s;
    s("OT_CreateBox2", {I(0), F(0), F(0), F(0), F(2), F(4), F(6)}, "B");
    s("OT_CreateBox2", {I(0), F(2), F(4), F(6), F(0), F(0), F(0)}, "Swapped");
    s("OT_CreateSphere2", {I(0), F(0), F(0), F(0), F(5)}, "S");
    struct Case {
        const char* node;
        const char* getter;
        float expected;
    } cases[] = {
        {"B", "OT_GetPositionX", 1},        {"B", "OT_GetPositionZ", 3},
        {"B", "OT_GetBoxDepth", 6},         {"B", "OT_GetBoxXB", 2},
        {"Swapped", "OT_GetBoxWidth", -2},  {"Swapped", "OT_GetPositionY", 2},
        {"S", "OT_GetRadius", 5},           {"S", "OT_GetBoxXB", 0},
        {"B", "OT_GetRadius", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(asFloat(s(c.getter, {H(c.node)})), c.expected) << c.node << " " << c.getter;
    }
    s("OT_SetPosition", {H("B"), F(10), F(10), F(10)});
    EXPECT_EQ(asFloat(s("OT_GetBoxXA", {H("B")})), 9);
    EXPECT_EQ(asFloat(s("OT_GetBoxZB", {H("B")})), 13);
    s("OT_SetBoxSize", {H("B"), F(4), F(4), F(4)});
    EXPECT_EQ(asFloat(s("OT_GetBoxYA", {H("B")})), 8);
    s("OT_SetBoxSize", {H("S"), F(2), F(2), F(2)});
    EXPECT_EQ(asFloat(s("OT_GetPositionX", {H("S")})), -1);
    EXPECT_EQ(asFloat(s("OT_GetBoxXB", {H("S")})), 1);
    EXPECT_EQ(asFloat(s("OT_GetRadius", {H("S")})), 5);
}

TEST(ReferenceModel, FittedCreatesNeedTheHostsObjectLimbAndMesh) {
    Scene s;
    reference::Body body;
    body.position[0] = 1;
    body.boundsMin[0] = -2;
    body.boundsMax[0] = 3;
    body.radius = 4;
    s.run().setObject(1, body);
    s.run().setLimb(1, 2, body);
    s("OT_CreateObjectBox2", {I(0), I(1)}, "Box");
    EXPECT_EQ(asFloat(s("OT_GetBoxXA", {H("Box")})), -1);
    EXPECT_EQ(asFloat(s("OT_GetBoxXB", {H("Box")})), 4);
    s("OT_CreateLimbSphere1", {H("Box"), I(1), I(2), I(2)}, "Limb");
    EXPECT_EQ(asFloat(s("OT_GetRadius", {H("Limb")})), 4);
    struct Missing {
        const char* command;
        std::initializer_list<Arg> args;
    };
    // Object 2 does not exist; object 1 has limb 2 only.
    for (const Missing& m : {Missing{"OT_CreateObjectBox2", {I(0), I(2)}},
                             Missing{"OT_CreateObjectSphere1", {I(0), I(2), I(1)}},
                             Missing{"OT_CreateLimbBox2", {I(0), I(1), I(1)}},
                             Missing{"OT_CreateLimbBox2", {I(0), I(1), I(3)}},
                             Missing{"OT_CreateLimbSphere2", {I(0), I(1), I(-1)}},
                             Missing{"OT_CreateLimbSphere2", {I(0), I(2), I(0)}}}) {
        EXPECT_EQ(s(m.command, m.args), 0) << m.command;
    }
    EXPECT_EQ(s.run().model().nodeCount(), 2u);
}

}  // namespace
}  // namespace tarvo::reliability
