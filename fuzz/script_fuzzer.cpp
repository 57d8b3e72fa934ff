// Any bytes as a culling script (or a journal, which is one), run by the
// script runner on the core and a stand-in host: the runner must end with
// status 0 or one error line, and neither it nor the core may crash, hang or
// trip a sanitizer.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "commands/invoke.h"
#include "commands/state.h"
#include "host/standin_host.h"
#include "script_runner.h"
#include "tarvo/culling.h"

namespace {

using namespace tarvo;

class Session : public script::CommandCaller, public script::ScriptHost {
public:
    Session() {
        resetCullingState();
        host_.setLogging(false);
        api_ = host_.api();
        ot_bind_host(&api_);
    }
    ~Session() override {
        resetCullingState();
        ot_bind_host(nullptr);
    }

    uint32_t call(int id, std::span<const uint32_t> slots) override {
        return static_cast<uint32_t>(invokeCommand(id, slots));
    }
    void setCameraMatrices(int32_t camera, const script::CameraMatrices& m) override {
        StandInCamera& c = host_.camera(camera);
        std::copy(std::begin(m.view), std::end(m.view), c.view);
        std::copy(std::begin(m.projection), std::end(m.projection), c.projection);
    }
    void setCameraPosition(int32_t camera, const float position[3]) override {
        std::copy(position, position + 3, host_.camera(camera).position);
    }
    void setCurrentCamera(int32_t camera) override { host_.setCurrentCamera(camera); }
    void setObject(int32_t object, const OtBodyFigures& figures) override {
        host_.setObject(object, figures);
    }
    bool setLimb(int32_t object, int32_t limb, const OtBodyFigures& figures) override {
        return host_.setLimb(object, limb, figures);
    }

private:
    StandInHost host_;
    OtHostApi api_{};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out;
    std::ostringstream err;
    Session session;
    script::ScriptRunner runner(session, session, out);
    const int status = runner.runScript(in, "fuzz.otc", err);
    const std::string message = err.str();
    const bool oneLine = message.find('\n') == message.size() - 1;
    const bool wellEnded = status == 0 ? message.empty() : status == 2 && oneLine;
    if (wellEnded) return 0;
    std::fprintf(stderr, "status %d, standard error:\n%s\n", status, message.c_str());
    std::abort();
}
