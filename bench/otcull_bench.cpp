// otcull's verbs on generated scripts at two sizes ten times apart (the
// report divides them), and a recorded session replayed by `otcull run`
// beside the same commands issued straight to the library, and made into
// its page by `otcull view`. Each runs once
// per repetition: the scripts are large, and a single run is the figure.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "camera_math.h"
#include "cli/verbs.h"
#include "commands/journal/journal.h"
#include "commands/state.h"
#include "host/standin_host.h"
#include "otcull_scripts.h"
#include "tarvo/culling.h"

namespace tarvo::bench {
namespace {

namespace fs = std::filesystem;

const fs::path kDir = fs::temp_directory_path() / "tarvo-otcull-bench";

// Written once per name, on first use.
std::string scriptFile(const std::string& name, std::string (*make)(int), int size) {
    static std::map<std::string, std::string> written;
    const std::string key = name + std::to_string(size);
    if (!written.contains(key)) {
        fs::create_directories(kDir);
        const std::string path = (kDir / (key + ".otc")).string();
        std::ofstream(path) << make(size);
        written[key] = path;
    }
    return written[key];
}

// The verb's whole run, its output (a trace for `run`) written to a file.
void runVerb(benchmark::State& state, std::vector<std::string_view> args) {
    const std::string trace = (kDir / "trace.out").string();
    for (auto _ : state) {
        std::ofstream out(trace);
        std::ofstream err(trace + ".err");
        if (otcullMain(args, out, err) > 1) state.SkipWithError("the script failed");
    }
}

void BM_Otcull_Churn(benchmark::State& state) {
    runVerb(state, {"run", scriptFile("churn", churnScript, static_cast<int>(state.range(0)))});
}
BENCHMARK(BM_Otcull_Churn)->Arg(20000)->Arg(200000)->Iterations(1)->Unit(benchmark::kMillisecond);

const char* const kVerbs[] = {"run", "lint", "explain"};

// A line of zones along x, along z or up a tower: the layouts a verb must
// handle alike.
void zoneLine(benchmark::State& state, const std::string& name, std::string (*make)(int)) {
    const std::string file = scriptFile(name, make, static_cast<int>(state.range(1)));
    state.SetLabel(kVerbs[state.range(0)]);
    runVerb(state, {kVerbs[state.range(0)], file});
}

void zoneLineArgs(benchmark::internal::Benchmark* b) {
    b->ArgsProduct({{0, 1, 2}, {2000, 20000}})->Iterations(1)->Unit(benchmark::kMillisecond);
}

void BM_Otcull_ZoneRow(benchmark::State& state) {
    zoneLine(state, "zone-row", zoneRowScript);
}
BENCHMARK(BM_Otcull_ZoneRow)->Apply(zoneLineArgs);

void BM_Otcull_ZoneRowAlongZ(benchmark::State& state) {
    zoneLine(state, "zone-row-z", zoneRowAlongZScript);
}
BENCHMARK(BM_Otcull_ZoneRowAlongZ)->Apply(zoneLineArgs);

void BM_Otcull_ZoneTower(benchmark::State& state) {
    zoneLine(state, "zone-tower", zoneTowerScript);
}
BENCHMARK(BM_Otcull_ZoneTower)->Apply(zoneLineArgs);

// A level as the recording flavour sees it: rooms in a row along x, each a
// zone with 98 small items inside (every tenth with a host object) and a
// doorway into the next; then a camera walking down the row, every frame an
// update and a pass.
constexpr int kNodesPerRoom = 100;
constexpr int kFrames = 1000;

void buildLevel(int nodes) {
    const int rooms = nodes / kNodesPerRoom;
    int32_t previous = 0;
    for (int r = 0; r < rooms; ++r) {
        const float x = static_cast<float>(r) * 10.0f;
        const int32_t room = OT_CreateBox1(0, x, 0, 0, x + 10, 3, 10, 2);
        for (int i = 0; i < kNodesPerRoom - 2; ++i) {
            const float ix = x + static_cast<float>(i % 7) * 1.3f + 0.5f;
            const float iz = static_cast<float>(i / 7) * 0.7f + 0.2f;
            const int32_t item = OT_CreateBox2(room, ix, 0, iz, ix + 0.5f, 1, iz + 0.4f);
            if (i % 10 == 0) OT_AddObject(item, r * kNodesPerRoom + i + 1);
        }
        const int32_t door = OT_CreateBox2(room, x - 0.2f, 0, 4, x + 0.2f, 2.2f, 6);
        if (previous != 0) OT_AddPortal(previous, room, door);
        previous = room;
    }
}

// The camera walks the first twenty rooms and back, looking down the row.
void frame(StandInHost& host, int number, int frames) {
    const double walk = 200.0 * (1.0 - std::fabs(2.0 * number / frames - 1.0));
    script::LookAt look{};
    look.eye[0] = walk + 1.0;
    look.eye[1] = 1.5;
    look.eye[2] = 5.0;
    look.target[0] = walk + 20.0;
    look.target[1] = 1.5;
    look.target[2] = 5.0 + std::sin(number * 0.05);
    look.fovDegrees = 75.0;
    look.aspect = 1.5;
    look.zNear = 0.1;
    look.zFar = 300.0;
    const script::CameraMatrices m = script::lookAtMatrices(look);
    StandInCamera& camera = host.camera(0);
    std::copy(std::begin(m.view), std::end(m.view), camera.view);
    std::copy(std::begin(m.projection), std::end(m.projection), camera.projection);
    for (int i = 0; i < 3; ++i) camera.position[i] = static_cast<float>(look.eye[i]);
    OT_UpdateFrustum1();
    OT_CullAll();
}

// The library bound to a stand-in host that prints nothing.
struct DirectSession {
    StandInHost host;
    OtHostApi api{};
    DirectSession() {
        resetCullingState();
        host.setLogging(false);
        api = host.api();
        ot_bind_host(&api);
    }
    ~DirectSession() {
        resetCullingState();
        ot_bind_host(nullptr);
    }
};

// The session's journal, with or without the frames.
std::string journalFile(int nodes, int frames) {
    static std::map<std::pair<int, int>, std::string> written;
    if (written.contains({nodes, frames})) return written[{nodes, frames}];
    const std::string path =
        (kDir / ("journal-" + std::to_string(nodes) + "-" + std::to_string(frames) + ".otc"))
            .string();
    fs::create_directories(kDir);
    DirectSession session;
    journal::processJournal().start(path.c_str());
    buildLevel(nodes);
    for (int f = 0; f < frames; ++f) frame(session.host, f, frames);
    journal::processJournal().stop();
    return written[{nodes, frames}] = path;
}

void BM_Journal_Direct(benchmark::State& state) {
    const int nodes = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        DirectSession session;
        buildLevel(nodes);
        state.ResumeTiming();
        for (int f = 0; f < kFrames; ++f) frame(session.host, f, kFrames);
    }
    state.counters["frames"] = kFrames;
}
BENCHMARK(BM_Journal_Direct)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The replay of the whole session, and of its building alone: the frames
// cost the difference.
void BM_Journal_Otcull(benchmark::State& state) {
    const int frames = state.range(1) != 0 ? kFrames : 0;
    runVerb(state, {"run", journalFile(static_cast<int>(state.range(0)), frames)});
    state.counters["frames"] = frames;
}
BENCHMARK(BM_Journal_Otcull)
    ->ArgsProduct({{10000, 100000}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The page of the whole session (`otcull view`), beside `otcull run` of the
// same journal above: CPU time, and the page's size in bytes.
void BM_Otcull_ViewPage(benchmark::State& state) {
    const std::string page = (kDir / "page.html").string();
    runVerb(state, {"view", journalFile(static_cast<int>(state.range(0)), kFrames), "-o", page});
    state.counters["bytes"] = static_cast<double>(fs::file_size(page));
    state.counters["frames"] = kFrames;
}
BENCHMARK(BM_Otcull_ViewPage)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo::bench

BENCHMARK_MAIN();
