// Node tree, volumes, attachments and portals through the exports.
#include <cmath>
#include <limits>

#include "fixture.h"

namespace tarvo {
namespace {

using TreeTest = PluginTest;

int32_t box(int32_t parent, float xa, float ya, float za, float xb, float yb, float zb) {
    return OT_CreateBox2(parent, xa, ya, za, xb, yb, zb);
}

struct Corners {
    float xa, ya, za, xb, yb, zb;
};

Corners cornersOf(int32_t node) {
    auto f = [](int32_t bits) { return std::bit_cast<float>(bits); };
    return {f(OT_GetBoxXA(node)), f(OT_GetBoxYA(node)), f(OT_GetBoxZA(node)),
            f(OT_GetBoxXB(node)), f(OT_GetBoxYB(node)), f(OT_GetBoxZB(node))};
}

void expectCorners(int32_t node, Corners expected) {
    const Corners got = cornersOf(node);
    EXPECT_EQ(std::bit_cast<uint32_t>(got.xa), std::bit_cast<uint32_t>(expected.xa));
    EXPECT_EQ(std::bit_cast<uint32_t>(got.ya), std::bit_cast<uint32_t>(expected.ya));
    EXPECT_EQ(std::bit_cast<uint32_t>(got.za), std::bit_cast<uint32_t>(expected.za));
    EXPECT_EQ(std::bit_cast<uint32_t>(got.xb), std::bit_cast<uint32_t>(expected.xb));
    EXPECT_EQ(std::bit_cast<uint32_t>(got.yb), std::bit_cast<uint32_t>(expected.yb));
    EXPECT_EQ(std::bit_cast<uint32_t>(got.zb), std::bit_cast<uint32_t>(expected.zb));
}

TEST_F(TreeTest, BoxFiguresKeepCornersAsGiven) {
    struct Case {
        Corners given;
        float px, py, pz, width, height, depth;
    };
    const Case cases[] = {
        {{0, 0, 0, 2, 4, 6}, 1, 2, 3, 2, 4, 6},
        {{2, 4, 6, 0, 0, 0}, 1, 2, 3, -2, -4, -6},
        // Each step rounds to single precision: 1 + 2^24 is 2^24, halved 2^23.
        {{1, 0, 0, 16777216, 0, 0}, 8388608, 0, 0, 16777215, 0, 0},
    };
    for (const Case& c : cases) {
        const int32_t n =
            box(0, c.given.xa, c.given.ya, c.given.za, c.given.xb, c.given.yb, c.given.zb);
        expectCorners(n, c.given);
        EXPECT_EQ(asFloat(OT_GetPositionX(n)), c.px);
        EXPECT_EQ(asFloat(OT_GetPositionY(n)), c.py);
        EXPECT_EQ(asFloat(OT_GetPositionZ(n)), c.pz);
        EXPECT_EQ(asFloat(OT_GetBoxWidth(n)), c.width);
        EXPECT_EQ(asFloat(OT_GetBoxHeight(n)), c.height);
        EXPECT_EQ(asFloat(OT_GetBoxDepth(n)), c.depth);
        EXPECT_EQ(OT_GetRadius(n), 0) << "a box's radius reads 0 until set";
    }
}

TEST_F(TreeTest, MovingAndResizingFollowTheNodesKind) {
    const int32_t b = box(0, 0, 0, 0, 2, 4, 6);
    OT_SetPosition(b, 10, 10, 10);
    expectCorners(b, {9, 8, 7, 11, 12, 13});
    OT_SetBoxSize(b, 4, 4, 4);
    expectCorners(b, {8, 8, 8, 12, 12, 12});

    const int32_t swapped = box(0, 2, 4, 6, 0, 0, 0);
    OT_SetPosition(swapped, 0, 0, 0);
    expectCorners(swapped, {1, 2, 3, -1, -2, -3});

    const int32_t s = OT_CreateSphere2(0, 0, 0, 0, 5);
    OT_SetBoxSize(s, 2, 2, 2);
    EXPECT_EQ(asFloat(OT_GetPositionX(s)), -1.0f);
    EXPECT_EQ(asFloat(OT_GetBoxXB(s)), 1.0f);
    EXPECT_EQ(asFloat(OT_GetRadius(s)), 5.0f);
    OT_SetPosition(s, 3, 4, 5);
    EXPECT_EQ(asFloat(OT_GetPositionY(s)), 4.0f);
    EXPECT_EQ(asFloat(OT_GetBoxYB(s)), 1.0f) << "moving a sphere leaves cornerB";
    OT_SetBox(s, 7, 8, 9, 1, 1, 1);
    EXPECT_EQ(asFloat(OT_GetPositionZ(s)), 9.0f);
    EXPECT_EQ(asFloat(OT_GetRadius(s)), 5.0f);

    const int32_t p = OT_CreatePoint2(0, 1, 2, 3);
    EXPECT_EQ(OT_GetBoxXB(p), 0) << "a point's second corner reads 0 until set";
    OT_SetPosition(p, -1, -2, -3);
    EXPECT_EQ(asFloat(OT_GetBoxXA(p)), -1.0f);
    OT_SetRadius(b, 2.5f);
    EXPECT_EQ(OT_GetRadius(b), std::bit_cast<int32_t>(2.5f));
}

TEST_F(TreeTest, SwitchesCallTheHostPerAttachmentInOrder) {
    const int32_t n = box(0, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(OT_Visible(n), 1) << "new nodes count as shown";
    OT_AddObject(n, 1);
    OT_AddLimb(n, 2, 3);
    OT_Hide(n);
    EXPECT_EQ(calls(), (Calls{"Hide 1", "ExcludeOn 1", "HideLimb 2 3"}));
    EXPECT_EQ(OT_Visible(n), 0);
    OT_Show(n);
    EXPECT_EQ(calls(), (Calls{"ExcludeOff 1", "Show 1", "ShowLimb 2 3"}));
    EXPECT_EQ(OT_Visible(n), 1);

    OT_AddObject(n, 1);
    OT_AddLimb(n, 1, -1);
    OT_Hide(n);
    EXPECT_EQ(calls(), (Calls{"Hide 1", "ExcludeOn 1", "HideLimb 2 3", "Hide 1", "ExcludeOn 1",
                              "Hide 1", "ExcludeOn 1"}));
    OT_AddLimb(n, 1, 2);
    OT_RemoveObject(n, 1);  // every (1, -1), not (1, 2)
    OT_Hide(n);
    EXPECT_EQ(calls(), (Calls{"HideLimb 2 3", "HideLimb 1 2"}));
    OT_RemoveLimb(n, 2, 3);
    OT_RemoveLimb(n, 1, 2);
    OT_Show(n);
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(OT_Visible(n), 1) << "the flag switches without attachments";
}

TEST_F(TreeTest, SubtreeSwitchesWalkDepthFirstInChildOrder) {
    const int32_t root = box(0, 0, 0, 0, 1, 1, 1);
    const int32_t a = box(root, 0, 0, 0, 1, 1, 1);
    const int32_t a1 = box(a, 0, 0, 0, 1, 1, 1);
    const int32_t b = box(root, 0, 0, 0, 1, 1, 1);
    const int32_t other = box(0, 0, 0, 0, 1, 1, 1);
    int32_t object = 1;
    for (int32_t n : {root, a, a1, b, other}) OT_AddObject(n, object++);

    OT_Hide(root);
    EXPECT_EQ(calls(), (Calls{"Hide 1", "ExcludeOn 1"}));
    EXPECT_EQ(OT_Visible(a), 1);
    OT_HideAll1(root);
    EXPECT_EQ(calls(), (Calls{"Hide 1", "ExcludeOn 1", "Hide 2", "ExcludeOn 2", "Hide 3",
                              "ExcludeOn 3", "Hide 4", "ExcludeOn 4"}));
    OT_ShowAll2();
    EXPECT_EQ(calls(), (Calls{"ExcludeOff 1", "Show 1", "ExcludeOff 2", "Show 2", "ExcludeOff 3",
                              "Show 3", "ExcludeOff 4", "Show 4", "ExcludeOff 5", "Show 5"}));
    OT_DeleteAll();
    OT_HideAll2();
    EXPECT_TRUE(calls().empty());
}

TEST_F(TreeTest, ChildrenKeepCreationOrderAndReparentingAppends) {
    Tree& tree = cullingState();
    const int32_t p = box(0, 0, 0, 0, 1, 1, 1);
    const int32_t c1 = box(p, 0, 0, 0, 1, 1, 1);
    const int32_t c2 = box(p, 0, 0, 0, 1, 1, 1);
    const int32_t c3 = box(p, 0, 0, 0, 1, 1, 1);
    const int32_t grandchild = box(c3, 0, 0, 0, 1, 1, 1);
    auto childrenOf = [&](int32_t parent) {
        std::vector<int32_t> out;
        const NodeIndex pi = parent == 0 ? kRoot : tree.nodeIndex(parent);
        for (NodeIndex c = tree.node(pi).firstChild; c != kNone; c = tree.node(c).nextSibling) {
            out.push_back(tree.nodeHandle(c));
        }
        return out;
    };
    auto depthOf = [&](int32_t n) { return tree.node(tree.nodeIndex(n)).depth; };
    EXPECT_EQ(childrenOf(p), (std::vector<int32_t>{c1, c2, c3}));
    EXPECT_EQ(OT_GetParent(c2), p);
    EXPECT_EQ(OT_GetParent(p), 0);
    EXPECT_EQ(depthOf(grandchild), 2);

    OT_SetParent(c1, p);  // already there: keeps its place
    EXPECT_EQ(childrenOf(p), (std::vector<int32_t>{c1, c2, c3}));
    OT_SetParent(c2, 0);
    EXPECT_EQ(childrenOf(p), (std::vector<int32_t>{c1, c3}));
    EXPECT_EQ(childrenOf(0), (std::vector<int32_t>{p, c2}));
    OT_SetParent(p, c2);  // depths stay as created
    EXPECT_EQ(childrenOf(0), (std::vector<int32_t>{c2}));
    EXPECT_EQ(depthOf(p), 0);
    EXPECT_EQ(depthOf(grandchild), 2);
    OT_SetParent(c3, 0);
    OT_SetParent(c3, c2);
    EXPECT_EQ(childrenOf(c2), (std::vector<int32_t>{p, c3}));
    EXPECT_EQ(childrenOf(p), (std::vector<int32_t>{c1}));
}

TEST_F(TreeTest, ReparentingUnderItselfOrADescendantIsRefused) {
    const int32_t a = box(0, 0, 0, 0, 1, 1, 1);
    const int32_t b = box(a, 0, 0, 0, 1, 1, 1);
    const int32_t c = box(b, 0, 0, 0, 1, 1, 1);
    for (int32_t target : {a, b, c}) {
        OT_SetParent(a, target);
        EXPECT_EQ(OT_GetParent(a), 0);
    }
    OT_SetParent(b, c);
    EXPECT_EQ(OT_GetParent(b), a);
    EXPECT_EQ(OT_GetParent(c), b);
    OT_DeleteAll();
    EXPECT_EQ(cullingState().liveNodeCount(), 0u) << "nothing was cut off the tree";
}

TEST_F(TreeTest, DeletionEndsEveryPortalThatNamesADeletedNode) {
    Tree& tree = cullingState();
    const int32_t zoneA = box(0, 0, 0, 0, 1, 1, 1);
    const int32_t door = box(zoneA, 0, 0, 0, 1, 1, 1);
    const int32_t zoneB = box(0, 0, 0, 0, 1, 1, 1);
    const int32_t window = box(zoneB, 0, 0, 0, 1, 1, 1);
    const int32_t viaDoor = OT_AddPortal(zoneA, zoneB, door);
    const int32_t loop = OT_AddPortal(zoneB, zoneB, window);
    const int32_t outward = OT_AddPortal(zoneB, 0, window);
    const int32_t opensIntoA = OT_AddPortal(zoneB, 0, zoneA);
    EXPECT_EQ(tree.zonePortals(tree.nodeIndex(zoneB)).size(), 5u) << "the loop stands twice";
    EXPECT_EQ(OT_GetPortalA(viaDoor), zoneA);
    EXPECT_EQ(OT_GetPortalB(viaDoor), zoneB);
    EXPECT_EQ(OT_GetPortalPortal(viaDoor), door);
    EXPECT_EQ(OT_PortalEnabled(viaDoor), 1);

    OT_Delete(zoneA);  // ends viaDoor (as zone and through its child) and opensIntoA
    EXPECT_EQ(OT_GetPortalA(viaDoor), 0);
    EXPECT_EQ(OT_GetPortalPortal(opensIntoA), 0);
    const NodeIndex b = tree.nodeIndex(zoneB);
    EXPECT_EQ(tree.zonePortals(b).size(), 3u);
    for (PortalIndex p : tree.zonePortals(b)) {
        EXPECT_TRUE(tree.portalHandle(p) == loop || tree.portalHandle(p) == outward);
    }
    EXPECT_EQ(tree.livePortalCount(), 2u);

    OT_DisablePortal(loop);
    OT_Delete(window);
    EXPECT_TRUE(tree.zonePortals(b).empty());
    EXPECT_EQ(tree.livePortalCount(), 0u);
    EXPECT_EQ(OT_PortalEnabled(loop), 0);
}

TEST_F(TreeTest, RemovingAPortalTakesEveryEntryOut) {
    Tree& tree = cullingState();
    const int32_t z = box(0, 0, 0, 0, 1, 1, 1);
    const int32_t opening = box(0, 0, 0, 0, 1, 1, 1);
    const int32_t first = OT_AddPortal(z, 0, opening);
    const int32_t twice = OT_AddPortal(z, z, opening);
    const int32_t last = OT_AddPortal(0, z, 0);
    OT_RemovePortal(twice);
    OT_RemovePortal(0);
    std::vector<int32_t> left;
    for (PortalIndex p : tree.zonePortals(tree.nodeIndex(z))) left.push_back(tree.portalHandle(p));
    EXPECT_EQ(left, (std::vector<int32_t>{first, last}));
    EXPECT_EQ(tree.ownPortals(tree.nodeIndex(opening)).size(), 1u);
    OT_DisablePortal(first);
    EXPECT_EQ(OT_PortalEnabled(first), 0);
    OT_EnablePortal(first);
    EXPECT_EQ(OT_PortalEnabled(first), 1);
}

TEST_F(TreeTest, HandlesOfDeadOrWrongKindRecordsNameNothing) {
    const int32_t keep = box(0, 0, 0, 0, 1, 1, 1);
    const int32_t gone = box(0, 0, 0, 0, 2, 2, 2);
    const int32_t portal = OT_AddPortal(keep, 0, 0);
    OT_AddObject(keep, 9);
    OT_Delete(gone);
    OT_Hide(keep);
    calls();
    for (int32_t bad : {gone, portal, gone + 1000, static_cast<int32_t>(0x7fffffff), -5}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(OT_CreateBox2(bad, 0, 0, 0, 1, 1, 1), 0);
        EXPECT_EQ(OT_GetParent(bad), 0);
        EXPECT_EQ(OT_GetBoxXB(bad), 0);
        EXPECT_EQ(OT_Visible(bad), 0);
        OT_Delete(bad);
        OT_HideAll1(bad);
        OT_ShowAll1(bad);
        OT_Cull(bad);
        OT_SetParent(keep, bad);
        OT_SetParent(bad, 0);
        EXPECT_EQ(OT_AddPortal(keep, bad, 0), 0);
    }
    EXPECT_TRUE(calls().empty()) << "no bad handle fell back to 'every node'";
    EXPECT_EQ(cullingState().liveNodeCount(), 1u);
    EXPECT_EQ(OT_GetPortalA(keep), 0) << "a node handle is no portal";
    EXPECT_EQ(OT_PortalEnabled(keep), 0);
    OT_RemovePortal(keep);
    EXPECT_EQ(cullingState().liveNodeCount(), 1u);
    EXPECT_EQ(OT_GetPortalA(portal), keep);
}

TEST_F(TreeTest, ReusedSlotsDoNotReviveOldHandles) {
    std::vector<int32_t> old;
    for (int i = 0; i < 3000; ++i) old.push_back(box(0, 0, 0, 0, 1, 1, 1));
    OT_DeleteAll();
    std::vector<int32_t> fresh;
    for (int i = 0; i < 3000; ++i) fresh.push_back(box(0, 0, 0, 0, 1, 1, 1));
    for (int32_t h : old) EXPECT_EQ(OT_GetParent(h) | OT_Visible(h), 0);
    std::sort(old.begin(), old.end());
    for (int32_t h : fresh) EXPECT_FALSE(std::binary_search(old.begin(), old.end(), h));
}

TEST_F(TreeTest, MillionDeepChainIsSwitchedAndDeletedWithoutRecursion) {
    const int32_t top = box(0, 0, 0, 0, 1, 1, 1);
    int32_t parent = top;
    for (int i = 0; i < 1'000'000; ++i) parent = box(parent, 0, 0, 0, 1, 1, 1);
    OT_AddObject(parent, 42);
    host.setLogging(false);
    OT_HideAll1(top);
    OT_ShowAll2();
    EXPECT_EQ(host.switchCount(), 4u);
    EXPECT_EQ(OT_Visible(parent), 1);
    OT_Delete(top);
    EXPECT_EQ(cullingState().liveNodeCount(), 0u);
}

}  // namespace
}  // namespace tarvo
