// What happened to each node and portal in one visibility pass, gathered
// from the events the pass reports, for explaining the outcome afterwards.
#pragma once

#include <optional>
#include <vector>

#include "pass_listeners.h"

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
};

struct PortalStory {
    bool met = false;
    NodeIndex from = kNone;  // the zone being flooded when it was met last
    PortalDecision decision = PortalDecision::kDisabled;
};

class PassStory : public PassListener {
public:
    explicit PassStory(const Tree& tree) : tree_(tree) {}
    void onPassEvent(const PassEvent& event) override;

    const NodeStory& node(NodeIndex index) const { return nodes_[index]; }
    const PortalStory& portal(PortalIndex index) const { return portals_[index]; }
    NodeIndex cameraZone() const { return cameraZone_; }
    NodeIndex startNode() const { return start_; }

private:
    void met(const PassEvent& event);
    void hidden(const PassEvent& event);

    const Tree& tree_;
    std::vector<NodeStory> nodes_;
    std::vector<PortalStory> portals_;
    NodeIndex cameraZone_ = kNone;
    NodeIndex start_ = kNone;
    bool hidingEverything_ = false;  // between finding the camera zone and its flood
};

}  // namespace tarvo
