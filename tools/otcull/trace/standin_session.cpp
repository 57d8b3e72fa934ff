#include "trace/standin_session.h"

#include <algorithm>

#include "commands/invoke.h"
#include "commands/state.h"
#include "tarvo/culling.h"

namespace tarvo {
// The printing table's context is the session: switches print, every lookup
// goes on to the stand-in's own table.
StandInSession::StandInSession(std::ostream& out) : out_(out), tree_(cullingState()) {
    standIn_ = host_.api();
    printing_.context = this;
    printing_.hide = [](void* s, int32_t o) { print(s, script::HostSwitch::kHide, o, 0); };
    printing_.excludeOn = [](void* s, int32_t o) {
        print(s, script::HostSwitch::kExcludeOn, o, 0);
    };
    printing_.hideLimb = [](void* s, int32_t o, int32_t l) {
        print(s, script::HostSwitch::kHideLimb, o, l);
    };
    printing_.excludeOff = [](void* s, int32_t o) {
        print(s, script::HostSwitch::kExcludeOff, o, 0);
    };
    printing_.show = [](void* s, int32_t o) { print(s, script::HostSwitch::kShow, o, 0); };
    printing_.showLimb = [](void* s, int32_t o, int32_t l) {
        print(s, script::HostSwitch::kShowLimb, o, l);
    };
    printing_.link = [](void* s) {
        const OtHostApi& h = static_cast<StandInSession*>(s)->standIn_;
        h.link(h.context);
    };
    printing_.currentCamera = [](void* s) {
        const OtHostApi& h = static_cast<StandInSession*>(s)->standIn_;
        return h.currentCamera(h.context);
    };
    printing_.findCamera = [](void* s, int32_t camera, OtCameraRef* out) {
        const OtHostApi& h = static_cast<StandInSession*>(s)->standIn_;
        return h.findCamera(h.context, camera, out);
    };
    printing_.findObject = [](void* s, int32_t object, OtBodyFigures* out) {
        const OtHostApi& h = static_cast<StandInSession*>(s)->standIn_;
        return h.findObject(h.context, object, out);
    };
    printing_.findLimb = [](void* s, int32_t object, int32_t limb, OtBodyFigures* out) {
        const OtHostApi& h = static_cast<StandInSession*>(s)->standIn_;
        return h.findLimb(h.context, object, limb, out);
    };
    resetCullingState();
    ot_bind_host(&printing_);
    listeners_.add(passedPortals_);
    listeners_.attach(tree_);
}

StandInSession::~StandInSession() {
    PassListeners::detach(tree_);
    resetCullingState();
    ot_bind_host(nullptr);
}

void StandInSession::print(void* self, script::HostSwitch which, int32_t object, int32_t limb) {
    auto& session = *static_cast<StandInSession*>(self);
    ++session.hostCalls_;
    // A stream without a buffer drops the text: it is not worth making.
    if (session.out_.rdbuf() != nullptr) script::writeSwitch(session.out_, which, object, limb);
    if (session.switchWatcher_) session.switchWatcher_(which, object, limb);
}

uint32_t StandInSession::call(int id, std::span<const uint32_t> slots) {
    return static_cast<uint32_t>(invokeCommand(id, slots));
}

void StandInSession::setCameraMatrices(int32_t camera, const script::CameraMatrices& matrices) {
    StandInCamera& c = host_.camera(camera);
    std::copy(std::begin(matrices.view), std::end(matrices.view), c.view);
    std::copy(std::begin(matrices.projection), std::end(matrices.projection), c.projection);
}

void StandInSession::setCameraPosition(int32_t camera, const float position[3]) {
    std::copy(position, position + 3, host_.camera(camera).position);
}

}  // namespace tarvo
