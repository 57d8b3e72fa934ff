// Each warning, provoked by a small script, with the line it points at; and
// a sound layout, which draws none.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "lint/layout_lint.h"
#include "lint/volume_geometry.h"

namespace tarvo {
namespace {

// Two rooms side by side along z, joined by a doorway that meets both.
constexpr const char* kRooms =
    "a = OT_CreateBox(0, -10, 0, 0,  10, 3, 10, 2)\n"   // line 1
    "b = OT_CreateBox(0, -10, 0, 10,  10, 3, 20, 2)\n"  // line 2
    "d = OT_CreateBox(a, -1, 0, 9.9,  1, 2.2, 10.1)\n"  // line 3
    "door = OT_AddPortal(a, b, d)\n";                   // line 4

struct Outcome {
    int status;
    std::string out;
};

Outcome lint(const std::string& script, bool quiet = false) {
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    const int status = lintScript(in, "scene.otc", quiet, out, err);
    EXPECT_EQ(err.str(), "");
    return {status, out.str()};
}

struct Case {
    const char* what;
    std::string script;
    const char* warning;  // the whole line, after "scene.otc:"
};

TEST(Lint, WarnsOfEachLayoutMistakeOnTheLineThatMadeIt) {
    const std::string rooms = kRooms;
    const Case cases[] = {
        {"zone box with corners the wrong way",
         rooms + "c = OT_CreateBox(0, 5, 0, 20,  -5, 3, 30, 2)\nOT_AddPortal(b, c, 0)\n",
         "5: warning: zone c: corner A is not below corner B on x (5 and -5), so it can never "
         "hold the camera"},
        {"flat zone box", rooms + "c = OT_CreateBox(0, -5, 3, 20,  5, 3, 30, 2)\n",
         "5: warning: zone c: corner A is not below corner B on y (3 and 3), so it can never "
         "hold the camera"},
        {"zone sphere without a radius", rooms + "c = OT_CreateSphere(0, 0, 0, 40, 0, 2)\n",
         "5: warning: zone c is a sphere of radius 0, so it can never hold the camera"},
        {"point zone", rooms + "c = OT_CreatePoint(0, 0, 0, 40, 2)\n",
         "5: warning: zone c is a point, so it can never hold the camera"},
        {"swapped corners of a plain box", rooms + "t = OT_CreateBox(a, 2, 0, 2,  1, 1, 3)\n",
         "5: warning: box t: corner A is above corner B on x (2 and 1): the corners look "
         "swapped"},
        {"zones overlapping at the same depth",
         rooms + "c = OT_CreateBox(0, 5, 0, 5,  15, 3, 15, 2)\nOT_AddPortal(a, c, d)\n",
         "5: warning: zones c and a (line 1) overlap at depth 0: where both hold the camera, a "
         "is the camera zone, being first in search order"},
        {"a gap between joined zones",
         "a = OT_CreateBox(0, -10, 0, 0,  10, 3, 10, 2)\n"
         "b = OT_CreateBox(0, -10, 0, 10.5,  10, 3, 20, 2)\n"
         "d = OT_CreateBox(a, -1, 0, 9.9,  1, 2.2, 10.6)\n"
         "door = OT_AddPortal(a, b, d)\n",
         "4: warning: zones a and b, joined by portal door, are 0.5 apart: a camera between "
         "them is in no zone, and the pass falls back to frustum tests alone"},
        {"a zone moved after it was made",
         rooms + "c = OT_CreateBox(0, 0, 0, 30,  2, 2, 32, 2)\nOT_AddPortal(b, c, 0)\n" +
             "OT_SetParent(c, b)\n",
         "5: warning: zone c was made at depth 0 but sits at depth 1 since OT_SetParent of c "
         "on line 7: the camera zone search still compares depth 0"},
        {"a zone below a moved node",
         rooms + "n = OT_CreateBox(0, 0, 0, 30,  2, 2, 32)\n" +
             "c = OT_CreateBox(n, 0, 0, 30,  2, 2, 32, 2)\nOT_AddPortal(b, c, 0)\n" +
             "OT_SetParent(n, b)\n",
         "6: warning: zone c was made at depth 1 but sits at depth 2 since OT_SetParent of n "
         "on line 8: the camera zone search still compares depth 1"},
        {"a portal without an opening", rooms + "open = OT_AddPortal(a, b, 0)\n",
         "5: warning: portal open has no opening node: it is followed as if its opening were "
         "in view"},
        {"a portal from a zone to itself", rooms + "loop = OT_AddPortal(a, a, d)\n",
         "5: warning: portal loop joins zone a to itself: it leads nowhere but still culls its "
         "opening"},
        {"a portal naming no zone", rooms + "none = OT_AddPortal(0, 0, d)\n",
         "5: warning: portal none names no zone: it is never followed"},
        {"a portal made twice", rooms + "again = OT_AddPortal(b, a, d)\n",
         "5: warning: portal again repeats portal door (line 4): the same zones and opening"},
        {"a repeat made in a slot freed earlier",
         rooms + "spare = OT_AddPortal(a, b, 0)\nOT_RemovePortal(door)\nOT_RemovePortal(spare)\n" +
             "first = OT_AddPortal(a, b, d)\nsecond = OT_AddPortal(a, b, d)\n",
         "9: warning: portal second repeats portal first (line 8): the same zones and opening"},
        {"an opening away from its zone",
         rooms + "w = OT_CreateBox(a, -1, 0, 4,  1, 2, 5)\nback = OT_AddPortal(a, b, w)\n",
         "6: warning: the opening w of portal back does not touch zone b (5 apart)"},
        {"a zone no portal joins", rooms + "c = OT_CreateBox(0, -10, 0, 20,  10, 3, 30, 2)\n",
         "5: warning: zone c: no portal joins it to another zone, so with the camera inside it "
         "nothing outside it is shown"},
        {"an object on two nodes",
         rooms + "t = OT_CreateBox(a, 1, 0, 1,  2, 1, 2)\nOT_AddObject(t, 7)\n" +
             "u = OT_CreateBox(b, 1, 0, 11,  2, 1, 12)\nOT_AddObject(u, 7)\n",
         "8: warning: object 7 is attached to t (line 5) and u (line 7): a later subtree hide "
         "of one can hide it after another showed it"},
        {"an object on four nodes: three named",
         rooms + "OT_AddObject(a, 7)\nOT_AddObject(b, 7)\nOT_AddObject(d, 7)\n" +
             "c = OT_CreateBox(b, 1, 0, 11,  2, 1, 12)\nOT_AddObject(c, 7)\n",
         "7: warning: object 7 is attached to a (line 1), d (line 3), b (line 2) and c (line 8): "
         "a later subtree hide of one can hide it after another showed it"},
        {"an object on five nodes: three named and how many more",
         rooms + "OT_AddObject(a, 7)\nOT_AddObject(b, 7)\nOT_AddObject(d, 7)\n" +
             "c = OT_CreateBox(b, 1, 0, 11,  2, 1, 12)\ne = OT_CreateBox(c, 1, 0, 11,  2, 1, "
             "12)\nOT_AddObject(c, 7)\nOT_AddObject(e, 7)\n",
         "7: warning: object 7 is attached to a (line 1), d (line 3), b (line 2) and 2 more: "
         "a later subtree hide of one can hide it after another showed it"},
        {"a limb on two nodes",
         rooms + "OT_AddLimb(a, 7, 1)\nOT_AddLimb(b, 7, 1)\nOT_AddLimb(d, 7, 2)\n",
         "6: warning: limb 1 of object 7 is attached to a (line 1) and b (line 2): a later "
         "subtree hide of one can hide it after another showed it"},
    };
    for (const Case& c : cases) {
        const Outcome o = lint(c.script);
        EXPECT_EQ(o.status, 1) << c.what;
        EXPECT_NE(o.out.find("scene.otc:" + std::string(c.warning) + "\n"), std::string::npos)
            << c.what << "\n"
            << o.out;
    }
}

TEST(Lint, ASoundLayoutIsClean) {
    const Outcome o = lint(std::string(kRooms) +
                           "t = OT_CreateBox(a, 1, 0, 1,  2, 1, 2)\nOT_AddObject(t, 7)\n"
                           "w = OT_CreateBox(b, -1, 0, 19.9,  1, 2, 20.1)\n"
                           "OT_AddPortal(b, 0, w)\nOT_CullAll()\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "scene.otc: no warnings\n");
}

// A layout broken only for a while is caught at the pass that ran with it;
// each warning is printed once however many passes see it.
TEST(Lint, ChecksAtEachPassAndOnceMore) {
    const Outcome o = lint(std::string(kRooms) +
                           "open = OT_AddPortal(a, b, 0)\nOT_CullAll()\nOT_CullAll()\n"
                           "OT_RemovePortal(open)\n");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out,
              "scene.otc:5: warning: portal open has no opening node: it is followed as if its "
              "opening were in view\n"
              "scene.otc: 1 warning (1 portal without opening)\n");
}

// Passes that follow no change are not checked again; a change between two
// passes, undone before the end, is still caught at the pass that saw it.
TEST(Lint, AChangeBetweenPassesIsCheckedAtTheNextPass) {
    const Outcome o = lint(std::string(kRooms) +
                           "OT_CullAll()\nOT_SetPosition(b, 0, 1.5, 12)\nOT_GetPositionZ(b)\n"
                           "OT_CullAll()\nOT_SetPosition(b, 0, 1.5, 15)\nOT_CullAll()\n");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out,
              "scene.otc:2: warning: zones b and a (line 1) overlap at depth 0: where both hold "
              "the camera, a is the camera zone, being first in search order\n"
              "scene.otc: 1 warning (1 zones overlap)\n");
}

// The broad phase finds every overlapping pair that comparing all pairs
// finds: random boxes and spheres on a small grid, so that many touch,
// share a face or coincide.
TEST(Lint, OverlapsFoundAreThoseOfAllPairs) {
    std::mt19937 random(7);
    size_t found = 0;
    auto coordinate = [&] { return static_cast<int>(random() % 9); };
    for (int round = 0; round < 20; ++round) {
        std::string script;
        std::vector<Solid> solids;
        for (int i = 0; i < 40; ++i) {
            Solid s{};
            if (random() % 4 == 0) {
                s.centre[0] = coordinate();
                s.centre[1] = coordinate();
                s.centre[2] = coordinate();
                s.radius = 1 + random() % 3;
                script += "OT_CreateSphere(0, " + std::to_string(int(s.centre[0])) + ", " +
                          std::to_string(int(s.centre[1])) + ", " +
                          std::to_string(int(s.centre[2])) + ", " + std::to_string(int(s.radius)) +
                          ", 2)\n";
            } else {
                s.isBox = true;
                script += "OT_CreateBox(0";
                for (int axis = 0; axis < 3; ++axis) s.min[axis] = coordinate();
                for (int axis = 0; axis < 3; ++axis) {
                    s.max[axis] = s.min[axis] + 1 + random() % 4;
                    script += ", " + std::to_string(int(s.min[axis]));
                }
                for (int axis = 0; axis < 3; ++axis)
                    script += ", " + std::to_string(int(s.max[axis]));
                script += ", 2)\n";
            }
            solids.push_back(s);
        }
        size_t pairs = 0;
        for (size_t i = 0; i < solids.size(); ++i) {
            for (size_t j = i + 1; j < solids.size(); ++j)
                pairs += insidesOverlap(solids[i], solids[j]);
        }
        found += pairs;
        const Outcome o = lint(script, true);
        const std::string counted = std::to_string(pairs) + " zones overlap";
        EXPECT_NE(o.out.find(counted), std::string::npos) << counted << "\n" << o.out;
    }
    EXPECT_GT(found, 200u);
}

TEST(Lint, QuietGivesTheCountsOnly) {
    const Outcome o =
        lint(std::string(kRooms) +
                 "OT_AddPortal(a, b, 0)\nOT_AddPortal(a, a, d)\nOT_AddPortal(a, b, 0)\n",
             true);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out,
              "scene.otc: 4 warnings (2 portal without opening, 1 portal with one zone twice, 1 "
              "portal repeated)\n");
}

TEST(Lint, AScriptErrorStillReportsWhatItFound) {
    std::istringstream in(std::string(kRooms) + "OT_AddPortal(a, b, 0)\nOT_Frobnicate()\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(lintScript(in, "bad.otc", false, out, err), 2);
    EXPECT_NE(out.str().find("bad.otc:5: warning: portal #"), std::string::npos) << out.str();
    EXPECT_EQ(err.str(), "bad.otc:6: error: unknown command 'OT_Frobnicate'\n");
}

}  // namespace
}  // namespace tarvo
