#include "pass_record.h"

namespace tarvo {

PassRecord::PassRecord() : observer_{this, &PassRecord::onEvent} {}

void PassRecord::onEvent(void* self, const PassEvent& event) {
    auto& record = *static_cast<PassRecord*>(self);
    if (event.kind == PassEventKind::kPassBegin) {
        record.passed_.assign(record.passed_.size(), 0);
        return;
    }
    if (event.kind != PassEventKind::kPortal) return;
    if (event.decision != PortalDecision::kFollowed &&
        event.decision != PortalDecision::kLeadsOut) {
        return;
    }
    if (event.portal >= record.passed_.size()) record.passed_.resize(event.portal + 1, 0);
    record.passed_[event.portal] = 1;
}

}  // namespace tarvo
