// A session recorded through the recording exports, replayed by the script
// runner on a fresh stand-in host, makes the same host calls and gives the
// same results. Handle results print under the script's names in the one run
// and the journal's in the other, so they are compared as none or some.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <sstream>

#include "commands/command_table.h"
#include "commands/journal/journal.h"
#include "script_runner.h"
#include "tarvo/culling.h"
#include "trace/standin_session.h"
#include "view/session_recorder.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

const fs::path kRoot = TARVO_SOURCE_DIR;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

fs::path journalPath() {
    return fs::temp_directory_path() /
           ("tarvo-journal-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".otc");
}

// Runs the script with the journal on; returns its output, the journal left
// in path.
std::string recordRun(const std::string& script, const fs::path& path) {
    std::ostringstream out;
    std::ostringstream err;
    StandInSession session(out);
    EXPECT_TRUE(journal::processJournal().start(path.c_str()));
    script::ScriptRunner runner(session, session, out);
    std::istringstream in(script);
    runner.runScript(in, "original", err);
    journal::processJournal().stop();
    return out.str();
}

std::string replay(const fs::path& path) {
    std::ostringstream out;
    std::ostringstream err;
    StandInSession session(out);
    script::ScriptRunner runner(session, session, out);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(runner.runScript(in, path.string(), err), 0);
    EXPECT_EQ(err.str(), "");
    return out.str();
}

// "OT_CreateBox2 -> hall" and "OT_CreateBox2 -> n1" both become
// "OT_CreateBox2 -> handle"; every other line stays as it is.
std::string withoutHandleNames(const std::string& output) {
    std::istringstream lines(output);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        const auto arrow = line.find(" -> ");
        if (arrow != std::string::npos) {
            const CommandDeclaration* command = findCommandByExport(line.substr(0, arrow));
            const std::string value = line.substr(arrow + 4);
            if (command != nullptr && returnsHandle(*command) && value != "0") {
                line = line.substr(0, arrow) + " -> handle";
            }
        }
        kept += line + '\n';
    }
    return kept;
}

void expectReplayEqual(const std::string& script) {
    const fs::path path = journalPath();
    const std::string original = recordRun(script, path);
    EXPECT_EQ(withoutHandleNames(replay(path)), withoutHandleNames(original));
    fs::remove(path);
}

TEST(JournalReplay, EveryExampleReplaysToTheSameCallsAndResults) {
    int scripts = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kRoot / "examples")) {
        if (entry.path().extension() != ".otc") continue;
        SCOPED_TRACE(entry.path().string());
        ++scripts;
        expectReplayEqual(readFile(entry.path()));
    }
    EXPECT_GE(scripts, 9);
}

// Thousands of commands: a house of zones and doors, fitted nodes, a camera
// that moves every frame, edits between frames, and floats no decimal
// shortcut may lose.
std::string longSession(unsigned seed) {
    std::mt19937 random(seed);
    const auto between = [&](float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    };
    std::ostringstream s;
    s.precision(9);
    s << "object 1 position 1 0 1 min -0.5 -0.5 -0.5 max 0.5 0.5 0.5 radius 0.87\n"
      << "limb 1 2 position 3 1 3 min -1 -1 -1 max 1 2 1 radius 1.8\n"
      << "camera 2 lookat 0 1 -5 0 1 10 70 1.5 0.1 200\n";
    for (int room = 0; room < 6; ++room) {
        const int x = room * 10;
        s << "r" << room << " = OT_CreateBox(0, " << x << ", 0, 0, " << x + 10 << ", 5, 10, 2)\n"
          << "f" << room << " = OT_CreateObjectSphere(r" << room << ", 1)\n"
          << "l" << room << " = OT_CreateLimbBox(r" << room << ", 1, 2, 1)\n"
          << "s" << room << " = OT_CreateSphere(r" << room << ", " << x + 5 << ", 2, 5, 1.5)\n"
          << "OT_AddObject(s" << room << ", " << 10 + room << ")\n"
          << "OT_AddLimb(l" << room << ", " << 20 + room << ", 1)\n";
        if (room > 0) {
            s << "d" << room << " = OT_CreateBox(0, " << x - 0.25 << ", 0, 4, " << x + 0.25
              << ", 3, 6)\n"
              << "p" << room << " = OT_AddPortal(r" << room - 1 << ", r" << room << ", d" << room
              << ")\n";
        }
    }
    const float odd[] = {std::numeric_limits<float>::denorm_min(), -0.0f, 2147483648.0f,
                         std::numeric_limits<float>::max(), 1.0f / 3.0f};
    for (int frame = 0; frame < 700; ++frame) {
        const float ex = frame * 0.1f - 2.0f;
        const float ez = between(1.0f, 9.0f);
        s << "camera 2 lookat " << ex << " 1.5 " << ez << " " << ex + between(-5, 5) << " 1 "
          << ez + between(-5, 5) << " " << between(50, 90) << " 1.5 0.1 200\n";
        s << (frame % 2 == 0 ? "current-camera 2\nOT_UpdateFrustum()\n" : "OT_UpdateFrustum(2)\n");
        const int room = static_cast<int>(random() % 6);
        switch (frame % 6) {
            case 0:
                s << "OT_SetPosition(s" << room << ", " << odd[frame / 6 % 5] << ", 2, 5)\n";
                break;
            case 1:
                s << "OT_DisablePortal(p" << std::max(room, 1) << ")\n";
                break;
            case 2:
                s << "OT_EnablePortal(p" << std::max(room, 1) << ")\n";
                break;
            case 3:
                s << "OT_SetRadius(s" << room << ", " << between(0.5f, 3.0f) << ")\n";
                break;
            case 4:
                s << "OT_Hide(r" << room << ")\nOT_Visible(r" << room << ")\n";
                break;
            default:
                s << "OT_GetPositionX(s" << room << ")\nOT_TestPoint(" << ex << ", 1, " << ez + 1
                  << ")\n";
        }
        s << (frame % 10 == 9 ? "OT_Cull(r0)\n" : "OT_CullAll()\n");
    }
    s << "OT_DeleteAll()\nOT_CullAll()\n";
    return s.str();
}

