// A second, deliberately plain implementation of the culling commands: heap
// records, recursion, lists erased by value. It is slow on purpose and serves
// as the oracle the optimised core is checked against, and as the literal
// baseline of the benchmarks. It shares nothing with the core but the command
// table and the host call log format.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <vector>

#include "host/standin_host.h"

namespace tarvo::reference {

// The figures the host gives for an object, or for a limb with its mesh.
struct Body {
    float position[3] = {};
    float boundsMin[3] = {};
    float boundsMax[3] = {};
    float radius = 0.0f;
};

struct Camera {
    float projection[16] = {};
    float view[16] = {};
    float position[3] = {};
};

// The model's own host: cameras, objects and limbs, and a log of switches.
class Host {
public:
    Camera& camera(int32_t number) { return cameras_[number]; }
    const Camera* findCamera(int32_t number) const;
    void setCurrentCamera(int32_t number) { currentCamera_ = number; }
    int32_t currentCamera() const { return currentCamera_; }

    void setObject(int32_t number, const Body& body) { objects_[number].body = body; }
    // False when the object does not exist.
    bool setLimb(int32_t object, int32_t limb, const Body& body);
    const Body* findObject(int32_t number) const;
    const Body* findLimb(int32_t object, int32_t limb) const;

    void link() { ++linkCount_; }
    void call(HostOp op, int32_t object, int32_t limb);
    // When false, switches are only counted (benchmarks).
    void setLogging(bool on) { logging_ = on; }
    std::vector<HostCall> takeCalls();
    uint64_t linkCount() const { return linkCount_; }
    uint64_t switchCount() const { return switchCount_; }

private:
    struct Object {
        Body body;
        std::map<int32_t, Body> limbs;
    };
    std::map<int32_t, Camera> cameras_;
    std::map<int32_t, Object> objects_;
    int32_t currentCamera_ = 0;
    bool logging_ = true;
    std::vector<HostCall> calls_;
    uint64_t linkCount_ = 0;
    uint64_t switchCount_ = 0;
};

struct Portal;

struct Attachment {
    int32_t object;
    int32_t limb;
    bool operator==(const Attachment&) const = default;
};

struct Node {
    int32_t handle = 0;
    std::vector<Attachment> attachments;
    int32_t kind = 0;
    int32_t role = 0;
    Node* parent = nullptr;
    std::vector<Node*> children;
    std::vector<Portal*> zonePortals;
    std::vector<Portal*> ownPortals;
    float cornerA[3] = {};
    float cornerB[3] = {};
    float radius = 0.0f;
    bool visible = true;
    bool cameraInside = false;
    int32_t depth = 0;
    bool mark = false;
};

struct Portal {
    int32_t handle = 0;
    Node* portalNode = nullptr;
    Node* zoneA = nullptr;
    Node* zoneB = nullptr;
    bool disabled = false;
};

class Model {
public:
    explicit Model(Host& host) : host_(host) {}
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // Any command by its table identifier, arguments and result as 32-bit
    // slots exactly as the exports take and give them.
    int32_t call(int id, std::span<const uint32_t> slots);

