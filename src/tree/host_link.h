// The host as the core calls it: a copy of the bound function table, with
// harmless stand-ins for every entry a host leaves empty, so no call site
// needs to check for a missing host.
#pragma once

#include "tarvo/host_api.h"

namespace tarvo {

class HostLink {
public:
    HostLink() { bind(nullptr); }

    // nullptr binds a host with no cameras, no objects and silent switches.
    void bind(const OtHostApi* api);

    void hide(int32_t object) const { api_.hide(api_.context, object); }
    void excludeOn(int32_t object) const { api_.excludeOn(api_.context, object); }
    void hideLimb(int32_t object, int32_t limb) const { api_.hideLimb(api_.context, object, limb); }
    void excludeOff(int32_t object) const { api_.excludeOff(api_.context, object); }
    void show(int32_t object) const { api_.show(api_.context, object); }
    void showLimb(int32_t object, int32_t limb) const { api_.showLimb(api_.context, object, limb); }

    void link() const { api_.link(api_.context); }
    int32_t currentCamera() const { return api_.currentCamera(api_.context); }
    bool findCamera(int32_t camera, OtCameraRef* out) const {
        return api_.findCamera(api_.context, camera, out) != 0;
    }
    bool findObject(int32_t object, OtBodyFigures* out) const {
        return api_.findObject(api_.context, object, out) != 0;
    }
    bool findLimb(int32_t object, int32_t limb, OtBodyFigures* out) const {
        return api_.findLimb(api_.context, object, limb, out) != 0;
    }

private:
    OtHostApi api_{};
};

}  // namespace tarvo
