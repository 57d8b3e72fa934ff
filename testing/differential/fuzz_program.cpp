// Fuzzer bytes decoded into a program of commands and host changes, run on
// both sides step by step, with an optional trace of what each step did.
#include <bit>
#include <iterator>

#include "differential/differential.h"
#include "differential/differential_shared.h"
#include "tree/handles.h"

namespace tarvo::reliability {
namespace {

using reference::Body;
using reference::Camera;

// --- decoding fuzzer bytes ---

class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    bool empty() const { return at_ >= bytes_.size(); }
    uint8_t u8() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(u8()) << (8 * i);
        return v;
    }

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

constexpr uint32_t kSpecialFloats[] = {
    0x7fc00000u,  // NaN
    0xffc00000u,  // -NaN
    0x7fc00001u,  // NaN with a payload
    0x7f800001u,  // signalling NaN
    0x7f800000u,  // +inf
    0xff800000u,  // -inf
    0x80000000u,  // -0
    0x00000000u,  // +0
    0x7f7fffffu,  // largest finite
    0xff7fffffu,  // most negative finite
    0x00800000u,  // smallest normal
    0x00000001u,  // smallest subnormal
    0x80000001u,  // negative smallest subnormal
    0x7149f2cau,  // 1e30
    0xf149f2cau,  // -1e30
    0x0da24260u,  // 1e-30
    0x3f000000u,  // 0.5
    0x4b800001u,  // 2^24 + 2: where odd integers stop
};

float decodeFloat(Reader& in) {
    const uint8_t s = in.u8();
    if (s < 96) return static_cast<float>(static_cast<int>(in.u8() % 41) - 20);
    if (s < 144) return static_cast<float>(static_cast<int8_t>(in.u8())) * 0.25f;
    if (s < 184) {
        return std::bit_cast<float>(kSpecialFloats[in.u8() % std::size(kSpecialFloats)]);
    }
    return std::bit_cast<float>(in.u32());
}

uint32_t floatSlot(float f) {
    return std::bit_cast<uint32_t>(f);
}

int32_t decodeRole(Reader& in) {
    static constexpr int32_t kRoles[] = {1, 2, 2, 1, 2, 0, 3, -1};
    const uint8_t s = in.u8();
    if (s >= 240) return static_cast<int32_t>(in.u32());
    return kRoles[s % std::size(kRoles)];
}

int32_t decodeSmall(Reader& in, int count, int offset) {
    const uint8_t s = in.u8();
    if (s >= 232) return static_cast<int32_t>(in.u32());
    return static_cast<int32_t>(s % count) + offset;
}

}  // namespace

// --- fuzzer programs ---