TEST(JournalReplay, LongSessionWithAMovingCameraReplaysExactly) {
    for (unsigned seed : {1u, 2u}) {
        SCOPED_TRACE(seed);
        const std::string script = longSession(seed);
        ASSERT_GT(std::count(script.begin(), script.end(), '\n'), 3000);
        expectReplayEqual(script);
    }
}

TEST(JournalReplay, FloatArgumentsReadBackToTheSameBits) {
    const float values[] = {0.0f,
                            -0.0f,
                            1.0f / 3.0f,
                            2147483648.0f,
                            -1e-45f,
                            std::numeric_limits<float>::min(),
                            std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            16777217.0f};
    const fs::path path = journalPath();
    {
        std::ostringstream out;
        StandInSession session(out);
        ASSERT_TRUE(journal::processJournal().start(path.c_str()));
        for (float value : values) {
            const int32_t node = OT_CreateSphere2(0, 1, 2, 3, value);
            OT_SetPosition(node, value, -value, value);
            EXPECT_EQ(OT_GetPositionX(node), std::bit_cast<int32_t>(value));
        }
        journal::processJournal().stop();
    }
    std::ostringstream out;
    StandInSession session(out);
    script::ScriptRunner runner(session, session, out);
    std::ifstream in(path, std::ios::binary);
    std::ostringstream err;
    ASSERT_EQ(runner.runScript(in, "journal", err), 0) << err.str();
    for (size_t i = 0; i < std::size(values); ++i) {
        const uint32_t node = *runner.valueOf("n" + std::to_string(i + 1));
        const uint32_t bits = std::bit_cast<uint32_t>(values[i]);
        EXPECT_EQ(static_cast<uint32_t>(OT_GetPositionX(static_cast<int32_t>(node))), bits) << i;
        EXPECT_EQ(static_cast<uint32_t>(OT_GetPositionY(static_cast<int32_t>(node))),
                  std::bit_cast<uint32_t>(-values[i]))
            << i;
        EXPECT_EQ(static_cast<uint32_t>(OT_GetRadius(static_cast<int32_t>(node))), bits) << i;
    }
    fs::remove(path);
}

TEST(JournalReplay, NanArgumentsReplayAsNan) {
    const fs::path path = journalPath();
    {
        std::ostringstream out;
        StandInSession session(out);
        ASSERT_TRUE(journal::processJournal().start(path.c_str()));
        OT_CreatePoint2(0, std::bit_cast<float>(0x7fc00001u), -std::nanf(""), 0);
        journal::processJournal().stop();
    }
    EXPECT_EQ(readFile(path), "n1 = OT_CreatePoint2(0, nan, nan, 0.0)\n");
    fs::remove(path);
}

