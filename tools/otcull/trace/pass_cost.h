// What one visibility pass cost, counted from what the pass reports: frustum
// tests, box corners, portals, host calls and time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "trace/pass_listeners.h"

namespace tarvo {

struct PassCost {
    uint64_t nodesTested = 0;      // frustum tests of nodes
    uint64_t zonesTested = 0;      // camera-inside tests of zones
    uint64_t boxCorners = 0;       // see boxCornersEvaluated
    uint64_t portalsMet = 0;       // portals, however often each was met
    uint64_t portalsFollowed = 0;  // to the zone beyond, or out to the top level
    uint64_t hostCalls = 0;        // counted only when the meter is given a counter
    double micros = 0.0;           // not seen by the pass: filled in by whoever ran it
};

// Corner distances a box test takes by the eight-corner rule: per plane, in
// order, the corners are tried until one is in front; a plane that has none
// in front took all eight and ends the test. The figure depends only on the
// box and the planes, not on how the core reaches its answer.
uint32_t boxCornersEvaluated(const OtFrustum& frustum, Vec3 a, Vec3 b);

class CostMeter : public PassListener {
public:
    // hostCalls, when given, is a running count of visibility switches that
    // the meter reads at the start and end of each pass.
    explicit CostMeter(const Tree& tree, const uint64_t* hostCalls = nullptr)
        : tree_(tree), hostCalls_(hostCalls) {}
    void onPassEvent(const PassEvent& event) override;
    // The counts of the last pass, or of the one running.
    const PassCost& cost() const { return cost_; }

private:
    void countTest(const PassEvent& event);
    void countPortal(const PassEvent& event);

    const Tree& tree_;
    const uint64_t* hostCalls_;
    uint64_t hostCallsAtStart_ = 0;
    PassCost cost_;
    // By portal index, the pass in which it was last counted met and
    // followed: a portal is met from each zone it joins.
    struct PortalCounted {
        uint64_t met = 0;
        uint64_t followed = 0;
    };
    std::vector<PortalCounted> portalsCounted_;
    uint64_t pass_ = 0;
};

// "12 nodes tested (2 zones for the camera), 61 box corners, 1 of 3 portals
// followed, 14 host calls, 2.1 us"
std::string describeCost(const PassCost& cost);

}  // namespace tarvo
