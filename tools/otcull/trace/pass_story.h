// What happened to each node and portal in one visibility pass, gathered
// from the events the pass reports, for explaining the outcome afterwards.
#pragma once

#include <optional>
#include <vector>

#include "trace/pass_listeners.h"

namespace tarvo {

enum class LastAct : uint8_t { kNone, kShown, kHidden };

struct NodeStory {
    std::optional<PassEvent> shownBy;   // the meeting that led to its flood
    std::optional<PassEvent> rejected;  // the meeting whose frustum test failed
    NodeIndex hiddenWith = kNone;       // root of the last subtree hide of the flood
    bool hiddenAtStart = false;         // with everything, before the flood
    bool reHidden = false;              // flooded, then hidden with a subtree later on
    bool inert = false;                 // met, and its role takes no part
    bool childrenKept = false;          // a zone flooded without the camera
    bool holdsCamera = false;           // tested for the camera, and inside
    LastAct last = LastAct::kNone;
    uint32_t pass = 0;  // the pass it belongs to; an older one reads as untouched
};

struct PortalStory {
    uint32_t pass = 0;
    bool met = false;
    NodeIndex from = kNone;  // the zone being flooded when it was met last
    PortalDecision decision = PortalDecision::kDisabled;
};

// Stories are stamped with their pass, so a new pass starts without touching
// the stories of the nodes it never meets: a pass costs the events it reports.
class PassStory : public PassListener {
public:
    explicit PassStory(const Tree& tree) : tree_(tree) {}
    PassStory(const PassStory&) = delete;  // camera_ points into it
    PassStory& operator=(const PassStory&) = delete;
    void onPassEvent(const PassEvent& event) override;

    const NodeStory& node(NodeIndex index) const {
        return index < nodes_.size() && nodes_[index].pass == pass_ ? nodes_[index] : kUntouched;
    }
    const PortalStory& portal(PortalIndex index) const {
        return index < portals_.size() && portals_[index].pass == pass_ ? portals_[index] : kNotMet;
    }
    NodeIndex cameraZone() const { return cameraZone_; }
    // The camera as the pass saw it: its position (in a frustum otherwise
    // empty, for the camera-inside tests) and its near plane.
    const OtFrustum& camera() const { return camera_; }
    const Plane& nearPlane() const { return nearPlane_; }
    NodeIndex startNode() const { return start_; }
    // Counts passes from 1; 0 before the first.
    uint32_t passNumber() const { return pass_; }
    // Nodes shown and then hidden again with a subtree, in the order it happened.
    const std::vector<NodeIndex>& reHidden() const { return reHidden_; }

private:
    static constexpr NodeStory kUntouched{};
    static constexpr PortalStory kNotMet{};

    NodeStory& touch(NodeIndex index);
    void met(const PassEvent& event);
    void hidden(const PassEvent& event);
    void seeCamera();

    const Tree& tree_;
    uint32_t pass_ = 0;
    std::vector<NodeStory> nodes_;
    std::vector<PortalStory> portals_;
    std::vector<NodeIndex> reHidden_;
    NodeIndex cameraZone_ = kNone;
    NodeIndex start_ = kNone;
    float cameraPosition_[3] = {};
    OtFrustum camera_;
    Plane nearPlane_ = {};
    bool hidingEverything_ = false;  // between finding the camera zone and its flood
};

}  // namespace tarvo
