// The pass benchmarks again with an observer attached that does nothing, so
// that what reporting every decision costs can be set against the
// unobserved figures of BM_S1_OpenField, BM_S2_Building and BM_S3_Deep.
#include <benchmark/benchmark.h>

#include "core_session.h"
#include "scene_pass.h"
#include "tree/pass_observer.h"

namespace tarvo::bench {
namespace {

struct ObservedCoreSession : CoreSession {
    PassObserver observer{nullptr, [](void*, const PassEvent& event) {
                              benchmark::DoNotOptimize(&event);
                          }};

    ObservedCoreSession() { cullingState().setObserver(&observer); }
    ~ObservedCoreSession() { cullingState().setObserver(nullptr); }
};

void BM_S1_OpenField_Observed(benchmark::State& state) {
    benchScenePass<ObservedCoreSession>(state, Scene::kOpenField);
}
BENCHMARK(BM_S1_OpenField_Observed)->Unit(benchmark::kMicrosecond);

void BM_S2_Building_Observed(benchmark::State& state) {
    benchScenePass<ObservedCoreSession>(state, Scene::kBuilding);
}
BENCHMARK(BM_S2_Building_Observed)->Unit(benchmark::kMicrosecond);

void BM_S3_Deep_Observed(benchmark::State& state) {
    benchScenePass<ObservedCoreSession>(state, Scene::kDeep);
}
BENCHMARK(BM_S3_Deep_Observed)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo::bench
