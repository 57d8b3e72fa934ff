#include "commands/record/journal.h"

#include <bit>
#include <cstdlib>

#include "commands/command_table.h"
#include "text/number_text.h"

namespace tarvo::record {
namespace {

enum CommandId {
    kUpdateFrustumCurrent = 1,
    kUpdateFrustumOf = 2,
    kCullAll = 3,
    kCull = 4,
    kCreateBox = 5,
    kCreatePointShort = 10,
    kAddPortal = 24,
    kCreateObjectFirst = 26,
    kCreateObjectLast = 29,
    kCreateLimbFirst = 30,
    kCreateLimbLast = 33,
    kSetParent = 37,
};

bool createsNode(int id) {
    return (id >= kCreateBox && id <= kCreatePointShort) ||
           (id >= kCreateObjectFirst && id <= kCreateLimbLast);
}

// Camera, object, limb and role numbers are plain integers; every other
// integer argument names a node or a portal, and only the first one of a
// command does, save for the two commands that take several.
bool namesHandle(int id, size_t index) {
    if (id == kAddPortal || id == kSetParent) return true;
    return index == 0 && id != kUpdateFrustumOf;
}

}  // namespace

bool Journal::start(const char* path) {
    stop();
    file_ = std::fopen(path, "wb");
    if (file_ == nullptr) return false;
    names_.clear();
    nodes_ = 0;
    portals_ = 0;
    frustumCamera_.reset();
    return true;
}

void Journal::stop() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

void Journal::number(float value) {
    const std::string text = script::formatFloat(value);
    text_ += text;
    // Shortest digits may look like an integer ("2147483648"), which the
    // script reads as one and may find out of range: a point keeps it a float.
    if (text.find_first_of(".eni") == std::string::npos) text_ += ".0";
}

void Journal::number(int64_t value) {
    text_ += std::to_string(value);
}

void Journal::cameraMatrices(const HostLink& host, int32_t camera) {
    OtCameraRef ref{};
    if (!host.findCamera(camera, &ref)) return;
    frustumCamera_ = camera;
    text_ += "camera ";
    number(int64_t{camera});
    text_ += " matrices";
    for (const float* matrix : {ref.view, ref.projection}) {
        for (int i = 0; i < 16; ++i) {
            text_ += ' ';
            number(matrix[i]);
        }
    }
    text_ += '\n';
}

void Journal::cameraPosition(const HostLink& host) {
    OtCameraRef ref{};
    if (!frustumCamera_ || !host.findCamera(*frustumCamera_, &ref)) return;
    text_ += "camera ";
    number(int64_t{*frustumCamera_});
    text_ += " position";
    for (int i = 0; i < 3; ++i) {
        text_ += ' ';
        number(ref.position[i]);
    }
    text_ += '\n';
}

void Journal::figures(const OtBodyFigures& body) {
    const std::pair<const char*, const float*> triples[] = {
        {" position", body.position}, {" min", body.boundsMin}, {" max", body.boundsMax}};
    for (const auto& [keyword, values] : triples) {
        text_ += keyword;
        for (int i = 0; i < 3; ++i) {
            text_ += ' ';
            number(values[i]);
        }
    }
    text_ += " radius ";
    number(body.radius);
    text_ += '\n';
}

void Journal::argument(uint32_t slot, char type, bool handle) {
    if (type == 'F') {
        number(std::bit_cast<float>(slot));
        return;
    }
    if (handle) {
        const auto name = names_.find(slot);
        if (name != names_.end()) {
            text_ += name->second;
            return;
        }
    }
    number(int64_t{std::bit_cast<int32_t>(slot)});
}

void Journal::record(const HostLink& host, int id, std::span<const uint32_t> slots,
                     uint32_t result) {
    if (file_ == nullptr) return;
    const CommandSignature command = signatureOf(kCommandTable[id - 1]);
    text_.clear();

    if (id == kUpdateFrustumCurrent) {
        const int32_t camera = host.currentCamera();
        text_ += "current-camera ";
        number(int64_t{camera});
        text_ += '\n';
        cameraMatrices(host, camera);
    } else if (id == kUpdateFrustumOf) {
        cameraMatrices(host, std::bit_cast<int32_t>(slots[0]));
    } else if (id == kCullAll || id == kCull) {
        cameraPosition(host);
    } else if (id >= kCreateObjectFirst && id <= kCreateLimbLast) {
        const int32_t object = std::bit_cast<int32_t>(slots[1]);
        OtBodyFigures body{};
        if (host.findObject(object, &body)) {
            text_ += "object ";
            number(int64_t{object});
            figures(body);
            if (id >= kCreateLimbFirst) {
                const int32_t limb = std::bit_cast<int32_t>(slots[2]);
                if (host.findLimb(object, limb, &body)) {
                    text_ += "limb ";
                    number(int64_t{object});
                    text_ += ' ';
                    number(int64_t{limb});
                    figures(body);
                }
            }
        }
    }

    if (result != 0 && (createsNode(id) || id == kAddPortal)) {
        std::string name(1, id == kAddPortal ? 'p' : 'n');
        name += std::to_string(id == kAddPortal ? ++portals_ : ++nodes_);
        text_ += name;
        text_ += " = ";
        names_[result] = std::move(name);
    }
    text_ += command.exportName;
    text_ += '(';
    for (size_t i = 0; i < slots.size(); ++i) {
        if (i != 0) text_ += ", ";
        argument(slots[i], command.parameters[i], namesHandle(id, i));
    }
    text_ += ")\n";

    if (std::fwrite(text_.data(), 1, text_.size(), file_) != text_.size() ||
        std::fflush(file_) != 0) {
        stop();
    }
}

Journal& processJournal() {
    struct FromEnvironment : Journal {
        FromEnvironment() {
            const char* path = std::getenv("TARVO_CULLING_JOURNAL");
            if (path != nullptr && *path != '\0') start(path);
        }
    };
    static FromEnvironment journal;
    return journal;
}

}  // namespace tarvo::record
