// The examples' traces are checked in beside them: NAME.out is the standard
// output of `otcull run examples/NAME.otc` from the repository root, and
// NAME.err, where present, its standard error (the run then exits 2). After a
// deliberate change of behaviour, regenerate them with that command.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "lint/layout_lint.h"
#include "script_runner.h"
#include "trace/standin_session.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

const fs::path kRoot = TARVO_SOURCE_DIR;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> exampleScripts() {
    std::vector<fs::path> scripts;
    for (const auto& entry : fs::recursive_directory_iterator(kRoot / "examples")) {
        if (entry.path().extension() == ".otc") {
            scripts.push_back(fs::relative(entry.path(), kRoot));
        }
    }
    std::sort(scripts.begin(), scripts.end());
    return scripts;
}

TEST(Examples, TracesMatchTheCheckedInOutput) {
    const std::vector<fs::path> scripts = exampleScripts();
    ASSERT_GE(scripts.size(), 9u);
    for (const fs::path& script : scripts) {
        SCOPED_TRACE(script.string());
        const fs::path expectedOut = kRoot / fs::path(script).replace_extension(".out");
        const fs::path expectedErr = kRoot / fs::path(script).replace_extension(".err");
        ASSERT_TRUE(fs::exists(expectedOut));
        std::ostringstream out;
        std::ostringstream err;
        int status;
        {
            StandInSession session(out);
            script::ScriptRunner runner(session, session, out);
            std::ifstream in(kRoot / script);
            status = runner.runScript(in, script.generic_string(), err);
        }
        EXPECT_EQ(out.str(), readFile(expectedOut));
        const bool failing = fs::exists(expectedErr);
        EXPECT_EQ(err.str(), failing ? readFile(expectedErr) : "");
        EXPECT_EQ(status, failing ? 2 : 0);
    }
}

// A warning an example accepts carries a comment on the line above the one
// it points at, saying why.
TEST(Examples, AreLintCleanOrSayWhyNot) {
    for (const fs::path& script : exampleScripts()) {
        if (fs::exists(kRoot / fs::path(script).replace_extension(".err"))) continue;
        SCOPED_TRACE(script.string());
        std::ifstream in(kRoot / script);
        std::ostringstream out;
        std::ostringstream err;
        lintScript(in, script.generic_string(), false, out, err);
        std::vector<std::string> lines;
        std::ifstream source(kRoot / script);
        for (std::string line; std::getline(source, line);) lines.push_back(line);
        std::istringstream warnings(out.str());
        for (std::string warning; std::getline(warnings, warning);) {
            const std::string prefix = script.generic_string() + ":";
            if (warning.find(": warning: ") == std::string::npos) continue;
            const int line = std::stoi(warning.substr(prefix.size()));
            ASSERT_GE(line, 2) << warning;
            EXPECT_TRUE(lines[static_cast<size_t>(line - 2)].starts_with("# Accepted by lint:"))
                << warning;
        }
    }
}

// Each kind of script error has an example, so the README's promise that a
// wrong script stops with FILE:LINE: error: TEXT is checked for all of them.
TEST(Examples, EveryKindOfScriptErrorHasAnExample) {
    for (const char* name :
         {"unknown-command", "wrong-count", "unbound-name", "float-for-integer", "integer-range"}) {
        EXPECT_TRUE(fs::exists(kRoot / "examples/errors" / (std::string(name) + ".err"))) << name;
    }
}

}  // namespace
}  // namespace tarvo
