// The camera search keeps the zones in its order between passes. Each case
// culls once (so that the order is built), changes the tree so that another
// zone now holds the camera first, and culls again; the harness compares
// both passes with the reference model, which keeps no such order.
#include "scene.h"

namespace tarvo::reliability {
namespace {

// Top-level zones Outer and Second both hold the camera, Outer first in the
// search; Inner, a zone inside Outer, holds it deeper. Plain is a top-level
// node that is no zone. Each zone shows its own object when flooded.
void buildZones(Scene& s) {
    s.run().setCamera(0, cannedCamera(0));  // at the origin
    s("OT_CreateBox1", {I(0), F(-50), F(-50), F(-50), F(50), F(50), F(50), I(2)}, "Outer");
    s("OT_CreateBox1", {I(0), F(-40), F(-40), F(-40), F(40), F(40), F(40), I(2)}, "Second");
    s("OT_CreateBox1", {H("Outer"), F(-10), F(-10), F(-10), F(10), F(10), F(10), I(2)}, "Inner");
    s("OT_CreateBox2", {I(0), F(60), F(60), F(60), F(61), F(61), F(61)}, "Plain");
    s("OT_AddObject", {H("Outer"), I(1)});
    s("OT_AddObject", {H("Second"), I(2)});
    s("OT_AddObject", {H("Inner"), I(3)});
    s("OT_UpdateFrustum1", {});
    s("OT_CullAll", {});
}

struct ZoneChange {
    const char* what;
    void (*change)(Scene& s);
};

const ZoneChange kChanges[] = {
    {"a deeper box zone",
     [](Scene& s) {
         s("OT_CreateBox1", {H("Inner"), F(-5), F(-5), F(-5), F(5), F(5), F(5), I(2)}, "Deeper");
         s("OT_AddObject", {H("Deeper"), I(4)});
     }},
    {"a deeper sphere zone",
     [](Scene& s) {
         s("OT_CreateSphere1", {H("Inner"), F(0), F(0), F(0), F(5), I(2)}, "Deeper");
         s("OT_AddObject", {H("Deeper"), I(4)});
     }},
    {"a deeper zone fitted to an object",
     [](Scene& s) {
         reference::Body body;
         for (int i = 0; i < 3; ++i) {
             body.boundsMin[i] = -2;
             body.boundsMax[i] = 2;
         }
         body.radius = 3;
         s.run().setObject(4, body);
         s("OT_CreateObjectBox1", {H("Inner"), I(4), I(2)}, "Deeper");
     }},
    {"deleting the deepest zone", [](Scene& s) { s("OT_Delete", {H("Inner")}); }},
    {"deleting a subtree of zones", [](Scene& s) { s("OT_Delete", {H("Outer")}); }},
    {"deleting everything, then one zone",
     [](Scene& s) {
         s("OT_DeleteAll", {});
         s("OT_CreateBox1", {I(0), F(-9), F(-9), F(-9), F(9), F(9), F(9), I(2)}, "Fresh");
         s("OT_AddObject", {H("Fresh"), I(5)});
     }},
    // Depth stays as created, so moving Outer behind Second only changes
    // which of the two the search meets first.
    {"reparenting a zone behind another",
     [](Scene& s) {
         s("OT_Delete", {H("Inner")});
         s("OT_CullAll", {});
         s("OT_SetParent", {H("Outer"), H("Plain")});
     }},
};

TEST(ZoneSearchOrder, EveryChangeToTheZonesIsSeenByTheNextPass) {
    for (const ZoneChange& c : kChanges) {
        SCOPED_TRACE(c.what);
        Scene s;
        buildZones(s);
        c.change(s);
        s("OT_CullAll", {});
    }
}

}  // namespace
}  // namespace tarvo::reliability
