#include "differential/reference_model.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "commands/command_table.h"

namespace tarvo::reference {
namespace {

constexpr int32_t kNormalRole = 1;
constexpr int32_t kZoneRole = 2;
constexpr int kBoxKind = 1;
constexpr int kSphereKind = 2;
constexpr int kPointKind = 3;

template <typename T>
void eraseValue(std::vector<T*>& list, const T* value) {
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

// Every step is a separate statement so each intermediate is a float.
float distanceTo(const float plane[4], float x, float y, float z) {
    float s = plane[0] * x;
    s = s + plane[1] * y;
    s = s + plane[2] * z;
    s = s + plane[3];
    return s;
}

float centreOf(float a, float b) {
    const float s = a + b;
    return s * 0.5f;
}

float asFloat(uint32_t slot) { return std::bit_cast<float>(slot); }
int32_t asInt(uint32_t slot) { return static_cast<int32_t>(slot); }
int32_t floatBits(float value) { return std::bit_cast<int32_t>(value); }

}  // namespace

// --- host ---

const Camera* Host::findCamera(int32_t number) const {
    const auto found = cameras_.find(number);
    return found == cameras_.end() ? nullptr : &found->second;
}

bool Host::setLimb(int32_t object, int32_t limb, const Body& body) {
    const auto found = objects_.find(object);
    if (found == objects_.end() || limb < 0) return false;
    found->second.limbs[limb] = body;
    return true;
}

const Body* Host::findObject(int32_t number) const {
    const auto found = objects_.find(number);
    return found == objects_.end() ? nullptr : &found->second.body;
}

const Body* Host::findLimb(int32_t object, int32_t limb) const {
    const auto found = objects_.find(object);
    if (found == objects_.end()) return nullptr;
    const auto l = found->second.limbs.find(limb);
    return l == found->second.limbs.end() ? nullptr : &l->second;
}

void Host::call(HostOp op, int32_t object, int32_t limb) {
    ++switchCount_;
    if (logging_) calls_.push_back({op, object, limb});
}

std::vector<HostCall> Host::takeCalls() {
    std::vector<HostCall> taken;
    taken.swap(calls_);
    return taken;
}

// --- records and handles ---

Model::~Model() {
    // Unloading releases everything without a host call.
    for (auto& [handle, node] : nodes_) delete node;
    for (auto& [handle, portal] : portals_) delete portal;
}

Node* Model::nodeOf(int32_t handle) {
    const auto found = nodes_.find(handle);
    return found == nodes_.end() ? nullptr : found->second;
}

Portal* Model::portalOf(int32_t handle) {
    const auto found = portals_.find(handle);
    return found == portals_.end() ? nullptr : found->second;
}

const Node* Model::findNode(int32_t handle) const {
    const auto found = nodes_.find(handle);
    return found == nodes_.end() ? nullptr : found->second;
}

const Portal* Model::findPortal(int32_t handle) const {
    const auto found = portals_.find(handle);
    return found == portals_.end() ? nullptr : found->second;
}

bool Model::resolveOptional(int32_t handle, Node*& out) {
    out = nullptr;
    if (handle == 0) return true;
    out = nodeOf(handle);
    return out != nullptr;
}

// --- tree ---

Node* Model::newNode(Node* parent) {
    Node* n = new Node;
    n->handle = nextHandle_++;
    n->parent = parent;
    if (parent != nullptr) {
        parent->children.push_back(n);
        n->depth = parent->depth + 1;
    } else {
        topLevel_.push_back(n);
        n->depth = 0;
    }
    nodes_[n->handle] = n;
    return n;
}

int32_t Model::finishCreate(Node* n, int kind, int32_t role) {
    n->kind = kind;
    n->role = role;
    return n->handle;
}

int32_t Model::createBox(int32_t parent, float xa, float ya, float za, float xb, float yb,
                         float zb, int32_t role) {
    host_.link();
    Node* p;
    if (!resolveOptional(parent, p)) return 0;
    Node* n = newNode(p);
    n->cornerA[0] = xa;
    n->cornerA[1] = ya;
    n->cornerA[2] = za;
    n->cornerB[0] = xb;
    n->cornerB[1] = yb;
    n->cornerB[2] = zb;
    return finishCreate(n, kBoxKind, role);
}

int32_t Model::createSphere(int32_t parent, float x, float y, float z, float radius,
                            int32_t role) {
    host_.link();
    Node* p;
    if (!resolveOptional(parent, p)) return 0;
    Node* n = newNode(p);
    n->cornerA[0] = x;
    n->cornerA[1] = y;
    n->cornerA[2] = z;
    n->radius = radius;
    return finishCreate(n, kSphereKind, role);
}

int32_t Model::createPoint(int32_t parent, float x, float y, float z, int32_t role) {
    host_.link();
    Node* p;
    if (!resolveOptional(parent, p)) return 0;
    Node* n = newNode(p);
    n->cornerA[0] = x;
    n->cornerA[1] = y;
    n->cornerA[2] = z;
    return finishCreate(n, kPointKind, role);
}

void Model::destroy(Node* n) {
    while (!n->children.empty()) destroy(n->children.front());
    while (!n->zonePortals.empty()) {
        Portal* p = n->zonePortals.front();
        unlinkPortal(p);
        freePortal(p);
    }
    while (!n->ownPortals.empty()) {
        Portal* p = n->ownPortals.front();
        unlinkPortal(p);
        freePortal(p);
    }
    if (n->parent != nullptr) {
        eraseValue(n->parent->children, n);
    } else {
        eraseValue(topLevel_, n);
    }
    nodes_.erase(n->handle);
    delete n;
}

void Model::deleteNode(int32_t node) {
    host_.link();
    if (node == 0) {
        while (!topLevel_.empty()) destroy(topLevel_.front());
        return;
    }
    if (Node* n = nodeOf(node)) destroy(n);
}

void Model::deleteAll() { deleteNode(0); }

bool Model::isInSubtree(const Node* candidate, const Node* root) const {
    for (const Node* n = candidate; n != nullptr; n = n->parent) {
        if (n == root) return true;
    }
    return false;
}

void Model::setParent(int32_t node, int32_t newParent) {
    Node* n = nodeOf(node);
    if (n == nullptr) return;
    Node* q;
    if (!resolveOptional(newParent, q)) return;
    if (q != nullptr && isInSubtree(q, n)) return;
    if (n->parent == q) return;
    if (n->parent != nullptr) {
        eraseValue(n->parent->children, n);
    } else {
        eraseValue(topLevel_, n);
    }
    if (q != nullptr) {
        q->children.push_back(n);
    } else {
        topLevel_.push_back(n);
    }
    n->parent = q;
}

int32_t Model::parentOf(int32_t node) {
    const Node* n = nodeOf(node);
    if (n == nullptr || n->parent == nullptr) return 0;
    return n->parent->handle;
}

// --- volumes ---

void Model::setPosition(int32_t node, float x, float y, float z) {
    Node* n = nodeOf(node);
    if (n == nullptr) return;
    const float p[3] = {x, y, z};
    if (n->kind == kBoxKind) {
        for (int i = 0; i < 3; ++i) {
            const float e = n->cornerB[i] - n->cornerA[i];
            const float h = e * 0.5f;
            n->cornerA[i] = p[i] - h;
            n->cornerB[i] = p[i] + h;
        }
    } else {
        for (int i = 0; i < 3; ++i) n->cornerA[i] = p[i];
    }
}

void Model::setBox(int32_t node, float xa, float ya, float za, float xb, float yb, float zb) {
    Node* n = nodeOf(node);
    if (n == nullptr) return;
    n->cornerA[0] = xa;
    n->cornerA[1] = ya;
    n->cornerA[2] = za;
    n->cornerB[0] = xb;
    n->cornerB[1] = yb;
    n->cornerB[2] = zb;
}

void Model::setBoxSize(int32_t node, float width, float height, float depth) {
    Node* n = nodeOf(node);
    if (n == nullptr) return;
    float m[3];
    for (int i = 0; i < 3; ++i) {
        m[i] = n->kind == kBoxKind ? centreOf(n->cornerA[i], n->cornerB[i]) : n->cornerA[i];
    }
    const float size[3] = {width, height, depth};
    for (int i = 0; i < 3; ++i) {
        const float h = size[i] * 0.5f;
        n->cornerA[i] = m[i] - h;
        n->cornerB[i] = m[i] + h;
    }
}

void Model::setRadius(int32_t node, float radius) {
    if (Node* n = nodeOf(node)) n->radius = radius;
}

float Model::positionX(int32_t node) {
    const Node* n = nodeOf(node);
    if (n == nullptr) return 0.0f;
    return n->kind == kBoxKind ? centreOf(n->cornerA[0], n->cornerB[0]) : n->cornerA[0];
}
float Model::positionY(int32_t node) {
    const Node* n = nodeOf(node);
    if (n == nullptr) return 0.0f;
    return n->kind == kBoxKind ? centreOf(n->cornerA[1], n->cornerB[1]) : n->cornerA[1];
}
float Model::positionZ(int32_t node) {
    const Node* n = nodeOf(node);
    if (n == nullptr) return 0.0f;
    return n->kind == kBoxKind ? centreOf(n->cornerA[2], n->cornerB[2]) : n->cornerA[2];
}
float Model::radius(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->radius;
}
float Model::boxWidth(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerB[0] - n->cornerA[0];
}
float Model::boxHeight(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerB[1] - n->cornerA[1];
}
float Model::boxDepth(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerB[2] - n->cornerA[2];
}
float Model::boxXA(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerA[0];
}
float Model::boxYA(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerA[1];
}
float Model::boxZA(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerA[2];
}
float Model::boxXB(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerB[0];
}
float Model::boxYB(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerB[1];
}
float Model::boxZB(int32_t node) {
    const Node* n = nodeOf(node);
    return n == nullptr ? 0.0f : n->cornerB[2];
}

// --- attachments and switches ---

void Model::addObject(int32_t node, int32_t object) { addLimb(node, object, -1); }

void Model::addLimb(int32_t node, int32_t object, int32_t limb) {
    if (Node* n = nodeOf(node)) n->attachments.push_back({object, limb});
}

void Model::removeObject(int32_t node, int32_t object) { removeLimb(node, object, -1); }

void Model::removeLimb(int32_t node, int32_t object, int32_t limb) {
    Node* n = nodeOf(node);
    if (n == nullptr) return;
    const Attachment gone{object, limb};
    n->attachments.erase(std::remove(n->attachments.begin(), n->attachments.end(), gone),
                         n->attachments.end());
}

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

// --- portals ---

int32_t Model::addPortal(int32_t zoneA, int32_t zoneB, int32_t portalNode) {
    Node *a, *b, *opening;
    if (!resolveOptional(zoneA, a) || !resolveOptional(zoneB, b) ||
        !resolveOptional(portalNode, opening)) {
        return 0;
    }
    Portal* p = new Portal;
    p->handle = nextHandle_++;
    p->portalNode = opening;
    p->zoneA = a;
    p->zoneB = b;
    if (a != nullptr) a->zonePortals.push_back(p);
    if (b != nullptr) b->zonePortals.push_back(p);
    if (opening != nullptr) opening->ownPortals.push_back(p);
    portals_[p->handle] = p;
    return p->handle;
}

void Model::unlinkPortal(Portal* p) {
    if (p->zoneA != nullptr) eraseValue(p->zoneA->zonePortals, p);
    if (p->zoneB != nullptr) eraseValue(p->zoneB->zonePortals, p);
    if (p->portalNode != nullptr) eraseValue(p->portalNode->ownPortals, p);
}

void Model::freePortal(Portal* p) {
    portals_.erase(p->handle);
    delete p;
}

void Model::removePortal(int32_t portal) {
    Portal* p = portalOf(portal);
    if (p == nullptr) return;
    unlinkPortal(p);
    freePortal(p);
}

void Model::enablePortal(int32_t portal) {
    if (Portal* p = portalOf(portal)) p->disabled = false;
}

void Model::disablePortal(int32_t portal) {
    if (Portal* p = portalOf(portal)) p->disabled = true;
}

bool Model::portalEnabled(int32_t portal) {
    const Portal* p = portalOf(portal);
    return p != nullptr && !p->disabled;
}

int32_t Model::portalNodeOf(int32_t portal) {
    const Portal* p = portalOf(portal);
    return p == nullptr || p->portalNode == nullptr ? 0 : p->portalNode->handle;
}

int32_t Model::zoneAOf(int32_t portal) {
    const Portal* p = portalOf(portal);
    return p == nullptr || p->zoneA == nullptr ? 0 : p->zoneA->handle;
}

int32_t Model::zoneBOf(int32_t portal) {
    const Portal* p = portalOf(portal);
    return p == nullptr || p->zoneB == nullptr ? 0 : p->zoneB->handle;
}

// --- fitted volumes ---

int32_t Model::createFitted(int32_t parent, const Body* body, int kind, int32_t role,
                            Attachment attachment) {
    if (body == nullptr) return 0;
    Node* p;
    if (!resolveOptional(parent, p)) return 0;
    Node* n = newNode(p);
    if (kind == kBoxKind) {
        for (int i = 0; i < 3; ++i) {
            n->cornerA[i] = body->position[i] + body->boundsMin[i];
            n->cornerB[i] = body->position[i] + body->boundsMax[i];
        }
    } else {
        for (int i = 0; i < 3; ++i) n->cornerA[i] = body->position[i];
        n->radius = body->radius;
    }
    n->attachments.push_back(attachment);
    return finishCreate(n, kind, role);
}

int32_t Model::createObjectBox(int32_t parent, int32_t object, int32_t role) {
    host_.link();
    return createFitted(parent, host_.findObject(object), kBoxKind, role, {object, -1});
}

int32_t Model::createObjectSphere(int32_t parent, int32_t object, int32_t role) {
    host_.link();
    return createFitted(parent, host_.findObject(object), kSphereKind, role, {object, -1});
}

int32_t Model::createLimbBox(int32_t parent, int32_t object, int32_t limb, int32_t role) {
    host_.link();
    return createFitted(parent, host_.findLimb(object, limb), kBoxKind, role, {object, limb});
}

int32_t Model::createLimbSphere(int32_t parent, int32_t object, int32_t limb, int32_t role) {
    host_.link();
    return createFitted(parent, host_.findLimb(object, limb), kSphereKind, role,
                        {object, limb});
}

// --- frustum and tests ---

void Model::updateFrustum1() {
    host_.link();
    updateFromCamera(host_.currentCamera());
}

void Model::updateFrustum2(int32_t camera) {
    host_.link();
    updateFromCamera(camera);
}

void Model::updateFromCamera(int32_t camera) {
    const Camera* c = host_.findCamera(camera);
    if (c == nullptr) return;
    // view x projection: the world-to-clip matrix, so the planes come out in world space.
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = c->view[i * 4 + 0] * c->projection[0 * 4 + j];
            for (int k = 1; k < 4; ++k) sum = sum + c->view[i * 4 + k] * c->projection[k * 4 + j];
            viewProjection_[i * 4 + j] = sum;
        }
    }
    auto column = [this](int col, int row) { return viewProjection_[row * 4 + col]; };
    // (column 4 +/- column k), planes in the order right, left, bottom, top, far, near.
    const int partner[6] = {0, 0, 1, 1, 2, 2};
    const float sign[6] = {-1.0f, 1.0f, 1.0f, -1.0f, -1.0f, 1.0f};
    float factor = 0.0f;
    for (int p = 0; p < 6; ++p) {
        float plane[4];
        for (int row = 0; row < 4; ++row) {
            const float w = column(3, row);
            const float k = column(partner[p], row);
            plane[row] = sign[p] > 0 ? w + k : w - k;
        }
        // The left and top planes reuse the factor of the plane before them.
        if (p != 1 && p != 3) {
            float squares = plane[0] * plane[0];
            squares = squares + plane[1] * plane[1];
            squares = squares + plane[2] * plane[2];
            const float length = std::sqrt(squares);
            factor = 1.0f / length;
        }
        for (int row = 0; row < 4; ++row) planes_[p][row] = plane[row] * factor;
    }
    hasCamera_ = true;
    cameraNumber_ = camera;
}

