// A host engine in memory, for Linux: cameras, objects and limbs that
// programs define, and a log of every visibility switch in the order made.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tarvo/host_api.h"

namespace tarvo {

enum class HostOp : uint8_t { kHide, kExcludeOn, kHideLimb, kExcludeOff, kShow, kShowLimb };

struct HostCall {
    HostOp op;
    int32_t object;
    int32_t limb;  // only for the limb switches
    bool operator==(const HostCall&) const = default;
};

// "Hide 4", "ExcludeOn 4", "HideLimb 2 3", "ExcludeOff 4", "Show 4", "ShowLimb 2 3".
std::string formatHostCall(const HostCall& call);

struct StandInCamera {
    float projection[16] = {};
    float view[16] = {};
    float position[3] = {};
};

class StandInHost {
public:
    StandInHost() = default;
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    // The table to bind; it points at this host, which must outlive the binding.
    OtHostApi api();

    // Cameras keep their address for the host's lifetime, as the engine's do.
    StandInCamera& camera(int32_t number);
    bool hasCamera(int32_t number) const { return cameras_.count(number) != 0; }
    void setCurrentCamera(int32_t number) { currentCamera_ = number; }
    int32_t currentCamera() const { return currentCamera_; }

    void setObject(int32_t number, const OtBodyFigures& figures);
    // False when the object does not exist.
    bool setLimb(int32_t object, int32_t limb, const OtBodyFigures& figures);

    // When false, switches are only counted, not logged.
    void setLogging(bool on) { logging_ = on; }
    const std::vector<HostCall>& calls() const { return calls_; }
    std::vector<HostCall> takeCalls();
    uint64_t switchCount() const { return switchCount_; }
    uint64_t linkCount() const { return linkCount_; }

private:
    // Limbs by number, only those defined: a script may name limb 2^31 - 1
    // of an object that has no other.
    struct Object {
        OtBodyFigures figures;
        std::map<int32_t, OtBodyFigures> limbs;
    };

    static void record(void* self, HostOp op, int32_t object, int32_t limb);

    std::map<int32_t, std::unique_ptr<StandInCamera>> cameras_;
    std::map<int32_t, Object> objects_;
    int32_t currentCamera_ = 0;
    bool logging_ = true;
    std::vector<HostCall> calls_;
    uint64_t switchCount_ = 0;
    uint64_t linkCount_ = 0;
};

}  // namespace tarvo
