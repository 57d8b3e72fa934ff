// Which portals the last visibility pass went through, as the pass itself
// reports them to an attached observer.
#pragma once

#include <vector>

#include "trace/pass_listeners.h"

namespace tarvo {

class PassedPortals : public PassListener {
public:
    void onPassEvent(const PassEvent& event) override;

    // Followed to its far side, or out to the top level, in the last pass.
    bool wentThrough(PortalIndex portal) const {
        return portal < passedIn_.size() && passedIn_[portal] == pass_;
    }

private:
    // By portal index, the last pass that went through it: a new pass
    // forgets the last one without touching every portal.
    std::vector<uint32_t> passedIn_;
    uint32_t pass_ = 0;
};

}  // namespace tarvo
