#include "pass_story.h"

namespace tarvo {

void PassStory::onPassEvent(const PassEvent& event) {
    switch (event.kind) {
        case PassEventKind::kPassBegin:
            nodes_.assign(tree_.nodeSlotCount(), NodeStory{});
            portals_.assign(tree_.portalSlotCount(), PortalStory{});
            start_ = event.node;
            cameraZone_ = kNone;
            break;
        case PassEventKind::kZoneTested:
            nodes_[event.node].holdsCamera = event.inside;
            break;
        case PassEventKind::kCameraZone:
            cameraZone_ = event.node;
            hidingEverything_ = event.node != kNone;
            break;
        case PassEventKind::kCullNode:
            met(event);
            break;
        case PassEventKind::kFlood:
            nodes_[event.node].last = LastAct::kShown;
            break;
        case PassEventKind::kChildrenKept:
            nodes_[event.node].childrenKept = true;
            break;
        case PassEventKind::kPortal:
            portals_[event.portal] = {true, event.node, event.decision};
            break;
        case PassEventKind::kSubtreeHidden:
            hidden(event);
            break;
        case PassEventKind::kPassEnd:
            break;
    }
}

void PassStory::met(const PassEvent& event) {
    NodeStory& story = nodes_[event.node];
    if (event.reach == Reach::kCameraZone) hidingEverything_ = false;
    switch (event.outcome) {
        case CullOutcome::kInert:
            story.inert = true;
            break;
        case CullOutcome::kInView:
            story.shownBy = event;
            break;
        case CullOutcome::kOutOfView:
            story.rejected = event;
            break;
        case CullOutcome::kAlreadyHandled:
            break;
    }
}

void PassStory::hidden(const PassEvent& event) {
    NodeStory& story = nodes_[event.node];
    if (hidingEverything_) {
        story.hiddenAtStart = true;
    } else {
        story.reHidden = story.reHidden || story.last == LastAct::kShown;
        story.hiddenWith = event.from;
    }
    story.last = LastAct::kHidden;
}

}  // namespace tarvo
