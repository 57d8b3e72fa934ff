#include "cli/verbs.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "demo/demo_run.h"
#include "demo/view_demo.h"
#include "explain/explain.h"
#include "lint/layout_lint.h"
#include "output/kept_failure_buffer.h"
#include "output/safe_file.h"
#include "output/utf8_path.h"
#include "plan/plan_svg.h"
#include "plan/plan_view.h"
#include "script_runner.h"
#include "script_text.h"
#include "trace/pass_cost.h"
#include "trace/tapped_run.h"
#include "view/session_events.h"
#include "view/view_page.h"

namespace tarvo {
namespace {

struct Io {
    std::istream& in;  // the script named `-`
    std::ostream& out;
    std::ostream& err;
};

std::string usage();

// The `svg FILE` statement: the plan view of the tree as the script left it,
// never over the script itself.
class ScriptPlanView : public script::PlanViewWriter {
public:
    ScriptPlanView(std::string_view scriptName, std::filesystem::path script, const Tree& tree,
                   const PassedPortals& passed)
        : scriptName_(scriptName), script_(std::move(script)), tree_(tree), passed_(passed) {}

    std::string write(const std::string& file) override {
        const std::string refusal = refusalToOverwrite(utf8Path(file), script_);
        if (!refusal.empty()) return cannotWrite(file, refusal);
        const PlanScene scene = capturePlan(tree_, passed_);
        size_t shown = 0;
        size_t zones = 0;
        for (const PlanNode& n : scene.nodes) {
            shown += n.visible ? 1 : 0;
            zones += n.isZone ? 1 : 0;
        }
        PlanPicture picture;
        picture.title = "otcull plan view";
        picture.subtitle = scriptName_ + ", seen from above";
        picture.figures = {{"nodes", std::to_string(scene.nodes.size())},
                           {"zones", std::to_string(zones)},
                           {"nodes shown", std::to_string(shown)},
                           {"nodes hidden", std::to_string(scene.nodes.size() - shown)},
                           {"portals drawn", std::to_string(scene.portals.size())}};
        const std::string failure = writeFileSafely(
            utf8Path(file), [&](std::ostream& out) { out << renderPlanSvg(scene, picture); });
        return failure.empty() ? failure : cannotWrite(file, failure);
    }

private:
    std::string scriptName_;
    std::filesystem::path script_;
    const Tree& tree_;
    const PassedPortals& passed_;
};

// The file a script argument names, to be kept from being written over;
// none for standard input.
std::filesystem::path scriptFile(std::string_view argument) {
    return argument == "-" ? std::filesystem::path() : utf8Path(argument);
}

// With stats, each pass is followed by its cost; the time is that of the
// observed pass, so it includes the counting.
int runScript(std::istream& in, std::string_view path, const std::filesystem::path& script,
              bool stats, std::ostream& out, std::ostream& err) {
    TappedRun run(out);
    ScriptPlanView planView(path, script, run.session.tree(), run.session.passedPortals());
    run.runner.setPlanViewWriter(&planView);
    run.runner.stopOnFailureOf(out);
    CostMeter meter(run.session.tree(), &run.session.hostCalls());
    if (stats) {
        run.session.listen(meter);
        run.tap.afterEachPass([&](const PassRun& pass) {
            PassCost cost = meter.cost();
            cost.micros = pass.micros;
            out << "cost: " << describeCost(cost) << '\n';
        });
    }
    return run.runner.runScript(in, path, err);
}

// Opens the script (`-`: standard input) and hands it to the command with
// the name messages give it; a script that cannot be read is an error of
// the script, status 2.
template <typename Command>
int withScript(std::string_view path, Io& io, Command run) {
    if (path == "-") return run(io.in, std::string_view("<stdin>"));
    errno = 0;
    std::ifstream in(utf8Path(path), std::ios::binary);
    if (!in) {
        io.err << script::cannotRead(path, std::strerror(errno != 0 ? errno : EIO)) << '\n';
        return 2;
    }
    return run(in, path);
}

// `otcull COMMAND [FLAG] SCRIPT`: whether the flag was given; none, after
// the usage, when the arguments are not that.
std::optional<bool> flagAndScript(std::span<const std::string_view> args, std::string_view flag,
                                  std::string_view command, std::ostream& err) {
    const bool given = !args.empty() && args[0] == flag;
    if (args.size() == (given ? 2u : 1u)) return given;
    err << "otcull " << command << ": expected one script file\n" << usage();
    return std::nullopt;
}

int run(std::span<const std::string_view> args, Io& io) {
    const std::optional<bool> stats = flagAndScript(args, "--stats", "run", io.err);
    if (!stats) return 1;
    return withScript(args.back(), io, [&](std::istream& in, std::string_view name) {
        return runScript(in, name, scriptFile(args.back()), *stats, io.out, io.err);
    });
}

int explain(std::span<const std::string_view> args, Io& io) {
    if (args.size() == 2 && args[0] == "--events") {
        return withScript(args[1], io, [&](std::istream& in, std::string_view name) {
            return printScriptEvents(in, name, io.out, io.err);
        });
    }
    if (args.empty()) {
        io.err << "otcull explain: expected one script file\n" << usage();
        return 1;
    }
    std::vector<std::string_view> nodes;
    for (size_t i = 1; i < args.size(); i += 2) {
        if (args[i] != "--node" || i + 1 == args.size()) {
            io.err << "otcull explain: expected --node NAME, got '" << script::shownText(args[i])
                   << "'\n"
                   << usage();
            return 1;
        }
        nodes.push_back(args[i + 1]);
    }
    return withScript(args[0], io, [&](std::istream& in, std::string_view name) {
        return explainScript(in, name, nodes, io.out, io.err);
    });
}

int lint(std::span<const std::string_view> args, Io& io) {
    const std::optional<bool> quiet = flagAndScript(args, "--quiet", "lint", io.err);
    if (!quiet) return 1;
    return withScript(args.back(), io, [&](std::istream& in, std::string_view name) {
        return lintScript(in, name, *quiet, io.out, io.err);
    });
}

int view(std::span<const std::string_view> args, Io& io) {
    if (args.size() != 3 || args[1] != "-o") {
        io.err << "otcull view: expected a script file, -o and the page's file\n" << usage();
        return 1;
    }
    const PageTarget page{args[2], "view", scriptFile(args[0])};
    return withScript(args[0], io, [&](std::istream& in, std::string_view name) {
        return viewScript(in, name, page, io.out, io.err);
    });
}

struct CountFlag {
    std::string_view name;
    int DemoRunOptions::*field;
    int minimum;
};

constexpr CountFlag kCountFlags[] = {{"--frames", &DemoRunOptions::frames, 1},
                                     {"--rooms", &DemoRunOptions::rooms, 1},
                                     {"--every", &DemoRunOptions::every, 1},
                                     {"--svg-frame", &DemoRunOptions::svgFrame, 0}};

// Empty when the flag and its value were taken, otherwise what is wrong.
std::string takeFlag(std::string_view flag, const std::string_view* value,
                     DemoRunOptions& options) {
    const CountFlag* count = nullptr;
    for (const CountFlag& f : kCountFlags) {
        if (f.name == flag) count = &f;
    }
    const bool isFile = flag == "--svg" || flag == "--html";
    if (!isFile && count == nullptr) return "unknown flag " + script::shownText(flag);
    if (value == nullptr) return std::string(flag) + " needs a value";
    if (count == nullptr) {
        (flag == "--svg" ? options.svgFile : options.htmlFile) = std::string(*value);
        return {};
    }
    int number = 0;
    const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), number);
    if (error != std::errc() || end != value->data() + value->size() || number < count->minimum) {
        return std::string(flag) + " needs a whole number of at least " +
               std::to_string(count->minimum) + ", got " + script::quotedText(*value);
    }
    options.*(count->field) = number;
    return {};
}

