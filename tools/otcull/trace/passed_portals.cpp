#include "trace/passed_portals.h"

namespace tarvo {

void PassedPortals::onPassEvent(const PassEvent& event) {
    if (event.kind == PassEventKind::kPassBegin) {
        ++pass_;
        return;
    }
    if (event.kind != PassEventKind::kPortal) return;
    if (event.decision != PortalDecision::kFollowed &&
        event.decision != PortalDecision::kLeadsOut) {
        return;
    }
    if (event.portal >= passedIn_.size()) passedIn_.resize(event.portal + 1, 0);
    passedIn_[event.portal] = pass_;
}

}  // namespace tarvo
