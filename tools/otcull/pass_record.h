// Which portals the last visibility pass went through, as the pass itself
// reports them to an attached observer.
#pragma once

#include <vector>

#include "pass_listeners.h"

namespace tarvo {

class PassRecord : public PassListener {
public:
    void onPassEvent(const PassEvent& event) override;

    // Followed to its far side, or out to the top level, in the last pass.
    bool wentThrough(PortalIndex portal) const {
        return portal < passed_.size() && passed_[portal] != 0;
    }

private:
    std::vector<uint8_t> passed_;  // by portal index
};

}  // namespace tarvo
