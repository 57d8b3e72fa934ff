// The recording flavour's journal: each command the plug-in receives, after
// the host state it read, as a culling script that `otcull run` replays with
// the same host calls. Handles the plug-in returns are written as fresh names,
// floats so that they read back to the same bits (any NaN as `nan`).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>

#include "tree/host_link.h"

namespace tarvo::journal {

struct Command;  // what the journal needs of a row of the command table

class Journal {
public:
    Journal() = default;
    ~Journal() { stop(); }
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Starts a new journal in the file at path, replacing it; false, and
    // nothing recorded, when it cannot be opened.
    bool start(const char* path);
#ifdef _WIN32
    bool start(const wchar_t* path);
#endif
    void stop();
    bool active() const {
        return file_ != nullptr;
    }

    // After command id (from 1, in the command list's order) ran with its
    // arguments as 32-bit slots and gave result: the host state it read, then
    // the command. A failed write ends the journal; the command is never
    // affected.
    void record(const HostLink& host, int id, std::span<const uint32_t> slots, uint32_t result);

private:
    bool begin(std::FILE* file);
    // What the command read from the host, for a replay to give it again.
    void hostState(const HostLink& host, const Command& command, std::span<const uint32_t> slots);
    void bodyFigures(const HostLink& host, const Command& command, std::span<const uint32_t> slots);
    void cameraMatrices(const HostLink& host, int32_t camera);
    void cameraPosition(const HostLink& host);
    void figures(const OtBodyFigures& body);
    void argument(uint32_t slot, char type, bool handle);
    void number(float value);
    void number(int64_t value);

    std::FILE* file_ = nullptr;
    std::string text_;  // one command's lines, written at once
    std::unordered_map<uint32_t, std::string> names_;
    uint32_t nodes_ = 0;
    uint32_t portals_ = 0;
    // The camera the frustum was last taken from: the pass reads its position.
    std::optional<int32_t> frustumCamera_;
};

// The journal the exports write: started at first use in the file that
// TARVO_CULLING_JOURNAL names, if any.
Journal& processJournal();

}  // namespace tarvo::journal
