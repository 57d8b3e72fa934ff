// What the recording flavour costs: one command through the shipped export,
// through the recording layer with no journal, and with a journal written
// and flushed per command; and the journal the demo's walk writes per frame.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>

#include "commands/journal/journal.h"
#include "core_session.h"
#include "demo/demo_run.h"

extern "C" void tarvo_unrecorded_OT_SetPosition(int32_t node, float x, float y, float z);
extern "C" int32_t tarvo_unrecorded_OT_TestPoint(float x, float y, float z);

namespace tarvo::bench {
namespace {

namespace fs = std::filesystem;

enum Way { kShipped, kNoJournal, kJournal };

const fs::path kJournalFile = fs::temp_directory_path() / "tarvo-record-bench.otc";

void startJournal(Way way) {
    if (way == kJournal) journal::processJournal().start(kJournalFile.c_str());
}

void BM_Record_SetPosition(benchmark::State& state) {
    const Way way = static_cast<Way>(state.range(0));
    CoreSession session;
    const int32_t node = OT_CreateSphere2(0, 0, 0, 0, 1);
    startJournal(way);
    float x = 0.0f;
    for (auto _ : state) {
        x += 0.25f;
        if (way == kShipped) {
            tarvo_unrecorded_OT_SetPosition(node, x, 1.0f, 2.0f);
        } else {
            OT_SetPosition(node, x, 1.0f, 2.0f);
        }
    }
    journal::processJournal().stop();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Record_SetPosition)->DenseRange(kShipped, kJournal)->Unit(benchmark::kNanosecond);

void BM_Record_TestPoint(benchmark::State& state) {
    const Way way = static_cast<Way>(state.range(0));
    CoreSession session;
    startJournal(way);
    float x = 0.0f;
    for (auto _ : state) {
        x += 0.25f;
        benchmark::DoNotOptimize(way == kShipped ? tarvo_unrecorded_OT_TestPoint(x, 1.0f, 2.0f)
                                                 : OT_TestPoint(x, 1.0f, 2.0f));
    }
    journal::processJournal().stop();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Record_TestPoint)->DenseRange(kNoJournal, kJournal)->Unit(benchmark::kNanosecond);

// The demo's walk: 64 rooms, the camera moved, the frustum taken and the
// whole tree culled every frame.
void BM_Record_DemoWalk(benchmark::State& state) {
    const Way way = static_cast<Way>(state.range(0));
    const DemoRunOptions options{};
    uintmax_t bytes = 0;
    for (auto _ : state) {
        startJournal(way);
        std::ostringstream out;
        std::ostringstream err;
        runDemo(options, out, err);
        journal::processJournal().stop();
        if (way == kJournal) bytes = fs::file_size(kJournalFile);
    }
    state.counters["frames"] = options.frames;
    state.counters["journal_bytes_per_frame"] = static_cast<double>(bytes) / options.frames;
}
BENCHMARK(BM_Record_DemoWalk)->DenseRange(kNoJournal, kJournal)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo::bench

BENCHMARK_MAIN();
