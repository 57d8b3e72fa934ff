#include "call_floor.h"

namespace tarvo::bench {

void replayHostCalls(const OtHostApi& api, const std::vector<HostCall>& calls) {
    for (const HostCall& c : calls) {
        switch (c.op) {
            case HostOp::kHide:
                api.hide(api.context, c.object);
                break;
            case HostOp::kExcludeOn:
                api.excludeOn(api.context, c.object);
                break;
            case HostOp::kHideLimb:
                api.hideLimb(api.context, c.object, c.limb);
                break;
            case HostOp::kExcludeOff:
                api.excludeOff(api.context, c.object);
                break;
            case HostOp::kShow:
                api.show(api.context, c.object);
                break;
            case HostOp::kShowLimb:
                api.showLimb(api.context, c.object, c.limb);
                break;
        }
    }
}

namespace {

// The calls one OT_CullAll makes, with the host counting again afterwards.
std::vector<HostCall> recordOnePass(CoreSession& session) {
    session.host.setLogging(true);
    session.cullAll();
    session.host.setLogging(false);
    return session.host.takeCalls();
}

}  // namespace

void benchPassAgainstFloor(benchmark::State& state, CoreSession& session,
                           const std::vector<CameraSetup>& cameras, double nodes) {
    using Clock = ThreadClock;
    std::vector<std::vector<HostCall>> calls;
    size_t callCount = 0;
    for (const CameraSetup& camera : cameras) {
        session.useCamera(camera);
        calls.push_back(recordOnePass(session));
        callCount += calls.back().size();
    }
    std::chrono::duration<double> pass{}, floor{};
    for (auto _ : state) {
        std::chrono::duration<double> iteration{};
        for (size_t i = 0; i < cameras.size(); ++i) {
            if (cameras.size() > 1) session.useCamera(cameras[i]);
            const auto t0 = Clock::now();
            session.cullAll();
            const auto t1 = Clock::now();
            replayHostCalls(session.api, calls[i]);
            const auto t2 = Clock::now();
            iteration += t1 - t0;
            floor += t2 - t1;
        }
        pass += iteration;
        state.SetIterationTime(iteration.count());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["host_calls"] = static_cast<double>(callCount);
    state.counters["floor_us"] = floor.count() * 1e6 / n;
    state.counters["pass_over_floor"] = pass.count() / floor.count();
    state.counters["ns_per_node"] =
        pass.count() * 1e9 / n / nodes / static_cast<double>(cameras.size());
}

}  // namespace tarvo::bench
