// The model's own host: the cameras, objects and limbs it reads, and the
// switches the model asks of it.
#include "differential/reference_model.h"

namespace tarvo::reference {

const Camera* Host::findCamera(int32_t number) const {
    const auto found = cameras_.find(number);
    return found == cameras_.end() ? nullptr : &found->second;
}

bool Host::setLimb(int32_t object, int32_t limb, const Body& body) {
    const auto found = objects_.find(object);
    if (found == objects_.end() || limb < 0) return false;
    found->second.limbs[limb] = body;
    return true;
}

const Body* Host::findObject(int32_t number) const {
    const auto found = objects_.find(number);
    return found == objects_.end() ? nullptr : &found->second.body;
}

const Body* Host::findLimb(int32_t object, int32_t limb) const {
    const auto found = objects_.find(object);
    if (found == objects_.end()) return nullptr;
    const auto l = found->second.limbs.find(limb);
    return l == found->second.limbs.end() ? nullptr : &l->second;
}

void Host::call(HostOp op, int32_t object, int32_t limb) {
    ++switchCount_;
    if (logging_) calls_.push_back({op, object, limb});
}

std::vector<HostCall> Host::takeCalls() {
    std::vector<HostCall> taken;
    taken.swap(calls_);
    return taken;
}

}  // namespace tarvo::reference
