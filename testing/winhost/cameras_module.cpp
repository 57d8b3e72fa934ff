// TarvoCamera.dll of the stand-in engine: camera records by number.
#include <map>
#include <memory>

#include "records.h"

namespace {
// Records keep their address while the camera lives, as the engine's do.
std::map<int32_t, std::unique_ptr<standin::CameraRecord>> cameras;
}  // namespace

extern "C" {

void* __cdecl standinGetInternalData(int32_t camera) {
    const auto found = cameras.find(camera);
    return found == cameras.end() ? nullptr : found->second.get();
}

standin::CameraRecord* __cdecl standin_camera_record(int32_t camera) {
    auto& slot = cameras[camera];
    if (!slot) slot = std::make_unique<standin::CameraRecord>();
    return slot.get();
}

}  // extern "C"
