// `otcull view`: a recorded session as the page shows it. The tree is kept
// once, as records; each pass then carries only what changed since the one
// before: node and portal records, states and explanations. Every figure
// and sentence comes from the pass observer and the script runner, the same
// as `explain`, `lint` and `run --stats` print.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "trace/pass_cost.h"
#include "trace/switch_ledger.h"
#include "tree/records.h"

namespace tarvo {

// Nodes and portals go by page ids (0, 1, ... in the order first seen), so
// that the change lists stay short; -1 stands for none.
struct ViewNode {
    int32_t id;
    std::string name;
    uint8_t kind;  // kBox, kSphere, kPoint
    int32_t role;
    int32_t parent;
    Vec3 cornerA;  // a box's corners as given; a sphere's or point's centre
    Vec3 cornerB;
    float radius;
    int line;  // the line that made it; 0 when the script did not
    std::vector<OtAttachment> attachments;
};

struct ViewPortal {
    int32_t id;
    std::string name;
    int32_t zoneA;
    int32_t zoneB;
    int32_t opening;
    int line;
};

// A node's state after a pass: bits of these.
enum ViewNodeState : int32_t {
    kViewVisible = 1,
    kViewReached = 2,  // dealt with by the pass
    kViewOpening = 4,  // the opening of some portal
};
inline constexpr int kViewNodeStateBits = 3;

// A portal's state after a pass: whether it is disabled, and what the pass
// decided when it met the portal (-1: not met).
struct ViewPortalState {
    static constexpr int32_t kDisabledBit = 1;
    static constexpr int32_t kDecisionShift = 1;  // the decision plus one; 0 when not met
    static constexpr int kBits = 4;
    static constexpr int32_t code(bool disabled, std::optional<uint8_t> decision) {
        return (disabled ? kDisabledBit : 0) | ((decision ? *decision + 1 : 0) << kDecisionShift);
    }
};

// id takes value from this pass on; a record value of -1 means gone.
struct ViewChange {
    int32_t id;
    int32_t value;
    bool operator==(const ViewChange&) const = default;
};

struct ViewPass {
    int line;
    int firstLine;  // the first line run since the pass before
    std::string lineText;
    std::string command;  // "OT_CullAll" or "OT_Cull(start)"
    int32_t summary;      // text: "camera zone hall"
    int32_t cameraZone;   // page id, -1 for none
    bool treeHasZones;
    PassCost cost;
    uint64_t objectsShown;  // objects and limbs the host has shown, of those ever switched
    uint64_t objectsHidden;
    std::optional<std::vector<float>> camera;  // position, then the six planes (a, b, c, d)
    std::vector<ViewChange> nodeRecords;       // value: index into ViewSession::nodes
    std::vector<ViewChange> nodeStates;
    std::vector<ViewChange>
        nodeWhy;  // index into ViewSession::texts: explain's line after "NAME: "
    std::vector<ViewChange> portalRecords;
    std::vector<ViewChange> portalStates;
    std::vector<ViewChange> portalWhy;
    std::vector<int32_t> portalsFollowed;       // in the order the flood went through them
    std::vector<int32_t> zonesReached;          // in the order flooded, the camera zone first
    std::vector<ObjectSwitch> objectsSwitched;  // those now the other way than before
};

// A line shown with a pass: its flags.
inline constexpr int kViewLineChanges =
    1;  // it changed the tree, the frustum, the camera or an object

struct ViewLint {
    int line;
    std::string kind;
    std::string text;
    int32_t node;    // the node made on that line, or -1
    int32_t portal;  // the portal made on that line, or -1
};

enum class ViewEventKind : uint8_t {
    kNoZone,         // the tree has zones, and none holds the camera
    kFlickerShown,   // shown for one pass between passes that hid it
    kFlickerHidden,  // hidden for one pass between passes that showed it
    kJump,           // the objects shown changed by more than a set share
};

struct ViewEvent {
    ViewEventKind kind;
    int firstPass;
    int lastPass;
    int32_t node;  // page id, or -1
    std::optional<HostObject> object;
    std::string name;          // the node's, at the event's pass
    int others = 0;            // a flicker: nodes of the same parent that flickered with it
    std::vector<int> lines;    // the lines between the passes that changed something
    uint64_t shownBefore = 0;  // a jump: objects shown at the pass before, and at the pass
    uint64_t shownAfter = 0;
};

// From pass on, the name names the node with page id node (-1: no live node).
struct ViewNaming {
    int pass;
    int32_t node;
};

struct ViewError {
    std::string file;
    int line;
    std::string message;
};

struct ViewSession {
    std::string source;
    std::string script;              // the script's text
    std::vector<size_t> lineStarts;  // where each line starts in script, from line 1
    // By line number: the line ran a command that changed the tree or the
    // frustum (a host statement is known by its text).
    std::vector<bool> commandChanged;
    std::vector<ViewNode> nodes;  // every record a node has had, in order
    std::vector<ViewPortal> portals;
    std::vector<std::string> texts;  // every sentence, once
    std::vector<ViewPass> passes;
    std::vector<ViewLint> lint;
    std::vector<ViewEvent> events;
    std::vector<std::pair<std::string, std::vector<ViewNaming>>> names;
    std::optional<ViewError> error;
};

}  // namespace tarvo
