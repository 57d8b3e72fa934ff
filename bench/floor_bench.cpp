// Each pass scene against its call floor, and the S2 building with the tree
// changed before every pass.
#include <benchmark/benchmark.h>

#include "call_floor.h"
#include "tarvo/culling.h"

namespace tarvo::bench {
namespace {

void BM_CallFloor(benchmark::State& state) {
    const auto scene = static_cast<Scene>(state.range(0));
    CoreSession session;
    SceneBuilder builder = session.builder();
    buildScene(builder, scene);
    benchPassAgainstFloor(state, session, {cameraFor(scene)}, builder.boxCount());
}
BENCHMARK(BM_CallFloor)
    ->ArgName("scene")
    ->DenseRange(static_cast<int>(Scene::kOpenField), static_cast<int>(Scene::kDeep))
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

constexpr int kSide = 32;

// 16 items, spread over the building, moved back and forth by a little.
void BM_S2_MovesPerPass(benchmark::State& state) {
    CoreSession session;
    SceneBuilder builder = session.builder();
    const Building building = buildBuilding(builder, kSide);
    session.useCamera(buildingCamera(kSide));
    const size_t stride = building.items.size() / 16;
    float offset = 0.0f;
    benchEditedPass(state, session, [&] {
        offset = 0.25f - offset;
        for (size_t i = 0; i < 16; ++i) {
            const Building::Item& item = building.items[i * stride + i % 16];
            OT_SetPosition(item.node, item.x + offset, item.y, item.z + offset);
        }
    });
}
BENCHMARK(BM_S2_MovesPerPass)->UseManualTime()->Unit(benchmark::kMicrosecond);

// One item with an object created and the one made the frame before deleted,
// in a different room each time.
void BM_S2_CreateDeletePerPass(benchmark::State& state) {
    CoreSession session;
    SceneBuilder builder = session.builder();
    const Building building = buildBuilding(builder, kSide);
    session.useCamera(buildingCamera(kSide));
    size_t frame = 0;
    int32_t previous = 0;
    benchEditedPass(state, session, [&] {
        const size_t cell = (frame * 37) % building.rooms.size();
        const float x = static_cast<float>(cell % kSide) * 10.0f + static_cast<float>(frame % 7);
        const float z = static_cast<float>(cell / kSide) * 10.0f + 9.0f;
        const int32_t item = OT_CreateBox1(building.rooms[cell], x, 0, z, x + 1, 1, z + 0.5f, 1);
        OT_AddObject(item, building.nextObject);
        if (previous != 0) OT_Delete(previous);  // 0 would delete everything
        previous = item;
        ++frame;
    });
}
BENCHMARK(BM_S2_CreateDeletePerPass)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvo::bench
