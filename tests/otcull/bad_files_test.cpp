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

constexpr const char* kFigures = " position 0 0 0 min -1 -1 -1 max 1 1 1 radius 2\n";
constexpr const char* kObject = "object 1 position 0 0 0 min -1 -1 -1 max 1 1 1 radius 2\n";

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

    // Every verb reads the script to its end: status 0, nothing on standard error.
    void expectClean(const std::string& path) {
        for (std::vector<std::string_view> args : verbs_) {
            for (std::string_view& arg : args) {
                if (arg == "SCRIPT") arg = path;
            }
            const Outcome o = otcull(args);
            EXPECT_EQ(o.status, 0) << args[0] << ": " << o.out;
            EXPECT_EQ(o.err, "") << args[0];
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
        {"long-bare-name.otc", "OT_" + std::string(60000, 'a') + "\n",
         ":1: error: expected '(' after OT_" + std::string(77, 'a') + "..."},
        {"limb-beyond.otc", std::string(kObject) + "limb 1 2147483648" + kFigures,
         ":2: error: integer 2147483648 is out of 32-bit range"},
    };
    for (const BadFile& file : files) {
        const std::string path = write(file);
        expectOneError(path, path + file.error + "\n");
    }
}

// The host keeps only the limbs defined, so the last limb number costs no
// more than the first; a literal below the smallest float is its nearest, 0.
TEST_F(BadFiles, TheLastLimbNumberAndTinyLiteralsAreRead) {
    expectClean(write({"last-limb.otc",
                       std::string(kObject) + "limb 1 2147483647" + kFigures +
                           "n = OT_CreateLimbBox(0, 1, 2147483647)\nOT_CullAll()\n",
                       ""}));
    expectClean(write({"tiny.otc",
                       "OT_TestPoint(1e-46, 0, 0)\n"
                       "camera 0 lookat 0 0 -5  0 0 0  60 1 1e-50 100\n"
                       "p = OT_CreatePoint(0, -1e-46, 7e-46, 1e-400)\n"
                       "OT_UpdateFrustum()\nOT_CullAll()\n",
                       ""}));
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

// What a user typed comes back escaped and cut at 80 bytes, on either stream.
TEST_F(BadFiles, EveryEchoedArgumentIsEscapedAndCut) {
    const std::string raw = "\x1b]0;owned\x07";
    const std::string shown = "\\x1b]0;owned\\x07";
    const std::string dir = dir_.string() + "/";
    const std::string script = write({"\x1b]0;owned\x07.otc", "OT_CullAll()\n", ""});
    const std::string missing = dir + "missing/" + raw;
    const std::string noFolder = ": No such file or directory\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;  // what standard output ends with
        std::string err;  // what standard error starts with
    } cases[] = {
        {{"run", dir + raw}, 2, "", "otcull: cannot read " + dir + shown + noFolder},
        {{"lint", script}, 0, dir + shown + ".otc: no warnings\n", ""},
        {{"explain", script, "--node", raw}, 0, "  " + shown + ": names no live node\n", ""},
        {{"explain", script, "--node", std::string(100, 'n')},
         0,
         "  " + std::string(80, 'n') + "...: names no live node\n",
         ""},
        {{"view", script, "-o", missing},
         2,
         "",
         "otcull view: cannot write " + dir + "missing/" + shown + noFolder},
        {{"view", script, "-o", dir + raw},
         0,
         "page of 1 passes written to " + dir + shown + "\n",
         ""},
        {{"demo", "--frames", "2", "--rooms", "4", "--svg", missing},
         2,
         "",
         "otcull demo: cannot write " + dir + "missing/" + shown + noFolder},
        {{"demo", "--frames", "2", "--rooms", "4", "--svg", dir + raw},
         0,
         "plan view of frame 1 written to " + dir + shown + "\n",
         ""},
        {{"demo", "--frames", "2", "--rooms", "4", "--html", missing},
         2,
         "",
         "otcull demo: cannot write " + dir + "missing/" + shown + noFolder},
        {{"demo", "--frames", raw},
         1,
         "",
         "otcull demo: --frames needs a whole number of at least 1, got '" + shown + "'\n"},
        {{"demo", "--x" + raw, "1"}, 1, "", "otcull demo: unknown flag --x" + shown + "\n"},
        {{raw}, 1, "", "otcull: unknown command " + shown + "\n"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string_view> args(c.args.begin(), c.args.end());
        const Outcome o = otcull(args);
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        EXPECT_EQ(o.status, c.status);
        EXPECT_TRUE(o.out.ends_with(c.out)) << o.out;
        EXPECT_TRUE(o.err.starts_with(c.err)) << o.err;
        EXPECT_EQ(c.err.empty(), o.err.empty()) << o.err;
        EXPECT_TRUE(printable(o.out) && printable(o.err));
    }
}

// Whatever names it, the script being read is never written over, and an
// svg statement in a verb that writes no plan view is skipped with a note.
TEST_F(BadFiles, NoVerbWritesOverTheScriptItReads) {
    const std::string text = "OT_CullAll()\nsvg " + (dir_ / "s.otc").string() + "\n";
    const std::string script = write({"s.otc", text, ""});
    fs::create_symlink(script, dir_ / "link.otc");
    for (const fs::path& page : {dir_ / "s.otc", dir_ / "." / "s.otc", dir_ / "link.otc"}) {
        const Outcome o = otcull({"view", script, "-o", page.string()});
        EXPECT_EQ(o.status, 2);
        EXPECT_EQ(o.err,
                  "otcull view: cannot write " + page.string() + ": it is the script being read\n");
    }
    const Outcome run = otcull({"run", script});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, script + ":2: error: svg: cannot write " + script +
                           ": it is the script being read\n");
    const std::string page = (dir_ / "s.html").string();
    for (const std::vector<std::string_view>& args : {std::vector<std::string_view>{"lint", script},
                                                      {"explain", script},
                                                      {"view", script, "-o", page}}) {
        const Outcome o = otcull(args);
        EXPECT_EQ(o.status, 0) << args[0];
        EXPECT_EQ(o.err, script +
                             ":2: note: svg statements skipped: only otcull run writes plan "
                             "views\n");
    }
    std::ifstream in(script);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
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
