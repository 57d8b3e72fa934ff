// Any command by its table identifier, with its arguments and result as the
// 32-bit slots the exports take and give.
#include <bit>

#include "commands/command_table.h"
#include "differential/reference_model.h"

namespace tarvo::reference {
namespace {

float asFloat(uint32_t slot) {
    return std::bit_cast<float>(slot);
}
int32_t asInt(uint32_t slot) {
    return static_cast<int32_t>(slot);
}
int32_t floatBits(float value) {
    return std::bit_cast<int32_t>(value);
}

}  // namespace

int32_t Model::call(int id, std::span<const uint32_t> s) {
    if (id < 1 || id > static_cast<int>(kCommandTable.size())) return 0;
    if (s.size() != signatureOf(kCommandTable[static_cast<size_t>(id - 1)]).parameters.size()) {
        return 0;
    }
    auto L = [&](size_t i) { return asInt(s[i]); };
    auto F = [&](size_t i) { return asFloat(s[i]); };
    // One line per command, so the cases read like the command table.
    // clang-format off
    switch (id) {
        case 1: updateFrustum1(); return 0;
        case 2: updateFrustum2(L(0)); return 0;
        case 3: cullAll(); return 0;
        case 4: cull(L(0)); return 0;
        case 5: return createBox(L(0), F(1), F(2), F(3), F(4), F(5), F(6), L(7));
        case 6: return createSphere(L(0), F(1), F(2), F(3), F(4), L(5));
        case 7: return createPoint(L(0), F(1), F(2), F(3), L(4));
        case 8: return createBox(L(0), F(1), F(2), F(3), F(4), F(5), F(6), kNormalRole);
        case 9: return createSphere(L(0), F(1), F(2), F(3), F(4), kNormalRole);
        case 10: return createPoint(L(0), F(1), F(2), F(3), kNormalRole);
        case 11: deleteNode(L(0)); return 0;
        case 12: deleteAll(); return 0;
        case 13: addObject(L(0), L(1)); return 0;
        case 14: addLimb(L(0), L(1), L(2)); return 0;
        case 15: removeObject(L(0), L(1)); return 0;
        case 16: removeLimb(L(0), L(1), L(2)); return 0;
        case 17: return visible(L(0)) ? 1 : 0;
        case 18: hide(L(0)); return 0;
        case 19: show(L(0)); return 0;
        case 20: hideAll(L(0)); return 0;
        case 21: showAll(L(0)); return 0;
        case 22: hideAll(0); return 0;
        case 23: showAll(0); return 0;
        case 24: return addPortal(L(0), L(1), L(2));
        case 25: removePortal(L(0)); return 0;
        case 26: return createObjectBox(L(0), L(1), L(2));
        case 27: return createObjectSphere(L(0), L(1), L(2));
        case 28: return createObjectBox(L(0), L(1), kNormalRole);
        case 29: return createObjectSphere(L(0), L(1), kNormalRole);
        case 30: return createLimbBox(L(0), L(1), L(2), L(3));
        case 31: return createLimbSphere(L(0), L(1), L(2), L(3));
        case 32: return createLimbBox(L(0), L(1), L(2), kNormalRole);
        case 33: return createLimbSphere(L(0), L(1), L(2), kNormalRole);
        case 34: return testBox(F(0), F(1), F(2), F(3), F(4), F(5)) ? 1 : 0;
        case 35: return testSphere(F(0), F(1), F(2), F(3)) ? 1 : 0;
        case 36: return testPoint(F(0), F(1), F(2)) ? 1 : 0;
        case 37: setParent(L(0), L(1)); return 0;
        case 38: setPosition(L(0), F(1), F(2), F(3)); return 0;
        case 39: setBox(L(0), F(1), F(2), F(3), F(4), F(5), F(6)); return 0;
        case 40: setBoxSize(L(0), F(1), F(2), F(3)); return 0;
        case 41: setRadius(L(0), F(1)); return 0;
        case 42: return floatBits(positionX(L(0)));
        case 43: return floatBits(positionY(L(0)));
        case 44: return floatBits(positionZ(L(0)));
        case 45: return floatBits(radius(L(0)));
        case 46: return floatBits(boxWidth(L(0)));
        case 47: return floatBits(boxHeight(L(0)));
        case 48: return floatBits(boxDepth(L(0)));
        case 49: return floatBits(boxXA(L(0)));
        case 50: return floatBits(boxYA(L(0)));
        case 51: return floatBits(boxZA(L(0)));
        case 52: return floatBits(boxXB(L(0)));
        case 53: return floatBits(boxYB(L(0)));
        case 54: return floatBits(boxZB(L(0)));
        case 55: return parentOf(L(0));
        case 56: enablePortal(L(0)); return 0;
        case 57: disablePortal(L(0)); return 0;
        case 58: return portalEnabled(L(0)) ? 1 : 0;
        case 59: return portalNodeOf(L(0));
        case 60: return zoneAOf(L(0));
        case 61: return zoneBOf(L(0));
        default: return 0;
    }
    // clang-format on
}

}  // namespace tarvo::reference
