// otcull itself, as a process, with streams and limits no in-process test
// can give it: standard input a directory, closed, a device or an endless
// pipe; standard output full or a pipe nobody reads; a folder it may not
// write and a file-size limit. Every case ends with its status and exactly
// one line on standard error, and no file of the user's is lost.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

struct Ended {
    int status;  // the exit status, or 128 + the signal that ended it
    std::string err;
};

void moveTo(int from, int to) {
    if (from != to) {
        dup2(from, to);
        close(from);
    }
}

// Runs otcull with args, standard input and output on /dev/null unless
// prepare, called in the child just before otcull starts, says otherwise.
// A child still running after a minute is ended by its alarm.
Ended otcullProcess(
    const std::vector<std::string>& args, const std::function<void()>& prepare = [] {},
    const std::string& program = OTCULL_PATH) {
    int errPipe[2];
    if (pipe(errPipe) != 0) return {-1, std::strerror(errno)};
    const pid_t child = fork();
    if (child == 0) {
        close(errPipe[0]);
        moveTo(errPipe[1], 2);
        moveTo(open("/dev/null", O_RDONLY), 0);
        moveTo(open("/dev/null", O_WRONLY), 1);
        prepare();
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        alarm(60);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(errPipe[1]);
    std::string err;
    char buffer[4096];
    for (ssize_t n; (n = read(errPipe[0], buffer, sizeof buffer)) > 0;) err.append(buffer, n);
    close(errPipe[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), err};
}

// A writer of endless bytes (no line end, or endless lines), ended by the
// reader going away.
class EndlessPipe {
public:
    explicit EndlessPipe(std::string chunk) {
        int ends[2];
        if (pipe(ends) != 0) return;
        writer_ = fork();
        if (writer_ == 0) {
            close(ends[0]);
            signal(SIGPIPE, SIG_DFL);
            while (write(ends[1], chunk.data(), chunk.size()) > 0) {
            }
            _exit(0);
        }
        close(ends[1]);
        readEnd_ = ends[0];
    }
    ~EndlessPipe() {
        if (readEnd_ >= 0) close(readEnd_);
        if (writer_ > 0) {
            kill(writer_, SIGKILL);
            waitpid(writer_, nullptr, 0);
        }
    }
    int readEnd() const { return readEnd_; }

private:
    pid_t writer_ = -1;
    int readEnd_ = -1;
};

class BadStreams : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("otcull_bad_streams_" + std::to_string(getpid()));
        fs::create_directories(dir_);
        fs::permissions(dir_, fs::perms::all);  // the unprivileged child writes here too
        script_ = (dir_ / "house.otc").string();
        fs::copy_file(TARVO_SOURCE_DIR "/examples/house.otc", script_);
        fs::permissions(script_,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
    void TearDown() override {
        fs::permissions(dir_ / "locked", fs::perms::all, ignored_);
        fs::remove_all(dir_);
    }

    // Every verb that reads a script, reading SCRIPT.
    std::vector<std::vector<std::string>> readingVerbs(const std::string& script) const {
        return {{"run", script},
                {"run", "--stats", script},
                {"explain", script},
                {"explain", script, "--node", "hall"},
                {"lint", script},
                {"lint", "--quiet", script},
                {"view", script, "-o", page()}};
    }
    std::string page() const { return (dir_ / "page.html").string(); }

    static void expectOneLine(const Ended& ended, int status, const std::string& line,
                              const std::vector<std::string>& args) {
        SCOPED_TRACE(args[0] + " " + args.back());
        EXPECT_EQ(ended.status, status);
        EXPECT_EQ(ended.err, line + "\n");
    }

    fs::path dir_;
    std::string script_;
    std::error_code ignored_;
};

TEST_F(BadStreams, StandardInputThatCannotBeReadIsOneLine) {
    const std::string dir = dir_.string();
    const struct {
        const char* what;
        std::function<void()> prepare;
        std::string error;
    } inputs[] = {
        {"a directory", [&] { moveTo(open(dir.c_str(), O_RDONLY | O_DIRECTORY), 0); },
         "otcull: cannot read <stdin>: Is a directory"},
        {"closed", [] { close(0); }, "otcull: cannot read <stdin>: Bad file descriptor"},
        {"/dev/zero", [] { moveTo(open("/dev/zero", O_RDONLY), 0); },
         "<stdin>:1: error: line longer than 65536 bytes"},
    };
    for (const auto& input : inputs) {
        for (const auto& args : readingVerbs("-")) {
            SCOPED_TRACE(input.what);
            expectOneLine(otcullProcess(args, input.prepare), 2, input.error, args);
        }
    }
}

TEST_F(BadStreams, AnEndlessInputStopsAtTheLineLimit) {
    for (const auto& args : readingVerbs("-")) {
        const EndlessPipe endless(std::string(4096, 'x'));
        const int from = endless.readEnd();
        expectOneLine(otcullProcess(args, [from] { dup2(from, 0); }), 2,
                      "<stdin>:1: error: line longer than 65536 bytes", args);
    }
}

TEST_F(BadStreams, ADeviceThatFailsToReadIsOneLine) {
    for (const auto& args : readingVerbs("/proc/self/mem")) {
        expectOneLine(otcullProcess(args), 2,
                      "otcull: cannot read /proc/self/mem: Input/output error", args);
    }
}

// Every verb that prints, and the page written where it cannot go.
TEST_F(BadStreams, OutputThatCannotBeWrittenIsAFailure) {
    std::vector<std::vector<std::string>> printing = readingVerbs(script_);
    printing.push_back({"demo", "--frames", "2", "--rooms", "4"});
    printing.push_back({"--help"});
    const auto full = [] { moveTo(open("/dev/full", O_WRONLY), 1); };
    for (const auto& args : printing) {
        expectOneLine(otcullProcess(args, full), 2,
                      "otcull: cannot write standard output: No space left on device", args);
    }
    const std::vector<std::string> page = {"view", script_, "-o", "/dev/full"};
    expectOneLine(otcullProcess(page), 2,
                  "otcull view: cannot write /dev/full: No space left on device", page);
}

// With nobody reading, output fails at once; the verb must stop, not read on.
TEST_F(BadStreams, APipeNobodyReadsIsAFailure) {
    const std::string lines = "z = OT_CreateBox(0, 0, 0, 0, 1, 1, 1)\nOT_GetParent(z)\n";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"run", "-"}, {"explain", "-"}}) {
        const EndlessPipe endless(lines + "OT_UpdateFrustum()\nOT_CullAll()\n");
        const int from = endless.readEnd();
        expectOneLine(otcullProcess(args,
                                    [from] {
                                        dup2(from, 0);
                                        int unread[2];
                                        if (pipe(unread) != 0) _exit(126);
                                        close(unread[0]);
                                        moveTo(unread[1], 1);
                                    }),
                      2, "otcull: cannot write standard output: Broken pipe", args);
    }
}

