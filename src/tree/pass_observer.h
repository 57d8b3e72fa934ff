// What a visibility pass reports, for tools that explain its decisions. The
// pass calls the observer only when one is attached; the events never change
// what the pass does or which host calls it makes.
#pragma once

#include <cstdint>

#include "tree/records.h"

namespace tarvo {

enum class PassEventKind : uint8_t {
    kPassBegin,      // node: the start node, or none
    kZoneTested,     // node: a zone tested for the camera; inside
    kCameraZone,     // node: the zone the flood starts from (none when there is none)
    kCullNode,       // node met: by the cull step (reach, outcome, plane), or as the
                     // camera zone or a far side (outcome kInView, no test)
    kFlood,          // node flooded: reach (camera zone, far side, or after kCullNode)
    kChildrenKept,   // node: a zone flooded without the camera, its children not walked
    kPortal,         // portal met while flooding node: decision
    kSubtreeHidden,  // node hidden as part of the subtree of from (itself included)
    kPassEnd,
};

// How the pass came to a node.
enum class Reach : uint8_t {
    kTopLevel,    // the top level, culled without a camera zone
    kStartNode,   // the start node of a pass without a camera zone
    kChild,       // a child of from
    kOpening,     // the opening of portal
    kLeadOut,     // the top level, culled through portal's zero side
    kCameraZone,  // the zone holding the camera
    kFarSide,     // the far side of portal, from from
};

enum class CullOutcome : uint8_t {
    kAlreadyHandled,  // marked earlier in this pass
    kInert,           // a role that takes no part
    kInView,          // flooded next
    kOutOfView,       // hidden with its subtree; plane says which plane rejected it
};

enum class PortalDecision : uint8_t {
    kDisabled,
    kOpeningHidden,   // the opening was culled (or left) hidden
    kFarSideHandled,  // the far side was already dealt with
    kLeadsOut,        // a zero side: the top level is culled
    kLeadsOutAgain,   // a zero side, but the top level was already culled this pass
    kFollowed,        // the far side is flooded
};

struct PassEvent {
    PassEventKind kind;
    Reach reach;
    CullOutcome outcome;
    PortalDecision decision;
    bool inside;   // kZoneTested
    int8_t plane;  // kOutOfView: 0 right, 1 left, 2 bottom, 3 top, 4 far, 5 near
    NodeIndex node;
    NodeIndex from;
    PortalIndex portal;
};

struct PassObserver {
    void* context;
    void (*onEvent)(void* context, const PassEvent& event);
};

}  // namespace tarvo
