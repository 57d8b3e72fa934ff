// After each command, the core's frustum and whole tree against the model's,
// records matched through the handle bijection.
#include <bit>

#include "commands/state.h"
#include "differential/differential.h"
#include "differential/differential_shared.h"

namespace tarvo::reliability {

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

}  // namespace tarvo::reliability
