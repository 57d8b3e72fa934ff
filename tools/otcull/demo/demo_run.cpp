#include "demo/demo_run.h"

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <map>
#include <numeric>
#include <ostream>
#include <sstream>

#include "demo/demo_scene.h"
#include "demo/demo_walk.h"
#include "output/safe_file.h"
#include "output/utf8_path.h"
#include "plan/plan_svg.h"
#include "plan/plan_view.h"
#include "script_text.h"
#include "tarvo/culling.h"
#include "trace/pass_cost.h"

namespace tarvo {
namespace {

// The host's side of things: whether each object and limb hung on a node is
// shown or hidden right now, as the switches left it.
class VisibilityLedger {
public:
    explicit VisibilityLedger(const std::vector<std::pair<int32_t, int32_t>>& attachments) {
        for (const auto& key : attachments) index_.emplace(key, index_.size());
        hidden_.assign(index_.size(), false);
    }
    void apply(const std::vector<HostCall>& calls) {
        for (const HostCall& call : calls) {
            const bool limb = call.op == HostOp::kHideLimb || call.op == HostOp::kShowLimb;
            const auto found = index_.find({call.object, limb ? call.limb : -1});
            if (found == index_.end()) continue;
            hidden_[found->second] = call.op == HostOp::kHide || call.op == HostOp::kExcludeOn ||
                                     call.op == HostOp::kHideLimb;
        }
    }
    size_t size() const { return hidden_.size(); }
    size_t hidden() const {
        return static_cast<size_t>(std::count(hidden_.begin(), hidden_.end(), true));
    }

private:
    std::map<std::pair<int32_t, int32_t>, size_t> index_;
    std::vector<bool> hidden_;
};

struct FrameFigures {
    int frame;
    std::string zone;
    size_t shown;
    size_t hidden;
    size_t calls;
    double passMicros;
};

std::string percent(double fraction) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << 100.0 * fraction << '%';
    return text.str();
}

std::string micros(double value) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << value << " us";
    return text.str();
}

void printScene(std::ostream& out, const Tree& tree, const DemoScene& scene, size_t objects) {
    out << "otcull demo: " << scene.rooms.size() << " rooms on 2 floors (" << scene.cols << " x "
        << scene.rows << " each), " << scene.doors << " doors (" << scene.closedDoors
        << " closed), " << scene.windows << " windows, a stairwell and a yard\n"
        << "  " << tree.liveNodeCount() << " nodes, " << tree.livePortalCount() << " portals, "
        << objects << " objects and limbs attached\n\n"
        << "frame  camera zone    shown  hidden  host calls   pass time\n";
}

void printFrame(std::ostream& out, const FrameFigures& f) {
    out << std::setw(5) << f.frame << "  " << std::left << std::setw(13) << f.zone << std::right
        << std::setw(6) << f.shown << std::setw(8) << f.hidden << std::setw(12) << f.calls
        << std::setw(12) << micros(f.passMicros) << '\n';
}

PlanPicture pictureOf(const DemoScene& scene, const FrameFigures& f, int frames) {
    PlanPicture picture;
    picture.title =
        "otcull demo: frame " + std::to_string(f.frame) + " of " + std::to_string(frames);
    picture.subtitle = std::to_string(scene.rooms.size()) +
                       " rooms on two floors, seen from above; the camera is in " + f.zone;
    const float storey = scene.storey;
    picture.levels = {{"Upper floor", storey, 2 * storey + 0.01f},
                      {"Ground floor and yard", -1.0f, storey}};
    picture.figures = {
        {"camera zone", f.zone},
        {"objects and limbs shown", std::to_string(f.shown)},
        {"objects and limbs hidden", std::to_string(f.hidden)},
        {"culled", percent(static_cast<double>(f.hidden) /
                           static_cast<double>(std::max<size_t>(f.shown + f.hidden, 1)))},
        {"host calls", std::to_string(f.calls)},
        {"pass time", micros(f.passMicros)}};
    return picture;
}

// Every frame's figures, summed up at the end.
class DemoTotals {
public:
    void add(const FrameFigures& f, const PassCost& cost) {
        passTimes_.push_back(f.passMicros);
        culled_ += static_cast<double>(f.hidden) /
                   static_cast<double>(std::max<size_t>(f.shown + f.hidden, 1));
        calls_ += f.calls;
        tested_ += cost.nodesTested;
        corners_ += cost.boxCorners;
        followed_ += cost.portalsFollowed;
    }

