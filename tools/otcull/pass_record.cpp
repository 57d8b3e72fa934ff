#include "pass_record.h"

namespace tarvo {

void PassRecord::onPassEvent(const PassEvent& event) {
    if (event.kind == PassEventKind::kPassBegin) {
        passed_.assign(passed_.size(), 0);
        return;
    }
    if (event.kind != PassEventKind::kPortal) return;
    if (event.decision != PortalDecision::kFollowed &&
        event.decision != PortalDecision::kLeadsOut) {
        return;
    }
    if (event.portal >= passed_.size()) passed_.resize(event.portal + 1, 0);
    passed_[event.portal] = 1;
}

}  // namespace tarvo