std::string Differential::runProgram(std::span<const uint8_t> bytes,
                                     std::vector<std::string>* trace) {
    Reader in(bytes);
    constexpr int kMaxSteps = 300;

    // A handle argument: mostly a live record of the expected kind, so that
    // programs reach deep states; sometimes 0, the other kind, a deleted
    // record, a value never issued, or a live core index with a forged
    // generation or kind bit.
    auto pickHandle = [&](bool wantPortal, uint32_t& core, uint32_t& model, std::string& text) {
        core = model = 0;
        text = "0";
        auto pickLive = [&](bool portal) -> const HandlePair* {
            std::vector<const HandlePair*> of;
            for (const HandlePair& p : live_) {
                if (p.portal == portal) of.push_back(&p);
            }
            if (of.empty()) return nullptr;
            return of[in.u8() % of.size()];
        };
        auto use = [&](const HandlePair* p, const char* prefix) {
            if (p == nullptr) return;
            core = static_cast<uint32_t>(p->core);
            model = static_cast<uint32_t>(p->model);
            text = std::string(prefix) + (p->portal ? "p" : "n") + std::to_string(p->ordinal);
        };
        auto unissuedModelValue = [&]() {
            int32_t v = -7;
            while (isLiveOnEitherSide(v)) --v;
            return static_cast<uint32_t>(v);
        };
        const uint8_t s = in.u8();
        if (s < 150) {
            use(pickLive(wantPortal), "");
        } else if (s < 170) {
            // 0 as given
        } else if (s < 190) {
            use(pickLive(!wantPortal), "");
        } else if (s < 210) {
            if (!stale_.empty()) {
                const HandlePair& p = stale_[in.u8() % stale_.size()];
                if (!isLiveOnEitherSide(p.core) && !isLiveOnEitherSide(p.model)) {
                    use(&p, "stale ");
                }
            }
        } else if (s < 230) {
            const uint32_t v = in.u32();
            if (!isLiveOnEitherSide(static_cast<int32_t>(v))) {
                core = model = v;
                text = hex(v);
            }
        } else if (s < 245) {
            if (!live_.empty()) {
                const HandlePair& p = live_[in.u8() % live_.size()];
                const uint8_t bit = in.u8() % 10;
                const uint32_t flip = bit == 9 ? kPortalBit : 1u << (kGenerationShift + bit);
                const uint32_t forged = static_cast<uint32_t>(p.core) ^ flip;
                if (!isLiveOnEitherSide(static_cast<int32_t>(forged))) {
                    core = forged;
                    model = unissuedModelValue();
                    text = "forged " + hex(forged);
                }
            }
        } else {
            if (!live_.empty()) use(&live_[in.u8() % live_.size()], "");
        }
    };

    auto pickBody = [&]() {
        Body b;
        for (float& v : b.position) v = decodeFloat(in);
        for (float& v : b.boundsMin) v = decodeFloat(in);
        for (float& v : b.boundsMax) v = decodeFloat(in);
        b.radius = decodeFloat(in);
        return b;
    };

    for (int step = 0; step < kMaxSteps && !in.empty(); ++step) {
        const uint8_t op = in.u8();
        if (op >= 183) {
            const int hostOp = (op - 183) % 6;
            std::string line;
            switch (hostOp) {
                case 0: {
                    const int32_t number = in.u8() % 4;
                    const int which = in.u8() % kCannedCameraCount;
                    Camera c = cannedCamera(which);
                    if (in.u8() >= 128) {
                        for (float& v : c.position) v = decodeFloat(in);
                    }
                    setCamera(number, c);
                    if (trace) {
                        line = "camera " + std::to_string(number) + " = canned " +
                               std::to_string(which) + " at " + std::to_string(c.position[0]) +
                               " " + std::to_string(c.position[1]) + " " +
                               std::to_string(c.position[2]);
                    }
                    break;
                }
                case 1: {
                    const int32_t number = in.u8() % 4;
                    float p[3];
                    for (float& v : p) v = decodeFloat(in);
                    if (coreHost_->hasCamera(number)) moveCamera(number, p[0], p[1], p[2]);
                    if (trace) {
                        line = "move camera " + std::to_string(number) + " to " +
                               std::to_string(p[0]) + " " + std::to_string(p[1]) + " " +
                               std::to_string(p[2]);
                    }
                    break;
                }
                case 2: {
                    const int32_t number = decodeSmall(in, 5, 0);
                    setCurrentCamera(number);
                    if (trace) line = "current camera " + std::to_string(number);
                    break;
                }
                case 3: {
                    const int32_t number = in.u8() % 8;
                    setObject(number, pickBody());
                    if (trace) line = "object " + std::to_string(number) + " set";
                    break;
                }
                case 4: {
                    const int32_t object = in.u8() % 8;
                    const int32_t limb = in.u8() % 4;
                    setLimb(object, limb, pickBody());
                    if (trace) {
                        line =
                            "limb " + std::to_string(object) + "." + std::to_string(limb) + " set";
                    }
                    break;
                }
                default: {
                    const int32_t number = in.u8() % 4;
                    Camera c;
                    for (float& v : c.projection) v = decodeFloat(in);
                    for (float& v : c.view) v = decodeFloat(in);
                    for (float& v : c.position) v = decodeFloat(in);
                    setCamera(number, c);
                    if (trace) line = "camera " + std::to_string(number) + " = raw figures";
                    break;
                }
            }
            if (trace) trace->push_back(line);
            continue;
        }

        const int id = static_cast<int>(op % kCommandCount) + 1;
        const std::string_view kinds = commandOf(id).parameterKinds;
        std::vector<uint32_t> coreSlots(kinds.size());
        std::vector<uint32_t> modelSlots(kinds.size());
        std::string line = trace ? std::string(exportName(id)) + "(" : std::string();
        for (size_t k = 0; k < kinds.size(); ++k) {
            std::string text;
            switch (kinds[k]) {
                case 'N':
                case 'P':
                    pickHandle(kinds[k] == 'P', coreSlots[k], modelSlots[k], text);
                    break;
                case 'F': {
                    const float f = decodeFloat(in);
                    coreSlots[k] = modelSlots[k] = floatSlot(f);
                    if (trace) text = hex(floatSlot(f));
                    break;
                }
                case 'R':
                    coreSlots[k] = modelSlots[k] = static_cast<uint32_t>(decodeRole(in));
                    break;
                case 'O':
                    coreSlots[k] = modelSlots[k] = static_cast<uint32_t>(decodeSmall(in, 8, 0));
                    break;
                case 'M':
                    coreSlots[k] = modelSlots[k] = static_cast<uint32_t>(decodeSmall(in, 6, -1));
                    break;
                default:  // 'C'
                    coreSlots[k] = modelSlots[k] = static_cast<uint32_t>(decodeSmall(in, 5, 0));
                    break;
            }
            if (trace) {
                if (text.empty()) text = std::to_string(static_cast<int32_t>(coreSlots[k]));
                line += (k > 0 ? ", " : "") + text;
            }
        }
        int32_t result = 0;
        std::string divergence = command(id, coreSlots, modelSlots, &result);
        if (trace) {
            line += ")";
            if (isCreate(id) && result != 0 && !live_.empty() && live_.back().core == result) {
                line += std::string(" -> ") + (live_.back().portal ? "p" : "n") +
                        std::to_string(live_.back().ordinal);
            } else if (commandOf(id).signature.result != 0) {
                line += " -> " + hex(static_cast<uint32_t>(result));
            }
            trace->push_back(line);
        }
        if (!divergence.empty()) return "step " + std::to_string(step) + ": " + divergence;
    }
    return {};
}

}  // namespace tarvo::reliability
