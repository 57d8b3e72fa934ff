// TarvoBasic3DDebug.dll of the stand-in engine: the six visibility switches,
// each reported to the host program in the order made.
#include "records.h"

namespace {
standin::SwitchSink sink = nullptr;

void report(standin::SwitchOp op, int32_t object, int32_t limb) {
    if (sink) sink(op, object, limb);
}
}  // namespace

extern "C" {
void __cdecl standinHide(int32_t object) {
    report(standin::kHide, object, 0);
}
void __cdecl standinExcludeOn(int32_t object) {
    report(standin::kExcludeOn, object, 0);
}
void __cdecl standinHideLimb(int32_t object, int32_t limb) {
    report(standin::kHideLimb, object, limb);
}
void __cdecl standinExcludeOff(int32_t object) {
    report(standin::kExcludeOff, object, 0);
}
void __cdecl standinShow(int32_t object) {
    report(standin::kShow, object, 0);
}
void __cdecl standinShowLimb(int32_t object, int32_t limb) {
    report(standin::kShowLimb, object, limb);
}
void __cdecl standin_set_switch_sink(standin::SwitchSink newSink) {
    sink = newSink;
}
}  // extern "C"
