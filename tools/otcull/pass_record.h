// Which portals the last visibility pass went through, as the pass itself
// reports them to an attached observer.
#pragma once

#include <vector>

#include "tree/tree.h"

namespace tarvo {

class PassRecord {
public:
    PassRecord();
    PassRecord(const PassRecord&) = delete;
    PassRecord& operator=(const PassRecord&) = delete;

    // Observes the tree's passes until detached; a pass observed costs a
    // little time, so timed passes are best left unobserved.
    void attach(Tree& tree) { tree.setObserver(&observer_); }
    static void detach(Tree& tree) { tree.setObserver(nullptr); }

    // Followed to its far side, or out to the top level, in the last pass.
    bool wentThrough(PortalIndex portal) const {
        return portal < passed_.size() && passed_[portal] != 0;
    }

private:
    static void onEvent(void* self, const PassEvent& event);

    PassObserver observer_;
    std::vector<uint8_t> passed_;  // by portal index
};

}  // namespace tarvo
