// Every mistake a script can make with handles and floats, command by
// command: nothing may crash, corrupt the tree or reach the host, and the
// core must still agree with the reference model afterwards.
#include <functional>
#include <limits>
#include <set>
#include <span>

#include "scene.h"
#include "tarvo/culling.h"
#include "tree/handles.h"

namespace tarvo::reliability {
namespace {

// A camera zone Z holding A, which holds B; a top-level point C; portal P
// (Z to C through A) enabled, portal Q (Z out to the top level through B)
// disabled; a deleted node X and a removed portal R for stale handles.
void buildScene(Scene& s) {
    s.run().setCamera(0, cannedCamera(2));
    reference::Body body;
    body.boundsMin[0] = -1;
    body.boundsMax[0] = 1;
    body.radius = 2;
    s.run().setObject(1, body);
    s.run().setObject(2, body);
    s.run().setLimb(1, 0, body);
    s("OT_CreateBox1", {I(0), F(-10), F(-5), F(-10), F(10), F(5), F(10), I(2)}, "Z");
    s("OT_CreateBox2", {H("Z"), F(-1), F(-1), F(-1), F(1), F(1), F(1)}, "A");
    s("OT_CreateSphere2", {H("A"), F(0), F(0), F(0), F(0.5f)}, "B");
    s("OT_CreatePoint2", {I(0), F(0), F(0), F(0)}, "C");
    s("OT_CreateBox2", {I(0), F(0), F(0), F(0), F(1), F(1), F(1)}, "X");
    s("OT_AddObject", {H("Z"), I(1)});
    s("OT_AddLimb", {H("A"), I(1), I(0)});
    s("OT_AddObject", {H("B"), I(2)});
    s("OT_AddLimb", {H("C"), I(2), I(3)});
    s("OT_AddPortal", {H("Z"), H("C"), H("A")}, "P");
    s("OT_AddPortal", {H("Z"), I(0), H("B")}, "Q");
    s("OT_AddPortal", {H("A"), H("B"), H("C")}, "R");
    s("OT_DisablePortal", {H("Q")});
    s("OT_RemovePortal", {H("R")});
    s("OT_Delete", {H("X")});
    s("OT_UpdateFrustum1", {});
    s("OT_CullAll", {});
}

// A model handle no record ever had.
constexpr uint32_t kUnissuedModel = 0x7ffffff0u;

struct BadHandle {
    const char* what;
    // Each side's slot for a node argument (portal = false) or a portal one.
    std::function<Arg(const Scene&, bool portal)> make;
};

std::vector<BadHandle> badHandles() {
    auto pairArg = [](const HandlePair& p) {
        return Each(static_cast<uint32_t>(p.core), static_cast<uint32_t>(p.model));
    };
    return {
        {"stale handle of the expected kind",
         [=](const Scene& s, bool portal) { return pairArg(s.pair(portal ? "R" : "X")); }},
        {"stale handle of the other kind",
         [=](const Scene& s, bool portal) { return pairArg(s.pair(portal ? "X" : "R")); }},
        {"live handle of the other kind",
         [=](const Scene& s, bool portal) { return pairArg(s.pair(portal ? "A" : "P")); }},
        {"never issued 0x13572468", [](const Scene&, bool) { return I(0x13572468); }},
        {"never issued -1", [](const Scene&, bool) { return I(-1); }},
        {"never issued INT32_MIN", [](const Scene&, bool) { return I(INT32_MIN); }},
        {"never issued 0x7fffffff", [](const Scene&, bool) { return I(0x7fffffff); }},
        {"live index, other generation",
         [](const Scene& s, bool portal) {
             const HandlePair p = s.pair(portal ? "P" : "A");
             return Each(static_cast<uint32_t>(p.core) ^ (1u << kGenerationShift),
                         kUnissuedModel);
         }},
        {"live index, top generation bit flipped",
         [](const Scene& s, bool portal) {
             const HandlePair p = s.pair(portal ? "Q" : "B");
             return Each(static_cast<uint32_t>(p.core) ^ 0x80000000u, kUnissuedModel);
         }},
        {"live index with the kind bit flipped",
         [](const Scene& s, bool portal) {
             // Low indices of one kind are live handles of the other: skip those.
             for (const char* name : portal ? std::vector<const char*>{"P", "Q"}
                                            : std::vector<const char*>{"A", "B", "C", "Z"}) {
                 const uint32_t forged = static_cast<uint32_t>(s.pair(name).core) ^ kPortalBit;
                 if (!s.run().isLiveOnEitherSide(static_cast<int32_t>(forged))) {
                     return Each(forged, kUnissuedModel);
                 }
             }
             return Each(kPortalBit | kMaxIndex, kUnissuedModel);
         }},
    };
}

// A valid argument for every parameter that is not under test.
Arg validArgument(char kind, size_t position) {
    switch (kind) {
        case 'N':
            return H(position == 0 ? "A" : position == 1 ? "C" : "B");
        case 'P':
            return H("P");
        case 'R':
            return I(2);
        case 'O':
            return I(1);
        case 'M':
            return I(0);
        case 'C':
            return I(0);
        default:
            return F(1.0f);
    }
}

struct Call {
    int id;
    std::vector<Arg> args;
};

int32_t runCall(Scene& s, const Call& c) {
    std::vector<uint32_t> core, model;
    for (const Arg& a : c.args) {
        if (a.name.empty()) {
            core.push_back(a.core);
            model.push_back(a.model);
        } else {
            core.push_back(static_cast<uint32_t>(s.pair(a.name).core));
            model.push_back(static_cast<uint32_t>(s.pair(a.name).model));
        }
    }
    int32_t result = -1;
    const std::string divergence = s.run().command(c.id, core, model, &result);
    EXPECT_EQ(divergence, "") << signatureOf(kCommandTable[c.id - 1]).exportName;
    return result;
}

Call callWith(int id, size_t position, const Arg& under) {
    const std::string_view kinds = argumentKinds(id);
    Call c{id, {}};
    for (size_t k = 0; k < kinds.size(); ++k) {
        c.args.push_back(k == position ? under : validArgument(kinds[k], k));
    }
    return c;
}

TEST(BadInput, InvalidHandleInAnyPositionOfAnyCommandDoesNothing) {
    int cases = 0;
    for (const auto& command : kCommandTable) {
        const std::string_view kinds = argumentKinds(command.id);
        for (size_t k = 0; k < kinds.size(); ++k) {
            if (kinds[k] != 'N' && kinds[k] != 'P') continue;
            for (const BadHandle& bad : badHandles()) {
                Scene s;
                buildScene(s);
                const Arg arg = bad.make(s, kinds[k] == 'P');
                const bool meantLive = std::string_view(bad.what).starts_with("live handle");
                ASSERT_TRUE(meantLive ||
                            !s.run().isLiveOnEitherSide(static_cast<int32_t>(arg.core)))
                    << bad.what << " names a live record";
                const std::string before = s.describe();
                const int32_t result = runCall(s, callWith(command.id, k, arg));
                const std::string where = std::string(signatureOf(command).exportName) +
                                          " argument " + std::to_string(k + 1) + ": " + bad.what;
                EXPECT_EQ(result, 0) << where;
                EXPECT_TRUE(s.calls().empty()) << where;
                EXPECT_EQ(s.describe(), before) << where;
                ++cases;
            }
        }
    }
    EXPECT_GT(cases, 500);
}

// Handle 0 is "none": most commands then do nothing, and the rest act on
// the whole tree or the top level; the harness checks those against the model.
TEST(BadInput, HandleZeroInAnyPositionOfAnyCommand) {
    const std::set<std::string_view> actOnZero = {
        "OT_Cull",         "OT_Delete",        "OT_HideAll1",         "OT_ShowAll1",
        "OT_CreateBox1",   "OT_CreateBox2",    "OT_CreateSphere1",    "OT_CreateSphere2",
        "OT_CreatePoint1", "OT_CreatePoint2",  "OT_CreateObjectBox1", "OT_CreateObjectBox2",
        "OT_AddPortal",    "OT_CreateLimbBox1", "OT_CreateObjectSphere1",
        "OT_CreateObjectSphere2", "OT_CreateLimbBox2", "OT_CreateLimbSphere1",
        "OT_CreateLimbSphere2"};
    for (const auto& command : kCommandTable) {
        const std::string_view name = signatureOf(command).exportName;
        const std::string_view kinds = argumentKinds(command.id);
        for (size_t k = 0; k < kinds.size(); ++k) {
            if (kinds[k] != 'N' && kinds[k] != 'P') continue;
            Scene s;
            buildScene(s);
            const std::string before = s.describe();
            const int32_t result = runCall(s, callWith(command.id, k, I(0)));
            // OT_SetParent(node, 0) makes the node top-level; (0, parent) does nothing.
            const bool acts = actOnZero.count(name) != 0 || (name == "OT_SetParent" && k == 1);
            if (!acts) {
                EXPECT_EQ(result, 0) << name << " argument " << k + 1;
                EXPECT_TRUE(s.calls().empty()) << name;
                EXPECT_EQ(s.describe(), before) << name << " argument " << k + 1;
            }
            // Afterwards the tree must still cull, hide and delete like the model's.
            runCall(s, {idOf("OT_CullAll"), {}});
            runCall(s, {idOf("OT_HideAll2"), {}});
            runCall(s, {idOf("OT_DeleteAll"), {}});
        }
    }
}

constexpr uint32_t kSpecialFloats[] = {
    0x7fc00000u,  // NaN
    0xffc00000u,  // -NaN
    0x7fc12345u,  // NaN with a payload
    0x7f800000u,  // +inf
    0xff800000u,  // -inf
    0x80000000u,  // -0
    0x7f7fffffu,  // largest finite
    0x00000001u,  // smallest subnormal
};

// Reads every figure back, runs every test and a pass: all compared.
void probe(Scene& s, const std::vector<Arg>& nodes, uint32_t special) {
    for (const Arg& n : nodes) {
        for (int id = idOf("OT_GetPositionX"); id <= idOf("OT_GetBoxZB"); ++id) {
            runCall(s, {id, {n}});
        }
        runCall(s, {idOf("OT_Visible"), {n}});
    }
    const Arg f = Each(special, special);
    runCall(s, {idOf("OT_TestBox"), {f, F(0), F(0), F(1), f, F(1)}});
    runCall(s, {idOf("OT_TestSphere"), {F(0), f, F(0), F(1)}});
    runCall(s, {idOf("OT_TestPoint"), {F(0), F(0), f}});
    runCall(s, {idOf("OT_CullAll"), {}});
    runCall(s, {idOf("OT_Cull"), {H("C")}});
}

TEST(BadInput, SpecialFloatInEveryFloatParameter) {
    for (const auto& command : kCommandTable) {
        const std::string_view kinds = argumentKinds(command.id);
        for (size_t k = 0; k < kinds.size(); ++k) {
            if (kinds[k] != 'F') continue;
            for (uint32_t special : kSpecialFloats) {
                Scene s;
                buildScene(s);
                const int32_t result =
                    runCall(s, callWith(command.id, k, Each(special, special)));
                std::vector<Arg> nodes = {H("A"), H("B"), H("C"), H("Z")};
                if (signatureOf(command).result == 'L' && result != 0) {
                    const HandlePair made = s.run().live().back();
                    nodes.push_back(Each(static_cast<uint32_t>(made.core),
                                         static_cast<uint32_t>(made.model)));
                }
                probe(s, nodes, special);
                if (HasFailure()) {
                    FAIL() << signatureOf(command).exportName << " argument " << k + 1
                           << " = " << std::hex << special;
                }
            }
        }
    }
}

TEST(BadInput, SpecialFloatInEveryCameraAndObjectFigure) {
    for (uint32_t special : kSpecialFloats) {
        const float f = std::bit_cast<float>(special);
        for (int figure = 0; figure < 35; ++figure) {
            Scene s;
            buildScene(s);
            reference::Camera c = cannedCamera(2);
            float* slot = figure < 16   ? &c.projection[figure]
                          : figure < 32 ? &c.view[figure - 16]
                                        : &c.position[figure - 32];
            *slot = f;
            s.run().setCamera(1, c);
            s("OT_UpdateFrustum2", {I(1)});
            probe(s, {H("A"), H("Z")}, special);
            if (HasFailure()) FAIL() << "camera figure " << figure << " = " << std::hex << special;
        }
        for (int figure = 0; figure < 10; ++figure) {
            Scene s;
            buildScene(s);
            reference::Body body;
            float* fields[10] = {&body.position[0],  &body.position[1],  &body.position[2],
                                 &body.boundsMin[0], &body.boundsMin[1], &body.boundsMin[2],
                                 &body.boundsMax[0], &body.boundsMax[1], &body.boundsMax[2],
                                 &body.radius};
            *fields[figure] = f;
            s.run().setObject(5, body);
            s.run().setLimb(5, 1, body);
            s("OT_CreateObjectBox2", {H("A"), I(5)}, "OB");
            s("OT_CreateObjectSphere2", {H("OB"), I(5)}, "OS");
            s("OT_CreateLimbBox2", {I(0), I(5), I(1)}, "LB");
            s("OT_CreateLimbSphere1", {H("Z"), I(5), I(1), I(2)}, "LS");
            probe(s, {H("OB"), H("OS"), H("LB"), H("LS")}, special);
            if (HasFailure()) FAIL() << "object figure " << figure << " = " << std::hex << special;
        }
    }
}

// The host keeps only the limbs an object has: the extreme numbers cost one
// entry each, the ones between them are missing, and the core agrees with the
// model on all of them.
TEST(BadInput, LimbNumbersAtTheEndsOfTheRange) {
    Scene s;
    buildScene(s);
    reference::Body body;
    body.boundsMax[1] = 1;
    body.radius = 1;
    s.run().setObject(6, body);
    for (const int32_t limb : {INT32_MAX, INT32_MAX - 1, 0}) s.run().setLimb(6, limb, body);
    s("OT_CreateLimbBox2", {I(0), I(6), I(INT32_MAX)}, "LAST");
    s("OT_CreateLimbSphere1", {H("Z"), I(6), I(INT32_MAX - 1), I(2)}, "NEXT");
    s("OT_AddLimb", {H("A"), I(6), I(INT32_MAX)});
    s("OT_CullAll", {});
    for (const int32_t missing : {1, INT32_MAX - 2, INT32_MIN, -1}) {
        EXPECT_EQ(s("OT_CreateLimbBox2", {I(0), I(6), I(missing)}), 0) << missing;
    }
}

TEST(BadInput, SetParentNeverMakesACycle) {
    struct Case {
        const char* node;
        const char* newParent;
        const char* parentAfter;  // "" for top-level
    } cases[] = {
        {"A", "A", "Z"},  // itself
        {"A", "B", "Z"},  // its child
        {"Z", "B", ""},   // its grandchild
        {"Z", "Z", ""},
        {"B", "C", "C"},  // a real move
        {"Z", "C", "C"},
    };
    for (const Case& c : cases) {
        Scene s;
        buildScene(s);
        s("OT_SetParent", {H(c.node), H(c.newParent)});
        const int32_t parent = s("OT_GetParent", {H(c.node)});
        const int32_t expected = *c.parentAfter ? s.pair(c.parentAfter).core : 0;
        EXPECT_EQ(parent, expected) << c.node << " under " << c.newParent;
        s("OT_CullAll", {});
        s("OT_Delete", {H("Z")});
        EXPECT_EQ(checkTreeInvariants(cullingState()), "");
    }
}

TEST(BadInput, PortalWhoseNodesAreDeletedWhileDisabled) {
    for (const char* deleted : {"Z1", "Z2", "D", "Top"}) {
        Scene s;
        s.run().setCamera(0, cannedCamera(0));
        s.run().moveCamera(0, 1, 1, 1);
        s("OT_CreateBox1", {I(0), F(-5), F(-5), F(-5), F(50), F(50), F(50), I(1)}, "Top");
        s("OT_CreateBox1", {H("Top"), F(0), F(0), F(0), F(5), F(5), F(5), I(2)}, "Z1");
        s("OT_CreateBox1", {H("Top"), F(0), F(0), F(5), F(5), F(5), F(10), I(2)}, "Z2");
        s("OT_CreateBox2", {H("Z1"), F(1), F(1), F(4), F(2), F(2), F(6)}, "D");
        s("OT_AddObject", {H("Z2"), I(9)});
        s("OT_AddPortal", {H("Z1"), H("Z2"), H("D")}, "P");
        s("OT_DisablePortal", {H("P")});
        s("OT_UpdateFrustum1", {});
        s("OT_CullAll", {});
        s("OT_Delete", {H(deleted)});
        EXPECT_EQ(s.run().model().portalCount(), 0u) << deleted;
        for (const char* command : {"OT_EnablePortal", "OT_DisablePortal", "OT_PortalEnabled",
                                    "OT_GetPortalPortal", "OT_GetPortalA", "OT_GetPortalB",
                                    "OT_RemovePortal"}) {
            EXPECT_EQ(s(command, {H("P")}), 0) << command << " after deleting " << deleted;
        }
        s("OT_CullAll", {});
        s("OT_DeleteAll", {});
    }
}

TEST(BadInput, DeletingANodeThatIsZoneAndOpeningAtOnce) {
    struct Case {
        const char* a;
        const char* b;
        const char* opening;
    } cases[] = {{"N", "M", "N"}, {"N", "N", "N"}, {"M", "N", "N"}, {"N", "N", "M"},
                 {"M", "M", "N"}, {"N", "0", "N"}};
    for (const Case& c : cases) {
        Scene s;
        s("OT_CreateBox1", {I(0), F(0), F(0), F(0), F(1), F(1), F(1), I(2)}, "N");
        s("OT_CreateBox1", {I(0), F(1), F(0), F(0), F(2), F(1), F(1), I(2)}, "M");
        s("OT_CreateBox2", {H("N"), F(0), F(0), F(0), F(1), F(1), F(1)}, "Child");
        auto arg = [](const char* n) { return *n == '0' ? I(0) : H(n); };
        s("OT_AddPortal", {arg(c.a), arg(c.b), arg(c.opening)}, "P1");
        s("OT_AddPortal", {arg(c.b), arg(c.opening), arg(c.a)}, "P2");
        s("OT_AddPortal", {H("M"), H("M"), H("Child")}, "P3");
        s("OT_Delete", {H("N")});
        EXPECT_EQ(s.run().model().portalCount(), 0u);
        EXPECT_EQ(cullingState().livePortalCount(), 0u);
        s("OT_CullAll", {});
    }
}

// A program that binds no host, or a table with holes, must still be able to
// run every command: switches go nowhere, lookups find nothing.
TEST(BadInput, EveryCommandWithoutAHostOrWithAPartialOne) {
    struct Recorder {
        int hides = 0;
    } recorder;
    OtHostApi partial{};
    partial.context = &recorder;
    partial.hide = [](void* r, int32_t) { ++static_cast<Recorder*>(r)->hides; };
    const OtHostApi* const apis[] = {nullptr, &partial};
    for (const OtHostApi* api : apis) {
        ot_bind_host(api);
        resetCullingState();
        const int32_t zone = OT_CreateBox1(0, -1, -1, -1, 1, 1, 1, 2);
        const int32_t child = OT_CreateSphere2(zone, 0, 0, 0, 1);
        ASSERT_NE(zone, 0);
        OT_AddObject(zone, 1);
        OT_AddLimb(child, 1, 2);
        OT_AddPortal(zone, 0, child);
        EXPECT_EQ(OT_CreateObjectBox2(zone, 1), 0);
        EXPECT_EQ(OT_CreateLimbSphere2(zone, 1, 2), 0);
        OT_UpdateFrustum1();
        OT_UpdateFrustum2(4);
        OT_CullAll();
        OT_Hide(zone);
        OT_Show(child);
        OT_HideAll2();
        OT_ShowAll2();
        OT_Cull(child);
        EXPECT_EQ(OT_Visible(child), 1);
        EXPECT_EQ(checkTreeInvariants(cullingState()), "");
        OT_DeleteAll();
    }
    // Hidden: by the box test on zero planes, by OT_Hide and by OT_HideAll.
    EXPECT_EQ(recorder.hides, 3);
    resetCullingState();
    ot_bind_host(nullptr);
}

// Planes of the canned cameras have components that are exactly 0, and 0
// times an infinite corner is not a number: every box and sphere whose
// figures mix infinities, NaN and ordinary values, against every camera.
TEST(BadInput, VolumeTestsWithInfiniteAndNotANumberFigures) {
    const float inf = std::numeric_limits<float>::infinity();
    const float values[] = {-inf, -2.0f, 0.5f, 3.0f, inf, std::numeric_limits<float>::quiet_NaN()};
    for (int camera = 0; camera < kCannedCameraCount; ++camera) {
        Scene s;
        s.run().setCamera(0, cannedCamera(camera));
        s("OT_UpdateFrustum2", {I(0)});
        const int testBox = idOf("OT_TestBox");
        const int testSphere = idOf("OT_TestSphere");
        uint32_t slots[6];
        for (int i = 0; i < 6 * 6 * 6 * 6 * 6 * 6; ++i) {
            int rest = i;
            for (uint32_t& slot : slots) {
                slot = std::bit_cast<uint32_t>(values[rest % 6]);
                rest /= 6;
            }
            const std::string box = s.run().command(testBox, slots);
            ASSERT_EQ(box, "") << "camera " << camera << " box " << i;
            if (i < 6 * 6 * 6 * 6) {
                const std::string sphere =
                    s.run().command(testSphere, std::span<const uint32_t>(slots, 4));
                ASSERT_EQ(sphere, "") << "camera " << camera << " sphere " << i;
            }
        }
    }
}

}  // namespace
}  // namespace tarvo::reliability
