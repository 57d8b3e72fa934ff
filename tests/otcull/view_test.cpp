// The data the page of `otcull view` embeds: change lists that, replayed,
// give every pass's explanations as `otcull explain` prints them, and that
// hold only what changed.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "demo/demo_run.h"
#include "demo/view_demo.h"
#include "explain/explain.h"
#include "view/page_json.h"
#include "view/session_recorder.h"
#include "view/view_page.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = TARVO_SOURCE_DIR;
constexpr const char* kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

ViewSession record(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream err;
    ViewSession session;
    EXPECT_EQ(recordSession(in, "scene.otc", session, err), 0) << err.str();
    return session;
}

// The page's state after each pass, as its script rebuilds it: by page id,
// the node record and the explanation.
struct Replayed {
    std::map<int32_t, int32_t> nodeRecords;
    std::map<int32_t, int32_t> nodeWhy;
    std::map<int32_t, int32_t> portalWhy;

    void apply(const ViewPass& pass) {
        for (const ViewChange& c : pass.nodeRecords) nodeRecords[c.id] = c.value;
        for (const ViewChange& c : pass.nodeWhy) nodeWhy[c.id] = c.value;
        for (const ViewChange& c : pass.portalWhy) portalWhy[c.id] = c.value;
    }
    // The explanations of the live nodes, sorted.
    std::vector<std::string> explanations(const ViewSession& session) const {
        std::vector<std::string> lines;
        for (const auto& [id, record] : nodeRecords) {
            if (record < 0) continue;
            lines.push_back(session.nodes[static_cast<size_t>(record)].name + ": " +
                            session.texts[static_cast<size_t>(nodeWhy.at(id))]);
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }
};

// `otcull explain` of every node: per pass, the summary and the node lines.
std::vector<std::pair<std::string, std::vector<std::string>>> explainEveryPass(
    const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    explainScript(in, "scene.otc", {}, out, err);
    std::vector<std::pair<std::string, std::vector<std::string>>> passes;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("  ")) {
            passes.back().second.push_back(line.substr(2));
        } else {
            passes.push_back({line.substr(line.find(" - ") + 3), {}});
        }
    }
    for (auto& pass : passes) std::sort(pass.second.begin(), pass.second.end());
    return passes;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ViewRecord, ReplayedChangesGiveWhatExplainSaysAtEveryPassOfEveryExample) {
    for (const char* name : {"doorway", "house", "window", "fitted"}) {
        SCOPED_TRACE(name);
        const std::string script = readFile(kSourceDir / "examples" / (std::string(name) + ".otc"));
        const ViewSession session = record(script);
        const auto explained = explainEveryPass(script);
        ASSERT_EQ(session.passes.size(), explained.size());
        Replayed page;
        for (size_t i = 0; i < session.passes.size(); ++i) {
            page.apply(session.passes[i]);
            EXPECT_EQ(session.texts[static_cast<size_t>(session.passes[i].summary)],
                      explained[i].first);
            EXPECT_EQ(page.explanations(session), explained[i].second) << "pass " << i;
        }
    }
}

