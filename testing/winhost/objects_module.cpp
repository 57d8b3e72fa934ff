// TarvoBasic3D.dll of the stand-in engine: objects with their limbs and meshes.
#include <map>
#include <memory>
#include <vector>

#include "records.h"

namespace {

struct Object {
    std::unique_ptr<standin::ObjectRecord> record = std::make_unique<standin::ObjectRecord>();
    std::vector<std::unique_ptr<standin::LimbRecord>> limbs;
    std::vector<std::unique_ptr<standin::MeshRecord>> meshes;
    // The array the record points at. A few empty entries past the last limb
    // make a slightly-too-large limb number read "no limb" rather than stray memory.
    std::vector<standin::LimbRecord*> limbArray = std::vector<standin::LimbRecord*>(8, nullptr);
};

std::map<int32_t, Object> objects;
standin::SwitchSink sink = nullptr;

}  // namespace

extern "C" {

void* __cdecl standinGetObject(int32_t object) {
    const auto found = objects.find(object);
    return found == objects.end() ? nullptr : found->second.record.get();
}

standin::ObjectRecord* __cdecl standin_object_record(int32_t object) {
    Object& o = objects[object];
    o.record->limbs = o.limbArray.data();
    return o.record.get();
}

// The object must exist already; limbs without a record read as absent.
standin::LimbRecord* __cdecl standin_limb_record(int32_t object, int32_t limb) {
    const auto found = objects.find(object);
    if (found == objects.end() || limb < 0) return nullptr;
    Object& o = found->second;
    const auto index = static_cast<size_t>(limb);
    if (index + 8 > o.limbArray.size()) o.limbArray.resize(index + 8, nullptr);
    o.record->limbs = o.limbArray.data();
    if (!o.limbArray[index]) {
        o.limbs.push_back(std::make_unique<standin::LimbRecord>());
        o.meshes.push_back(std::make_unique<standin::MeshRecord>());
        o.limbs.back()->mesh = o.meshes.back().get();
        o.limbArray[index] = o.limbs.back().get();
    }
    return o.limbArray[index];
}

void __cdecl standin_set_switch_sink(standin::SwitchSink newSink) {
    sink = newSink;
}

// The engine has switches of the same names in other modules; the plug-in
// must call only the debug module's.
void __cdecl strayHide(int32_t object) {
    if (sink) sink(standin::kStray, object, 0);
}
void __cdecl strayShow(int32_t object) {
    if (sink) sink(standin::kStray, object, 0);
}

}  // extern "C"
