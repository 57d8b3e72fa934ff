#include "differential/differential.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "commands/command_table.h"
#include "commands/invoke.h"
#include "commands/state.h"
#include "differential/tree_invariants.h"
#include "tarvo/culling.h"

namespace tarvo::reliability {
namespace {

using reference::Body;
using reference::Camera;

// --- canned cameras ---

struct V3 {
    float x, y, z;
};

V3 sub(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 normalised(V3 a) {
    const float l = std::sqrt(dot(a, a));
    return {a.x / l, a.y / l, a.z / l};
}

// Row vectors: world point x view gives camera space, +z ahead.
void lookAt(float out[16], V3 eye, V3 at, V3 up) {
    const V3 z = normalised(sub(at, eye));
    const V3 x = normalised(cross(up, z));
    const V3 y = cross(z, x);
    const float m[16] = {x.x, y.x, z.x, 0, x.y,          y.y,          z.y,          0,
                         x.z, y.z, z.z, 0, -dot(x, eye), -dot(y, eye), -dot(z, eye), 1};
    std::memcpy(out, m, sizeof m);
}

// w is the view depth; clip depth 0 at zn and w at zf.
void perspective(float out[16], float xScale, float yScale, float zn, float zf, float offX) {
    const float q = zf / (zf - zn);
    const float m[16] = {xScale, 0, 0, 0, 0, yScale, 0, 0, offX, 0, q, 1, 0, 0, -q * zn, 0};
    std::memcpy(out, m, sizeof m);
}

void orthographic(float out[16], float halfWidth, float zn, float zf) {
    const float m[16] = {
        1 / halfWidth,   0, 0, 0, 0, 1 / halfWidth, 0, 0, 0, 0, 1 / (zf - zn), 0, 0, 0,
        -zn / (zf - zn), 1};
    std::memcpy(out, m, sizeof m);
}

Camera makeCamera(V3 eye, V3 at, V3 up) {
    Camera c;
    lookAt(c.view, eye, at, up);
    perspective(c.projection, 1.0f, 1.3333334f, 0.5f, 200.0f, 0.0f);
    c.position[0] = eye.x;
    c.position[1] = eye.y;
    c.position[2] = eye.z;
    return c;
}

}  // namespace

Camera cannedCamera(int which) {
    switch (which % kCannedCameraCount) {
        case 0:
            return makeCamera({0, 0, 0}, {0, 0, 1}, {0, 1, 0});
        case 1:
            return makeCamera({0, 0, 0}, {-1, 0, 0}, {0, 1, 0});
        case 2:
            return makeCamera({5, 1, 5}, {0, 0, 0}, {0, 1, 0});
        case 3:
            return makeCamera({-10, 2, 3}, {10, 0, 3}, {0, 1, 0});
        case 4:
            return makeCamera({0, 20, 0}, {0, 0, 0.001f}, {0, 0, 1});
        case 5: {
            Camera c = makeCamera({1, 1, 1}, {1, 1, 9}, {0, 1, 0});
            perspective(c.projection, 1.5f, 1.0f, 1.0f, 50.0f, 0.4f);
            return c;
        }
        case 6: {
            Camera c = makeCamera({2, 0, -6}, {2, 0, 0}, {0, 1, 0});
            orthographic(c.projection, 8.0f, 0.0f, 40.0f);
            return c;
        }
        default:
            return Camera{};
    }
}

namespace {

// --- decoding fuzzer bytes ---

class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool empty() const { return at_ >= bytes_.size(); }
    uint8_t u8() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(u8()) << (8 * i);
        return v;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

constexpr uint32_t kSpecialFloats[] = {
    0x7fc00000u,  // NaN
    0xffc00000u,  // -NaN
    0x7fc00001u,  // NaN with a payload
    0x7f800001u,  // signalling NaN
    0x7f800000u,  // +inf
    0xff800000u,  // -inf
    0x80000000u,  // -0
    0x00000000u,  // +0
    0x7f7fffffu,  // largest finite
    0xff7fffffu,  // most negative finite
    0x00800000u,  // smallest normal
    0x00000001u,  // smallest subnormal
    0x80000001u,  // negative smallest subnormal
    0x7149f2cau,  // 1e30
    0xf149f2cau,  // -1e30
    0x0da24260u,  // 1e-30
    0x3f000000u,  // 0.5
    0x4b800001u,  // 2^24 + 2: where odd integers stop
};

float decodeFloat(Reader& in) {
    const uint8_t s = in.u8();
    if (s < 96) return static_cast<float>(static_cast<int>(in.u8() % 41) - 20);
    if (s < 144) return static_cast<float>(static_cast<int8_t>(in.u8())) * 0.25f;
    if (s < 184) {
        return std::bit_cast<float>(kSpecialFloats[in.u8() % std::size(kSpecialFloats)]);
    }
    return std::bit_cast<float>(in.u32());
}

uint32_t floatSlot(float f) {
    return std::bit_cast<uint32_t>(f);
}

int32_t decodeRole(Reader& in) {
    static constexpr int32_t kRoles[] = {1, 2, 2, 1, 2, 0, 3, -1};
    const uint8_t s = in.u8();
    if (s >= 240) return static_cast<int32_t>(in.u32());
    return kRoles[s % std::size(kRoles)];
}

int32_t decodeSmall(Reader& in, int count, int offset) {
    const uint8_t s = in.u8();
    if (s >= 232) return static_cast<int32_t>(in.u32());
    return static_cast<int32_t>(s % count) + offset;
}

const CommandDeclaration& commandOf(int id) {
    return kCommandTable[static_cast<size_t>(id - 1)];
}

std::string_view exportName(int id) {
    return commandOf(id).signature.exportName;
}

// Any NaN equals any NaN: a compiler may swap the operands of an addition,
// and x86 keeps the payload of whichever NaN comes first, so payloads differ
// between two correct builds (seen: SetPosition on a box with a NaN corner).
bool sameFloat(uint32_t a, uint32_t b) {
    if (a == b) return true;
    return std::isnan(std::bit_cast<float>(a)) && std::isnan(std::bit_cast<float>(b));
}

std::string hex(uint32_t v) {
    static const char* digits = "0123456789abcdef";
    std::string s = "0x";
    for (int i = 7; i >= 0; --i) s += digits[(v >> (4 * i)) & 15];
    return s;
}

std::string describeCalls(const std::vector<HostCall>& calls) {
    std::string s = "[";
    for (size_t i = 0; i < calls.size(); ++i) {
        if (i > 0) s += ", ";
        if (i == 40) return s + "... (" + std::to_string(calls.size()) + " calls)]";
        s += formatHostCall(calls[i]);
    }
    return s + "]";
}

StandInCamera toStandIn(const Camera& c) {
    StandInCamera s;
    std::memcpy(s.projection, c.projection, sizeof s.projection);
    std::memcpy(s.view, c.view, sizeof s.view);
    std::memcpy(s.position, c.position, sizeof s.position);
    return s;
}

OtBodyFigures toFigures(const Body& b) {
    OtBodyFigures f;
    std::memcpy(f.position, b.position, sizeof f.position);
    std::memcpy(f.boundsMin, b.boundsMin, sizeof f.boundsMin);
    std::memcpy(f.boundsMax, b.boundsMax, sizeof f.boundsMax);
    f.radius = b.radius;
    return f;
}

bool isCreate(int id) {
    return commandOf(id).result == ResultKind::kNewNode ||
           commandOf(id).result == ResultKind::kNewPortal;
}

bool takesFrustum(int id) {
    return commandOf(id).reads == HostRead::kCurrentCamera ||
           commandOf(id).reads == HostRead::kCameraMatrices;
}

}  // namespace

std::string_view argumentKinds(int id) {
    return id >= 1 && id <= static_cast<int>(kCommandCount) ? commandOf(id).parameterKinds
                                                            : std::string_view();
}

// --- the run ---

Differential::Differential()
    : coreHost_(std::make_unique<StandInHost>()),
      modelHost_(std::make_unique<reference::Host>()),
      model_(std::make_unique<reference::Model>(*modelHost_)) {
    const OtHostApi api = coreHost_->api();
    ot_bind_host(&api);
    resetCullingState();
}

Differential::~Differential() {
    resetCullingState();
    ot_bind_host(nullptr);
}

void Differential::setCamera(int32_t number, const Camera& camera) {
    coreHost_->camera(number) = toStandIn(camera);
    modelHost_->camera(number) = camera;
}

void Differential::moveCamera(int32_t number, float x, float y, float z) {
    StandInCamera& c = coreHost_->camera(number);
    Camera& m = modelHost_->camera(number);
    c.position[0] = m.position[0] = x;
    c.position[1] = m.position[1] = y;
    c.position[2] = m.position[2] = z;
}

void Differential::setCurrentCamera(int32_t number) {
    coreHost_->setCurrentCamera(number);
    modelHost_->setCurrentCamera(number);
}

void Differential::setObject(int32_t number, const Body& body) {
    coreHost_->setObject(number, toFigures(body));
    modelHost_->setObject(number, body);
}

void Differential::setLimb(int32_t object, int32_t limb, const Body& body) {
    coreHost_->setLimb(object, limb, toFigures(body));
    modelHost_->setLimb(object, limb, body);
}

bool Differential::isLiveOnEitherSide(int32_t value) const {
    return coreToModel_.count(value) != 0 || modelToCore_.count(value) != 0;
}

std::string Differential::command(int id, std::span<const uint32_t> coreSlots,
                                  std::span<const uint32_t> modelSlots, int32_t* coreResult) {
    const std::string name(exportName(id));
    const int32_t core = invokeCommand(id, coreSlots);
    const int32_t model = model_->call(id, modelSlots);
    if (coreResult != nullptr) *coreResult = core;

    lastCoreCalls_ = coreHost_->takeCalls();
    const std::vector<HostCall>& coreCalls = lastCoreCalls_;
    const std::vector<HostCall> modelCalls = modelHost_->takeCalls();
    if (coreCalls != modelCalls) {
        return name + ": host calls differ: core " + describeCalls(coreCalls) + ", model " +
               describeCalls(modelCalls);
    }
    if (coreHost_->linkCount() != modelHost_->linkCount()) {
        return name + ": host link runs differ: core " + std::to_string(coreHost_->linkCount()) +
               ", model " + std::to_string(modelHost_->linkCount());
    }
    if (std::string d = compareResult(id, core, model); !d.empty()) return name + ": " + d;
    if (takesFrustum(id)) {
        if (std::string d = compareFrustum(); !d.empty()) return name + ": " + d;
    }
    if (std::string d = syncLiveness(); !d.empty()) return name + ": " + d;
    if (std::string d = checkTreeInvariants(cullingState()); !d.empty()) {
        return name + ": core invariant broken: " + d;
    }
    if (compareStructure_) {
        if (std::string d = compareTree(); !d.empty()) return name + ": trees differ: " + d;
    }
    return {};
}

std::string Differential::compareResult(int id, int32_t core, int32_t model) {
    const CommandSignature& sig = commandOf(id).signature;
    if (sig.result == 'F') {
        if (!sameFloat(static_cast<uint32_t>(core), static_cast<uint32_t>(model))) {
            return "float results differ: core " + hex(static_cast<uint32_t>(core)) + ", model " +
                   hex(static_cast<uint32_t>(model));
        }
        return {};
    }
    if (sig.result == 'D' || sig.result == 0) {
        if (core != model) {
            return "results differ: core " + std::to_string(core) + ", model " +
                   std::to_string(model);
        }
        return {};
    }
    // A handle: fresh from a create command, else one already known.
    if ((core == 0) != (model == 0)) {
        return "one side returned no handle: core " + hex(static_cast<uint32_t>(core)) +
               ", model " + std::to_string(model);
    }
    if (core == 0) return {};
    if (isCreate(id)) {
        if (coreToModel_.count(core) != 0 || modelToCore_.count(model) != 0) {
            return "a create command returned a handle that names a live record";
        }
        live_.push_back(
            {core, model, commandOf(id).result == ResultKind::kNewPortal, nextOrdinal_++});
        coreToModel_[core] = model;
        modelToCore_[model] = core;
        return {};
    }
    const auto found = coreToModel_.find(core);
    if (found == coreToModel_.end() || found->second != model) {
        return "handle results name different records: core " + hex(static_cast<uint32_t>(core)) +
               ", model " + std::to_string(model);
    }
    return {};
}

std::string Differential::compareFrustum() const {
    const OtFrustum& f = cullingState().frustum();
    if ((f.cameraRecord.position != nullptr) != model_->hasCameraRecord()) {
        return "one side has a camera record, the other none";
    }
    for (int p = 0; p < 6; ++p) {
        const Plane& plane = f.planes[p];
        const float core[4] = {plane.a, plane.b, plane.c, plane.d};
        for (int k = 0; k < 4; ++k) {
            const uint32_t c = std::bit_cast<uint32_t>(core[k]);
            const uint32_t m = std::bit_cast<uint32_t>(model_->planes()[p][k]);
            if (!sameFloat(c, m)) {
                return "plane " + std::to_string(p) + " component " + std::to_string(k) +
                       " differs: core " + hex(c) + ", model " + hex(m);
            }
        }
    }
    return {};
}

std::string Differential::syncLiveness() {
    const Tree& tree = cullingState();
    std::string broken;
    auto dead = [&](const HandlePair& p) {
        const bool modelLive = p.portal ? model_->findPortal(p.model) != nullptr
                                        : model_->findNode(p.model) != nullptr;
        const bool coreLive =
            p.portal ? tree.portalIndex(p.core) != kNone : tree.nodeIndex(p.core) != kNone;
        if (modelLive != coreLive && broken.empty()) {
            broken = std::string(p.portal ? "portal #" : "node #") + std::to_string(p.ordinal) +
                     (coreLive ? " lives on in the core only" : " lives on in the model only");
        }
        if (modelLive && coreLive) return false;
        coreToModel_.erase(p.core);
        modelToCore_.erase(p.model);
        stale_.push_back(p);
        return true;
    };
    live_.erase(std::remove_if(live_.begin(), live_.end(), dead), live_.end());
    if (stale_.size() > 64) stale_.erase(stale_.begin(), stale_.begin() + 32);
    return broken;
}

std::string Differential::compareTree() const {
    const Tree& tree = cullingState();
    if (tree.liveNodeCount() != model_->nodeCount()) {
        return "node counts: core " + std::to_string(tree.liveNodeCount()) + ", model " +
               std::to_string(model_->nodeCount());
    }
    if (tree.livePortalCount() != model_->portalCount()) {
        return "portal counts: core " + std::to_string(tree.livePortalCount()) + ", model " +
               std::to_string(model_->portalCount());
    }
    auto modelOfNode = [&](NodeIndex i) -> int32_t {
        if (i == kRoot) return 0;
        const auto found = coreToModel_.find(tree.nodeHandle(i));
        return found == coreToModel_.end() ? -1 : found->second;
    };
    auto modelOfPortal = [&](PortalIndex i) -> int32_t {
        const auto found = coreToModel_.find(tree.portalHandle(i));
        return found == coreToModel_.end() ? -1 : found->second;
    };
    auto handleOf = [](const reference::Node* n) { return n == nullptr ? 0 : n->handle; };
    auto childrenOf = [&](NodeIndex parent) {
        std::vector<int32_t> out;
        for (NodeIndex c = tree.node(parent).firstChild; c != kNone; c = tree.node(c).nextSibling) {
            out.push_back(modelOfNode(c));
        }
        return out;
    };
    auto handles = [&](const std::vector<reference::Node*>& nodes) {
        std::vector<int32_t> out;
        for (const reference::Node* n : nodes) out.push_back(n->handle);
        return out;
    };
    auto portalHandles = [&](const std::vector<reference::Portal*>& portals) {
        std::vector<int32_t> out;
        for (const reference::Portal* p : portals) out.push_back(p->handle);
        return out;
    };
    auto corePortals = [&](const std::vector<PortalIndex>& portals) {
        std::vector<int32_t> out;
        for (PortalIndex p : portals) out.push_back(modelOfPortal(p));
        return out;
    };
    auto bits = [](float f) { return std::bit_cast<uint32_t>(f); };

    if (childrenOf(kRoot) != handles(model_->topLevel())) return "top-level lists differ";
    for (const HandlePair& pair : live_) {
        const std::string who =
            std::string(pair.portal ? "portal #" : "node #") + std::to_string(pair.ordinal);
        if (pair.portal) {
            const reference::Portal* m = model_->findPortal(pair.model);
            const OtPortal& c = tree.portal(tree.portalIndex(pair.core));
            if (modelOfNode(c.portalNode) != handleOf(m->portalNode) ||
                modelOfNode(c.zoneA) != handleOf(m->zoneA) ||
                modelOfNode(c.zoneB) != handleOf(m->zoneB)) {
                return who + ": the nodes it joins differ";
            }
            if ((c.disabled != 0) != m->disabled) return who + ": enabled state differs";
            continue;
        }
        const reference::Node* m = model_->findNode(pair.model);
        const NodeIndex i = tree.nodeIndex(pair.core);
        const OtNode& c = tree.node(i);
        if (modelOfNode(c.parent) != handleOf(m->parent)) return who + ": parents differ";
        if (childrenOf(i) != handles(m->children)) return who + ": child lists differ";
        if (c.depth != m->depth) return who + ": depths differ";
        if (c.kind != m->kind || c.role != m->role) return who + ": kind or role differs";
        const uint32_t coreVolume[7] = {bits(c.cornerA.x), bits(c.cornerA.y), bits(c.cornerA.z),
                                        bits(c.cornerB.x), bits(c.cornerB.y), bits(c.cornerB.z),
                                        bits(c.radius)};
        const uint32_t modelVolume[7] = {
            bits(m->cornerA[0]), bits(m->cornerA[1]), bits(m->cornerA[2]), bits(m->cornerB[0]),
            bits(m->cornerB[1]), bits(m->cornerB[2]), bits(m->radius)};
        for (int k = 0; k < 7; ++k) {
            if (!sameFloat(coreVolume[k], modelVolume[k])) {
                return who + ": volume field " + std::to_string(k) + " differs: core " +
                       hex(coreVolume[k]) + ", model " + hex(modelVolume[k]);
            }
        }
        if (tree.isVisible(pair.core) != m->visible) return who + ": visible flags differ";
        const auto& attachments = tree.attachments(i);
        if (attachments.size() != m->attachments.size()) return who + ": attachments differ";
        for (size_t k = 0; k < attachments.size(); ++k) {
            if (attachments[k].object != m->attachments[k].object ||
                attachments[k].limb != m->attachments[k].limb) {
                return who + ": attachments differ";
            }
        }
        if (corePortals(tree.zonePortals(i)) != portalHandles(m->zonePortals)) {
            return who + ": zone portal lists differ";
        }
        if (corePortals(tree.ownPortals(i)) != portalHandles(m->ownPortals)) {
            return who + ": opening portal lists differ";
        }
    }
    return {};
}

// --- fuzzer programs ---

std::string Differential::runProgram(std::span<const uint8_t> bytes,
                                     std::vector<std::string>* trace) {
    Reader in(bytes);
    constexpr int kMaxSteps = 300;

    // A handle argument: mostly a live record of the expected kind, so that
    // programs reach deep states; sometimes 0, the other kind, a deleted
    // record, a value never issued, or a live core index with a forged
    // generation or kind bit.
    auto pickHandle = [&](bool wantPortal, uint32_t& core, uint32_t& model, std::string& text) {
        core = model = 0;
        text = "0";
        auto pickLive = [&](bool portal) -> const HandlePair* {
            std::vector<const HandlePair*> of;
            for (const HandlePair& p : live_) {
                if (p.portal == portal) of.push_back(&p);
            }
            if (of.empty()) return nullptr;
            return of[in.u8() % of.size()];
        };
        auto use = [&](const HandlePair* p, const char* prefix) {
            if (p == nullptr) return;
            core = static_cast<uint32_t>(p->core);
            model = static_cast<uint32_t>(p->model);
            text = std::string(prefix) + (p->portal ? "p" : "n") + std::to_string(p->ordinal);
        };
        auto unissuedModelValue = [&]() {
            int32_t v = -7;
            while (isLiveOnEitherSide(v)) --v;
            return static_cast<uint32_t>(v);
        };
        const uint8_t s = in.u8();
        if (s < 150) {
            use(pickLive(wantPortal), "");
        } else if (s < 170) {
            // 0 as given
        } else if (s < 190) {
            use(pickLive(!wantPortal), "");
        } else if (s < 210) {
            if (!stale_.empty()) {
                const HandlePair& p = stale_[in.u8() % stale_.size()];
                if (!isLiveOnEitherSide(p.core) && !isLiveOnEitherSide(p.model)) {
                    use(&p, "stale ");
                }
            }
        } else if (s < 230) {
            const uint32_t v = in.u32();
            if (!isLiveOnEitherSide(static_cast<int32_t>(v))) {
                core = model = v;
                text = hex(v);
            }
        } else if (s < 245) {
            if (!live_.empty()) {
                const HandlePair& p = live_[in.u8() % live_.size()];
                const uint8_t bit = in.u8() % 10;
                const uint32_t flip = bit == 9 ? kPortalBit : 1u << (kGenerationShift + bit);
                const uint32_t forged = static_cast<uint32_t>(p.core) ^ flip;
                if (!isLiveOnEitherSide(static_cast<int32_t>(forged))) {
                    core = forged;
                    model = unissuedModelValue();
                    text = "forged " + hex(forged);
                }
            }
        } else {
            if (!live_.empty()) use(&live_[in.u8() % live_.size()], "");
        }
    };

    auto pickBody = [&]() {
        Body b;
        for (float& v : b.position) v = decodeFloat(in);
        for (float& v : b.boundsMin) v = decodeFloat(in);
        for (float& v : b.boundsMax) v = decodeFloat(in);
        b.radius = decodeFloat(in);
        return b;
    };

    for (int step = 0; step < kMaxSteps && !in.empty(); ++step) {
        const uint8_t op = in.u8();
        if (op >= 183) {
            const int hostOp = (op - 183) % 6;
            std::string line;
            switch (hostOp) {
                case 0: {
                    const int32_t number = in.u8() % 4;
                    const int which = in.u8() % kCannedCameraCount;
                    Camera c = cannedCamera(which);
                    if (in.u8() >= 128) {
                        for (float& v : c.position) v = decodeFloat(in);
                    }
                    setCamera(number, c);
                    if (trace) {
                        line = "camera " + std::to_string(number) + " = canned " +
                               std::to_string(which) + " at " + std::to_string(c.position[0]) +
                               " " + std::to_string(c.position[1]) + " " +
                               std::to_string(c.position[2]);
                    }
                    break;
                }
                case 1: {
                    const int32_t number = in.u8() % 4;
                    float p[3];
                    for (float& v : p) v = decodeFloat(in);
                    if (coreHost_->hasCamera(number)) moveCamera(number, p[0], p[1], p[2]);
                    if (trace) {
                        line = "move camera " + std::to_string(number) + " to " +
                               std::to_string(p[0]) + " " + std::to_string(p[1]) + " " +
                               std::to_string(p[2]);
                    }
                    break;
                }
                case 2: {
                    const int32_t number = decodeSmall(in, 5, 0);
                    setCurrentCamera(number);
                    if (trace) line = "current camera " + std::to_string(number);
                    break;
                }
                case 3: {
                    const int32_t number = in.u8() % 8;
                    setObject(number, pickBody());
                    if (trace) line = "object " + std::to_string(number) + " set";
                    break;
                }
                case 4: {
                    const int32_t object = in.u8() % 8;
                    const int32_t limb = in.u8() % 4;
                    setLimb(object, limb, pickBody());
                    if (trace) {
                        line =
                            "limb " + std::to_string(object) + "." + std::to_string(limb) + " set";
                    }
                    break;
                }
                default: {
                    const int32_t number = in.u8() % 4;
                    Camera c;
                    for (float& v : c.projection) v = decodeFloat(in);
                    for (float& v : c.view) v = decodeFloat(in);
                    for (float& v : c.position) v = decodeFloat(in);
                    setCamera(number, c);
                    if (trace) line = "camera " + std::to_string(number) + " = raw figures";
                    break;
                }
            }
            if (trace) trace->push_back(line);
            continue;
        }

        const int id = static_cast<int>(op % kCommandCount) + 1;
        const std::string_view kinds = commandOf(id).parameterKinds;
        std::vector<uint32_t> coreSlots(kinds.size());
        std::vector<uint32_t> modelSlots(kinds.size());
        std::string line = trace ? std::string(exportName(id)) + "(" : std::string();
        for (size_t k = 0; k < kinds.size(); ++k) {
            std::string text;
            switch (kinds[k]) {
                case 'N':
                case 'P':
                    pickHandle(kinds[k] == 'P', coreSlots[k], modelSlots[k], text);
                    break;
                case 'F': {
                    const float f = decodeFloat(in);
                    coreSlots[k] = modelSlots[k] = floatSlot(f);
                    if (trace) text = hex(floatSlot(f));
                    break;
                }
                case 'R':
                    coreSlots[k] = modelSlots[k] = static_cast<uint32_t>(decodeRole(in));
                    break;
                case 'O':
                    coreSlots[k] = modelSlots[k] = static_cast<uint32_t>(decodeSmall(in, 8, 0));
                    break;
                case 'M':
                    coreSlots[k] = modelSlots[k] = static_cast<uint32_t>(decodeSmall(in, 6, -1));
                    break;
                default:  // 'C'
                    coreSlots[k] = modelSlots[k] = static_cast<uint32_t>(decodeSmall(in, 5, 0));
                    break;
            }
            if (trace) {
                if (text.empty()) text = std::to_string(static_cast<int32_t>(coreSlots[k]));
                line += (k > 0 ? ", " : "") + text;
            }
        }
        int32_t result = 0;
        std::string divergence = command(id, coreSlots, modelSlots, &result);
        if (trace) {
            line += ")";
            if (isCreate(id) && result != 0 && !live_.empty() && live_.back().core == result) {
                line += std::string(" -> ") + (live_.back().portal ? "p" : "n") +
                        std::to_string(live_.back().ordinal);
            } else if (commandOf(id).signature.result != 0) {
                line += " -> " + hex(static_cast<uint32_t>(result));
            }
            trace->push_back(line);
        }
        if (!divergence.empty()) return "step " + std::to_string(step) + ": " + divergence;
    }
    return {};
}

}  // namespace tarvo::reliability
