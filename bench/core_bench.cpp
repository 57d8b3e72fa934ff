// The core's figures: passes over the benchmark scenes, the tree churn, the
// volume tests, and the floor a pass cannot beat.
#include <benchmark/benchmark.h>

#include <random>

#include "commands/state.h"
#include "core_session.h"
#include "counting_allocator.h"
#include "scene_pass.h"
#include "tarvo/culling.h"
#include "tree/frustum.h"

namespace tarvo::bench {
namespace {

void BM_S1_OpenField(benchmark::State& state) {
    benchScenePass<CoreSession>(state, Scene::kOpenField);
}
BENCHMARK(BM_S1_OpenField)->Unit(benchmark::kMicrosecond);

// The floor: the same in-view booleans for the same boxes, as a structure of
// arrays, with nothing else to do.
void BM_S1_Floor(benchmark::State& state) {
    CoreSession session;
    SceneBuilder scene = session.builder();
    const BoxSet boxes = buildOpenField(scene, 100'000);
    session.useCamera(openFieldCamera());
    const OtFrustum& f = cullingState().frustum();
    const size_t n = boxes.ax.size();
    std::vector<uint8_t> inView(n);
    for (auto _ : state) {
        std::fill(inView.begin(), inView.end(), 1);
        // Per plane, the corner farthest along its normal decides.
        for (const Plane& p : f.planes) {
            const float* x = p.a > 0 ? boxes.bx.data() : boxes.ax.data();
            const float* y = p.b > 0 ? boxes.by.data() : boxes.ay.data();
            const float* z = p.c > 0 ? boxes.bz.data() : boxes.az.data();
            uint8_t* out = inView.data();
            for (size_t i = 0; i < n; ++i) {
                out[i] &= static_cast<uint8_t>(p.a * x[i] + p.b * y[i] + p.c * z[i] + p.d > 0);
            }
        }
        benchmark::DoNotOptimize(inView.data());
        benchmark::ClobberMemory();
    }
    reportPerNode(state, 100'000);
}
BENCHMARK(BM_S1_Floor)->Unit(benchmark::kMicrosecond);

void BM_S2_Building(benchmark::State& state) {
    benchScenePass<CoreSession>(state, Scene::kBuilding);
}
BENCHMARK(BM_S2_Building)->Unit(benchmark::kMicrosecond);

void BM_S3_Deep(benchmark::State& state) {
    benchScenePass<CoreSession>(state, Scene::kDeep);
}
BENCHMARK(BM_S3_Deep)->Unit(benchmark::kMillisecond);

void BM_S4_CreateDeleteAll(benchmark::State& state) {
    CoreSession session;
    const int count = static_cast<int>(state.range(0));
    // One round first, so that the storage has grown: the figure is the
    // steady cost of building and clearing a level of this size.
    for (int i = 0; i < count; ++i) OT_CreateBox2(0, 0, 0, 0, 1, 1, 1);
    OT_DeleteAll();
    for (auto _ : state) {
        for (int i = 0; i < count; ++i) OT_CreateBox2(0, 0, 0, 0, 1, 1, 1);
        OT_DeleteAll();
    }
    reportPerNode(state, count);
}
BENCHMARK(BM_S4_CreateDeleteAll)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_S4_DeleteSiblings(benchmark::State& state) {
    CoreSession session;
    const bool reverse = state.range(0) != 0;
    const int count = static_cast<int>(state.range(1));
    std::vector<int32_t> children(static_cast<size_t>(count));
    for (auto _ : state) {
        state.PauseTiming();
        const int32_t parent = OT_CreateBox2(0, 0, 0, 0, 1, 1, 1);
        for (int32_t& c : children) c = OT_CreateBox2(parent, 0, 0, 0, 1, 1, 1);
        if (reverse) std::reverse(children.begin(), children.end());
        state.ResumeTiming();
        for (int32_t c : children) OT_Delete(c);
        state.PauseTiming();
        OT_DeleteAll();
        state.ResumeTiming();
    }
    reportPerNode(state, count);
}
// Forward (0) and reverse (1) creation order, at two sizes to show linearity.
BENCHMARK(BM_S4_DeleteSiblings)
    ->Args({0, 10'000})
    ->Args({0, 100'000})
    ->Args({1, 10'000})
    ->Args({1, 100'000})
    ->Unit(benchmark::kMillisecond);

void BM_S4_SetParentMoves(benchmark::State& state) {
    CoreSession session;
    std::vector<int32_t> parents, nodes;
    for (int i = 0; i < 1000; ++i) parents.push_back(OT_CreateBox2(0, 0, 0, 0, 1, 1, 1));
    for (int i = 0; i < 100'000; ++i)
        nodes.push_back(OT_CreateBox2(parents[i % 1000], 0, 0, 0, 1, 1, 1));
    std::mt19937 random(3);
    std::vector<int32_t> targets(nodes.size());
    for (int32_t& t : targets) t = parents[random() % parents.size()];
    for (auto _ : state) {
        for (size_t i = 0; i < nodes.size(); ++i) OT_SetParent(nodes[i], targets[i]);
        std::rotate(targets.begin(), targets.begin() + 1, targets.end());
    }
    reportPerNode(state, 100'000);
}
BENCHMARK(BM_S4_SetParentMoves)->Unit(benchmark::kMillisecond);

template <int Kind>
void BM_T_Tests(benchmark::State& state) {
    CoreSession session;
    session.useCamera(openFieldCamera());
    std::mt19937 random(11);
    std::uniform_real_distribution<float> coordinate(-900.0f, 900.0f);
    std::uniform_real_distribution<float> extent(0.5f, 20.0f);
    struct Volume {
        float x, y, z, sx, sy, sz;
    };
    std::vector<Volume> volumes(1'000'000);
    for (Volume& v : volumes) {
        v = {coordinate(random), coordinate(random) * 0.1f,
             coordinate(random), extent(random),
             extent(random),     extent(random)};
    }
    for (auto _ : state) {
        int32_t inView = 0;
        for (const Volume& v : volumes) {
            if constexpr (Kind == 0) {
                inView += OT_TestBox(v.x, v.y, v.z, v.x + v.sx, v.y + v.sy, v.z + v.sz);
            } else if constexpr (Kind == 1) {
                inView += OT_TestSphere(v.x, v.y, v.z, v.sx);
            } else {
                inView += OT_TestPoint(v.x, v.y, v.z);
            }
        }
        benchmark::DoNotOptimize(inView);
    }
    reportPerNode(state, 1'000'000);
}
BENCHMARK(BM_T_Tests<0>)->Name("BM_T_TestBox")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_T_Tests<1>)->Name("BM_T_TestSphere")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_T_Tests<2>)->Name("BM_T_TestPoint")->Unit(benchmark::kMillisecond);

// Heap bytes per node, everything the tree keeps for a node included (its
// record and the pass's reserved stack): bare nodes, and nodes with one
// object hung on each, as in a real level.
void BM_MemoryPerNode(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const bool withObject = state.range(1) != 0;
    for (auto _ : state) {
        CoreSession session;
        const int64_t before = heapBytesInUse();
        for (int i = 0; i < count; ++i) {
            const int32_t node = OT_CreateBox2(0, 0, 0, 0, 1, 1, 1);
            if (withObject) OT_AddObject(node, i + 1);
        }
        state.counters["bytes_per_node"] = static_cast<double>(heapBytesInUse() - before) / count;
    }
}
BENCHMARK(BM_MemoryPerNode)
    ->ArgNames({"nodes", "objects"})
    ->ArgsProduct({{100'000, 1'000'000}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvo::bench

BENCHMARK_MAIN();
