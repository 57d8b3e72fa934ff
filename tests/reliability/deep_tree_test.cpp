// Million-node shapes that would overflow any walk that recurses once per
// node: a chain a million deep, and a million zones flooded one through the
// next. Core only, through the exports; the model recurses and is kept to
// small trees.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "commands/state.h"
#include "differential/differential.h"
#include "differential/tree_invariants.h"
#include "host/standin_host.h"
#include "tarvo/culling.h"

namespace tarvo::reliability {
namespace {

constexpr int kDepth = 1'000'000;

class MillionNodes : public ::testing::Test {
protected:
    void SetUp() override {
        api_ = host_.api();
        ot_bind_host(&api_);
        resetCullingState();
        host_.setLogging(false);
        const reference::Camera c = cannedCamera(0);  // at the origin, looking along +z
        StandInCamera& camera = host_.camera(0);
        std::memcpy(camera.projection, c.projection, sizeof c.projection);
        std::memcpy(camera.view, c.view, sizeof c.view);
        std::memcpy(camera.position, c.position, sizeof c.position);
    }
    void TearDown() override {
        resetCullingState();
        ot_bind_host(nullptr);
    }

    const Tree& tree() { return cullingState(); }
    int32_t depthOf(int32_t handle) { return tree().node(tree().nodeIndex(handle)).depth; }

    StandInHost host_;
    OtHostApi api_{};
};

TEST_F(MillionNodes, ChainCreatedCulledHiddenAndDeleted) {
    std::vector<int32_t> chain;
    chain.reserve(kDepth);
    int32_t parent = 0;
    for (int i = 0; i < kDepth; ++i) {
        parent = OT_CreateBox2(parent, -1, -1, 1, 1, 1, 3);
        ASSERT_NE(parent, 0) << "at depth " << i;
        OT_AddObject(parent, i % 100);
        chain.push_back(parent);
    }
    EXPECT_EQ(depthOf(chain.back()), kDepth - 1);
    EXPECT_EQ(OT_GetParent(chain.back()), chain[kDepth - 2]);
    EXPECT_EQ(checkTreeInvariants(tree()), "");

    // In view, no zones: every node is flooded and shown.
    OT_UpdateFrustum2(0);
    uint64_t before = host_.switchCount();
    OT_CullAll();
    EXPECT_EQ(host_.switchCount() - before, 2u * kDepth);
    EXPECT_EQ(OT_Visible(chain.back()), 1);

    // Out of view: the root is hidden with its whole subtree.
    OT_SetBox(chain.front(), -1, -1, -3, 1, 1, -2);
    before = host_.switchCount();
    OT_Cull(chain.front());
    EXPECT_EQ(host_.switchCount() - before, 2u * kDepth);
    EXPECT_EQ(OT_Visible(chain.back()), 0);

    OT_ShowAll2();
    EXPECT_EQ(OT_Visible(chain.back()), 1);
    OT_HideAll1(chain[1]);
    EXPECT_EQ(OT_Visible(chain.front()), 1);
    EXPECT_EQ(OT_Visible(chain.back()), 0);

    // Under its own deepest descendant: refused, the chain stays rooted.
    OT_SetParent(chain.front(), chain.back());
    EXPECT_EQ(OT_GetParent(chain.front()), 0);
    // Cut in the middle and hung back on: depths stay as created.
    OT_SetParent(chain[kDepth / 2], 0);
    OT_SetParent(chain[kDepth / 2], chain[10]);
    EXPECT_EQ(depthOf(chain.back()), kDepth - 1);
    EXPECT_EQ(checkTreeInvariants(tree()), "");

    before = host_.switchCount();
    OT_Delete(chain.front());
    EXPECT_EQ(host_.switchCount(), before) << "deleting makes no host call";
    EXPECT_EQ(tree().liveNodeCount(), 0u);
    EXPECT_EQ(OT_Visible(chain.back()), 0);
    EXPECT_EQ(checkTreeInvariants(tree()), "");
}

TEST_F(MillionNodes, ChainOfZonesAllHoldingTheCamera) {
    std::vector<int32_t> chain;
    chain.reserve(kDepth);
    int32_t parent = 0;
    for (int i = 0; i < kDepth; ++i) {
        parent = OT_CreateBox1(parent, -10, -10, -10, 10, 10, 10, 2);
        ASSERT_NE(parent, 0);
        OT_AddLimb(parent, 1, i);
        chain.push_back(parent);
    }
    // The deepest zone holding the camera wins; its portal leads back to the
    // top of the chain, which is then walked as though the camera were in it.
    ASSERT_NE(OT_AddPortal(chain.back(), chain.front(), 0), 0);
    OT_UpdateFrustum1();
    const uint64_t before = host_.switchCount();
    OT_CullAll();
    EXPECT_GE(host_.switchCount() - before, static_cast<uint64_t>(kDepth) + 1);
    EXPECT_EQ(OT_Visible(chain.back()), 1);
    EXPECT_EQ(OT_Visible(chain.front()), 1);
    EXPECT_EQ(OT_Visible(chain[kDepth / 2]), 0);
    EXPECT_EQ(checkTreeInvariants(tree()), "");
    OT_DeleteAll();
    EXPECT_EQ(tree().liveNodeCount(), 0u);
    EXPECT_EQ(tree().livePortalCount(), 0u);
}

TEST_F(MillionNodes, FloodThroughAMillionPortals) {
    // Top-level zones side by side, each joined to the next by a portal
    // without an opening node; the camera is in the first.
    std::vector<int32_t> zones;
    zones.reserve(kDepth);
    for (int i = 0; i < kDepth; ++i) {
        const float x = static_cast<float>(i) * 4.0f - 1.0f;
        zones.push_back(OT_CreateBox1(0, x, -1, -1, x + 2, 1, 1, 2));
        OT_AddObject(zones.back(), i);
        if (i > 0) {
            ASSERT_NE(OT_AddPortal(zones[i - 1], zones[i], 0), 0);
        }
    }
    OT_UpdateFrustum2(0);
    const uint64_t before = host_.switchCount();
    OT_CullAll();
    // Every zone is hidden first, then shown through the portal chain.
    EXPECT_EQ(host_.switchCount() - before, 4u * kDepth);
    EXPECT_EQ(OT_Visible(zones.back()), 1);
    OT_Delete(zones[kDepth / 2]);
    EXPECT_EQ(tree().livePortalCount(), static_cast<uint32_t>(kDepth - 3));
    EXPECT_EQ(checkTreeInvariants(tree()), "");
    OT_DeleteAll();
    EXPECT_EQ(tree().livePortalCount(), 0u);
}

}  // namespace
}  // namespace tarvo::reliability
