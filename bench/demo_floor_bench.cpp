// The demo's building against its call floor: passes from sixteen points of
// the demo's walk, through rooms, down the stairs and out into the yard.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "call_floor.h"
#include "camera_math.h"
#include "demo/demo_scene.h"
#include "demo/demo_walk.h"

namespace tarvo::bench {
namespace {

// The demo's own lens.
CameraSetup demoCamera(const CameraPose& pose) {
    script::LookAt lookAt{};
    std::copy(std::begin(pose.eye), std::end(pose.eye), lookAt.eye);
    std::copy(std::begin(pose.target), std::end(pose.target), lookAt.target);
    lookAt.fovDegrees = 70.0;
    lookAt.aspect = 16.0 / 9.0;
    lookAt.zNear = 0.1;
    lookAt.zFar = 150.0;
    const script::CameraMatrices m = script::lookAtMatrices(lookAt);
    CameraSetup setup{};
    std::copy(std::begin(m.view), std::end(m.view), setup.view);
    std::copy(std::begin(m.projection), std::end(m.projection), setup.projection);
    for (int i = 0; i < 3; ++i) setup.position[i] = static_cast<float>(pose.eye[i]);
    return setup;
}

void BM_CallFloor_Demo(benchmark::State& state) {
    CoreSession session;
    const DemoScene scene = buildDemoScene(session.host, DemoOptions{});
    const DemoWalk walk(scene);
    constexpr int kPoses = 16;
    std::vector<CameraSetup> cameras;
    for (int i = 0; i < kPoses; ++i) cameras.push_back(demoCamera(walk.at(i / (kPoses - 1.0))));
    benchPassAgainstFloor(state, session, cameras, cullingState().liveNodeCount());
}
BENCHMARK(BM_CallFloor_Demo)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvo::bench
