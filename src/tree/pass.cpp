// The visibility pass: find the camera zone, hide everything and flood out
// from it; without one, frustum-test the top level. Walks use the sibling and
// parent links or the reserved flood stack, never the machine stack, and the
// pass allocates nothing.
#include "tree/tree.h"

namespace tarvo {
namespace {

enum FloodPhase : uint8_t {
    kPortals,       // next: the portal at portalCursor
    kAfterOpening,  // the opening of the portal at portalCursor has been culled
    kTopLevel,      // culling the top level for a portal with a zero side
    kChildren,      // culling children from nextNode on
};

}  // namespace

void Tree::updateFrustum(int32_t camera) {
    OtCameraRef ref{};
    if (host_.findCamera(camera, &ref)) setFrustumFromCamera(frustum_, ref);
}

bool Tree::inFrustum(const OtNode& n) const {
    switch (n.kind) {
        case kBox:
            return boxRejectingPlane(frustum_, &n.cornerA.x) == kPlaneCount;
        case kSphere:
            return testSphereInFrustum(frustum_, n.cornerA, n.radius);
        case kPoint:
            return testSphereInFrustum(frustum_, n.cornerA, 0.0f);
        default:
            return true;
    }
}

bool Tree::testCameraInside(OtNode& n) {
    bool inside = false;
    if (n.kind == kBox) inside = cameraInBox(frustum_, n.cornerA, n.cornerB);
    if (n.kind == kSphere) inside = cameraInSphere(frustum_, n.cornerA, n.radius);
    n.cameraInside = inside ? passEpoch_ : 0;
    return inside;
}

// A new pass epoch clears every node's pass flags at once: a flag counts only
// when it holds the current epoch. Every 255 passes the bytes are really
// cleared so that an old epoch can never come back.
void Tree::clearPassFlags() {
    if (++passEpoch_ != 0) return;
    for (OtNode& n : nodes_) {
        n.mark = 0;
        n.cameraInside = 0;
    }
    passEpoch_ = 1;
}

// Searches the forest in post-order (children before parents, top-level
// nodes in order) for the deepest zone holding the camera; a zone no deeper
// than the best so far is not tested.
NodeIndex Tree::clearAndFindCameraZone() {
    clearPassFlags();
    if (zoneCount_ == 0 || frustum_.cameraRecord.position == nullptr) return kNone;
    auto leftmostLeaf = [&](NodeIndex n) {
        while (nodes_[n].firstChild != kNone) n = nodes_[n].firstChild;
        return n;
    };
    NodeIndex best = kNone;
    if (nodes_[kRoot].firstChild == kNone) return kNone;
    NodeIndex n = leftmostLeaf(nodes_[kRoot].firstChild);
    while (true) {
        OtNode& node = nodes_[n];
        if (node.role == kZone && (best == kNone || node.depth > nodes_[best].depth) &&
            testCameraInside(node)) {
            best = n;
        }
        if (node.nextSibling != kNone) {
            n = leftmostLeaf(node.nextSibling);
        } else {
            n = node.parent;
            if (n == kRoot) return best;
        }
    }
}

// True when the node is to be flooded. Marks before looking at the role, so
// inert nodes are dealt with once too.
bool Tree::cullNode(NodeIndex index) {
    OtNode& n = nodes_[index];
    if (n.mark == passEpoch_) return false;
    n.mark = passEpoch_;
    if (n.role != kNormal && n.role != kZone) return false;
    if (inFrustum(n)) return true;
    switchDescendants(index, false, true);
    return false;
}

// A far node is flooded as though the camera were inside it. A node with no
// portals and no children to walk is done once shown, without a frame.
void Tree::enterFlood(NodeIndex index, bool asFarNode) {
    OtNode& n = nodes_[index];
    n.mark = passEpoch_;
    switchOne(index, true);
    const bool walksChildren = asFarNode || n.cameraInside == passEpoch_ || n.role != kZone;
    if (zonePortals(index).empty() && (n.firstChild == kNone || !walksChildren)) return;
    FloodFrame frame{index, 0, kNone, kPortals, 0, 0, 0};
    if (asFarNode) {
        frame.isFarNode = 1;
        frame.restoreInside = n.cameraInside;
        n.cameraInside = passEpoch_;
    }
    floodStack_.push_back(frame);
}

void Tree::stepPortal(FloodFrame& frame) {
    const std::vector<PortalIndex>& portals = zonePortals(frame.node);
    if (frame.portalCursor == portals.size()) {
        // Children are walked unless this is a zone the camera is not in.
        const OtNode& n = nodes_[frame.node];
        const bool walk = n.cameraInside == passEpoch_ || n.role != kZone;
        frame.phase = kChildren;
        frame.nextNode = walk ? n.firstChild : kNone;
        return;
    }
    const OtPortal& p = portals_[portals[frame.portalCursor]];
    if (p.disabled) {
        ++frame.portalCursor;
        return;
    }
    frame.phase = kAfterOpening;
    if (p.portalNode != kNone && cullNode(p.portalNode)) enterFlood(p.portalNode, false);
}

void Tree::stepAfterOpening(FloodFrame& frame) {
    const OtPortal& p = portals_[zonePortals(frame.node)[frame.portalCursor]];
    ++frame.portalCursor;
    frame.phase = kPortals;
    // A portal without an opening node is followed as if the opening were in
    // view: culling stays conservative.
    if (p.portalNode != kNone && nodes_[p.portalNode].visible == 0) return;
    const NodeIndex far = p.zoneA == frame.node ? p.zoneB : p.zoneA;
    if (far == kNone) {
        frame.phase = kTopLevel;
        frame.nextNode = nodes_[kRoot].firstChild;
        return;
    }
    if (nodes_[far].mark != passEpoch_) enterFlood(far, true);
}

// Runs the flood from one node to completion. Each portal's far side is
// flooded completely before the next portal, and all portals before children.
void Tree::flood(NodeIndex start) {
    enterFlood(start, false);
    while (!floodStack_.empty()) {
        FloodFrame& frame = floodStack_.back();
        switch (frame.phase) {
            case kPortals:
                stepPortal(frame);
                break;
            case kAfterOpening:
                stepAfterOpening(frame);
                break;
            case kTopLevel:
            case kChildren: {
                const NodeIndex next = frame.nextNode;
                if (next == kNone) {
                    if (frame.phase == kTopLevel) {
                        frame.phase = kPortals;
                        break;
                    }
                    if (frame.isFarNode) nodes_[frame.node].cameraInside = frame.restoreInside;
                    floodStack_.pop_back();
                    break;
                }
                frame.nextNode = nodes_[next].nextSibling;
                if (cullNode(next)) enterFlood(next, false);
                break;
            }
        }
    }
}

void Tree::cull(Handle start) {
    NodeIndex startIndex = kNone;
    if (start != 0) {
        startIndex = nodeIndex(start);
        if (startIndex == kNone) return;
    }
    const NodeIndex cameraZone = clearAndFindCameraZone();
    if (cameraZone != kNone) {
        switchDescendants(kRoot, false, false);
        flood(cameraZone);
        return;
    }
    if (startIndex != kNone) {
        if (cullNode(startIndex)) flood(startIndex);
        return;
    }
    for (NodeIndex n = nodes_[kRoot].firstChild; n != kNone;) {
        const NodeIndex next = nodes_[n].nextSibling;
        if (cullNode(n)) flood(n);
        n = next;
    }
}

}  // namespace tarvo
