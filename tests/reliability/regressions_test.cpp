// Faults found by the differential fuzzer and by the bad-input tables, each
// cut down to the few commands that show it, and guards for handle reuse.
#include "scene.h"

namespace tarvo::reliability {
namespace {

TEST(HandleReuse, PortalRemovedTwiceThroughBothHandlesOfTheSameSlot) {
    // A removed portal's slot is reused by the next portal; the old handle
    // must not name the new record.
    Scene s;
    s("OT_CreateBox1", {I(0), F(0), F(0), F(0), F(1), F(1), F(1), I(2)}, "Z");
    s("OT_AddPortal", {H("Z"), H("Z"), H("Z")}, "Old");
    s("OT_RemovePortal", {H("Old")});
    s("OT_AddPortal", {H("Z"), I(0), I(0)}, "New");
    s("OT_RemovePortal", {H("Old")});
    EXPECT_EQ(s("OT_GetPortalA", {H("New")}), s.pair("Z").core);
}

// A script that makes and drops one temporary node per frame reuses the same
// slot every time; after as many frames as the generation count can hold, a
// handle it kept from the first frame must still name nothing.
TEST(HandleReuse, StaleHandleStaysDeadAcrossManySlotReuses) {
    Scene s;
    s("OT_CreateBox2", {I(0), F(0), F(0), F(0), F(1), F(1), F(1)}, "First");
    s("OT_Delete", {H("First")});
    for (int frame = 1; frame <= 2048; ++frame) {
        s("OT_CreateBox2", {I(0), F(0), F(0), F(0), F(1), F(1), F(1)}, "Temporary");
        ASSERT_NE(s.pair("Temporary").core, s.pair("First").core)
            << "frame " << frame << ": the first frame's deleted handle names a new node";
        s("OT_Delete", {H("Temporary")});
    }
}

TEST(HandleReuse, StalePortalHandleStaysDeadAcrossManySlotReuses) {
    Scene s;
    s("OT_CreateBox1", {I(0), F(0), F(0), F(0), F(1), F(1), F(1), I(2)}, "Z");
    s("OT_AddPortal", {H("Z"), I(0), I(0)}, "First");
    s("OT_RemovePortal", {H("First")});
    for (int frame = 1; frame <= 2048; ++frame) {
        s("OT_AddPortal", {H("Z"), I(0), I(0)}, "Temporary");
        ASSERT_NE(s.pair("Temporary").core, s.pair("First").core)
            << "frame " << frame << ": the first frame's removed portal handle names a new one";
        s("OT_RemovePortal", {H("Temporary")});
    }
}

// Found by the fuzzer (OT_AddPortal(0, 0, 0) then OT_DeleteAll): a portal
// ends only when it is removed or a node it names is deleted, so one that
// names no node outlives deleting every node, on an empty tree too.
TEST(FuzzFindings, DeleteAllKeepsAPortalThatNamesNoNode) {
    for (bool withNodes : {false, true}) {
        Scene s;
        s("OT_AddPortal", {I(0), I(0), I(0)}, "Loose");
        if (withNodes) {
            s("OT_CreateBox1", {I(0), F(0), F(0), F(0), F(1), F(1), F(1), I(2)}, "Z");
            s("OT_AddPortal", {H("Z"), I(0), I(0)}, "Named");
        }
        s("OT_DeleteAll", {});
        EXPECT_EQ(s("OT_PortalEnabled", {H("Loose")}), 1) << "with nodes: " << withNodes;
        EXPECT_EQ(cullingState().livePortalCount(), 1u);
        s("OT_DisablePortal", {H("Loose")});
        EXPECT_EQ(s("OT_PortalEnabled", {H("Loose")}), 0);
        s("OT_Delete", {I(0)});
        s("OT_RemovePortal", {H("Loose")});
        EXPECT_EQ(cullingState().livePortalCount(), 0u);
    }
}

}  // namespace
}  // namespace tarvo::reliability
