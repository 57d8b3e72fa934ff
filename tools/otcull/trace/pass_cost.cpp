#include "trace/pass_cost.h"

#include <iomanip>
#include <sstream>

namespace tarvo {

uint32_t boxCornersEvaluated(const OtFrustum& frustum, Vec3 a, Vec3 b) {
    const Vec3 corners[8] = {{a.x, a.y, a.z}, {b.x, a.y, a.z}, {a.x, b.y, a.z}, {b.x, b.y, a.z},
                             {a.x, a.y, b.z}, {b.x, a.y, b.z}, {a.x, b.y, b.z}, {b.x, b.y, b.z}};
    uint32_t tried = 0;
    for (const Plane& plane : frustum.planes) {
        bool settled = false;
        for (const Vec3& c : corners) {
            ++tried;
            if (signedDistance(plane, c.x, c.y, c.z) > 0.0f) {
                settled = true;
                break;
            }
        }
        if (!settled) break;
    }
    return tried;
}

void CostMeter::onPassEvent(const PassEvent& event) {
    switch (event.kind) {
        case PassEventKind::kPassBegin:
            cost_ = {};
            ++pass_;
            portalsCounted_.resize(tree_.portalSlotCount());
            if (hostCalls_ != nullptr) hostCallsAtStart_ = *hostCalls_;
            break;
        case PassEventKind::kPassEnd:
            if (hostCalls_ != nullptr) cost_.hostCalls = *hostCalls_ - hostCallsAtStart_;
            break;
        case PassEventKind::kZoneTested:
            ++cost_.zonesTested;
            break;
        case PassEventKind::kCullNode:
            countTest(event);
            break;
        case PassEventKind::kPortal:
            countPortal(event);
            break;
        default:
            break;
    }
}

void CostMeter::countPortal(const PassEvent& event) {
    PortalCounted& counted = portalsCounted_[event.portal];
    if (counted.met != pass_) ++cost_.portalsMet;
    counted.met = pass_;
    const bool followed =
        event.decision == PortalDecision::kFollowed || event.decision == PortalDecision::kLeadsOut;
    if (!followed || counted.followed == pass_) return;
    ++cost_.portalsFollowed;
    counted.followed = pass_;
}

// The camera zone and far sides are flooded untested, and a node met again
// or inert is not tested either.
void CostMeter::countTest(const PassEvent& event) {
    const bool tested =
        event.outcome == CullOutcome::kInView || event.outcome == CullOutcome::kOutOfView;
    if (!tested || event.reach == Reach::kCameraZone || event.reach == Reach::kFarSide) return;
    ++cost_.nodesTested;
    const OtNode& n = tree_.node(event.node);
    if (n.kind == kBox)
        cost_.boxCorners += boxCornersEvaluated(tree_.frustum(), n.cornerA, n.cornerB);
}

std::string describeCost(const PassCost& cost) {
    std::ostringstream text;
    text << cost.nodesTested << " nodes tested (" << cost.zonesTested
         << (cost.zonesTested == 1 ? " zone" : " zones") << " for the camera), " << cost.boxCorners
         << " box corners, " << cost.portalsFollowed << " of " << cost.portalsMet
         << " portals followed, " << cost.hostCalls << " host calls, " << std::fixed
         << std::setprecision(1) << cost.micros << " us";
    return text.str();
}

}  // namespace tarvo
