#include "trace/flood_path.h"

namespace tarvo {

void FloodPath::onPassEvent(const PassEvent& event) {
    if (event.kind == PassEventKind::kPassBegin) {
        for (const PortalIndex p : followed_) passages_[p].reset();
        passages_.resize(tree_.portalSlotCount());
        followed_.clear();
        zones_.clear();
    } else if (event.kind == PassEventKind::kFlood && tree_.node(event.node).role == kZone) {
        zones_.push_back(event.node);
    } else if (event.kind == PassEventKind::kPortal && !passages_[event.portal] &&
               (event.decision == PortalDecision::kFollowed ||
                event.decision == PortalDecision::kLeadsOut)) {
        passages_[event.portal] =
            PortalStory{.met = true, .from = event.node, .decision = event.decision};
        followed_.push_back(event.portal);
    }
}

PortalStory FloodPath::story(PortalIndex portal, const PassStory& stories) const {
    if (portal < passages_.size() && passages_[portal]) return *passages_[portal];
    return stories.portal(portal);
}

}  // namespace tarvo
