// Volume setters and getters. One storage serves every kind: cornerA is a
// box's first corner and a sphere's or point's centre, and the setters write
// it whatever the kind. Corners are kept exactly as given, never reordered.
#include "tree/tree.h"

namespace tarvo {
namespace {

// A box's centre is the midpoint of its corners; anything else sits at cornerA.
Vec3 positionOf(const OtNode& n) {
    if (n.kind != kBox) return n.cornerA;
    const float sx = n.cornerA.x + n.cornerB.x;
    const float sy = n.cornerA.y + n.cornerB.y;
    const float sz = n.cornerA.z + n.cornerB.z;
    return {sx * 0.5f, sy * 0.5f, sz * 0.5f};
}

// Corners centred on m with half extents h.
void setAround(OtNode& n, Vec3 m, Vec3 h) {
    n.cornerA = {m.x - h.x, m.y - h.y, m.z - h.z};
    n.cornerB = {m.x + h.x, m.y + h.y, m.z + h.z};
}

}  // namespace

void Tree::setPosition(Handle node, Vec3 p) {
    const NodeIndex index = nodeIndex(node);
    if (index == kNone) return;
    OtNode& n = nodes_[index];
    if (n.kind != kBox) {
        n.cornerA = p;
        return;
    }
    // Extents keep their sign, so a box given the other way round stays so.
    const float ex = n.cornerB.x - n.cornerA.x;
    const float ey = n.cornerB.y - n.cornerA.y;
    const float ez = n.cornerB.z - n.cornerA.z;
    setAround(n, p, {ex * 0.5f, ey * 0.5f, ez * 0.5f});
}

void Tree::setBox(Handle node, Vec3 cornerA, Vec3 cornerB) {
    const NodeIndex index = nodeIndex(node);
    if (index == kNone) return;
    nodes_[index].cornerA = cornerA;
    nodes_[index].cornerB = cornerB;
}

void Tree::setBoxSize(Handle node, Vec3 size) {
    const NodeIndex index = nodeIndex(node);
    if (index == kNone) return;
    OtNode& n = nodes_[index];
    setAround(n, positionOf(n), {size.x * 0.5f, size.y * 0.5f, size.z * 0.5f});
}

void Tree::setRadius(Handle node, float radius) {
    const NodeIndex index = nodeIndex(node);
    if (index == kNone) return;
    nodes_[index].radius = radius;
}

float Tree::figure(Handle node, Figure which) const {
    const NodeIndex index = nodeIndex(node);
    if (index == kNone) return 0.0f;
    const OtNode& n = nodes_[index];
    switch (which) {
        case Figure::kPositionX:
            return positionOf(n).x;
        case Figure::kPositionY:
            return positionOf(n).y;
        case Figure::kPositionZ:
            return positionOf(n).z;
        case Figure::kRadius:
            return n.radius;
        case Figure::kWidth:
            return n.cornerB.x - n.cornerA.x;
        case Figure::kHeight:
            return n.cornerB.y - n.cornerA.y;
        case Figure::kDepth:
            return n.cornerB.z - n.cornerA.z;
        case Figure::kXA:
            return n.cornerA.x;
        case Figure::kYA:
            return n.cornerA.y;
        case Figure::kZA:
            return n.cornerA.z;
        case Figure::kXB:
            return n.cornerB.x;
        case Figure::kYB:
            return n.cornerB.y;
        case Figure::kZB:
            return n.cornerB.z;
    }
    return 0.0f;
}

}  // namespace tarvo
