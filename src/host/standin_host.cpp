#include "host/standin_host.h"

namespace tarvo {

std::string formatHostCall(const HostCall& call) {
    static constexpr std::array<const char*, 6> kNames = {"Hide",       "ExcludeOn", "HideLimb",
                                                          "ExcludeOff", "Show",      "ShowLimb"};
    std::string text = kNames[static_cast<size_t>(call.op)];
    text += ' ';
    text += std::to_string(call.object);
    if (call.op == HostOp::kHideLimb || call.op == HostOp::kShowLimb) {
        text += ' ';
        text += std::to_string(call.limb);
    }
    return text;
}

void StandInHost::record(void* self, HostOp op, int32_t object, int32_t limb) {
    auto* host = static_cast<StandInHost*>(self);
    ++host->switchCount_;
    if (host->logging_) host->calls_.push_back({op, object, limb});
}

OtHostApi StandInHost::api() {
    OtHostApi api{};
    api.context = this;
    api.hide = [](void* h, int32_t o) { record(h, HostOp::kHide, o, 0); };
    api.excludeOn = [](void* h, int32_t o) { record(h, HostOp::kExcludeOn, o, 0); };
    api.hideLimb = [](void* h, int32_t o, int32_t l) { record(h, HostOp::kHideLimb, o, l); };
    api.excludeOff = [](void* h, int32_t o) { record(h, HostOp::kExcludeOff, o, 0); };
    api.show = [](void* h, int32_t o) { record(h, HostOp::kShow, o, 0); };
    api.showLimb = [](void* h, int32_t o, int32_t l) { record(h, HostOp::kShowLimb, o, l); };
    api.link = [](void* h) { ++static_cast<StandInHost*>(h)->linkCount_; };
    api.currentCamera = [](void* h) { return static_cast<StandInHost*>(h)->currentCamera_; };
    api.findCamera = [](void* h, int32_t number, OtCameraRef* out) -> int32_t {
        auto& cameras = static_cast<StandInHost*>(h)->cameras_;
        const auto found = cameras.find(number);
        if (found == cameras.end()) return 0;
        const StandInCamera& c = *found->second;
        *out = {c.projection, c.view, c.position};
        return 1;
    };
    api.findObject = [](void* h, int32_t number, OtBodyFigures* out) -> int32_t {
        auto& objects = static_cast<StandInHost*>(h)->objects_;
        const auto found = objects.find(number);
        if (found == objects.end()) return 0;
        *out = found->second.figures;
        return 1;
    };
    api.findLimb = [](void* h, int32_t number, int32_t limb, OtBodyFigures* out) -> int32_t {
        auto& objects = static_cast<StandInHost*>(h)->objects_;
        const auto found = objects.find(number);
        if (found == objects.end() || limb < 0) return 0;
        const auto defined = found->second.limbs.find(limb);
        if (defined == found->second.limbs.end()) return 0;
        *out = defined->second;
        return 1;
    };
    return api;
}

StandInCamera& StandInHost::camera(int32_t number) {
    auto& slot = cameras_[number];
    if (!slot) slot = std::make_unique<StandInCamera>();
    return *slot;
}

void StandInHost::setObject(int32_t number, const OtBodyFigures& figures) {
    objects_[number].figures = figures;
}

bool StandInHost::setLimb(int32_t object, int32_t limb, const OtBodyFigures& figures) {
    const auto found = objects_.find(object);
    if (found == objects_.end() || limb < 0) return false;
    found->second.limbs[limb] = figures;
    return true;
}

std::vector<HostCall> StandInHost::takeCalls() {
    std::vector<HostCall> taken;
    taken.swap(calls_);
    return taken;
}

}  // namespace tarvo
