// Programs the differential fuzzer found, each cut down to the few commands
// that show the fault.
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

}  // namespace
}  // namespace tarvo::reliability