bool Model::boxInFrustum(const float a[3], const float b[3]) const {
    for (const auto& plane : planes_) {
        bool someCornerInFront = false;
        for (int corner = 0; corner < 8 && !someCornerInFront; ++corner) {
            const float x = (corner & 1) ? b[0] : a[0];
            const float y = (corner & 2) ? b[1] : a[1];
            const float z = (corner & 4) ? b[2] : a[2];
            if (distanceTo(plane, x, y, z) > 0.0f) someCornerInFront = true;
        }
        if (!someCornerInFront) return false;
    }
    return true;
}

bool Model::sphereInFrustum(const float c[3], float radius) const {
    const float n = -radius;
    for (const auto& plane : planes_) {
        if (distanceTo(plane, c[0], c[1], c[2]) <= n) return false;
    }
    return true;
}

bool Model::testBox(float xa, float ya, float za, float xb, float yb, float zb) const {
    const float a[3] = {xa, ya, za};
    const float b[3] = {xb, yb, zb};
    return boxInFrustum(a, b);
}

bool Model::testSphere(float x, float y, float z, float radius) const {
    const float c[3] = {x, y, z};
    return sphereInFrustum(c, radius);
}

bool Model::testPoint(float x, float y, float z) const { return testSphere(x, y, z, 0.0f); }

