// One tree takes one pass observer; otcull often wants several things told
// about the same pass (the plan view's portals, explanations, costs). This
// observer hands every event to each listener added, in the order added.
#pragma once

#include <vector>

#include "tree/tree.h"

namespace tarvo {

class PassListener {
public:
    virtual ~PassListener() = default;
    virtual void onPassEvent(const PassEvent& event) = 0;
};

class PassListeners {
public:
    PassListeners() : observer_{this, &PassListeners::forward} {}
    PassListeners(const PassListeners&) = delete;
    PassListeners& operator=(const PassListeners&) = delete;

    void add(PassListener& listener) { listeners_.push_back(&listener); }

    // Observes the tree's passes until detached; a pass observed costs a
    // little time, so timed passes are best left unobserved.
    void attach(Tree& tree) const { tree.setObserver(&observer_); }
    static void detach(Tree& tree) { tree.setObserver(nullptr); }

private:
    static void forward(void* self, const PassEvent& event) {
        for (PassListener* listener : static_cast<PassListeners*>(self)->listeners_) {
            listener->onPassEvent(event);
        }
    }

    PassObserver observer_;
    std::vector<PassListener*> listeners_;
};

}  // namespace tarvo
