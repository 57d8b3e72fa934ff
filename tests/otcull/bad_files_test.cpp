// Every verb that reads a script, given a file that is no script: one line on
// standard error naming the file (and the line), status 2, and nothing
// unprintable written to the terminal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "cli/verbs.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome otcull(std::vector<std::string_view> args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = otcullMain(args, in, out, err);
    return {status, out.str(), err.str()};
}

// No control character but the line end, no byte of a UTF-8 sequence: the
// messages here are all ASCII.
bool printable(const std::string& text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n') || byte >= 0x7F) return false;
    }
    return true;
}

struct BadFile {
    const char* name;
    std::string bytes;
    std::string error;  // what standard error says after FILE
};

std::string randomBytes() {
    std::mt19937 random(12);
    std::string bytes(4096, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

class BadFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("otcull_bad_files_" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const BadFile& file) {
        const std::string path = (dir_ / file.name).string();
        std::ofstream(path, std::ios::binary) << file.bytes;
        return path;
    }

    // Each verb and form that reads a script; SCRIPT stands for its path.
    const std::vector<std::vector<std::string_view>> verbs_ = {
        {"run", "SCRIPT"},
        {"run", "--stats", "SCRIPT"},
        {"explain", "SCRIPT"},
        {"lint", "SCRIPT"},
        {"explain", "SCRIPT", "--node", "a"},
        {"lint", "--quiet", "SCRIPT"},
        {"view", "SCRIPT", "-o", "/dev/null"}};

    void expectOneError(const std::string& path, const std::string& expected) {
        for (std::vector<std::string_view> args : verbs_) {
            for (std::string_view& arg : args) {
                if (arg == "SCRIPT") arg = path;
            }
            const Outcome o = otcull(args);
            SCOPED_TRACE(std::string(args[0]) + " " + expected);
            EXPECT_EQ(o.status, 2);
            EXPECT_EQ(o.err, expected);
            EXPECT_TRUE(printable(o.out)) << o.out;
        }
    }

    fs::path dir_;
};

TEST_F(BadFiles, AScriptThatIsNoTextStopsEveryVerbAtItsLine) {
    const BadFile files[] = {
        {"empty.otc", "", ":1: error: empty file: a script has at least one line"},
        {"nul.otc", std::string("OT_CullAll()\nOT_Cull\0All()\n", 27),
         ":2: error: NUL byte at column 8"},
        {"latin1.otc", "# caf\xe9 au lait\n", ":1: error: byte \\xe9 at column 6 is not UTF-8"},
        {"surrogate.otc", "OT_CullAll()\n# \xed\xa0\x80\n",
         ":2: error: byte \\xed at column 3 is not UTF-8"},
        {"long.otc", "# " + std::string(1 << 20, 'x') + "\n",
         ":1: error: line longer than 65536 bytes"},
        {"cut.otc", "OT_CullAll()\nz = OT_CreateBox(0, 1, 2", ":2: error: missing ')'"},
        {"escape.otc", "OT_CullAll(\x1b[2J)\n",
         ":1: error: expected a number or a name as argument, got '\\x1b[2J'"},
        {"long-name.otc", "OT_" + std::string(200, 'a') + "()\n",
         ":1: error: unknown command 'OT_" + std::string(77, 'a') + "...'"},
    };
    for (const BadFile& file : files) {
        const std::string path = write(file);
        expectOneError(path, path + file.error + "\n");
    }
}

TEST_F(BadFiles, RandomBytesAreAnErrorAndNeverEchoedRaw) {
    const std::string path = write({"random.otc", randomBytes(), ""});
    for (std::vector<std::string_view> args : verbs_) {
        for (std::string_view& arg : args) {
            if (arg == "SCRIPT") arg = path;
        }
        const Outcome o = otcull(args);
        EXPECT_EQ(o.status, 2);
        EXPECT_TRUE(o.err.starts_with(path + ":1: error: ")) << o.err;
        EXPECT_TRUE(printable(o.err)) << o.err;
    }
}

TEST_F(BadFiles, AFileThatCannotBeReadIsNamedWithTheReason) {
    const std::string missing = (dir_ / "missing.otc").string();
    expectOneError(missing, "otcull: cannot read " + missing + ": No such file or directory\n");
    expectOneError(dir_.string(), "otcull: cannot read " + dir_.string() + ": Is a directory\n");
    if (geteuid() != 0) {  // root reads whatever the mode says
        const std::string locked = write({"locked.otc", "OT_CullAll()\n", ""});
        fs::permissions(locked, fs::perms::none);
        expectOneError(locked, "otcull: cannot read " + locked + ": Permission denied\n");
    }
}

TEST(StandardInput, DashReadsTheScriptFromStandardInput) {
    const Outcome ok = otcull({"run", "-"}, "z = OT_CreateBox(0, 0, 0, 0, 1, 1, 1)\n");
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "OT_CreateBox2 -> z\n");
    const Outcome bad = otcull({"lint", "-"}, "OT_CullAll()\nOT_Nothing()\n");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "<stdin>:2: error: unknown command 'OT_Nothing'\n");
}

}  // namespace
}  // namespace tarvo
