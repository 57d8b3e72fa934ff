// A script run on the stand-in session, with the tap in between to keep the
// script's lines and time its passes.
#pragma once

#include <ostream>

#include "script_runner.h"
#include "trace/script_tap.h"
#include "trace/standin_session.h"

namespace tarvo {

struct TappedRun {
    // trace takes the host calls and results; a stream without a buffer
    // drops them.
    explicit TappedRun(std::ostream& trace)
        : session(trace), tap(session), runner(tap, session, trace) {
        tap.follow(runner);
    }
    TappedRun(const TappedRun&) = delete;
    TappedRun& operator=(const TappedRun&) = delete;

    StandInSession session;
    ScriptTap tap;
    script::ScriptRunner runner;
};

}  // namespace tarvo