const float* Model::cameraPosition() const {
    if (!hasCamera_) return nullptr;
    const Camera* c = host_.findCamera(cameraNumber_);
    return c == nullptr ? nullptr : c->position;
}

bool Model::inFrustum(const Node* n) const {
    switch (n->kind) {
        case kBoxKind:
            return boxInFrustum(n->cornerA, n->cornerB);
        case kSphereKind:
            return sphereInFrustum(n->cornerA, n->radius);
        case kPointKind:
            return sphereInFrustum(n->cornerA, 0.0f);
        default:
            return true;
    }
}

bool Model::testCameraInside(Node* n) {
    bool inside = false;
    const float* p = cameraPosition();
    if (p != nullptr && n->kind == kBoxKind) {
        inside = n->cornerA[0] < p[0] && n->cornerA[1] < p[1] && n->cornerA[2] < p[2] &&
                 p[0] < n->cornerB[0] && p[1] < n->cornerB[1] && p[2] < n->cornerB[2];
    } else if (p != nullptr && n->kind == kSphereKind) {
        const float dx = p[0] - n->cornerA[0];
        const float dy = p[1] - n->cornerA[1];
        const float dz = p[2] - n->cornerA[2];
        float squares = dx * dx;
        squares = squares + dy * dy;
        squares = squares + dz * dz;
        const float distance = std::sqrt(squares);
        inside = n->radius > distance;
    }
    n->cameraInside = inside;
    return inside;
}

