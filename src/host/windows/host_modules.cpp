#include "host/windows/host_modules.h"

#include <cstring>

namespace tarvo::win {
namespace {

template <typename T>
T readAt(const std::byte* record, std::size_t offset) {
    T value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

// Addresses inside host records are 32-bit whatever the pointer size of the
// program reading them.
const std::byte* addressAt(const std::byte* record, std::size_t offset) {
    return reinterpret_cast<const std::byte*>(
        static_cast<std::uintptr_t>(readAt<uint32_t>(record, offset)));
}

void readTriple(const std::byte* record, std::size_t offset, float out[3]) {
    std::memcpy(out, record + offset, 3 * sizeof(float));
}

template <typename Function>
Function entryAs(EntryAddress address) {
    return reinterpret_cast<Function>(address);
}

}  // namespace

OtHostApi HostModules::api() {
    OtHostApi api{};
    api.context = this;
    api.hide = [](void* self, int32_t o) { static_cast<HostModules*>(self)->hide(o); };
    api.excludeOn = [](void* self, int32_t o) { static_cast<HostModules*>(self)->excludeOn(o); };
    api.hideLimb = [](void* self, int32_t o, int32_t l) {
        static_cast<HostModules*>(self)->hideLimb(o, l);
    };
    api.excludeOff = [](void* self, int32_t o) { static_cast<HostModules*>(self)->excludeOff(o); };
    api.show = [](void* self, int32_t o) { static_cast<HostModules*>(self)->show(o); };
    api.showLimb = [](void* self, int32_t o, int32_t l) {
        static_cast<HostModules*>(self)->showLimb(o, l);
    };
    api.link = [](void* self) { static_cast<HostModules*>(self)->link(); };
    api.currentCamera = [](void* self) {
        return static_cast<const HostModules*>(self)->currentCamera();
    };
    api.findCamera = [](void* self, int32_t camera, OtCameraRef* out) -> int32_t {
        return static_cast<const HostModules*>(self)->findCamera(camera, out);
    };
    api.findObject = [](void* self, int32_t object, OtBodyFigures* out) -> int32_t {
        return static_cast<const HostModules*>(self)->findObject(object, out);
    };
    api.findLimb = [](void* self, int32_t object, int32_t limb, OtBodyFigures* out) -> int32_t {
        return static_cast<const HostModules*>(self)->findLimb(object, limb, out);
    };
    return api;
}

void HostModules::link() {
    entries_.fillOnce(windows_);
    if (!getInternalData_) {
        getInternalData_ =
            entryAs<GetRecord>(lookUpInModuleAt(layout::kGlobalCameraModule, kGetInternalData));
    }
    if (!getObject_) {
        getObject_ = entryAs<GetRecord>(lookUpInModuleAt(layout::kGlobalObjectModule, kGetObject));
    }
}

const std::byte* HostModules::globalRecord() {
    if (global_) return global_;
    const ModuleHandle core = windows_.load(kCoreModule);
    if (!core) return nullptr;
    const EntryAddress entry = windows_.lookUp(core, kGetGlobPtr);
    // The host holds its own reference to its core module, so ours can go
    // before the call.
    windows_.release(core);
    if (entry) {
        global_ = reinterpret_cast<const std::byte*>(
            static_cast<std::uintptr_t>(entryAs<GetGlobPtr>(entry)()));
    }
    return global_;
}

EntryAddress HostModules::lookUpInModuleAt(std::size_t offset, const char* name) {
    const std::byte* global = globalRecord();
    if (!global) return nullptr;
    const ModuleHandle module = const_cast<std::byte*>(addressAt(global, offset));
    return module ? windows_.lookUp(module, name) : nullptr;
}

int32_t HostModules::currentCamera() const {
    return global_ ? readAt<int32_t>(global_, layout::kGlobalCurrentCamera) : 0;
}

bool HostModules::findCamera(int32_t camera, OtCameraRef* out) const {
    if (!getInternalData_) return false;
    const std::byte* record = getInternalData_(camera);
    if (!record) return false;
    out->projection = reinterpret_cast<const float*>(record + layout::kCameraProjection);
    out->view = reinterpret_cast<const float*>(record + layout::kCameraView);
    out->position = reinterpret_cast<const float*>(record + layout::kCameraPosition);
    return true;
}

bool HostModules::findObject(int32_t object, OtBodyFigures* out) const {
    if (!getObject_) return false;
    const std::byte* record = getObject_(object);
    if (!record) return false;
    readTriple(record, layout::kObjectPosition, out->position);
    readTriple(record, layout::kObjectBoundsMin, out->boundsMin);
    readTriple(record, layout::kObjectBoundsMax, out->boundsMax);
    out->radius = readAt<float>(record, layout::kObjectRadius);
    return true;
}

bool HostModules::findLimb(int32_t object, int32_t limb, OtBodyFigures* out) const {
    if (!getObject_ || limb < 0) return false;
    const std::byte* record = getObject_(object);
    if (!record) return false;
    const std::byte* limbs = addressAt(record, layout::kObjectLimbs);
    if (!limbs) return false;
    const std::byte* limbRecord = addressAt(limbs, static_cast<std::size_t>(limb) * 4);
    if (!limbRecord) return false;
    const std::byte* mesh = addressAt(limbRecord, layout::kLimbMesh);
    if (!mesh) return false;
    readTriple(limbRecord, layout::kLimbPosition, out->position);
    readTriple(mesh, layout::kMeshBoundsMin, out->boundsMin);
    readTriple(mesh, layout::kMeshBoundsMax, out->boundsMax);
    out->radius = readAt<float>(mesh, layout::kMeshRadius);
    return true;
}

void HostModules::callSwitch(std::size_t slot, int32_t object) const {
    if (const EntryAddress entry = entries_.slot(slot)) entryAs<Switch>(entry)(object);
}

void HostModules::callLimbSwitch(std::size_t slot, int32_t object, int32_t limb) const {
    if (const EntryAddress entry = entries_.slot(slot)) entryAs<LimbSwitch>(entry)(object, limb);
}

}  // namespace tarvo::win