// A script of random commands on a few names, every one of them valid:
// zones and things made, moved, hidden, deleted and made again, names bound
// elsewhere, portals made and toggled, the camera anywhere, passes of both
// kinds.
std::string randomScript(uint32_t seed) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
    auto name = [&] { return std::string(1, static_cast<char>('a' + pick(6))); };
    auto some = [&] { return pick(4) == 0 ? std::string("0") : name(); };
    auto figures = [&](int count, const char* before = ", ") {
        std::string text;
        for (int i = 0; i < count; ++i) text += before + std::to_string(pick(41) - 20);
        return text;
    };
    const char* roles[] = {"1", "2", "2", "5"};
    std::ostringstream s;
    s << "camera 0 lookat 0 1 0  0 1 10  90 1 0.1 100\n";
    for (char n = 'a'; n <= 'f'; ++n) s << n << " = OT_CreateBox(0" << figures(6) << ", 2)\n";
    // s is never deleted: OT_Cull of a deleted node runs no pass, and
    // explain's explanations are then those of the pass before.
    s << "s = OT_CreateBox(0" << figures(6) << ", 2)\n";
    s << "p = OT_AddPortal(a, b, c)\nq = OT_AddPortal(b, 0, d)\n";
    for (int i = 0; i < 60; ++i) {
        const std::string n = name();
        switch (pick(12)) {
            case 0:
                s << n << " = OT_CreateBox(" << some() << figures(6) << ", " << roles[pick(4)]
                  << ")";
                break;
            case 1:
                s << n << " = OT_CreateSphere(" << some() << figures(4) << ", " << roles[pick(4)]
                  << ")";
                break;
            case 2:
                s << "OT_Delete(" << n << ")";
                break;
            case 3:
                s << "OT_SetParent(" << n << ", " << some() << ")";
                break;
            case 4:
                s << "OT_SetPosition(" << n << figures(3) << ")";
                break;
            case 5:
                s << (pick(2) ? "p" : "q") << " = OT_AddPortal(" << n << ", " << some() << ", "
                  << some() << ")";
                break;
            case 6:
                s << (pick(2) ? "OT_DisablePortal(" : "OT_EnablePortal(") << (pick(2) ? "p" : "q")
                  << ")";
                break;
            case 7:
                s << (pick(2) ? "OT_Hide(" : "OT_Show(") << n << ")";
                break;
            case 8:
                s << "camera 0 lookat" << figures(6, " ") << " 90 1 0.1 100\nOT_UpdateFrustum()";
                break;
            case 9:
                s << name() << " = OT_GetParent(" << n << ")";
                break;
            case 10:
                s << "OT_RemovePortal(" << (pick(2) ? "p" : "q") << ")";
                break;
            default:
                s << "OT_AddObject(" << n << ", " << pick(5) + 1 << ")";
                break;
        }
        s << "\n";
        if (pick(3) == 0) s << (pick(4) == 0 ? "OT_Cull(s)" : "OT_CullAll()") << "\n";
    }
    return s.str();
}

// Replayed, the page says at every pass what explaining every node says.
void expectExplainsAsExplain(const std::string& script) {
    const ViewSession session = record(script);
    const auto explained = explainEveryPass(script);
    ASSERT_EQ(session.passes.size(), explained.size()) << script;
    Replayed page;
    for (size_t i = 0; i < session.passes.size(); ++i) {
        page.apply(session.passes[i]);
        ASSERT_EQ(page.explanations(session), explained[i].second) << "pass " << i << " of\n"
                                                                   << script;
    }
}

// A zone that holds the camera but is not the camera zone names the camera
// zone: when that changes, or is named again, so does the zone's sentence.
constexpr const char* kHolder =
    "camera 0 lookat 1 1 1  1 1 10  90 1 0.1 100\n"
    "big = OT_CreateBox(0, -50, -5, -50, 50, 5, 50, 2)\n"
    "house = OT_CreateBox(0, -20, -5, -20, 20, 5, 20, 2)\n"
    "den = OT_CreateBox(house, 0, -5, 0, 5, 5, 5, 2)\n"
    "hall = OT_CreateBox(house, -5, -5, 0, 0, 5, 5, 2)\n"
    "chair = OT_CreateBox(hall, -3, 0, 3, -2, 1, 4)\n"
    "OT_UpdateFrustum()\nOT_CullAll()\n"
    "camera 0 lookat -1 1 1  -1 1 10  90 1 0.1 100\n"
    "OT_UpdateFrustum()\nOT_CullAll()\n"
    "study = OT_GetParent(chair)\nOT_CullAll()\n";

// OT_Cull of a deleted node runs no pass: the stories stay those of a tree
// the commands since have changed (here shelf left wall's subtree before
// wall's name went elsewhere).
constexpr const char* kNoPass =
    "camera 0 lookat 0 1 0  0 1 10  90 1 0.1 100\n"
    "gone = OT_CreateBox(0, -1, 0, 5, 1, 1, 6)\n"
    "wall = OT_CreateBox(0, 20, 0, -5, 30, 3, 5)\n"
    "shelf = OT_CreateBox(wall, 21, 0, 0, 22, 1, 1)\n"
    "book = OT_CreateBox(shelf, 21, 0, 0, 22, 1, 1)\n"
    "OT_UpdateFrustum()\nOT_CullAll()\n"
    "OT_Delete(gone)\nOT_SetParent(shelf, 0)\nOT_Cull(gone)\n"
    "wall = OT_CreateBox(0, -5, 0, 5, 5, 1, 6)\nOT_Cull(gone)\n";

