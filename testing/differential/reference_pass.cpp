// The culling pass: switching nodes shown or hidden, finding the zone the
// camera is in, culling against the frustum and flooding through portals.
#include "differential/reference_model.h"

namespace tarvo::reference {

bool Model::visible(int32_t node) {
    const Node* n = nodeOf(node);
    return n != nullptr && n->visible;
}

void Model::switchNode(Node* n, bool show) {
    n->visible = show;
    for (const Attachment& a : n->attachments) {
        if (show) {
            if (a.limb == -1) {
                host_.call(HostOp::kExcludeOff, a.object, 0);
                host_.call(HostOp::kShow, a.object, 0);
            } else {
                host_.call(HostOp::kShowLimb, a.object, a.limb);
            }
        } else {
            if (a.limb == -1) {
                host_.call(HostOp::kHide, a.object, 0);
                host_.call(HostOp::kExcludeOn, a.object, 0);
            } else {
                host_.call(HostOp::kHideLimb, a.object, a.limb);
            }
        }
    }
}

void Model::switchSubtree(Node* n, bool show) {
    switchNode(n, show);
    for (Node* c : n->children) switchSubtree(c, show);
}

void Model::hide(int32_t node) {
    if (Node* n = nodeOf(node)) switchNode(n, false);
}

void Model::show(int32_t node) {
    if (Node* n = nodeOf(node)) switchNode(n, true);
}

void Model::hideAll(int32_t node) {
    if (node == 0) {
        for (Node* t : topLevel_) switchSubtree(t, false);
    } else if (Node* n = nodeOf(node)) {
        switchSubtree(n, false);
    }
}

void Model::showAll(int32_t node) {
    if (node == 0) {
        for (Node* t : topLevel_) switchSubtree(t, true);
    } else if (Node* n = nodeOf(node)) {
        switchSubtree(n, true);
    }
}

// --- the pass ---

void Model::cullAll() {
    cull(0);
}

void Model::cull(int32_t start) {
    host_.link();
    Node* s;
    if (!resolveOptional(start, s)) return;
    cullPass(s);
}

void Model::cullPass(Node* start) {
    Node* best = nullptr;
    for (Node* t : topLevel_) {
        clearMarks(t);
        best = findCameraZone(t, best);
    }
    if (best != nullptr) {
        for (Node* t : topLevel_) switchSubtree(t, false);
        flood(best);
        return;
    }
    if (start == nullptr) {
        for (Node* t : topLevel_) cullNode(t);
        return;
    }
    cullNode(start);
}

void Model::clearMarks(Node* n) {
    n->mark = false;
    n->cameraInside = false;
    for (Node* c : n->children) clearMarks(c);
}

Node* Model::findCameraZone(Node* n, Node* best) {
    for (Node* c : n->children) best = findCameraZone(c, best);
    if (n->role == kZoneRole && (best == nullptr || n->depth > best->depth)) {
        if (testCameraInside(n)) return n;
    }
    return best;
}

void Model::cullNode(Node* n) {
    if (n->mark) return;
    n->mark = true;
    if (n->role != kNormalRole && n->role != kZoneRole) return;
    if (inFrustum(n)) {
        flood(n);
    } else {
        switchSubtree(n, false);
    }
}

void Model::flood(Node* n) {
    n->mark = true;
    switchNode(n, true);
    for (Portal* p : n->zonePortals) {
        if (p->disabled) continue;
        if (p->portalNode != nullptr) cullNode(p->portalNode);
        Node* far = p->zoneA == n ? p->zoneB : p->zoneA;
        // Without an opening node the portal counts as seen.
        if (p->portalNode != nullptr && !p->portalNode->visible) continue;
        if (far == nullptr) {
            for (Node* t : topLevel_) cullNode(t);
            continue;
        }
        if (far->mark) continue;
        const bool remembered = far->cameraInside;
        far->cameraInside = true;
        flood(far);
        far->cameraInside = remembered;
    }
    if (n->cameraInside || n->role != kZoneRole) {
        for (Node* c : n->children) cullNode(c);
    }
}

}  // namespace tarvo::reference
