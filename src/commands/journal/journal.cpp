#include "commands/journal/journal.h"

#include <array>
#include <bit>
#include <cstdlib>

#include "commands/command_table.h"
#include "text/number_text.h"

namespace tarvo::journal {

// What the journal needs of a command, packed at compile time into a dozen
// bytes, so that the recording flavour carries the declarations and little
// else of the command table.
struct Command {
    const char* text;  // the declaration, then one ParameterKind per parameter
    uint8_t exportAt, exportSize, lettersAt, kindsAt, count;
    ResultKind result;
    HostRead reads;

    std::string_view exportName() const { return {text + exportAt, exportSize}; }
    std::string_view letters() const { return {text + lettersAt, count}; }
    std::string_view kinds() const { return {text + kindsAt, count}; }
};

namespace {

constexpr uint8_t offsetIn(std::string_view text, std::string_view part) {
    return static_cast<uint8_t>(part.data() - text.data());
}

constexpr std::array<Command, kCommandCount> kCommands = [] {
    std::array<Command, kCommandCount> commands{};
    for (std::size_t i = 0; i < kCommandCount; ++i) {
        const CommandDeclaration& row = kCommandTable[i];
        const std::string_view text = row.declaration;
        const CommandSignature& sig = row.signature;
        commands[i] = {text.data(),
                       offsetIn(text, sig.exportName),
                       static_cast<uint8_t>(sig.exportName.size()),
                       offsetIn(text, sig.parameters),
                       offsetIn(text, row.parameterKinds),
                       static_cast<uint8_t>(sig.parameters.size()),
                       row.result,
                       row.reads};
    }
    return commands;
}();

// The argument that stands for the given kind: a command takes at most one
// camera, object or limb.
int32_t argumentOf(const Command& command, ParameterKind kind, std::span<const uint32_t> slots) {
    return std::bit_cast<int32_t>(slots[command.kinds().find(static_cast<char>(kind))]);
}

bool namesHandle(char kind) {
    return kind == static_cast<char>(ParameterKind::kNode) ||
           kind == static_cast<char>(ParameterKind::kPortal);
}

}  // namespace

bool Journal::start(const char* path) {
    return begin(std::fopen(path, "wb"));
}

#ifdef _WIN32
bool Journal::start(const wchar_t* path) {
    return begin(_wfopen(path, L"wb"));
}
#endif

bool Journal::begin(std::FILE* file) {
    stop();
    file_ = file;
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

void Journal::hostState(const HostLink& host, const Command& command,
                        std::span<const uint32_t> slots) {
    switch (command.reads) {
        case HostRead::kNothing:
            return;
        case HostRead::kCurrentCamera: {
            const int32_t camera = host.currentCamera();
            text_ += "current-camera ";
            number(int64_t{camera});
            text_ += '\n';
            cameraMatrices(host, camera);
            return;
        }
        case HostRead::kCameraMatrices:
            cameraMatrices(host, argumentOf(command, ParameterKind::kCamera, slots));
            return;
        case HostRead::kCameraPosition:
            cameraPosition(host);
            return;
        case HostRead::kObjectFigures:
        case HostRead::kLimbFigures:
            bodyFigures(host, command, slots);
            return;
    }
}

void Journal::bodyFigures(const HostLink& host, const Command& command,
                          std::span<const uint32_t> slots) {
    const int32_t object = argumentOf(command, ParameterKind::kObject, slots);
    OtBodyFigures body{};
    if (!host.findObject(object, &body)) return;
    text_ += "object ";
    number(int64_t{object});
    figures(body);
    if (command.reads != HostRead::kLimbFigures) return;
    const int32_t limb = argumentOf(command, ParameterKind::kLimb, slots);
    if (!host.findLimb(object, limb, &body)) return;
    text_ += "limb ";
    number(int64_t{object});
    text_ += ' ';
    number(int64_t{limb});
    figures(body);
}

void Journal::record(const HostLink& host, int id, std::span<const uint32_t> slots,
                     uint32_t result) {
    if (file_ == nullptr) return;
    const Command& command = kCommands[static_cast<size_t>(id - 1)];
    text_.clear();
    hostState(host, command, slots);

    const bool newPortal = command.result == ResultKind::kNewPortal;
    if (result != 0 && (newPortal || command.result == ResultKind::kNewNode)) {
        std::string name(1, newPortal ? 'p' : 'n');
        name += std::to_string(newPortal ? ++portals_ : ++nodes_);
        text_ += name;
        text_ += " = ";
        names_[result] = std::move(name);
    }
    text_ += command.exportName();
    text_ += '(';
    for (size_t i = 0; i < slots.size(); ++i) {
        if (i != 0) text_ += ", ";
        argument(slots[i], command.letters()[i], namesHandle(command.kinds()[i]));
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
#ifdef _WIN32
            // Windows keeps the environment in UTF-16: a path with letters
            // outside the ANSI code page survives only the wide calls.
            const wchar_t* path = _wgetenv(L"TARVO_CULLING_JOURNAL");
            if (path != nullptr && *path != L'\0') start(path);
#else
            const char* path = std::getenv("TARVO_CULLING_JOURNAL");
            if (path != nullptr && *path != '\0') start(path);
#endif
        }
    };
    static FromEnvironment journal;
    return journal;
}

}  // namespace tarvo::journal
