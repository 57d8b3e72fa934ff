#include "script_runner.h"

#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <random>
#include <sstream>
#include <vector>

#include "commands/command_table.h"

namespace tarvo::script {
namespace {

int idOf(std::string_view exportName) {
    return findCommandByExport(exportName)->id;
}

// Records every call and answers with the next canned result.
class FakePlugin : public CommandCaller {
public:
    struct Call {
        int id;
        std::vector<uint32_t> slots;
    };
    uint32_t call(int id, std::span<const uint32_t> slots) override {
        calls.push_back({id, {slots.begin(), slots.end()}});
        if (results.empty()) return 0;
        const uint32_t next = results.front();
        results.erase(results.begin());
        return next;
    }
    std::vector<Call> calls;
    std::vector<uint32_t> results;
};

class FakeHost : public ScriptHost {
public:
    void setCameraMatrices(int32_t camera, const CameraMatrices& m) override {
        log << "matrices " << camera << " " << m.view[0] << " " << m.projection[5] << "\n";
    }
    void setCameraPosition(int32_t camera, const float p[3]) override {
        log << "position " << camera << " " << p[0] << " " << p[1] << " " << p[2] << "\n";
    }
    void setCurrentCamera(int32_t camera) override { log << "current " << camera << "\n"; }
    void setObject(int32_t object, const OtBodyFigures& f) override {
        log << "object " << object << " " << f.radius << "\n";
        objects.push_back(object);
    }
    bool setLimb(int32_t object, int32_t limb, const OtBodyFigures&) override {
        log << "limb " << object << " " << limb << "\n";
        return std::find(objects.begin(), objects.end(), object) != objects.end();
    }
    std::ostringstream log;
    std::vector<int32_t> objects;
};

class ScriptRunnerTest : public ::testing::Test {
protected:
    // Runs the lines as one script; returns standard output.
    std::string run(std::string_view script) {
        std::istringstream in{std::string(script)};
        status = runner.runScript(in, "test.otc", err);
        return out.str();
    }
    FakePlugin plugin;
    FakeHost host;
    std::ostringstream out;
    std::ostringstream err;
    ScriptRunner runner{plugin, host, out};
    int status = -1;
};

TEST_F(ScriptRunnerTest, ScriptNamesResolveToTheOverloadWithThatManyArguments) {
    const std::pair<const char*, const char*> cases[] = {
        {"OT_CreateBox(0, 0, 0, 0, 1, 1, 1)", "OT_CreateBox2"},
        {"OT_CreateBox(0, 0, 0, 0, 1, 1, 1, 2)", "OT_CreateBox1"},
        {"OT_UpdateFrustum()", "OT_UpdateFrustum1"},
        {"OT_UpdateFrustum(3)", "OT_UpdateFrustum2"},
        {"OT_HideAll()", "OT_HideAll2"},
        {"OT_CreateLimbSphere(0, 1, 2)", "OT_CreateLimbSphere2"},
        {"OT_CreateBox1(0, 0, 0, 0, 1, 1, 1, 2)", "OT_CreateBox1"},
        {"OT_CullAll()", "OT_CullAll"},
    };
    for (const auto& [line, exportName] : cases) {
        plugin.calls.clear();
        ASSERT_EQ(runner.runLine(line), std::nullopt) << line;
        ASSERT_EQ(plugin.calls.size(), 1u);
        EXPECT_EQ(plugin.calls[0].id, idOf(exportName)) << line;
    }
}

TEST_F(ScriptRunnerTest, ResolutionErrors) {
    const std::pair<const char*, const char*> cases[] = {
        {"OT_Nothing()", "unknown command 'OT_Nothing'"},
        {"ot_cullall()", "unknown command 'ot_cullall'"},
        {"OT_CreateBox(0, 1)", "OT_CreateBox takes 7 or 8 arguments, got 2"},
        {"OT_CreateBox2(0, 0, 0, 0, 1, 1, 1, 2)", "OT_CreateBox2 takes 7 arguments, got 8"},
        {"OT_Cull()", "OT_Cull takes 1 argument, got 0"},
        {"x = OT_CullAll()", "OT_CullAll returns no value to bind to x"},
        {"OT_Hide(nobody)", "unbound name 'nobody'"},
        {"OT_Hide(1.0)", "argument 1 of OT_Hide takes an integer, got 1.0"},
        {"OT_AddObject(0, inf)", "argument 2 of OT_AddObject takes an integer, got inf"},
    };
    for (const auto& [line, error] : cases) EXPECT_EQ(runner.runLine(line), error) << line;
    EXPECT_TRUE(plugin.calls.empty()) << "a wrong line must not reach the plug-in";
}

TEST_F(ScriptRunnerTest, ArgumentsBecomeSlotsOfTheDeclaredType) {
    plugin.results = {0x00400007u, std::bit_cast<uint32_t>(2.5f), 1u};
    run("n = OT_CreateSphere(0, 1, -2.5, 16777217, 3)\n"
        "r = OT_GetRadius(n)\n"
        "v = OT_Visible(n)\n"
        "OT_SetPosition(n, r, v, -0.0)\n");
    ASSERT_EQ(status, 0) << err.str();
    ASSERT_EQ(plugin.calls.size(), 4u);
    const std::vector<uint32_t> sphere = {
        0, std::bit_cast<uint32_t>(1.0f), std::bit_cast<uint32_t>(-2.5f),
        std::bit_cast<uint32_t>(16777216.0f), std::bit_cast<uint32_t>(3.0f)};
    EXPECT_EQ(plugin.calls[0].slots, sphere);
    // A float name passes its bits; an integer name given for a float is converted.
    const std::vector<uint32_t> position = {0x00400007u, std::bit_cast<uint32_t>(2.5f),
                                            std::bit_cast<uint32_t>(1.0f), 0x80000000u};
    EXPECT_EQ(plugin.calls[3].slots, position);
}

TEST_F(ScriptRunnerTest, AFloatNameIsNoInteger) {
    plugin.results = {std::bit_cast<uint32_t>(2.0f)};
    EXPECT_EQ(runner.runLine("r = OT_GetRadius(0)"), std::nullopt);
    EXPECT_EQ(runner.runLine("OT_Hide(r)"),
              "argument 1 of OT_Hide takes an integer, but r holds a float");
}

TEST_F(ScriptRunnerTest, ResultsPrintByTheirType) {
    const float nan = std::bit_cast<float>(0xffc00000u);
    plugin.results = {std::bit_cast<uint32_t>(-0.0f), std::bit_cast<uint32_t>(nan),
                      std::bit_cast<uint32_t>(1e-7f), 1u, 0u};
    const std::string printed =
        run("OT_GetBoxXA(0)\nOT_GetBoxXB(0)\nOT_GetRadius(0)\nOT_TestPoint(0, 0, "
            "0)\nOT_GetParent(0)\n");
    EXPECT_EQ(printed,
              "OT_GetBoxXA -> -0\nOT_GetBoxXB -> nan\nOT_GetRadius -> 1e-07\n"
              "OT_TestPoint -> 1\nOT_GetParent -> 0\n");
}

TEST_F(ScriptRunnerTest, HandlesPrintAsTheLatestNameHoldingThem) {
    plugin.results = {100, 200, 100, 100, 300, 200, 100};
    const std::string printed =
        run("a = OT_CreatePoint(0, 0, 0, 0)\n"  // 100 bound to a
            "b = OT_CreatePoint(0, 0, 0, 0)\n"  // 200 bound to b
            "OT_GetParent(b)\n"                 // 100: a
            "c = OT_GetParent(b)\n"             // 100: c, bound on this very line
            "a = OT_CreatePoint(0, 0, 0, 0)\n"  // a now holds 300
            "OT_GetPortalA(0)\n"                // 200: b
            "OT_GetPortalB(0)\n");              // 100: c (a no longer holds it)
    EXPECT_EQ(printed,
              "OT_CreatePoint2 -> a\nOT_CreatePoint2 -> b\nOT_GetParent -> a\n"
              "OT_GetParent -> c\nOT_CreatePoint2 -> a\nOT_GetPortalA -> b\nOT_GetPortalB -> c\n");
}

// The names of handles, kept per handle, against the rule itself: the
// latest name bound from an 'L' result that still holds the value. Few
// names and values, bound over and over, with float and boolean results
// in between.
TEST_F(ScriptRunnerTest, HandleNamesFollowEveryRebinding) {
    struct Held {
        uint32_t bits;
        char type;
        int order;
    };
    std::map<std::string, Held> reference;
    auto expected = [&](uint32_t bits) {
        std::string best = "#" + std::to_string(bits);
        int bestOrder = -1;
        for (const auto& [name, held] : reference) {
            if (held.type == 'L' && held.bits == bits && held.order > bestOrder) {
                best = name;
                bestOrder = held.order;
            }
        }
        return best;
    };
    constexpr const char* kCommands[] = {"OT_GetParent(0)", "OT_GetPositionX(0)", "OT_Visible(0)"};
    constexpr char kTypes[] = {'L', 'F', 'D'};
    std::mt19937 random(3);
    for (int order = 0; order < 3000; ++order) {
        const std::string name(1, static_cast<char>('a' + random() % 6));
        const size_t kind = random() % 8 == 0 ? 1 + random() % 2 : 0;
        const uint32_t bits = 1 + random() % 4;
        plugin.results = {bits};
        ASSERT_EQ(runner.runLine(name + " = " + kCommands[kind]), std::nullopt);
        reference[name] = {bits, kTypes[kind], order};
        for (uint32_t h = 1; h <= 4; ++h) ASSERT_EQ(runner.nameOfHandle(h), expected(h)) << order;
    }
}

TEST_F(ScriptRunnerTest, UnnamedHandlesPrintTheirValue) {
    // A name bound to a boolean never stands for a handle of the same value.
    plugin.results = {0x00800005u, 1u, 1u, 0u};
    EXPECT_EQ(
        run("OT_CreatePoint(0, 0, 0, 0)\nv = OT_Visible(0)\nOT_GetParent(0)\nOT_GetParent(0)\n"),
        "OT_CreatePoint2 -> #8388613\nOT_Visible -> 1\nOT_GetParent -> #1\nOT_GetParent -> 0\n");
}

TEST_F(ScriptRunnerTest, StopsAtTheFirstErrorWithItsLine) {
    plugin.results = {7};
    const std::string printed =
        run("a = OT_CreatePoint(0, 0, 0, 0)\n\n# note\nOT_Hide(b)\nOT_Hide(a)\n");
    EXPECT_EQ(printed, "OT_CreatePoint2 -> a\n");
    EXPECT_EQ(err.str(), "test.otc:4: error: unbound name 'b'\n");
    EXPECT_EQ(status, 2);
    EXPECT_EQ(plugin.calls.size(), 1u);
}

TEST_F(ScriptRunnerTest, HostStatementsReachTheHostAndPrintNothing) {
    const std::string printed =
        run("camera 2 lookat 1 2 3  1 2 4  90 1 1 100\n"
            "camera 2 position 7 8 9\n"
            "current-camera 2\n"
            "object 5 position 0 0 0 min 0 0 0 max 1 1 1 radius 0.5\n"
            "limb 5 1 position 0 0 0 min 0 0 0 max 1 1 1 radius 0.5\n");
    EXPECT_EQ(printed, "");
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_EQ(
        host.log.str(),
        "matrices 2 1 1\nposition 2 1 2 3\nposition 2 7 8 9\ncurrent 2\nobject 5 0.5\nlimb 5 1\n");
}

TEST_F(ScriptRunnerTest, HostStatementErrors) {
    EXPECT_EQ(runner.runLine("limb 9 0 position 0 0 0 min 0 0 0 max 1 1 1 radius 1"),
              "limb: object 9 does not exist");
}

TEST_F(ScriptRunnerTest, WithoutAPlanViewWriterSvgIsSkippedWithOneNote) {
    run("OT_CullAll()\nsvg a.svg\nsvg b.svg\nOT_CullAll()\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err.str(),
              "test.otc:2: note: svg statements skipped: only otcull run writes plan views\n");
}

TEST_F(ScriptRunnerTest, AByteOrderMarkIsNotPartOfTheScript) {
    run("\xEF\xBB\xBFOT_CullAll()\n");
    EXPECT_EQ(status, 0) << err.str();
}

}  // namespace
}  // namespace tarvo::script
