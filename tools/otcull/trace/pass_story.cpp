#include "trace/pass_story.h"

#include <algorithm>

namespace tarvo {

void PassStory::onPassEvent(const PassEvent& event) {
    switch (event.kind) {
        case PassEventKind::kPassBegin:
            ++pass_;
            nodes_.resize(tree_.nodeSlotCount());
            portals_.resize(tree_.portalSlotCount());
            reHidden_.clear();
            start_ = event.node;
            cameraZone_ = kNone;
            seeCamera();
            break;
        case PassEventKind::kZoneTested:
            touch(event.node).holdsCamera = event.inside;
            break;
        case PassEventKind::kCameraZone:
            cameraZone_ = event.node;
            hidingEverything_ = event.node != kNone;
            break;
        case PassEventKind::kCullNode:
            met(event);
            break;
        case PassEventKind::kFlood:
            touch(event.node).last = LastAct::kShown;
            break;
        case PassEventKind::kChildrenKept:
            touch(event.node).childrenKept = true;
            break;
        case PassEventKind::kPortal:
            portals_[event.portal] = {pass_, true, event.node, event.decision};
            break;
        case PassEventKind::kSubtreeHidden:
            hidden(event);
            break;
        case PassEventKind::kPassEnd:
            break;
    }
}

// The host's camera can move before a pass is explained; the pass read it at
// its start.
void PassStory::seeCamera() {
    const OtFrustum& frustum = tree_.frustum();
    nearPlane_ = frustum.planes[kNear];
    const float* position = frustum.cameraRecord.position;
    camera_.cameraRecord.position = position != nullptr ? cameraPosition_ : nullptr;
    if (position != nullptr) std::copy(position, position + 3, cameraPosition_);
}

NodeStory& PassStory::touch(NodeIndex index) {
    NodeStory& story = nodes_[index];
    if (story.pass != pass_) {
        story = NodeStory{};
        story.pass = pass_;
    }
    return story;
}

void PassStory::met(const PassEvent& event) {
    NodeStory& story = touch(event.node);
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
    NodeStory& story = touch(event.node);
    if (hidingEverything_) {
        story.hiddenAtStart = true;
    } else {
        if (!story.reHidden && story.last == LastAct::kShown) reHidden_.push_back(event.node);
        story.reHidden = story.reHidden || story.last == LastAct::kShown;
        story.hiddenWith = event.from;
    }
    story.last = LastAct::kHidden;
}

}  // namespace tarvo
