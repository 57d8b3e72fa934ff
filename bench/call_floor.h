// The call floor: one pass's host calls recorded into an array, then replayed
// through the same host table with the same counting switches. No pass that
// makes those calls can cost less; pass / floor is what the core adds.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <vector>

#include "core_session.h"
#include "host/standin_host.h"

namespace tarvo::bench {

// This thread's CPU time: on a shared machine, time the thread spent waiting
// for a core would swamp the ratios.
struct ThreadClock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<ThreadClock>;
    static time_point now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(t.tv_sec * 1'000'000'000LL + t.tv_nsec));
    }
};

void replayHostCalls(const OtHostApi& api, const std::vector<HostCall>& calls);

// Times each pass and each replay of its recorded calls side by side, so that
// their ratio comes from the same moments of a noisy machine. An iteration
// is one pass from each camera in turn.
void benchPassAgainstFloor(benchmark::State& state, CoreSession& session,
                           const std::vector<CameraSetup>& cameras, double nodes);

// Frames that change the tree before the pass, timed against a pass with no
// change before it, interleaved the same way.
template <typename Edit>
void benchEditedPass(benchmark::State& state, CoreSession& session, Edit edit) {
    using Clock = ThreadClock;
    std::chrono::duration<double> edited{}, plain{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        edit();
        session.cullAll();
        const auto t1 = Clock::now();
        session.cullAll();
        const auto t2 = Clock::now();
        edited += t1 - t0;
        plain += t2 - t1;
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["plain_us"] = plain.count() * 1e6 / n;
    state.counters["edited_over_plain"] = edited.count() / plain.count();
}

}  // namespace tarvo::bench
