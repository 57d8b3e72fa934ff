#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "cli/verbs.h"

namespace tarvo {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome otcull(std::vector<std::string_view> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = otcullMain(args, out, err);
    return {status, out.str(), err.str()};
}

struct BadCall {
    std::vector<std::string_view> args;
    const char* message;
};

TEST(CommandLine, BadCallsFailWithAMessage) {
    const BadCall cases[] = {
        {{}, "usage: otcull run [--stats] SCRIPT"},
        {{"frobnicate"}, "otcull: unknown command frobnicate"},
        {{"run"}, "otcull run: expected one script file"},
        {{"run", "--stats"}, "otcull run: expected one script file"},
        {{"explain"}, "otcull explain: expected one script file"},
        {{"explain", "scene.otc", "--nod", "a"},
         "otcull explain: expected --node NAME, got '--nod'"},
        {{"explain", "scene.otc", "--node"}, "otcull explain: expected --node NAME, got '--node'"},
        {{"lint"}, "otcull lint: expected one script file"},
        {{"lint", "--quiet", "a.otc", "b.otc"}, "otcull lint: expected one script file"},
        {{"demo", "--frames"}, "otcull demo: --frames needs a value"},
        {{"demo", "--frames", "ten"},
         "otcull demo: --frames needs a whole number of at least 1, got 'ten'"},
        {{"demo", "--frames", "0"}, "otcull demo: --frames needs a whole number of at least 1"},
        {{"demo", "--rooms", "-4"}, "otcull demo: --rooms needs a whole number of at least 1"},
        {{"demo", "--svg-frame", "-1"},
         "otcull demo: --svg-frame needs a whole number of at least 0"},
        {{"view", "scene.otc"}, "otcull view: expected a script file, -o and the page's file"},
        {{"demo", "--html"}, "otcull demo: --html needs a value"},
        {{"demo", "--colour", "red"}, "otcull demo: unknown flag --colour"},
        {{"demo", "--frames", "10", "--colour"}, "otcull demo: unknown flag --colour"},
    };
    for (const BadCall& c : cases) {
        const Outcome o = otcull(c.args);
        EXPECT_EQ(o.status, 1) << c.message;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "");
    }
}

TEST(CommandLine, HelpAndVersionGoToStandardOutput) {
    const std::vector<std::string_view> cases[] = {{"--help"},         {"-h"},
                                                   {"run", "--help"},  {"explain", "x.otc", "-h"},
                                                   {"lint", "--help"}, {"demo", "--help"}};
    for (const auto& args : cases) {
        const Outcome o = otcull(args);
        EXPECT_EQ(o.status, 0);
        EXPECT_TRUE(o.out.starts_with("usage: otcull " +
                                      std::string(args[0].starts_with("-") ? "run" : args[0])))
            << o.out;
        EXPECT_EQ(o.err, "");
    }
    const Outcome version = otcull({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "otcull " TARVO_VERSION "\n");
}

TEST(CommandLine, RunWritesAPlanViewOnRequest) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "otcull_cli_test";
    std::filesystem::create_directories(dir);
    const std::string script = (dir / "scene.otc").string();
    const std::string svg = (dir / "scene.svg").string();
    std::ofstream(script) << "camera 0 lookat 0 0 0 0 0 1 90 1 1 100\n"
                             "z = OT_CreateBox(0, -5, -5, -5, 5, 5, 5, 2)\n"
                             "OT_UpdateFrustum()\nOT_CullAll()\nsvg "
                          << svg << "\n";
    const Outcome o = otcull({"run", script});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "OT_CreateBox1 -> z\n");
    std::ifstream picture(svg);
    std::string first;
    std::getline(picture, first);
    EXPECT_EQ(first, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    std::filesystem::remove_all(dir);
}

TEST(CommandLine, APlanViewThatCannotBeWrittenIsAScriptError) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "otcull_cli_svg";
    std::filesystem::create_directories(dir);
    const std::string script = (dir / "scene.otc").string();
    std::ofstream(script) << "OT_CullAll()\nsvg " << (dir / "missing" / "plan.svg").string()
                          << "\nOT_CullAll()\n";
    const Outcome o = otcull({"run", script});
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find(script + ":2: error: svg: cannot write "), std::string::npos) << o.err;
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tarvo
