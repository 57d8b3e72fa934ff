// One pass over a benchmark scene, timed, for any implementation that offers
// a session with builder(), useCamera(setup) and cullAll().
#pragma once

#include <benchmark/benchmark.h>

#include "scenes.h"

namespace tarvo::bench {

// Nanoseconds per node (or per test) of one iteration.
inline void reportPerNode(benchmark::State& state, double nodes) {
    state.counters["ns_per_node"] = benchmark::Counter(
        nodes * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <typename Session>
void benchScenePass(benchmark::State& state, Scene scene) {
    Session session;
    SceneBuilder builder = session.builder();
    buildScene(builder, scene);
    session.useCamera(cameraFor(scene));
    for (auto _ : state) session.cullAll();
    reportPerNode(state, builder.boxCount());
}

}  // namespace tarvo::bench
