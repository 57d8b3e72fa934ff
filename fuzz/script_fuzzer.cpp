// Any bytes as a culling script (or a journal, which is one), run by the
// script runner on the core and otcull's stand-in session: the runner must end with
// status 0 or one error line, and neither it nor the core may crash, hang or
// trip a sanitizer.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "script_runner.h"
#include "trace/standin_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostream out(nullptr);  // the host calls and results are not kept
    std::ostringstream err;
    tarvo::StandInSession session(out);
    tarvo::script::ScriptRunner runner(session, session, out);
    const int status = runner.runScript(in, "fuzz.otc", err);
    const std::string message = err.str();
    const bool oneLine = message.find('\n') == message.size() - 1;
    const bool wellEnded = status == 0 ? message.empty() : status == 2 && oneLine;
    if (wellEnded) return 0;
    std::fprintf(stderr, "status %d, standard error:\n%s\n", status, message.c_str());
    std::abort();
}
