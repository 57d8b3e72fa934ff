// The same scenes on the plain reference implementation (heap records,
// recursive walks, lists erased by value): the baseline the core's passes
// are compared against.
#include <benchmark/benchmark.h>

#include "commands/command_table.h"
#include "differential/reference_model.h"
#include "scene_pass.h"

namespace tarvo::bench {
namespace {

struct LiteralSession {
    reference::Host host;
    reference::Model model{host};

    LiteralSession() { host.setLogging(false); }
    SceneBuilder builder() {
        return SceneBuilder([this](std::string_view name, std::span<const uint32_t> slots) {
            return model.call(findCommandByExport(name)->id, slots);
        });
    }
    void useCamera(const CameraSetup& setup) {
        copyCamera(setup, host.camera(0));
        model.updateFrustum1();
    }
    void cullAll() { model.cullAll(); }
};

void BM_S1_OpenField_Literal(benchmark::State& state) {
    benchScenePass<LiteralSession>(state, Scene::kOpenField);
}
BENCHMARK(BM_S1_OpenField_Literal)->Unit(benchmark::kMicrosecond);

void BM_S2_Building_Literal(benchmark::State& state) {
    benchScenePass<LiteralSession>(state, Scene::kBuilding);
}
BENCHMARK(BM_S2_Building_Literal)->Unit(benchmark::kMicrosecond);

void BM_S3_Deep_Literal(benchmark::State& state) {
    benchScenePass<LiteralSession>(state, Scene::kDeep);
}
BENCHMARK(BM_S3_Deep_Literal)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo::bench