// What each command read, before it: the current camera and the matrices for
// a frustum update, the position of the frustum's camera for a pass, the
// figures for a fitted node; handles the journal issued by name, others as
// numbers.
TEST(JournalReplay, WritesTheHostStateEachCommandRead) {
    const std::string script =
        "camera 3 matrices 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 "
        "1 0 0 0 0 1 0 0 0 0 1 1 0 0 -0.5 0\n"
        "camera 3 position 0.25 0 -1\n"
        "current-camera 3\n"
        "object 4 position 1 2 3 min -1 -1 -1 max 1 1 1 radius 1.5\n"
        "limb 4 1 position 0 1 0 min 0 0 0 max 2 2 2 radius 2\n"
        "zone = OT_CreateBox(0, -1, -1, -1, 1, 1, 1, 2)\n"
        "OT_UpdateFrustum()\n"
        "OT_CullAll()\n"
        "fit = OT_CreateObjectBox(zone, 4)\n"
        "limb = OT_CreateLimbSphere(0, 4, 1, 7)\n"
        "gone = OT_CreateLimbSphere(0, 4, 5)\n"
        "OT_AddPortal(zone, fit, limb)\n"
        "OT_SetParent(limb, zone)\n"
        "OT_UpdateFrustum(8)\n"
        "OT_Cull(12345)\n";
    const fs::path path = journalPath();
    recordRun(script, path);
    EXPECT_EQ(readFile(path),
              "n1 = OT_CreateBox1(0, -1.0, -1.0, -1.0, 1.0, 1.0, 1.0, 2)\n"
              "current-camera 3\n"
              "camera 3 matrices 1.0 0.0 0.0 0.0 0.0 1.0 0.0 0.0 0.0 0.0 1.0 0.0 0.0 0.0 0.0 1.0 "
              "1.0 0.0 0.0 0.0 0.0 1.0 0.0 0.0 0.0 0.0 1.0 1.0 0.0 0.0 -0.5 0.0\n"
              "OT_UpdateFrustum1()\n"
              "camera 3 position 0.25 0.0 -1.0\n"
              "OT_CullAll()\n"
              "object 4 position 1.0 2.0 3.0 min -1.0 -1.0 -1.0 max 1.0 1.0 1.0 radius 1.5\n"
              "n2 = OT_CreateObjectBox2(n1, 4)\n"
              "object 4 position 1.0 2.0 3.0 min -1.0 -1.0 -1.0 max 1.0 1.0 1.0 radius 1.5\n"
              "limb 4 1 position 0.0 1.0 0.0 min 0.0 0.0 0.0 max 2.0 2.0 2.0 radius 2.0\n"
              "n3 = OT_CreateLimbSphere1(0, 4, 1, 7)\n"
              "object 4 position 1.0 2.0 3.0 min -1.0 -1.0 -1.0 max 1.0 1.0 1.0 radius 1.5\n"
              "OT_CreateLimbSphere2(0, 4, 5)\n"
              "p1 = OT_AddPortal(n1, n2, n3)\n"
              "OT_SetParent(n3, n1)\n"
              "OT_UpdateFrustum2(8)\n"
              "camera 3 position 0.25 0.0 -1.0\n"
              "OT_Cull(12345)\n");
    fs::remove(path);
}

// The page of a journal (`otcull view`) shows, pass by pass, what the page of
// the recorded script shows: the same figures, camera zones and states.
TEST(JournalReplay, ItsPageShowsWhatTheRecordedScriptsPageShows) {
    const fs::path path = journalPath();
    const std::string script = longSession(7);
    recordRun(script, path);
    std::ostringstream err;
    ViewSession original;
    std::istringstream in(script);
    EXPECT_EQ(recordSession(in, "original", original, err), 0);
    ViewSession replayed;
    std::ifstream journal(path, std::ios::binary);
    EXPECT_EQ(recordSession(journal, path.string(), replayed, err), 0) << err.str();
    ASSERT_EQ(replayed.passes.size(), original.passes.size());
    EXPECT_GT(original.passes.size(), 100u);
    for (size_t i = 0; i < original.passes.size(); ++i) {
        SCOPED_TRACE(i);
        const ViewPass& a = original.passes[i];
        const ViewPass& b = replayed.passes[i];
        EXPECT_EQ(b.cameraZone, a.cameraZone);
        EXPECT_EQ(b.objectsShown, a.objectsShown);
        EXPECT_EQ(b.objectsHidden, a.objectsHidden);
        EXPECT_EQ(b.cost.hostCalls, a.cost.hostCalls);
        EXPECT_EQ(b.cost.nodesTested, a.cost.nodesTested);
        EXPECT_EQ(b.nodeStates, a.nodeStates);
        EXPECT_EQ(b.portalStates, a.portalStates);
    }
    fs::remove(path);
}

// The game never fails for its journal: without one the commands run as
// ever, and nothing is written.
TEST(JournalReplay, AJournalThatCannotBeOpenedRecordsNothing) {
    const fs::path missing = fs::temp_directory_path() / "tarvo-no-such-folder" / "journal.otc";
    EXPECT_FALSE(journal::processJournal().start(missing.c_str()));
    EXPECT_FALSE(journal::processJournal().active());
    std::ostringstream out;
    StandInSession session(out);
    const int32_t node = OT_CreatePoint2(0, 1, 2, 3);
    EXPECT_NE(node, 0);
    EXPECT_EQ(OT_GetPositionY(node), std::bit_cast<int32_t>(2.0f));
    EXPECT_FALSE(fs::exists(missing));
}

}  // namespace
}  // namespace tarvo
