// The host link of the Windows plug-in: finds the host's modules and entry
// points, and reads its camera, object, limb and mesh records. This is the
// only code that knows the host's byte layouts; the core sees the host only
// through the OtHostApi that api() gives.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/windows/entry_table.h"
#include "host/windows/module_functions.h"
#include "tarvo/host_api.h"

namespace tarvo::win {

// Byte offsets into records the host owns. Addresses and module handles in
// them are 32 bits wide.
namespace layout {
inline constexpr std::size_t kGlobalObjectModule = 0x64;
inline constexpr std::size_t kGlobalCameraModule = 0x68;
inline constexpr std::size_t kGlobalCurrentCamera = 0x32C;

inline constexpr std::size_t kCameraProjection = 0;
inline constexpr std::size_t kCameraView = 64;
inline constexpr std::size_t kCameraPosition = 164;

inline constexpr std::size_t kObjectLimbs = 0x0C;
inline constexpr std::size_t kObjectBoundsMin = 0x18;
inline constexpr std::size_t kObjectBoundsMax = 0x24;
inline constexpr std::size_t kObjectRadius = 0x48;
inline constexpr std::size_t kObjectPosition = 0x84;

inline constexpr std::size_t kLimbPosition = 0x2C4;
inline constexpr std::size_t kLimbMesh = 0x2F8;

inline constexpr std::size_t kMeshBoundsMin = 0x480;
inline constexpr std::size_t kMeshBoundsMax = 0x48C;
inline constexpr std::size_t kMeshRadius = 0x4B0;
}  // namespace layout

inline constexpr const char* kCoreModule = "TarvoCore.dll";
inline constexpr const char* kGetGlobPtr = "?GetGlobPtr@@YAKXZ";
inline constexpr const char* kGetObject = "?GetObjectA@@YAPAUsObject@@H@Z";
inline constexpr const char* kGetInternalData = "?GetInternalData@@YAPAXH@Z";

class HostModules {
public:
    explicit HostModules(const ModuleFunctions& windows) : windows_(windows) {}
    HostModules(const HostModules&) = delete;
    HostModules& operator=(const HostModules&) = delete;

    // The table the core binds; it points at this object.
    OtHostApi api();

    // Fills the entry-point table on the first run; looks up the camera and
    // object entry points on every run until found.
    void link();

    // 0 while the host's global record is out of reach.
    int32_t currentCamera() const;
    bool findCamera(int32_t camera, OtCameraRef* out) const;
    bool findObject(int32_t object, OtBodyFigures* out) const;
    bool findLimb(int32_t object, int32_t limb, OtBodyFigures* out) const;

    // Each does nothing while its entry point is missing.
    void hide(int32_t object) const { callSwitch(kHideSlot, object); }
    void excludeOn(int32_t object) const { callSwitch(kExcludeOnSlot, object); }
    void hideLimb(int32_t object, int32_t limb) const {
        callLimbSwitch(kHideLimbSlot, object, limb);
    }
    void excludeOff(int32_t object) const { callSwitch(kExcludeOffSlot, object); }
    void show(int32_t object) const { callSwitch(kShowSlot, object); }
    void showLimb(int32_t object, int32_t limb) const {
        callLimbSwitch(kShowLimbSlot, object, limb);
    }

    const EntryTable& entries() const { return entries_; }
    bool hasGlobalRecord() const { return global_ != nullptr; }
    bool hasObjectLookup() const { return getObject_ != nullptr; }
    bool hasCameraLookup() const { return getInternalData_ != nullptr; }

private:
    using GetGlobPtr = uint32_t(TARVO_HOST_CALL*)();
    using GetRecord = const std::byte*(TARVO_HOST_CALL*)(int32_t);
    using Switch = void(TARVO_HOST_CALL*)(int32_t);
    using LimbSwitch = void(TARVO_HOST_CALL*)(int32_t, int32_t);

    static constexpr const char* kDebugModule = "TarvoBasic3DDebug.dll";
    static constexpr std::size_t kHideSlot = slotOf(kDebugModule, "?Hide@@YAXH@Z");
    static constexpr std::size_t kExcludeOnSlot = slotOf(kDebugModule, "?ExcludeOn@@YAXH@Z");
    static constexpr std::size_t kHideLimbSlot = slotOf(kDebugModule, "?HideLimb@@YAXHH@Z");
    static constexpr std::size_t kExcludeOffSlot = slotOf(kDebugModule, "?ExcludeOff@@YAXH@Z");
    static constexpr std::size_t kShowSlot = slotOf(kDebugModule, "?Show@@YAXH@Z");
    static constexpr std::size_t kShowLimbSlot = slotOf(kDebugModule, "?ShowLimb@@YAXHH@Z");

    const std::byte* globalRecord();
    EntryAddress lookUpInModuleAt(std::size_t offset, const char* name);
    void callSwitch(std::size_t slot, int32_t object) const;
    void callLimbSwitch(std::size_t slot, int32_t object, int32_t limb) const;

    ModuleFunctions windows_;
    EntryTable entries_;
    const std::byte* global_ = nullptr;
    GetRecord getObject_ = nullptr;
    GetRecord getInternalData_ = nullptr;
};

}  // namespace tarvo::win
