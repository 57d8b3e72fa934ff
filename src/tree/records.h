// The records of the culling tree. Nodes and portals live in contiguous arrays
// addressed by 32-bit indices; index 0 of the node array is the root, whose
// children are the top-level list, so "no parent" is simply parent 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvo {

using NodeIndex = uint32_t;
using PortalIndex = uint32_t;

inline constexpr NodeIndex kRoot = 0;
inline constexpr uint32_t kNone = 0;

struct Vec3 {
    float x, y, z;
};

enum VolumeKind : uint8_t { kBox = 1, kSphere = 2, kPoint = 3 };

enum NodeRole : int32_t { kNormal = 1, kZone = 2 };

enum class SlotState : uint8_t { kFree = 0, kLive = 1 };

// One node. The fields a pass reads sit together in one 64-byte record.
// Sibling lists are intrusive: nextSibling ends at 0, and the first child's
// prevSibling names the last child, so appending and unlinking are O(1).
struct alignas(64) OtNode {
    Vec3 cornerA;  // first box corner; centre of a sphere or point
    Vec3 cornerB;  // second box corner
    float radius;
    int32_t role;
    int32_t depth;  // fixed at creation
    NodeIndex parent;
    NodeIndex firstChild;
    NodeIndex nextSibling;
    NodeIndex prevSibling;
    uint32_t lists;  // index into the side table of portal lists; 0 for none
    uint8_t kind;
    uint8_t visible;
    uint8_t cameraInside;  // pass flags: set when equal to the tree's pass epoch
    uint8_t mark;
    uint16_t generation;
    SlotState state;
    uint8_t scratch;  // transient per-operation flag (deletion), 0 between operations
};
static_assert(sizeof(OtNode) == 64);
// The box test reads both corners as six consecutive floats.
static_assert(offsetof(OtNode, cornerB) == offsetof(OtNode, cornerA) + 3 * sizeof(float));

struct OtAttachment {
    int32_t object;
    int32_t limb;  // -1: the whole object
    bool operator==(const OtAttachment&) const = default;
};

// The lists most nodes never need live outside the node record.
struct NodeLists {
    std::vector<PortalIndex> zonePortals;  // portals naming the node as zone A or B
    std::vector<PortalIndex> ownPortals;   // portals whose opening is the node
    bool empty() const { return zonePortals.empty() && ownPortals.empty(); }
};

struct OtPortal {
    NodeIndex portalNode;
    NodeIndex zoneA;
    NodeIndex zoneB;
    uint8_t disabled;
    SlotState state;
    uint16_t generation;
};

}  // namespace tarvo
