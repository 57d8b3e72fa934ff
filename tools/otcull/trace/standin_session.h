// The script runner's engine on Linux: the plug-in's own commands, bound to a
// stand-in host that prints every visibility switch the moment it is made,
// with every pass observed: for the plan view, and for whatever else asks.
#pragma once

#include <functional>
#include <ostream>

#include "host/standin_host.h"
#include "script_runner.h"
#include "trace/passed_portals.h"

namespace tarvo {

class StandInSession : public script::ScriptHost, public script::CommandCaller {
public:
    // Starts from a fresh culling state bound to this session's host; the
    // binding ends with the session.
    explicit StandInSession(std::ostream& out);
    ~StandInSession() override;
    StandInSession(const StandInSession&) = delete;
    StandInSession& operator=(const StandInSession&) = delete;

    uint32_t call(int id, std::span<const uint32_t> slots) override;
    // The tree the session's commands act on.
    const Tree& tree() const { return tree_; }
    const PassedPortals& passedPortals() const { return passedPortals_; }
    // Told of every event of every pass, after the portals passed are noted.
    void listen(PassListener& listener) { listeners_.add(listener); }
    // Visibility switches made since the session began.
    const uint64_t& hostCalls() const { return hostCalls_; }
    // Told of every visibility switch as it is made, after it is printed.
    using SwitchWatcher = std::function<void(script::HostSwitch, int32_t object, int32_t limb)>;
    void watchSwitches(SwitchWatcher watcher) { switchWatcher_ = std::move(watcher); }

    void setCameraMatrices(int32_t camera, const script::CameraMatrices& matrices) override;
    void setCameraPosition(int32_t camera, const float position[3]) override;
    void setCurrentCamera(int32_t camera) override { host_.setCurrentCamera(camera); }
    void setObject(int32_t object, const OtBodyFigures& figures) override {
        host_.setObject(object, figures);
    }
    bool setLimb(int32_t object, int32_t limb, const OtBodyFigures& figures) override {
        return host_.setLimb(object, limb, figures);
    }

private:
    static void print(void* self, script::HostSwitch which, int32_t object, int32_t limb);

    std::ostream& out_;
    Tree& tree_;  // the plug-in's one culling state, this session's while it lives
    StandInHost host_;
    OtHostApi standIn_{};  // the stand-in's own table, which the printing table forwards to
    OtHostApi printing_{};
    PassedPortals passedPortals_;
    PassListeners listeners_;
    uint64_t hostCalls_ = 0;
    SwitchWatcher switchWatcher_;
};

}  // namespace tarvo
