// The engine's records as the stand-in host lays them out: only the fields
// the plug-in reads, each at its byte offset, with padding between.
#pragma once

#include <cstddef>
#include <cstdint>

static_assert(sizeof(void*) == 4, "the host's records hold 32-bit addresses");

namespace standin {

struct GlobalRecord {
    std::byte before0x64[0x64];
    void* objectModule;  // module of ?GetObjectA@@YAPAUsObject@@H@Z
    void* cameraModule;  // module of ?GetInternalData@@YAPAXH@Z
    std::byte before0x32C[0x32C - 0x6C];
    int32_t currentCamera;
};
static_assert(offsetof(GlobalRecord, objectModule) == 0x64);
static_assert(offsetof(GlobalRecord, cameraModule) == 0x68);
static_assert(offsetof(GlobalRecord, currentCamera) == 0x32C);

struct CameraRecord {
    float projection[16];
    float view[16];
    std::byte before164[164 - 128];
    float position[3];
};
static_assert(offsetof(CameraRecord, view) == 64);
static_assert(offsetof(CameraRecord, position) == 164);

struct MeshRecord {
    std::byte before0x480[0x480];
    float boundsMin[3];
    float boundsMax[3];
    std::byte before0x4B0[0x4B0 - 0x498];
    float radius;
};
static_assert(offsetof(MeshRecord, boundsMin) == 0x480);
static_assert(offsetof(MeshRecord, boundsMax) == 0x48C);
static_assert(offsetof(MeshRecord, radius) == 0x4B0);

struct LimbRecord {
    std::byte before0x2C4[0x2C4];
    float position[3];
    std::byte before0x2F8[0x2F8 - 0x2D0];
    MeshRecord* mesh;
};
static_assert(offsetof(LimbRecord, position) == 0x2C4);
static_assert(offsetof(LimbRecord, mesh) == 0x2F8);

struct ObjectRecord {  // the engine's sObject
    std::byte before0x0C[0x0C];
    LimbRecord** limbs;
    std::byte before0x18[0x18 - 0x10];
    float boundsMin[3];
    float boundsMax[3];
    std::byte before0x48[0x48 - 0x30];
    float radius;
    std::byte before0x84[0x84 - 0x4C];
    float position[3];
};
static_assert(offsetof(ObjectRecord, limbs) == 0x0C);
static_assert(offsetof(ObjectRecord, boundsMin) == 0x18);
static_assert(offsetof(ObjectRecord, boundsMax) == 0x24);
static_assert(offsetof(ObjectRecord, radius) == 0x48);
static_assert(offsetof(ObjectRecord, position) == 0x84);

// One visibility switch as the debug module reports it to the host program.
enum SwitchOp : int32_t { kHide, kExcludeOn, kHideLimb, kExcludeOff, kShow, kShowLimb, kStray };
using SwitchSink = void(__cdecl*)(int32_t op, int32_t object, int32_t limb);

}  // namespace standin

// Control entry points the host program uses to set the records up; plain
// names, beside the engine's decorated ones.
extern "C" {
typedef standin::CameraRecord*(__cdecl* StandinCameraRecordFn)(int32_t camera);
typedef standin::ObjectRecord*(__cdecl* StandinObjectRecordFn)(int32_t object);
typedef standin::LimbRecord*(__cdecl* StandinLimbRecordFn)(int32_t object, int32_t limb);
typedef void(__cdecl* StandinSetSinkFn)(standin::SwitchSink sink);
}
