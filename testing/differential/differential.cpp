#include "differential/differential.h"

#include <algorithm>
#include <cstring>

#include "commands/invoke.h"
#include "commands/state.h"
#include "differential/differential_shared.h"
#include "differential/tree_invariants.h"
#include "tarvo/culling.h"

namespace tarvo::reliability {
namespace {

using reference::Body;
using reference::Camera;

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

}  // namespace tarvo::reliability
