// Any bytes as a culling script (or a journal, which is one), run by the
// script runner on the core and otcull's stand-in session, then recorded and
// written as `otcull view`'s page: each must end with status 0 or one error
// line, and neither may crash, hang, outgrow the memory limit or trip a
// sanitizer.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "script_runner.h"
#include "trace/standin_session.h"
#include "view/session_recorder.h"
#include "view/view_page.h"

namespace {

// The runner's note on a skipped svg statement is the one other line allowed.
void expectWellEnded(const char* what, int status, std::string message) {
    if (message.find(": note: ") < message.find('\n')) message.erase(0, message.find('\n') + 1);
    const bool oneLine = message.find('\n') == message.size() - 1;
    const bool wellEnded = status == 0 ? message.empty() : status == 2 && oneLine;
    if (wellEnded) return;
    std::fprintf(stderr, "%s: status %d, standard error:\n%s\n", what, status, message.c_str());
    std::abort();
}

void run(const std::string& script) {
    std::istringstream in(script);
    std::ostream out(nullptr);  // the host calls and results are not kept
    std::ostringstream err;
    tarvo::StandInSession session(out);
    tarvo::script::ScriptRunner runner(session, session, out);
    expectWellEnded("run", runner.runScript(in, "fuzz.otc", err), err.str());
}

void view(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream err;
    tarvo::ViewSession session;
    const int status = tarvo::recordSession(in, "fuzz.otc", session, err);
    std::ostream page(nullptr);
    tarvo::writeViewPage(session, page);
    expectWellEnded("view", status, err.str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    run(script);
    view(script);
    return 0;
}
