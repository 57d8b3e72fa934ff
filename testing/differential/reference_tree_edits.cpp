// The model's records and handles, and every command that edits the tree:
// creating and deleting nodes, reparenting, attachments, portals, and volumes
// fitted to a host object or limb.
#include <algorithm>

#include "differential/reference_model.h"

namespace tarvo::reference {
namespace {

template <typename T>
void eraseValue(std::vector<T*>& list, const T* value) {
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

}  // namespace

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

int32_t Model::createBox(int32_t parent, float xa, float ya, float za, float xb, float yb, float zb,
                         int32_t role) {
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

int32_t Model::createSphere(int32_t parent, float x, float y, float z, float radius, int32_t role) {
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

void Model::deleteAll() {
    deleteNode(0);
}

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

// --- attachments ---

void Model::addObject(int32_t node, int32_t object) {
    addLimb(node, object, -1);
}

void Model::addLimb(int32_t node, int32_t object, int32_t limb) {
    if (Node* n = nodeOf(node)) n->attachments.push_back({object, limb});
}

void Model::removeObject(int32_t node, int32_t object) {
    removeLimb(node, object, -1);
}

void Model::removeLimb(int32_t node, int32_t object, int32_t limb) {
    Node* n = nodeOf(node);
    if (n == nullptr) return;
    const Attachment gone{object, limb};
    n->attachments.erase(std::remove(n->attachments.begin(), n->attachments.end(), gone),
                         n->attachments.end());
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
    return createFitted(parent, host_.findLimb(object, limb), kSphereKind, role, {object, limb});
}

}  // namespace tarvo::reference
