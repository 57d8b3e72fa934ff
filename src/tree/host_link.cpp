#include "tree/host_link.h"

namespace tarvo {
namespace {

void ignoreObject(void*, int32_t) {}
void ignoreLimb(void*, int32_t, int32_t) {}
void ignoreLink(void*) {}
int32_t cameraZero(void*) {
    return 0;
}
int32_t noCamera(void*, int32_t, OtCameraRef*) {
    return 0;
}
int32_t noObject(void*, int32_t, OtBodyFigures*) {
    return 0;
}
int32_t noLimb(void*, int32_t, int32_t, OtBodyFigures*) {
    return 0;
}

template <typename F>
void fill(F& slot, F given, F fallback) {
    slot = given ? given : fallback;
}

}  // namespace

void HostLink::bind(const OtHostApi* api) {
    const OtHostApi none{};
    const OtHostApi& from = api ? *api : none;
    api_.context = from.context;
    fill(api_.hide, from.hide, &ignoreObject);
    fill(api_.excludeOn, from.excludeOn, &ignoreObject);
    fill(api_.hideLimb, from.hideLimb, &ignoreLimb);
    fill(api_.excludeOff, from.excludeOff, &ignoreObject);
    fill(api_.show, from.show, &ignoreObject);
    fill(api_.showLimb, from.showLimb, &ignoreLimb);
    fill(api_.link, from.link, &ignoreLink);
    fill(api_.currentCamera, from.currentCamera, &cameraZero);
    fill(api_.findCamera, from.findCamera, &noCamera);
    fill(api_.findObject, from.findObject, &noObject);
    fill(api_.findLimb, from.findLimb, &noLimb);
}

}  // namespace tarvo