int demo(std::span<const std::string_view> args, Io& io) {
    DemoRunOptions options;
    for (size_t i = 0; i < args.size(); i += 2) {
        const std::string_view* value = i + 1 < args.size() ? &args[i + 1] : nullptr;
        const std::string problem = takeFlag(args[i], value, options);
        if (!problem.empty()) {
            io.err << "otcull demo: " << problem << '\n' << usage();
            return 1;
        }
    }
    const int status = runDemo(options, io.out, io.err);
    if (status != 0 || options.htmlFile.empty()) return status;
    return writeDemoPage(options, io.out, io.err);
}

// Every verb otcull knows, with its line of the usage.
struct Verb {
    std::string_view name;
    std::string_view usage;
    int (*run)(std::span<const std::string_view> args, Io& io);
};

constexpr Verb kVerbs[] = {
    {"run", "otcull run [--stats] SCRIPT", run},
    {"explain", "otcull explain SCRIPT [--node NAME]...\n       otcull explain --events SCRIPT",
     explain},
    {"lint", "otcull lint [--quiet] SCRIPT", lint},
    {"view", "otcull view SCRIPT -o FILE.html", view},
    {"demo",
     "otcull demo [--frames N] [--rooms N] [--every N] [--svg FILE] [--svg-frame N]"
     " [--html FILE]",
     demo},
};

std::string usage() {
    std::string text;
    for (const Verb& verb : kVerbs) {
        text += text.empty() ? "usage: " : "       ";
        text += verb.usage;
        text += '\n';
    }
    text += "       otcull [VERB] --help | --version\n";
    text += "A SCRIPT of - is read from standard input.\n";
    return text;
}

bool asksForHelp(std::span<const std::string_view> args) {
    return std::find_if(args.begin(), args.end(), [](std::string_view arg) {
               return arg == "--help" || arg == "-h";
           }) != args.end();
}

int dispatch(std::span<const std::string_view> args, Io& io) {
    if (args.empty()) {
        io.err << usage();
        return 1;
    }
    if (args[0] == "--version") {
        io.out << "otcull " << TARVO_VERSION << '\n';
        return 0;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        io.out << usage();
        return 0;
    }
    for (const Verb& verb : kVerbs) {
        if (verb.name != args[0]) continue;
        if (asksForHelp(args.subspan(1))) {
            io.out << "usage: " << verb.usage << "\nA SCRIPT of - is read from standard input.\n";
            return 0;
        }
        return verb.run(args.subspan(1), io);
    }
    io.err << "otcull: unknown command " << script::shownText(args[0]) << '\n' << usage();
    return 1;
}

}  // namespace

// Output that could not be written is a failure whatever the verb did.
int otcullMain(std::span<const std::string_view> args, std::istream& in, std::ostream& out,
               std::ostream& err) {
    Io io{in, out, err};
    const int status = dispatch(args, io);
    const std::string failure = outputFailure(out);
    if (failure.empty()) return status;
    err << "otcull: cannot write standard output: " << failure << '\n';
    return 2;
}

int otcullMain(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    return otcullMain(args, std::cin, out, err);
}

}  // namespace tarvo