// The camera leaves a zone the pass floods without walking its children
// while the camera zone (which reaches past it) stays the same: the zone's
// sentence, and its children's, say whether the camera is in it.
constexpr const char* kKeptAround =
    "camera 0 lookat 0 1 1  0 1 10  90 1 0.1 100\n"
    "house = OT_CreateBox(0, -10, 0, -10, 10, 5, 10, 2)\n"
    "den = OT_CreateBox(house, -5, 0, -5, 5, 5, 30, 2)\n"
    "lamp = OT_CreateBox(house, 6, 0, 6, 7, 1, 7)\n"
    "door = OT_CreateBox(den, -1, 0, 14, 1, 2, 15)\n"
    "out = OT_AddPortal(den, 0, door)\n"
    "OT_UpdateFrustum()\nOT_CullAll()\n"
    "camera 0 lookat 0 1 20  0 1 0  90 1 0.1 100\n"
    "OT_UpdateFrustum()\nOT_CullAll()\n";

// Only the nodes whose explanation may have changed are explained again
// after a pass.
TEST(ViewRecord, ExplainingOnlyWhatMayHaveChangedGivesWhatExplainSaysOfEveryNode) {
    expectExplainsAsExplain(kHolder);
    expectExplainsAsExplain(kNoPass);
    expectExplainsAsExplain(kKeptAround);
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        expectExplainsAsExplain(randomScript(seed));
    }
}

constexpr const char* kRooms =
    "camera 0 lookat 0 1 0  0 1 10  90 1 0.1 100\n"
    "a = OT_CreateBox(0, -5, 0, -5,  5, 3, 5, 2)\n"
    "b = OT_CreateBox(0, -5, 0, 5,  5, 3, 15, 2)\n"
    "door = OT_CreateBox(a, -1, 0, 4.9,  1, 2, 5.1)\n"
    "p = OT_AddPortal(a, b, door)\n"
    "chair = OT_CreateBox(b, 0, 0, 8,  1, 1, 9)\n"
    "OT_AddObject(chair, 7)\n"
    "OT_UpdateFrustum()\n"
    "OT_CullAll()\n";

TEST(ViewRecord, APassThatChangesNothingCarriesNoChanges) {
    const ViewSession session = record(std::string(kRooms) + "OT_CullAll()\n");
    ASSERT_EQ(session.passes.size(), 2u);
    const ViewPass& first = session.passes[0];
    EXPECT_EQ(first.nodeRecords.size(), 4u);
    EXPECT_EQ(first.portalRecords.size(), 1u);
    const ViewPass& second = session.passes[1];
    for (const auto* list : {&second.nodeRecords, &second.nodeStates, &second.nodeWhy,
                             &second.portalRecords, &second.portalStates, &second.portalWhy}) {
        EXPECT_TRUE(list->empty());
    }
    EXPECT_EQ(second.objectsShown, 1u);
    EXPECT_EQ(second.cost.nodesTested, first.cost.nodesTested);
}

TEST(ViewRecord, ChangesNameOnlyWhatTheScriptChanged) {
    const ViewSession session = record(std::string(kRooms) +
                                       "OT_SetPosition(chair, 0.5, 0.5, 30)\n"
                                       "OT_DisablePortal(p)\n"
                                       "OT_Delete(door)\n"
                                       "OT_CullAll()\n");
    ASSERT_EQ(session.passes.size(), 2u);
    const ViewPass& pass = session.passes[1];
    const int32_t chair = 3;  // page ids follow node order: a, b, door, chair
    const int32_t door = 2;
    const ViewChange moved{chair, static_cast<int32_t>(session.nodes.size() - 1)};
    EXPECT_EQ(pass.nodeRecords, (std::vector<ViewChange>{moved, {door, -1}}));
    EXPECT_EQ(session.nodes.back().name, "chair");
    EXPECT_FLOAT_EQ(session.nodes.back().cornerA.z, 29.5f);
    // Deleting the door's node took the portal with it.
    EXPECT_EQ(pass.portalRecords, (std::vector<ViewChange>{{0, -1}}));
    EXPECT_EQ(pass.objectsShown, 0u);
    EXPECT_EQ(pass.objectsHidden, 1u);
}

TEST(ViewRecord, PortalsSayWhetherThePassWentThrough) {
    const ViewSession session = record(std::string(kRooms) + "OT_DisablePortal(p)\nOT_CullAll()\n");
    ASSERT_EQ(session.passes.size(), 2u);
    Replayed page;
    page.apply(session.passes[0]);
    EXPECT_EQ(session.texts[static_cast<size_t>(page.portalWhy.at(0))],
              "enabled; met while flooding a, followed to the far side");
    page.apply(session.passes[1]);
    EXPECT_EQ(session.texts[static_cast<size_t>(page.portalWhy.at(0))],
              "disabled; met while flooding a, not followed: it is disabled");
}

