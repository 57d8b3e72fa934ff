#include "commands.h"

#include <charconv>
#include <fstream>
#include <ostream>
#include <string>

#include "commands/state.h"
#include "demo_run.h"
#include "plan_svg.h"
#include "plan_view.h"
#include "script_runner.h"
#include "standin_session.h"

namespace tarvo {
namespace {

constexpr const char* kUsage =
    "usage: otcull run SCRIPT\n"
    "       otcull demo [--frames N] [--rooms N] [--every N] [--svg FILE] [--svg-frame N]\n";

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

int runScriptFile(std::string_view path, std::ostream& out, std::ostream& err) {
    std::ifstream in{std::string(path)};
    if (!in) {
        err << "otcull run: cannot open " << path << '\n';
        return 1;
    }
    StandInSession session(out);
    script::ScriptRunner runner(session, session, out);
    ScriptPlanView planView(path, session.passes());
    runner.setPlanViewWriter(&planView);
    return runner.runScript(in, path, err);
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
    if (flag != "--svg" && count == nullptr) return "unknown flag " + std::string(flag);
    if (value == nullptr) return std::string(flag) + " needs a value";
    if (count == nullptr) {
        options.svgFile = std::string(*value);
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
    return runDemo(options, out, err);
}

}  // namespace

int otcullMain(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? 1 : 0;
    }
    if (args[0] == "run") {
        if (args.size() != 2) {
            err << "otcull run: expected one script file\n" << kUsage;
            return 1;
        }
        return runScriptFile(args[1], out, err);
    }
    if (args[0] == "demo") return demo(args.subspan(1), out, err);
    err << "otcull: unknown command " << args[0] << '\n' << kUsage;
    return 1;
}

}  // namespace tarvo
