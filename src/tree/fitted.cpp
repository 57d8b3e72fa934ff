// Nodes whose volume is a snapshot of a host object's or limb's figures.
#include "tree/tree.h"

namespace tarvo {
namespace {

Vec3 sum(const float a[3], const float b[3]) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}

}  // namespace

Handle Tree::createFitted(Handle parent, int32_t object, int32_t limb, bool wholeObject,
                          VolumeKind kind, int32_t role) {
    OtBodyFigures figures{};
    const bool found =
        wholeObject ? host_.findObject(object, &figures) : host_.findLimb(object, limb, &figures);
    if (!found) return 0;
    Volume volume{kind, {}, {}, 0.0f};
    if (kind == kBox) {
        volume.cornerA = sum(figures.position, figures.boundsMin);
        volume.cornerB = sum(figures.position, figures.boundsMax);
    } else {
        // A sphere sits on the position itself, not on the middle of the bounds.
        volume.cornerA = {figures.position[0], figures.position[1], figures.position[2]};
        volume.radius = figures.radius;
    }
    const Handle node = createNode(parent, role, volume);
    if (node != 0) attach(node, object, wholeObject ? -1 : limb);
    return node;
}

}  // namespace tarvo