TEST(ViewRecord, AScriptErrorKeepsThePassesBeforeIt) {
    std::istringstream in(std::string(kRooms) + "OT_Frobnicate()\nOT_CullAll()\n");
    std::ostringstream err;
    ViewSession session;
    EXPECT_EQ(recordSession(in, "scene.otc", session, err), 2);
    EXPECT_EQ(session.passes.size(), 1u);
    EXPECT_EQ(session.passes[0].lineText, "OT_CullAll()");
    EXPECT_NE(err.str().find("scene.otc:10: error"), std::string::npos) << err.str();
    ASSERT_TRUE(session.error);  // for the page to show
    EXPECT_EQ(session.error->file, "scene.otc");
    EXPECT_EQ(session.error->line, 10);
    EXPECT_EQ(session.error->message, "unknown command 'OT_Frobnicate'");
}

TEST(ViewRecord, LintWarningsLeadToTheNodeOnTheirLine) {
    const ViewSession session = record(
        "camera 0 lookat 0 1 0  0 1 10  90 1 0.1 100\n"
        "lonely = OT_CreateBox(0, -5, 0, -5,  5, 3, 5, 2)\n"
        "OT_UpdateFrustum()\nOT_CullAll()\n");
    ASSERT_EQ(session.lint.size(), 1u);
    EXPECT_EQ(session.lint[0].line, 2);
    EXPECT_EQ(session.lint[0].node, 0);
    EXPECT_EQ(session.lint[0].portal, -1);
}

// The data as the page's loader gets it back: base64, then gzip.
std::string unpackedData(const std::string& html) {
    const std::string open = "id=\"otcull-data-packed\">";
    const size_t from = html.find(open) + open.size();
    const std::string_view text(html.data() + from, html.find("</script>", from) - from);
    std::string bytes;
    uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        if (c == '=') break;
        bits = (bits << 6) | static_cast<uint32_t>(std::string_view(kBase64).find(c));
        if ((count += 6) >= 8) bytes += static_cast<char>((bits >> (count -= 8)) & 0xff);
    }
    std::string json(1 << 20, '\0');
    z_stream z{};
    inflateInit2(&z, 15 + 16);
    z.next_in = reinterpret_cast<Bytef*>(bytes.data());
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(json.data());
    z.avail_out = static_cast<uInt>(json.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    json.resize(z.total_out);
    inflateEnd(&z);
    return json;
}

TEST(ViewPage, IsOneFileThatNoScriptTextCanBreakOutOf) {
    ViewSession session = record(std::string(kRooms) + "OT_CullAll()  # </script><b>\n");
    std::ostringstream page;
    ASSERT_TRUE(writeViewPage(session, page));
    const std::string html = page.str();
    EXPECT_EQ(html.find("http"), std::string::npos);  // nothing fetched from anywhere
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    size_t scripts = 0;
    for (size_t at = html.find("</script>"); at != std::string::npos;
         at = html.find("</script>", at + 1)) {
        ++scripts;
    }
    EXPECT_EQ(scripts, 4u);  // the packed data, its JSON, the page's script, its loader
    std::ostringstream json;
    writeSessionJson(session, json);
    EXPECT_EQ(unpackedData(html), json.str());
    EXPECT_NE(json.str().find("\\u003c/script>\\u003cb>"), std::string::npos);
}

// The demo's session, written out as a script, culls as the demo does.
TEST(ViewDemo, TheScriptOfTheDemoFindsTheCameraZonesTheDemoPrints) {
    DemoRunOptions options;
    options.frames = 12;
    options.rooms = 8;
    options.every = 1;
    std::ostringstream printed;
    std::ostringstream err;
    ASSERT_EQ(runDemo(options, printed, err), 0);
    const ViewSession session = record(demoSessionScript(options));
    ASSERT_EQ(session.passes.size(), 12u);
    std::istringstream lines(printed.str());
    size_t frame = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        size_t number = 0;
        std::string floor;
        std::string room;
        if (!(words >> number >> floor) || number != frame) continue;
        if (floor == "ground" || floor == "upper") words >> room;
        const std::string zone = room.empty() ? floor : floor + "_" + room;
        size_t shown = 0;
        words >> shown;
        const ViewPass& pass = session.passes[frame];
        EXPECT_EQ(session.texts[static_cast<size_t>(pass.summary)], "camera zone " + zone);
        EXPECT_EQ(pass.objectsShown, shown) << "frame " << frame;
        ++frame;
    }
    EXPECT_EQ(frame, 12u);
}

}  // namespace
}  // namespace tarvo
