// The pass observer sees every decision and changes none of them.
#include "fixture.h"
#include "tree/pass_observer.h"

namespace tarvo {
namespace {

class ObserverTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        lookAlongZ(0, 0, 0, 0);
        OT_UpdateFrustum1();
        observer_ = {this, [](void* self, const PassEvent& e) {
                         static_cast<ObserverTest*>(self)->events.push_back(e);
                     }};
    }
    void TearDown() override {
        cullingState().setObserver(nullptr);
        PluginTest::TearDown();
    }
    void observe() { cullingState().setObserver(&observer_); }

    const PassEvent* find(PassEventKind kind, int32_t node) const {
        const NodeIndex index = cullingState().nodeIndex(node);
        for (const PassEvent& e : events) {
            if (e.kind == kind && e.node == index) return &e;
        }
        return nullptr;
    }

    std::vector<PassEvent> events;

private:
    PassObserver observer_{};
};

TEST_F(ObserverTest, ReportsHowEachNodeWasReachedWithoutChangingHostCalls) {
    const int32_t home = OT_CreateBox1(0, -5, -5, -5, 5, 5, 5, 2);
    const int32_t door = OT_CreateBox2(home, -1, -1, 4, 1, 1, 6);
    const int32_t shut = OT_CreateBox2(home, -1, -1, 3, 1, 1, 4);
    const int32_t behind = OT_CreateBox2(home, -1, -1, -9, 1, 1, -8);
    const int32_t next = OT_CreateBox1(0, -5, -5, 5, 5, 5, 15, 2);
    const int32_t lamp = OT_CreateBox2(next, -1, -1, 9, 1, 1, 10);
    const int32_t cellar = OT_CreateBox1(0, -5, -5, 20, 5, 5, 30, 2);
    const int32_t bottle = OT_CreateBox2(cellar, -1, -1, 22, 1, 1, 23);
    for (int32_t n : {home, door, shut, behind, next, lamp, cellar, bottle}) OT_AddObject(n, n);
    const int32_t open = OT_AddPortal(home, next, door);
    const int32_t closed = OT_AddPortal(home, cellar, shut);
    OT_DisablePortal(closed);

    OT_CullAll();
    const Calls unobserved = calls();
    observe();
    OT_CullAll();
    EXPECT_EQ(calls(), unobserved);

    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().kind, PassEventKind::kPassBegin);
    EXPECT_EQ(events.back().kind, PassEventKind::kPassEnd);
    const Tree& tree = cullingState();
    const PassEvent* zone = find(PassEventKind::kCameraZone, home);
    ASSERT_NE(zone, nullptr);
    const PassEvent* far = find(PassEventKind::kCullNode, next);
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(far->reach, Reach::kFarSide);
    EXPECT_EQ(far->portal, tree.portalIndex(open));
    const PassEvent* rejected = find(PassEventKind::kCullNode, behind);
    ASSERT_NE(rejected, nullptr);
    EXPECT_EQ(rejected->outcome, CullOutcome::kOutOfView);
    EXPECT_EQ(rejected->plane, kRight) << "the first plane, in order, with the box behind it";
    EXPECT_EQ(find(PassEventKind::kCullNode, bottle), nullptr) << "behind a closed door";
    const PassEvent* hidden = find(PassEventKind::kSubtreeHidden, bottle);
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(hidden->from, tree.nodeIndex(cellar));
    bool sawDisabled = false;
    for (const PassEvent& e : events) {
        if (e.kind == PassEventKind::kPortal && e.portal == tree.portalIndex(closed)) {
            sawDisabled = e.decision == PortalDecision::kDisabled;
        }
    }
    EXPECT_TRUE(sawDisabled);
}

}  // namespace
}  // namespace tarvo
