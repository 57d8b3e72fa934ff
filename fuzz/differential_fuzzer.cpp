// Bytes become a short program of commands and host changes; each command
// runs on the core and on the reference model, and any difference in results,
// host calls or trees, or a broken core invariant, is a crash with the
// program's trace printed.
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "differential/differential.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    std::string divergence;
    {
        tarvo::reliability::Differential run;
        divergence = run.runProgram(bytes, nullptr);
    }
    // TARVO_TRACE=1 prints every program run, to see what the decoding makes.
    static const bool traceAlways = std::getenv("TARVO_TRACE") != nullptr;
    if (divergence.empty() && !traceAlways) return 0;

    // Run again with a trace, for the report and for turning it into a test.
    std::vector<std::string> trace;
    {
        tarvo::reliability::Differential run;
        run.runProgram(bytes, &trace);
    }
    for (const std::string& line : trace) std::fprintf(stderr, "  %s\n", line.c_str());
    if (divergence.empty()) return 0;
    std::fprintf(stderr, "DIVERGENCE: %s\n", divergence.c_str());
    std::abort();
}
