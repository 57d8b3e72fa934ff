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
    explicit ScriptPlanView(std::string_view scriptName) : scriptName_(scriptName) {}

    std::string write(const std::string& file) override {
        const PlanScene scene = capturePlan(cullingState());
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
};

int runScriptFile(std::string_view path, std::ostream& out, std::ostream& err) {
    std::ifstream in{std::string(path)};
    if (!in) {
        err << "otcull run: cannot open " << path << '\n';
        return 1;
    }
    StandInSession session(out);
    script::ScriptRunner runner(session, session, out);
    ScriptPlanView planView(path);
    runner.setPlanViewWriter(&planView);
    return runner.runScript(in, path, err);
}

bool readCount(std::string_view text, int& value, bool zeroAllowed) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() &&
           (value > 0 || (zeroAllowed && value == 0));
}

int demo(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    DemoRunOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view flag = args[i];
        if (i + 1 == args.size()) {
            err << "otcull demo: " << flag
                << (flag.starts_with("--") ? " needs a value\n" : ": unknown argument\n") << kUsage;
            return 1;
        }
        const std::string_view value = args[++i];
        int* count = flag == "--frames"      ? &options.frames
                     : flag == "--rooms"     ? &options.rooms
                     : flag == "--every"     ? &options.every
                     : flag == "--svg-frame" ? &options.svgFrame
                                             : nullptr;
        if (flag == "--svg") {
            options.svgFile = std::string(value);
        } else if (count == nullptr) {
            err << "otcull demo: unknown flag " << flag << '\n' << kUsage;
            return 1;
        } else if (!readCount(value, *count, flag == "--svg-frame")) {
            err << "otcull demo: " << flag
                << " needs a whole number (at least 1, or 0 for --svg-frame), got '" << value
                << "'\n";
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
