// The way a pass's flood went: the portals it went through, in order, and
// the zones it reached, from the camera zone on. A portal's story keeps only
// its last meeting, which may come after the one that went through it, so
// the passage is kept here.
#pragma once

#include <optional>
#include <vector>

#include "trace/pass_story.h"

namespace tarvo {

class FloodPath : public PassListener {
public:
    explicit FloodPath(const Tree& tree) : tree_(tree) {}
    void onPassEvent(const PassEvent& event) override;

    // The passage, else the last meeting, else a story of not met.
    PortalStory story(PortalIndex portal, const PassStory& stories) const;
    const std::vector<PortalIndex>& portalsFollowed() const { return followed_; }
    const std::vector<NodeIndex>& zonesReached() const { return zones_; }

private:
    const Tree& tree_;
    std::vector<std::optional<PortalStory>> passages_;
    std::vector<PortalIndex> followed_;
    std::vector<NodeIndex> zones_;
};

}  // namespace tarvo
