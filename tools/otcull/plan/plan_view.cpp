#include "plan/plan_view.h"

#include <algorithm>
#include <cmath>

namespace tarvo {
namespace {

bool finite(const PlanExtent& e) {
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(e.min[i]) || !std::isfinite(e.max[i])) return false;
    }
    return true;
}

PlanExtent extentOf(const OtNode& n) {
    const Vec3 a = n.cornerA;
    if (n.kind == kBox) {
        const Vec3 b = n.cornerB;
        return {{std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)},
                {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)}};
    }
    const float r = n.kind == kSphere ? std::max(n.radius, 0.0f) : 0.0f;
    return {{a.x - r, a.y - r, a.z - r}, {a.x + r, a.y + r, a.z + r}};
}

PlanShape shapeOf(const OtNode& n) {
    if (n.kind == kSphere) return PlanShape::kSphere;
    if (n.kind == kPoint) return PlanShape::kPoint;
    return PlanShape::kBox;
}

PortalState stateOf(const OtPortal& p, PortalIndex index, const PassedPortals& passed) {
    if (p.disabled) return PortalState::kDisabled;
    return passed.wentThrough(index) ? PortalState::kPassed : PortalState::kOpen;
}

// The deepest zone holding the camera; a zone entered through a portal has
// its camera flag put back, so only zones that really hold it are left.
NodeIndex cameraZoneIndex(const Tree& tree) {
    NodeIndex best = kNone;
    for (NodeIndex i = 1; i < tree.nodeSlotCount(); ++i) {
        const OtNode& n = tree.node(i);
        if (n.state != SlotState::kLive || n.role != kZone || !tree.cameraInsideInLastPass(i))
            continue;
        if (best == kNone || n.depth > tree.node(best).depth) best = i;
    }
    return best;
}

}  // namespace

Handle cameraZoneOf(const Tree& tree) {
    const NodeIndex index = cameraZoneIndex(tree);
    return index == kNone ? 0 : tree.nodeHandle(index);
}

PlanScene capturePlan(const Tree& tree, const PassedPortals& passed) {
    PlanScene scene;
    const NodeIndex cameraZone = cameraZoneIndex(tree);
    for (NodeIndex i = 1; i < tree.nodeSlotCount(); ++i) {
        const OtNode& n = tree.node(i);
        if (n.state != SlotState::kLive) continue;
        const PlanExtent extent = extentOf(n);
        if (!finite(extent)) continue;
        scene.nodes.push_back({shapeOf(n), extent, n.role == kZone, !tree.ownPortals(i).empty(),
                               n.visible != 0, tree.markedInLastPass(i), i == cameraZone});
    }
    for (PortalIndex i = 1; i < tree.portalSlotCount(); ++i) {
        const OtPortal& p = tree.portal(i);
        // An opening that is itself one of the zones (a zone opened to the
        // sky) is drawn as that zone, not as a door.
        if (p.state != SlotState::kLive || p.portalNode == kNone || p.portalNode == p.zoneA ||
            p.portalNode == p.zoneB) {
            continue;
        }
        const PlanExtent opening = extentOf(tree.node(p.portalNode));
        if (!finite(opening)) continue;
        scene.portals.push_back(
            {opening, stateOf(p, i, passed), p.zoneA == kNone || p.zoneB == kNone});
    }
    const OtFrustum& frustum = tree.frustum();
    if (frustum.cameraRecord.position != nullptr) {
        PlanCamera camera{};
        std::copy(frustum.cameraRecord.position, frustum.cameraRecord.position + 3,
                  camera.position);
        std::copy(std::begin(frustum.planes), std::end(frustum.planes), camera.planes);
        scene.camera = camera;
    }
    return scene;
}

}  // namespace tarvo
