// The visibility pass: the camera zone search, flooding through portals and
// children, and the exact order of the host calls it makes.
#include "fixture.h"

namespace tarvo {
namespace {

// Camera 0 sits at the origin looking along +z; "ahead" volumes are in view,
// "behind" ones are not. Each node carries limb 0 of an object numbered after
// it, so the host log reads as a list of nodes.
class PassTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        lookAlongZ(0, 0, 0, 0);
        OT_UpdateFrustum1();
    }

    int32_t node(int32_t tag, int32_t parent, float z, int32_t role = 1, float half = 1) {
        const int32_t n = OT_CreateBox1(parent, -half, -half, z - half, half, half, z + half, role);
        OT_AddLimb(n, tag, 0);
        return n;
    }
    // A zone around the camera when z is 0, else a zone ahead or behind.
    int32_t zone(int32_t tag, int32_t parent, float z, float half = 5) {
        return node(tag, parent, z, 2, half);
    }

    static Calls hides(std::initializer_list<int> tags) { return log("HideLimb", tags); }
    static Calls shows(std::initializer_list<int> tags) { return log("ShowLimb", tags); }
    static Calls log(const char* op, std::initializer_list<int> tags) {
        Calls out;
        for (int t : tags) out.push_back(std::string(op) + ' ' + std::to_string(t) + " 0");
        return out;
    }
    static Calls concat(Calls a, const Calls& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
};

constexpr float kAhead = 10;
constexpr float kBehind = -20;

TEST_F(PassTest, WorkedExampleHidesAllThenFloodsThroughTheDoor) {
    const int32_t z1 = zone(1, 0, 0);
    const int32_t d = node(2, z1, 5, 1, 0.5f);
    node(3, z1, 2, 1, 0.5f);
    const int32_t z2 = zone(4, 0, 10);
    node(5, z2, 11, 1, 0.5f);
    node(6, 0, kBehind);
    OT_AddPortal(z1, z2, d);
    OT_CullAll();
    EXPECT_EQ(calls(), concat(hides({1, 2, 3, 4, 5, 6}), shows({1, 2, 4, 5, 3})));
    EXPECT_EQ(OT_Visible(z2), 1);
    const Tree& tree = cullingState();
    EXPECT_FALSE(tree.cameraInsideInLastPass(tree.nodeIndex(z2))) << "restored after the flood";
    EXPECT_TRUE(tree.cameraInsideInLastPass(tree.nodeIndex(z1)));
}

TEST_F(PassTest, WithoutACameraZoneTheTopLevelIsFrustumTested) {
    const int32_t ahead = node(1, 0, kAhead);
    node(2, ahead, kAhead + 1);
    node(3, ahead, kBehind);
    const int32_t behind = node(4, 0, kBehind);
    node(5, behind, kAhead);
    const int32_t inert = node(6, 0, kAhead, 7);
    node(7, inert, kAhead);
    OT_CullAll();
    EXPECT_EQ(calls(), (Calls{"ShowLimb 1 0", "ShowLimb 2 0", "HideLimb 3 0", "HideLimb 4 0",
                              "HideLimb 5 0"}));
    OT_Cull(0);
    EXPECT_EQ(calls().size(), 5u);
    OT_Cull(behind);
    EXPECT_EQ(calls(), hides({4, 5})) << "only the start node's subtree";
    OT_DeleteAll();
    OT_CullAll();
    EXPECT_TRUE(calls().empty());
}

TEST_F(PassTest, InertNodesAreHiddenWithTheTreeButNeverShownUnlessEnteredByPortal) {
    const int32_t home = zone(1, 0, 0);
    const int32_t inert = node(2, home, 2, 0);
    node(3, inert, 2);
    const int32_t farInert = node(4, 0, kBehind, 5);
    node(5, farInert, kBehind);
    OT_AddPortal(home, farInert, 0);
    OT_CullAll();
    // The far node is shown out of view and its children are walked (tested).
    EXPECT_EQ(calls(), concat(hides({1, 2, 3, 4, 5}), concat(shows({1, 4}), hides({5}))));
}

TEST_F(PassTest, TheDeepestZoneWinsAndEqualDepthsGoToTheFirst) {
    const int32_t outer = zone(1, 0, 0, 50);
    const int32_t inner = zone(2, outer, 0, 5);
    node(3, outer, kAhead + 20);
    node(4, inner, kAhead);
    const int32_t rival = zone(5, 0, 0, 8);  // holds the camera too, but shallower
    OT_CullAll();
    EXPECT_EQ(calls(), concat(hides({1, 2, 4, 3, 5}), shows({2, 4})));
    const Tree& tree = cullingState();
    EXPECT_FALSE(tree.cameraInsideInLastPass(tree.nodeIndex(outer))) << "never tested";
    EXPECT_FALSE(tree.cameraInsideInLastPass(tree.nodeIndex(rival)));

    OT_DeleteAll();
    const int32_t first = zone(1, 0, 0);
    zone(2, 0, 0);
    OT_CullAll();
    EXPECT_EQ(calls(), concat(hides({1, 2}), shows({1})));
    EXPECT_TRUE(tree.cameraInsideInLastPass(tree.nodeIndex(first)));
}

TEST_F(PassTest, PortalsLeadOnlyWhenEnabledAndTheirOpeningIsInView) {
    const int32_t home = zone(1, 0, 0);
    const int32_t shut = node(2, home, 4, 1, 0.5f);
    const int32_t blind = node(3, home, kBehind, 1, 0.5f);
    const int32_t open = node(4, home, 4.5f, 1, 0.5f);
    const int32_t a = zone(5, 0, 20);
    const int32_t b = zone(6, 0, 40);
    const int32_t c = zone(7, 0, 60);
    const int32_t p = OT_AddPortal(home, a, shut);
    OT_AddPortal(home, b, blind);
    OT_AddPortal(c, home, open);  // followed from either side
    OT_DisablePortal(p);
    OT_CullAll();
    EXPECT_EQ(calls(), concat(hides({1, 2, 3, 4, 5, 6, 7}),
                              concat(shows({1}), concat(hides({3}), shows({4, 7, 2})))));
    OT_EnablePortal(p);
    OT_CullAll();
    EXPECT_EQ(calls(), concat(hides({1, 2, 3, 4, 5, 6, 7}),
                              concat(shows({1, 2, 5}), concat(hides({3}), shows({4, 7})))));
}

TEST_F(PassTest, AZoneReachedAsAChildShowsItselfButNotItsChildren) {
    const int32_t top = node(1, 0, kAhead);
    const int32_t room = zone(2, top, kAhead + 2, 1);
    node(3, room, kAhead + 2, 1, 0.5f);
    OT_CullAll();
    EXPECT_EQ(calls(), shows({1, 2}));
    OT_HideAll2();
    calls();
    OT_CullAll();
    EXPECT_EQ(calls(), shows({1, 2})) << "its child keeps the state it had";
    EXPECT_EQ(OT_Visible(cullingState().nodeHandle(
                  cullingState().node(cullingState().nodeIndex(room)).firstChild)),
              0);
}

TEST_F(PassTest, PortalsToTheTopLevelCullWhatIsLeftOnce) {
    const int32_t home = zone(1, 0, 0);
    const int32_t window = node(2, home, 4, 1, 0.5f);
    node(3, 0, kAhead + 10);
    node(4, 0, kBehind);
    OT_AddPortal(home, 0, window);
    OT_AddPortal(0, home, window);
    OT_CullAll();
    EXPECT_EQ(calls(), concat(hides({1, 2, 3, 4}), concat(shows({1, 2, 3}), hides({4}))));
}

TEST_F(PassTest, AnOpeningThatIsAlsoAZoneDependsOnTheSideItIsMetFrom) {
    // The portal's opening is its own zone A.
    const int32_t a = zone(1, 0, 20, 1);
    const int32_t b = zone(2, 0, 0);
    node(3, a, 20, 1, 0.5f);
    OT_AddPortal(a, b, a);
    OT_CullAll();
    // From b: a is culled as an opening, in view, flooded without the camera,
    // so its child is not walked; then a is already marked.
    EXPECT_EQ(calls(), concat(hides({1, 3, 2}), shows({2, 1})));
}

TEST_F(PassTest, APortalWithoutAnOpeningIsFollowed) {
    const int32_t home = zone(1, 0, 0);
    const int32_t beyond = zone(2, 0, kBehind);
    node(3, beyond, kAhead);
    OT_AddPortal(home, beyond, 0);
    OT_CullAll();
    EXPECT_EQ(calls(), concat(hides({1, 2, 3}), shows({1, 2, 3})));
}

TEST_F(PassTest, CullFromAStartNodeYieldsToACameraZone) {
    const int32_t home = zone(1, 0, 0);
    const int32_t other = node(2, 0, kAhead + 20);
    OT_Cull(other);
    EXPECT_EQ(calls(), concat(hides({1, 2}), shows({1})));
    host.camera(0).position[2] = 100;  // out of every zone; the planes stay
    OT_Cull(other);
    EXPECT_EQ(calls(), shows({2}));
    EXPECT_EQ(OT_Visible(home), 1);
}

TEST_F(PassTest, BeforeTheFirstFrustumThereIsNoCameraZone) {
    resetCullingState();
    zone(1, 0, 0);
    node(2, 0, kAhead);
    OT_CullAll();
    EXPECT_EQ(calls(), hides({1, 2})) << "zero planes: every box is outside";
}

TEST_F(PassTest, RingOfZonesIsFloodedOnceEach) {
    constexpr int kZones = 100'000;
    std::vector<int32_t> zones;
    for (int i = 0; i < kZones; ++i) zones.push_back(zone(i + 1, 0, i == 0 ? 0.0f : 1000.0f + i));
    for (int i = 0; i < kZones; ++i) OT_AddPortal(zones[i], zones[(i + 1) % kZones], 0);
    host.setLogging(false);
    OT_CullAll();
    EXPECT_EQ(host.switchCount(), 2u * kZones);
    for (int32_t z : zones) ASSERT_EQ(OT_Visible(z), 1);
}

TEST_F(PassTest, MillionDeepChainIsFloodedWithoutRecursion) {
    int32_t parent = 0;
    for (int i = 0; i < 1'000'000; ++i) parent = OT_CreateBox2(parent, -1, -1, 9, 1, 1, 11);
    OT_AddObject(parent, 5);
    OT_CullAll();
    EXPECT_EQ(calls(), (Calls{"ExcludeOff 5", "Show 5"}));
    OT_SetPosition(parent, 0, 0, -50);
    OT_CullAll();
    EXPECT_EQ(calls(), (Calls{"Hide 5", "ExcludeOn 5"}));
}

TEST_F(PassTest, FittedVolumesSnapshotTheHostsFigures) {
    host.setObject(1, {{10, 0, 0}, {-1, -2, -3}, {1, 2, 3}, 4});
    ASSERT_TRUE(host.setLimb(1, 2, {{0, 5, 0}, {-1, -1, -1}, {2, 2, 2}, 3}));
    const int32_t objectBox = OT_CreateObjectBox2(0, 1);
    const int32_t objectSphere = OT_CreateObjectSphere1(objectBox, 1, 2);
    const int32_t limbBox = OT_CreateLimbBox2(0, 1, 2);
    const int32_t limbSphere = OT_CreateLimbSphere2(0, 1, 2);
    host.setObject(1, {{99, 99, 99}, {0, 0, 0}, {0, 0, 0}, 0});
    EXPECT_EQ(asFloat(OT_GetBoxXA(objectBox)), 9.0f);
    EXPECT_EQ(asFloat(OT_GetBoxZB(objectBox)), 3.0f);
    EXPECT_EQ(asFloat(OT_GetPositionX(objectSphere)), 10.0f);
    EXPECT_EQ(asFloat(OT_GetRadius(objectSphere)), 4.0f);
    EXPECT_EQ(OT_GetParent(objectSphere), objectBox);
    EXPECT_EQ(cullingState().node(cullingState().nodeIndex(objectSphere)).role, 2);
    EXPECT_EQ(asFloat(OT_GetBoxYA(limbBox)), 4.0f);
    EXPECT_EQ(asFloat(OT_GetBoxYB(limbBox)), 7.0f);
    EXPECT_EQ(asFloat(OT_GetPositionY(limbSphere)), 5.0f);
    EXPECT_EQ(asFloat(OT_GetRadius(limbSphere)), 3.0f);
    OT_Hide(objectBox);
    OT_Hide(limbSphere);
    EXPECT_EQ(calls(), (Calls{"Hide 1", "ExcludeOn 1", "HideLimb 1 2"}));
    for (auto [object, limb] : {std::pair{2, 0}, {1, 0}, {1, 3}, {1, -1}}) {
        EXPECT_EQ(OT_CreateLimbBox2(0, object, limb), 0);
    }
    EXPECT_EQ(OT_CreateObjectSphere2(0, 2), 0);
    EXPECT_EQ(cullingState().liveNodeCount(), 4u);
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// Pass flags are cleared by moving to a new epoch; when the epoch counter
// wraps they are cleared for real. Hundreds of passes must all agree.
TEST_F(PassTest, EveryPassSeesFreshFlagsAcrossEpochWraps) {
    const int32_t home = zone(1, 0, 0);
    const int32_t door = node(2, home, 4, 1, 0.5f);
    const int32_t next = zone(3, 0, 10);
    node(4, next, 11, 1, 0.5f);
    node(5, 0, kBehind);
    OT_AddPortal(home, next, door);
    OT_CullAll();
    const Calls first = calls();
    for (int pass = 0; pass < 600; ++pass) {
        OT_CullAll();
        ASSERT_EQ(calls(), first) << "pass " << pass;
    }
}

}  // namespace
}  // namespace tarvo