// --- the pass ---

void Model::cullAll() { cull(0); }

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

// --- dispatch by identifier ---

int32_t Model::call(int id, std::span<const uint32_t> s) {
    if (id < 1 || id > static_cast<int>(kCommandTable.size())) return 0;
    if (s.size() != signatureOf(kCommandTable[static_cast<size_t>(id - 1)]).parameters.size()) {
        return 0;
    }
    auto L = [&](size_t i) { return asInt(s[i]); };
    auto F = [&](size_t i) { return asFloat(s[i]); };
    switch (id) {
        case 1: updateFrustum1(); return 0;
        case 2: updateFrustum2(L(0)); return 0;
        case 3: cullAll(); return 0;
        case 4: cull(L(0)); return 0;
        case 5: return createBox(L(0), F(1), F(2), F(3), F(4), F(5), F(6), L(7));
        case 6: return createSphere(L(0), F(1), F(2), F(3), F(4), L(5));
        case 7: return createPoint(L(0), F(1), F(2), F(3), L(4));
        case 8: return createBox(L(0), F(1), F(2), F(3), F(4), F(5), F(6), kNormalRole);
        case 9: return createSphere(L(0), F(1), F(2), F(3), F(4), kNormalRole);
        case 10: return createPoint(L(0), F(1), F(2), F(3), kNormalRole);
        case 11: deleteNode(L(0)); return 0;
        case 12: deleteAll(); return 0;
        case 13: addObject(L(0), L(1)); return 0;
        case 14: addLimb(L(0), L(1), L(2)); return 0;
        case 15: removeObject(L(0), L(1)); return 0;
        case 16: removeLimb(L(0), L(1), L(2)); return 0;
        case 17: return visible(L(0)) ? 1 : 0;
        case 18: hide(L(0)); return 0;
        case 19: show(L(0)); return 0;
        case 20: hideAll(L(0)); return 0;
        case 21: showAll(L(0)); return 0;
        case 22: hideAll(0); return 0;
        case 23: showAll(0); return 0;
        case 24: return addPortal(L(0), L(1), L(2));
        case 25: removePortal(L(0)); return 0;
        case 26: return createObjectBox(L(0), L(1), L(2));
        case 27: return createObjectSphere(L(0), L(1), L(2));
        case 28: return createObjectBox(L(0), L(1), kNormalRole);
        case 29: return createObjectSphere(L(0), L(1), kNormalRole);
        case 30: return createLimbBox(L(0), L(1), L(2), L(3));
        case 31: return createLimbSphere(L(0), L(1), L(2), L(3));
        case 32: return createLimbBox(L(0), L(1), L(2), kNormalRole);
        case 33: return createLimbSphere(L(0), L(1), L(2), kNormalRole);
        case 34: return testBox(F(0), F(1), F(2), F(3), F(4), F(5)) ? 1 : 0;
        case 35: return testSphere(F(0), F(1), F(2), F(3)) ? 1 : 0;
        case 36: return testPoint(F(0), F(1), F(2)) ? 1 : 0;
        case 37: setParent(L(0), L(1)); return 0;
        case 38: setPosition(L(0), F(1), F(2), F(3)); return 0;
        case 39: setBox(L(0), F(1), F(2), F(3), F(4), F(5), F(6)); return 0;
        case 40: setBoxSize(L(0), F(1), F(2), F(3)); return 0;
        case 41: setRadius(L(0), F(1)); return 0;
        case 42: return floatBits(positionX(L(0)));
        case 43: return floatBits(positionY(L(0)));
        case 44: return floatBits(positionZ(L(0)));
        case 45: return floatBits(radius(L(0)));
        case 46: return floatBits(boxWidth(L(0)));
        case 47: return floatBits(boxHeight(L(0)));
        case 48: return floatBits(boxDepth(L(0)));
        case 49: return floatBits(boxXA(L(0)));
        case 50: return floatBits(boxYA(L(0)));
        case 51: return floatBits(boxZA(L(0)));
        case 52: return floatBits(boxXB(L(0)));
        case 53: return floatBits(boxYB(L(0)));
        case 54: return floatBits(boxZB(L(0)));
        case 55: return parentOf(L(0));
        case 56: enablePortal(L(0)); return 0;
        case 57: disablePortal(L(0)); return 0;
        case 58: return portalEnabled(L(0)) ? 1 : 0;
        case 59: return portalNodeOf(L(0));
        case 60: return zoneAOf(L(0));
        case 61: return zoneBOf(L(0));
        default: return 0;
    }
}

}  // namespace tarvo::reference