// Each verb that writes a file, writing FILE; a failed write keeps the old
// file whole and leaves nothing beside it.
class FilesNotWritten : public BadStreams {
protected:
    std::vector<std::pair<std::string, std::vector<std::string>>> writers(const fs::path& file) {
        const std::string svgScript = (dir_ / "svg.otc").string();
        std::ifstream house(script_);
        std::string text(std::istreambuf_iterator<char>(house), {});
        const auto svgLine = std::count(text.begin(), text.end(), '\n') + 1;
        std::ofstream(svgScript) << text << "svg " << file.string() << "\n";
        const std::vector<std::string> demo = {"demo", "--frames", "2", "--rooms", "4"};
        auto demoWith = [&](const char* flag) {
            std::vector<std::string> args = demo;
            args.insert(args.end(), {flag, file.string()});
            return args;
        };
        return {{"otcull view: ", {"view", script_, "-o", file.string()}},
                {"otcull demo: ", demoWith("--svg")},
                {"otcull demo: ", demoWith("--html")},
                {svgScript + ":" + std::to_string(svgLine) + ": error: svg: ", {"run", svgScript}}};
    }

    void expectKept(const fs::path& file, const std::function<void()>& prepare,
                    const std::string& reason, const std::string& program = OTCULL_PATH) {
        for (const auto& [prefix, args] : writers(file)) {
            std::ofstream(file) << "the old page\n";
            expectOneLine(otcullProcess(args, prepare, program), 2,
                          prefix + "cannot write " + file.string() + ": " + reason, args);
            std::ifstream old(file);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), {}), "the old page\n");
            size_t beside = 0;
            for (const auto& entry : fs::directory_iterator(file.parent_path())) {
                beside += entry.path().filename().string().find(".otcull-") != std::string::npos;
            }
            EXPECT_EQ(beside, 0u);
        }
    }
};

TEST_F(FilesNotWritten, AFolderThatCannotBeWrittenKeepsTheOldFile) {
    const fs::path locked = dir_ / "locked";
    fs::create_directory(locked);
    // Root writes anywhere: the child gives up root first.
    const auto unprivileged = [] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(126);
    };
    std::ofstream(locked / "page.html") << "the old page\n";
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    // The build may lie in a folder only its owner can enter: the
    // unprivileged child runs a copy of otcull from the test's own folder.
    const fs::path program = dir_ / "otcull";
    fs::copy_file(OTCULL_PATH, program);
    fs::permissions(program, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
    expectKept(locked / "page.html", unprivileged, "Permission denied", program.string());
}

TEST_F(FilesNotWritten, AFileSizeLimitKeepsTheOldFile) {
    const auto limited = [] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{2048, 2048};
        setrlimit(RLIMIT_FSIZE, &limit);
    };
    expectKept(dir_ / "page.html", limited, "File too large");
}

}  // namespace
}  // namespace tarvo