    // The median is there because on a shared machine the worst pass is
    // usually some other program's time slice.
    void print(std::ostream& out, size_t objects) const {
        std::vector<double> sorted = passTimes_;
        std::sort(sorted.begin(), sorted.end());
        const double n = static_cast<double>(sorted.size());
        const double total = std::accumulate(sorted.begin(), sorted.end(), 0.0);
        out << "\nsummary over " << sorted.size() << " frames, " << objects
            << " objects and limbs\n"
            << "  pass time   mean " << micros(total / n) << ", median "
            << micros(sorted[sorted.size() / 2]) << ", worst " << micros(sorted.back()) << '\n'
            << "  culled      mean " << percent(culled_ / n) << " of objects and limbs hidden\n"
            << "  host calls  mean " << std::fixed << std::setprecision(0)
            << static_cast<double>(calls_) / n << " per frame\n"
            << "  pass work   mean " << static_cast<double>(tested_) / n << " nodes tested, "
            << static_cast<double>(corners_) / n << " box corners, "
            << static_cast<double>(followed_) / n << " portals followed per frame\n";
    }

private:
    std::vector<double> passTimes_;
    double culled_ = 0.0;
    size_t calls_ = 0;
    uint64_t tested_ = 0;
    uint64_t corners_ = 0;
    uint64_t followed_ = 0;
};

// One frame: move the camera, take its frustum, cull, and see what the host
// was told.
FrameFigures runFrame(int frame, const CameraPose& pose, DemoWorld& world,
                      VisibilityLedger& ledger) {
    StandInHost& host = world.host;
    placeDemoCamera(host.camera(0), pose);
    OT_UpdateFrustum1();
    const auto start = std::chrono::steady_clock::now();
    OT_CullAll();
    const auto stop = std::chrono::steady_clock::now();
    const std::vector<HostCall> calls = host.takeCalls();
    ledger.apply(calls);
    return {frame,
            world.scene.roomName(cameraZoneOf(world.binding.tree())),
            ledger.size() - ledger.hidden(),
            ledger.hidden(),
            calls.size(),
            std::chrono::duration<double, std::micro>(stop - start).count()};
}

// The timed pass runs unobserved; the same frame's pass is run again with
// observers attached, for its counts and the plan view. Every node of the
// demo is Normal or Zone, and such a pass decides from the tree, the planes
// and the camera alone, so the repeat decides as the timed pass did. Its
// host calls are dropped.
PassCost observeRepeatPass(DemoWorld& world, const PassListeners& listeners,
                           const CostMeter& meter) {
    listeners.attach(world.binding.tree());
    OT_CullAll();
    PassListeners::detach(world.binding.tree());
    world.host.takeCalls();
    return meter.cost();
}

}  // namespace

int runDemo(const DemoRunOptions& options, std::ostream& out, std::ostream& err) {
    DemoWorld world(options.rooms);
    const Tree& tree = world.binding.tree();
    const DemoScene& scene = world.scene;
    VisibilityLedger ledger(scene.attachments);
    world.host.setCurrentCamera(0);

    const int frames = options.frames;
    const int every = options.every > 0 ? options.every : std::max(1, frames / 24);
    const int svgFrame = options.svgFrame < 0 ? frames - 1 : std::min(options.svgFrame, frames - 1);
    printScene(out, tree, scene, ledger.size());
    DemoTotals totals;
    PassedPortals passed;
    CostMeter meter(tree);
    PassListeners listeners;
    listeners.add(passed);
    listeners.add(meter);
    PlanScene plan;
    FrameFigures planFigures{};
    for (int frame = 0; frame < frames; ++frame) {
        const double along = frames > 1 ? frame / static_cast<double>(frames - 1) : 0.0;
        const FrameFigures figures = runFrame(frame, world.walk.at(along), world, ledger);
        totals.add(figures, observeRepeatPass(world, listeners, meter));
        if (frame % every == 0 || frame == frames - 1) printFrame(out, figures);
        if (frame == svgFrame) {
            plan = capturePlan(tree, passed);
            planFigures = figures;
        }
    }
    totals.print(out, ledger.size());

    if (options.svgFile.empty()) return 0;
    const PlanPicture picture = pictureOf(scene, planFigures, frames);
    const std::string failure = writeFileSafely(utf8Path(options.svgFile), [&](std::ostream& file) {
        file << renderPlanSvg(plan, picture);
    });
    if (!failure.empty()) {
        err << "otcull demo: " << cannotWrite(options.svgFile, failure) << '\n';
        return 2;
    }
    out << "plan view of frame " << svgFrame << " written to " << script::shownText(options.svgFile)
        << '\n';
    return 0;
}

}  // namespace tarvo