    void updateFrustum1();
    void updateFrustum2(int32_t camera);
    void cullAll();
    void cull(int32_t start);
    int32_t createBox(int32_t parent, float xa, float ya, float za, float xb, float yb, float zb,
                      int32_t role);
    int32_t createSphere(int32_t parent, float x, float y, float z, float radius, int32_t role);
    int32_t createPoint(int32_t parent, float x, float y, float z, int32_t role);
    void deleteNode(int32_t node);
    void deleteAll();
    void addObject(int32_t node, int32_t object);
    void addLimb(int32_t node, int32_t object, int32_t limb);
    void removeObject(int32_t node, int32_t object);
    void removeLimb(int32_t node, int32_t object, int32_t limb);
    bool visible(int32_t node);
    void hide(int32_t node);
    void show(int32_t node);
    void hideAll(int32_t node);
    void showAll(int32_t node);
    int32_t addPortal(int32_t zoneA, int32_t zoneB, int32_t portalNode);
    void removePortal(int32_t portal);
    int32_t createObjectBox(int32_t parent, int32_t object, int32_t role);
    int32_t createObjectSphere(int32_t parent, int32_t object, int32_t role);
    int32_t createLimbBox(int32_t parent, int32_t object, int32_t limb, int32_t role);
    int32_t createLimbSphere(int32_t parent, int32_t object, int32_t limb, int32_t role);
    bool testBox(float xa, float ya, float za, float xb, float yb, float zb) const;
    bool testSphere(float x, float y, float z, float radius) const;
    bool testPoint(float x, float y, float z) const;
    void setParent(int32_t node, int32_t newParent);
    void setPosition(int32_t node, float x, float y, float z);
    void setBox(int32_t node, float xa, float ya, float za, float xb, float yb, float zb);
    void setBoxSize(int32_t node, float width, float height, float depth);
    void setRadius(int32_t node, float radius);
    float positionX(int32_t node);
    float positionY(int32_t node);
    float positionZ(int32_t node);
    float radius(int32_t node);
    float boxWidth(int32_t node);
    float boxHeight(int32_t node);
    float boxDepth(int32_t node);
    float boxXA(int32_t node);
    float boxYA(int32_t node);
    float boxZA(int32_t node);
    float boxXB(int32_t node);
    float boxYB(int32_t node);
    float boxZB(int32_t node);
    int32_t parentOf(int32_t node);
    void enablePortal(int32_t portal);
    void disablePortal(int32_t portal);
    bool portalEnabled(int32_t portal);
    int32_t portalNodeOf(int32_t portal);
    int32_t zoneAOf(int32_t portal);
    int32_t zoneBOf(int32_t portal);

    // For comparisons: nullptr unless the handle names a live record.
    const Node* findNode(int32_t handle) const;
    const Portal* findPortal(int32_t handle) const;
    const std::vector<Node*>& topLevel() const { return topLevel_; }
    size_t nodeCount() const { return nodes_.size(); }
    size_t portalCount() const { return portals_.size(); }
    const float (&planes() const)[6][4] { return planes_; }
    bool hasCameraRecord() const { return hasCamera_; }

private:
    // Node roles and volume kinds, numbered as the commands number them.
    static constexpr int32_t kNormalRole = 1;
    static constexpr int32_t kZoneRole = 2;
    static constexpr int kBoxKind = 1;
    static constexpr int kSphereKind = 2;
    static constexpr int kPointKind = 3;

    Node* nodeOf(int32_t handle);
    Portal* portalOf(int32_t handle);
    // False when the handle is neither 0 nor a live node.
    bool resolveOptional(int32_t handle, Node*& out);

    Node* newNode(Node* parent);
    int32_t finishCreate(Node* n, int kind, int32_t role);
    int32_t createFitted(int32_t parent, const Body* body, int kind, int32_t role,
                         Attachment attachment);
    void destroy(Node* n);
    void unlinkPortal(Portal* p);
    void freePortal(Portal* p);
    bool isInSubtree(const Node* candidate, const Node* root) const;

    void switchNode(Node* n, bool show);
    void switchSubtree(Node* n, bool show);

    void cullPass(Node* start);
    void clearMarks(Node* n);
    Node* findCameraZone(Node* n, Node* best);
    void cullNode(Node* n);
    void flood(Node* n);
    bool inFrustum(const Node* n) const;
    bool testCameraInside(Node* n);
    const float* cameraPosition() const;
    void updateFromCamera(int32_t camera);

    bool boxInFrustum(const float a[3], const float b[3]) const;
    bool sphereInFrustum(const float c[3], float radius) const;

    Host& host_;
    std::vector<Node*> topLevel_;
    std::map<int32_t, Node*> nodes_;
    std::map<int32_t, Portal*> portals_;
    int32_t nextHandle_ = 1;

    float viewProjection_[16] = {};
    float planes_[6][4] = {};
    bool hasCamera_ = false;
    int32_t cameraNumber_ = 0;
};

}  // namespace tarvo::reference
