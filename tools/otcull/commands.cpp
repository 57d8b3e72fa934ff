#include "commands.h"

#include <charconv>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "commands/state.h"
#include "demo_run.h"
#include "explain.h"
#include "layout_lint.h"
#include "pass_cost.h"
#include "plan_svg.h"
#include "plan_view.h"
#include "script_runner.h"
#include "tapped_run.h"
#include "view_demo.h"
#include "view_page.h"

namespace tarvo {
namespace {

constexpr const char* kUsage =
    "usage: otcull run [--stats] SCRIPT\n"
    "       otcull explain SCRIPT [--node NAME]...\n"
    "       otcull lint [--quiet] SCRIPT\n"
    "       otcull view SCRIPT -o FILE.html\n"
    "       otcull demo [--frames N] [--rooms N] [--every N] [--svg FILE] [--svg-frame N]\n"
    "                   [--html FILE]\n";

// The `svg FILE` statement: the plan view of the tree as the script left it.
class ScriptPlanView : public script::PlanViewWriter {
public:
    ScriptPlanView(std::string_view scriptName, const PassRecord& passes)
        : scriptName_(scriptName), passes_(passes) {}

    std::string write(const std::string& file) override {
        const PlanScene scene = capturePlan(cullingState(), passes_);
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
        std::ofstream out(file);
        out << renderPlanSvg(scene, picture);
        return out.flush() ? std::string() : "cannot write " + file;
    }

private:
    std::string scriptName_;
    const PassRecord& passes_;
};

// With stats, each pass is followed by its cost; the time is that of the
// observed pass, so it includes the counting.
int runScript(std::istream& in, std::string_view path, bool stats, std::ostream& out,
              std::ostream& err) {
    TappedRun run(out);
    ScriptPlanView planView(path, run.session.passes());
    run.runner.setPlanViewWriter(&planView);
    CostMeter meter(cullingState(), &run.session.hostCalls());
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

// Opens the script and hands it to the command; a file that cannot be read
// is a bad argument.
template <typename Command>
int withScript(std::string_view command, std::string_view path, std::ostream& err, Command run) {
    std::ifstream in{std::string(path)};
    if (!in) {
        err << "otcull " << command << ": cannot open " << path << '\n';
        return 1;
    }
    return run(in);
}

// `otcull COMMAND [FLAG] SCRIPT`: whether the flag was given; none, after
// the usage, when the arguments are not that.
std::optional<bool> flagAndScript(std::span<const std::string_view> args, std::string_view flag,
                                  std::string_view command, std::ostream& err) {
    const bool given = !args.empty() && args[0] == flag;
    if (args.size() == (given ? 2u : 1u)) return given;
    err << "otcull " << command << ": expected one script file\n" << kUsage;
    return std::nullopt;
}

int run(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    const std::optional<bool> stats = flagAndScript(args, "--stats", "run", err);
    if (!stats) return 1;
    return withScript("run", args.back(), err, [&](std::istream& in) {
        return runScript(in, args.back(), *stats, out, err);
    });
}

int explain(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << "otcull explain: expected one script file\n" << kUsage;
        return 1;
    }
    std::vector<std::string_view> nodes;
    for (size_t i = 1; i < args.size(); i += 2) {
        if (args[i] != "--node" || i + 1 == args.size()) {
            err << "otcull explain: expected --node NAME, got '" << args[i] << "'\n" << kUsage;
            return 1;
        }
        nodes.push_back(args[i + 1]);
    }
    return withScript("explain", args[0], err, [&](std::istream& in) {
        return explainScript(in, args[0], nodes, out, err);
    });
}

int lint(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    const std::optional<bool> quiet = flagAndScript(args, "--quiet", "lint", err);
    if (!quiet) return 1;
    return withScript("lint", args.back(), err, [&](std::istream& in) {
        return lintScript(in, args.back(), *quiet, out, err);
    });
}

int view(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3 || args[1] != "-o") {
        err << "otcull view: expected a script file, -o and the page's file\n" << kUsage;
        return 1;
    }
    return withScript("view", args[0], err,
                      [&](std::istream& in) { return viewScript(in, args[0], args[2], out, err); });
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
    if (!isFile && count == nullptr) return "unknown flag " + std::string(flag);
    if (value == nullptr) return std::string(flag) + " needs a value";
    if (count == nullptr) {
        (flag == "--svg" ? options.svgFile : options.htmlFile) = std::string(*value);
        return {};
    }
    int number = 0;
    const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), number);
    if (error != std::errc() || end != value->data() + value->size() || number < count->minimum) {
        return std::string(flag) + " needs a whole number of at least " +
               std::to_string(count->minimum) + ", got '" + std::string(*value) + "'";
    }
    options.*(count->field) = number;
    return {};
}

int demo(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    DemoRunOptions options;
    for (size_t i = 0; i < args.size(); i += 2) {
        const std::string_view* value = i + 1 < args.size() ? &args[i + 1] : nullptr;
        const std::string problem = takeFlag(args[i], value, options);
        if (!problem.empty()) {
            err << "otcull demo: " << problem << '\n' << kUsage;
            return 1;
        }
    }
    const int status = runDemo(options, out, err);
    if (status != 0 || options.htmlFile.empty()) return status;
    return writeDemoPage(options, out, err);
}

}  // namespace

int otcullMain(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? 1 : 0;
    }
    if (args[0] == "run") return run(args.subspan(1), out, err);
    if (args[0] == "explain") return explain(args.subspan(1), out, err);
    if (args[0] == "lint") return lint(args.subspan(1), out, err);
    if (args[0] == "view") return view(args.subspan(1), out, err);
    if (args[0] == "demo") return demo(args.subspan(1), out, err);
    err << "otcull: unknown command " << args[0] << '\n' << kUsage;
    return 1;
}

}  // namespace tarvo
