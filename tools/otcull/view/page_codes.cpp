#include "view/page_codes.h"

#include <span>
#include <string_view>

#include "tree/pass_observer.h"
#include "view/page_data.h"

namespace tarvo {
namespace {

struct Code {
    std::string_view name;
    int value;
};

constexpr int decision(PortalDecision d) {
    return static_cast<int>(d);
}

// Each group lists every value of its enum (checked below).
constexpr Code kKinds[] = {{"BOX", kBox}, {"SPHERE", kSphere}, {"POINT", kPoint}};
constexpr Code kRoles[] = {{"NORMAL", kNormal}, {"ZONE", kZone}};
constexpr Code kNodeStates[] = {
    {"VISIBLE", kViewVisible}, {"REACHED", kViewReached}, {"OPENING", kViewOpening}};
constexpr Code kDecisions[] = {{"NOT_MET", -1},
                               {"DISABLED", decision(PortalDecision::kDisabled)},
                               {"OPENING_HIDDEN", decision(PortalDecision::kOpeningHidden)},
                               {"FAR_SIDE_HANDLED", decision(PortalDecision::kFarSideHandled)},
                               {"LEADS_OUT", decision(PortalDecision::kLeadsOut)},
                               {"LEADS_OUT_AGAIN", decision(PortalDecision::kLeadsOutAgain)},
                               {"FOLLOWED", decision(PortalDecision::kFollowed)}};
constexpr Code kPortalStates[] = {{"DISABLED", ViewPortalState::kDisabledBit},
                                  {"DECISION_SHIFT", ViewPortalState::kDecisionShift}};

constexpr Code kPacking[] = {{"NODE_STATE_BITS", kViewNodeStateBits},
                             {"PORTAL_STATE_BITS", ViewPortalState::kBits}};
constexpr int event(ViewEventKind kind) {
    return static_cast<int>(kind);
}
constexpr Code kEvents[] = {{"NO_ZONE", event(ViewEventKind::kNoZone)},
                            {"FLICKER_SHOWN", event(ViewEventKind::kFlickerShown)},
                            {"FLICKER_HIDDEN", event(ViewEventKind::kFlickerHidden)},
                            {"JUMP", event(ViewEventKind::kJump)}};
constexpr Code kLineFlags[] = {{"CHANGES", kViewLineChanges}};

struct Group {
    std::string_view name;
    std::span<const Code> codes;
};
constexpr Group kGroups[] = {{"kind", kKinds},
                             {"role", kRoles},
                             {"nodeState", kNodeStates},
                             {"portalDecision", kDecisions},
                             {"portalState", kPortalStates},
                             {"packing", kPacking},
                             {"event", kEvents},
                             {"lineFlag", kLineFlags}};
static_assert(decision(PortalDecision::kFollowed) == 5, "a new decision needs its name above");
static_assert(kPoint == 3 && kZone == 2, "a new kind or role needs its name above");
static_assert(event(ViewEventKind::kJump) == 3, "a new event kind needs its name above");
static_assert((kViewVisible | kViewReached | kViewOpening) < (1 << kViewNodeStateBits));
static_assert(ViewPortalState::code(true, 5) < (1 << ViewPortalState::kBits));

}  // namespace

void writePageCodes(JsonOut& json) {
    json.raw("{");
    bool firstGroup = true;
    for (const auto& [group, codes] : kGroups) {
        if (!firstGroup) json.raw(",");
        firstGroup = false;
        json.key(group);
        json.raw("{");
        bool first = true;
        for (const auto& [name, value] : codes) {
            if (!first) json.raw(",");
            first = false;
            json.key(name);
            json.integer(value);
        }
        json.raw("}");
    }
    json.raw("}");
}

}  // namespace tarvo
