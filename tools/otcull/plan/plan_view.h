// What a plan view shows, read from the culling state after a pass: every
// node's footprint and state, every portal and whether the pass went through
// it (as the pass reported it), and the camera with the frustum it was culled
// with. Read only.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "trace/passed_portals.h"
#include "tree/frustum.h"
#include "tree/tree.h"

namespace tarvo {

struct PlanExtent {
    float min[3];
    float max[3];
};

enum class PlanShape { kBox, kSphere, kPoint };

struct PlanNode {
    PlanShape shape;
    PlanExtent extent;  // the volume's bounds; for a sphere, its bounding cube
    bool isZone;
    bool isOpening;  // the portal node of some portal
    bool visible;
    bool reached;  // dealt with by the last pass
    bool cameraZone;
};

enum class PortalState { kPassed, kOpen, kDisabled };

struct PlanPortal {
    PlanExtent opening;
    PortalState state;
    bool leadsOutside;  // one of its zones is none
};

struct PlanCamera {
    float position[3];
    Plane planes[kPlaneCount];
};

struct PlanScene {
    std::vector<PlanNode> nodes;
    std::vector<PlanPortal> portals;
    std::optional<PlanCamera> camera;
};

// passed must have observed the tree's last pass.
PlanScene capturePlan(const Tree& tree, const PassedPortals& passed);

// The zone the last pass found holding the camera, or 0.
Handle cameraZoneOf(const Tree& tree);

}  // namespace tarvo
