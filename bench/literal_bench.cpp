// The same scenes on the plain reference implementation (heap records,
// recursive walks, lists erased by value): the baseline the core's passes
// are compared against.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "commands/command_table.h"
#include "reference_model.h"
#include "scenes.h"

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
        reference::Camera& c = host.camera(0);
        std::copy(setup.view, setup.view + 16, c.view);
        std::copy(setup.projection, setup.projection + 16, c.projection);
        std::copy(setup.position, setup.position + 3, c.position);
        model.updateFrustum1();
    }
};

void reportPerNode(benchmark::State& state, double nodes) {
    state.counters["ns_per_node"] = benchmark::Counter(
        nodes * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_S1_OpenField_Literal(benchmark::State& state) {
    LiteralSession session;
    SceneBuilder scene = session.builder();
    buildOpenField(scene, 100'000);
    session.useCamera(openFieldCamera());
    for (auto _ : state) session.model.cullAll();
    reportPerNode(state, 100'000);
}
BENCHMARK(BM_S1_OpenField_Literal)->Unit(benchmark::kMicrosecond);

void BM_S2_Building_Literal(benchmark::State& state) {
    LiteralSession session;
    SceneBuilder scene = session.builder();
    buildBuilding(scene, 32);
    session.useCamera(buildingCamera(32));
    for (auto _ : state) session.model.cullAll();
    reportPerNode(state, static_cast<double>(session.model.nodeCount()));
}
BENCHMARK(BM_S2_Building_Literal)->Unit(benchmark::kMicrosecond);

void BM_S3_Deep_Literal(benchmark::State& state) {
    LiteralSession session;
    SceneBuilder scene = session.builder();
    buildDeepScene(scene, 1'000'000);
    session.useCamera(deepSceneCamera());
    for (auto _ : state) session.model.cullAll();
    reportPerNode(state, 1'000'000);
}
BENCHMARK(BM_S3_Deep_Literal)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo::bench
