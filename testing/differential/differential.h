// Runs the same commands on the core (through its exports, with the stand-in
// host) and on the reference model (with its own host), and compares after
// each command: the result, every host call in order, the number of host link
// runs, the whole tree as the model sees it, and the core's own invariants.
//
// Handle values differ between the two sides, so the run keeps a bijection
// from core handles to model handles, made when a create command or
// OT_AddPortal returns, and compares handle results through it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "differential/reference_model.h"
#include "host/standin_host.h"

namespace tarvo::reliability {

struct HandlePair {
    int32_t core;
    int32_t model;
    bool portal;
    int ordinal;  // creation order, for readable traces
};

// A camera both hosts can hold: one of a few canned views (look-at cameras
// inside and outside the usual test boxes, an off-centre projection, an
// orthographic one, an all-zero one) or raw figures.
inline constexpr int kCannedCameraCount = 8;

// What each parameter of command `id` stands for, one letter each: N node,
// P portal, R role, O object, M limb, C camera, F float.
std::string_view argumentKinds(int id);
reference::Camera cannedCamera(int which);

class Differential {
public:
    // Binds a fresh stand-in host to the core and resets the core's state.
    Differential();
    // Resets the core and unbinds the host again.
    ~Differential();
    Differential(const Differential&) = delete;
    Differential& operator=(const Differential&) = delete;

    // Host changes, made on both hosts alike.
    void setCamera(int32_t number, const reference::Camera& camera);
    void moveCamera(int32_t number, float x, float y, float z);
    void setCurrentCamera(int32_t number);
    void setObject(int32_t number, const reference::Body& body);
    void setLimb(int32_t object, int32_t limb, const reference::Body& body);

    // One command on both sides, each with its own slots; "" when everything
    // agrees and the core's invariants hold, else what differs.
    std::string command(int id, std::span<const uint32_t> coreSlots,
                        std::span<const uint32_t> modelSlots, int32_t* coreResult = nullptr);
    // The same slots on both sides (no handle arguments, or handles 0).
    std::string command(int id, std::span<const uint32_t> slots, int32_t* coreResult = nullptr) {
        return command(id, slots, slots, coreResult);
    }

    // Decodes fuzzer bytes into commands and host changes and runs them; ""
    // when the whole program agreed. With a trace, one line per step.
    std::string runProgram(std::span<const uint8_t> bytes, std::vector<std::string>* trace);

    const std::vector<HandlePair>& live() const { return live_; }
    const std::vector<HandlePair>& stale() const { return stale_; }
    // A value that neither side has issued to a live record.
    bool isLiveOnEitherSide(int32_t value) const;
    const reference::Model& model() const { return *model_; }
    // The core's host calls of the last command, in order.
    const std::vector<HostCall>& lastCoreCalls() const { return lastCoreCalls_; }
    StandInHost& coreHost() { return *coreHost_; }

    // Comparing the whole tree after every command is the costly check; the
    // million-node tests turn it off.
    void setCompareStructure(bool on) { compareStructure_ = on; }

private:
    std::string compareResult(int id, int32_t core, int32_t model);
    std::string syncLiveness();
    std::string compareFrustum() const;
    std::string compareTree() const;

    std::unique_ptr<StandInHost> coreHost_;
    std::unique_ptr<reference::Host> modelHost_;
    std::unique_ptr<reference::Model> model_;
    std::vector<HandlePair> live_;
    std::vector<HandlePair> stale_;
    std::unordered_map<int32_t, int32_t> coreToModel_;
    std::unordered_map<int32_t, int32_t> modelToCore_;
    std::vector<HostCall> lastCoreCalls_;
    int nextOrdinal_ = 1;
    bool compareStructure_ = true;
};

}  // namespace tarvo::reliability
