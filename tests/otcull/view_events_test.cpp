// The events the page lists and `otcull explain --events` prints, each
// provoked by a small script: a door shut for one pass, a camera that steps
// out of every zone and back, a name deleted and made again; and the demo's.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/verbs.h"
#include "demo/view_demo.h"
#include "view/session_events.h"
#include "view/session_recorder.h"

namespace tarvo {
namespace {

constexpr const char* kRooms =
    "camera 0 lookat 0 1 0  0 1 10  90 1 0.1 100\n"
    "a = OT_CreateBox(0, -5, 0, -5,  5, 3, 5, 2)\n"
    "b = OT_CreateBox(0, -5, 0, 5,  5, 3, 15, 2)\n";
constexpr const char* kCull = "OT_UpdateFrustum()\nOT_CullAll()\n";

std::string printedEvents(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    const std::vector<std::string_view> args{"explain", "--events", "-"};
    EXPECT_EQ(otcullMain(args, in, out, err), 0) << err.str();
    return out.str();
}

ViewSession recorded(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream err;
    ViewSession session;
    EXPECT_EQ(recordSession(in, "scene.otc", session, err), 0) << err.str();
    return session;
}

const std::string kDoorShutOnce = std::string(kRooms) +
                                  "door = OT_CreateBox(a, -1, 0, 4.9,  1, 2, 5.1)\n"
                                  "p = OT_AddPortal(a, b, door)\n"
                                  "chair = OT_CreateBox(b, 0, 0, 8,  1, 1, 9)\n" +
                                  kCull +
                                  "OT_DisablePortal(p)\nOT_CullAll()\n"
                                  "OT_EnablePortal(p)\nOT_CullAll()\n";

TEST(ViewEvents, ExplainPrintsWhatThePageLists) {
    const struct {
        const char* what;
        std::string script;
        const char* printed;
    } cases[] = {
        // The chair goes dark with its room, which tells it.
        {"a door shut for one pass", kDoorShutOnce,
         "pass 2: flicker: b hidden for one pass between shown ones; changes on lines 9 11\n"},
        {"the camera out of every zone for two passes",
         std::string(kRooms) + kCull + "camera 0 lookat 0 1 -20  0 1 10  90 1 0.1 100\n" + kCull +
             "OT_CullAll()\ncamera 0 lookat 0 1 0  0 1 10  90 1 0.1 100\n" + kCull,
         "pass 2-3: no zone: no zone holds the camera (it was in a); changes on lines 6 7\n"},
        {"a name deleted and made again, then moved away for one pass",
         std::string(kRooms) + "chair = OT_CreateBox(a, 0, 0, 2,  1, 1, 3)\n" + kCull +
             "OT_Delete(chair)\nOT_CullAll()\nchair = OT_CreateBox(a, 0, 0, 2,  1, 1, 3)\n"
             "OT_CullAll()\nOT_SetPosition(chair, 0.5, 0.5, -3)\nOT_CullAll()\n"
             "OT_SetPosition(chair, 0.5, 0.5, 2.5)\nOT_CullAll()\n",
         "pass 4: flicker: chair hidden for one pass between shown ones; changes on lines 11 13\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(printedEvents(c.script), c.printed);
        std::ostringstream listed;
        for (const ViewEvent& e : recorded(c.script).events) printEvent(e, listed);
        EXPECT_EQ(listed.str(), c.printed);
    }
}

// The page's history strip follows the name as `explain --node` does.
TEST(ViewEvents, ANameDeletedAndMadeAgainIsOneTrack) {
    const ViewSession session =
        recorded(std::string(kRooms) + "chair = OT_CreateBox(a, 0, 0, 2,  1, 1, 3)\n" + kCull +
                 "OT_Delete(chair)\nOT_CullAll()\nchair = OT_CreateBox(a, 0, 0, 2,  1, 1, 3)\n"
                 "OT_CullAll()\n");
    const auto track = std::find_if(session.names.begin(), session.names.end(),
                                    [](const auto& t) { return t.first == "chair"; });
    ASSERT_NE(track, session.names.end());
    ASSERT_EQ(track->second.size(), 3u);
    EXPECT_EQ(track->second[1].pass, 1);
    EXPECT_EQ(track->second[1].node, -1);
    EXPECT_EQ(track->second[2].pass, 2);
    EXPECT_NE(track->second[2].node, track->second[0].node);
}

// The demo's walk has four one-pass flickers, which a designer found by
// stepping through every pass.
TEST(ViewEvents, TheDemoHasItsFourFlickers) {
    std::istringstream script(demoSessionScript(DemoRunOptions{}));
    std::ostringstream err;
    ViewSession session;
    ASSERT_EQ(recordSession(script, "otcull demo", session, err), 0) << err.str();
    std::vector<std::pair<std::string, int>> flickers;
    for (const ViewEvent& e : session.events) {
        if (e.kind == ViewEventKind::kFlickerShown || e.kind == ViewEventKind::kFlickerHidden) {
            flickers.push_back({e.name, e.firstPass + 1});
        }
    }
    EXPECT_EQ(flickers, (std::vector<std::pair<std::string, int>>{
                            {"n472", 163}, {"n214", 176}, {"n475", 176}, {"n657", 449}}));
}

}  // namespace
}  // namespace tarvo
