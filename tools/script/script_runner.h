// Runs culling scripts line by line, the way the host's compiler and runtime
// would: command names resolve through the command table, arguments become
// 32-bit slots, results are printed as `EXPORT -> VALUE`.
//
// The runner itself touches neither the plug-in nor a host. A program that
// embeds it supplies:
//   - a CommandCaller, which calls the plug-in's command with the given
//     command-table identifier (from 1) and its arguments as 32-bit slots
//     ('F' arguments as float bit patterns) and returns the raw 32-bit result;
//   - a ScriptHost, which keeps the engine state the host statements define
//     (camera matrices and positions, the current camera, objects and limbs)
//     where the plug-in will look for it;
//   - the output stream. The runner writes results to it; the host must write
//     each visibility switch to the same stream, with writeSwitch, at the
//     moment the plug-in calls it, so that switches and results interleave in
//     the order they happened;
//   - optionally a PlanViewWriter for the `svg FILE` statement.
// Standard C++ only: the Linux tool and the Windows harness both build it.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "camera_math.h"
#include "commands/command_table.h"
#include "line_reader.h"
#include "script_syntax.h"
#include "tarvo/host_api.h"

namespace tarvo::script {

class CommandCaller {
public:
    virtual ~CommandCaller() = default;
    virtual uint32_t call(int id, std::span<const uint32_t> slots) = 0;
};

class ScriptHost {
public:
    virtual ~ScriptHost() = default;
    // Creates the camera when it does not exist yet (position 0, 0, 0).
    virtual void setCameraMatrices(int32_t camera, const CameraMatrices& matrices) = 0;
    virtual void setCameraPosition(int32_t camera, const float position[3]) = 0;
    virtual void setCurrentCamera(int32_t camera) = 0;
    virtual void setObject(int32_t object, const OtBodyFigures& figures) = 0;
    // False when the object does not exist.
    virtual bool setLimb(int32_t object, int32_t limb, const OtBodyFigures& figures) = 0;
};

class PlanViewWriter {
public:
    virtual ~PlanViewWriter() = default;
    // Empty on success, otherwise why the picture could not be written.
    virtual std::string write(const std::string& file) = 0;
};

enum class HostSwitch { kHide, kExcludeOn, kHideLimb, kExcludeOff, kShow, kShowLimb };

// The signature of command id (from 1).
const CommandSignature& commandSignature(int id);

// "#17": a handle that no name speaks for.
std::string handleText(uint32_t bits);

// "Hide 4", "HideLimb 2 3", ... one line each; limb is ignored for whole objects.
void writeSwitch(std::ostream& out, HostSwitch which, int32_t object, int32_t limb);

class ScriptRunner {
public:
    ScriptRunner(CommandCaller& caller, ScriptHost& host, std::ostream& out)
        : caller_(caller), host_(host), out_(out) {}

    void setPlanViewWriter(PlanViewWriter* writer) { planView_ = writer; }

    // Runs one line; returns the error text when the line is wrong, in which
    // case nothing of it has run.
    std::optional<std::string> runLine(std::string_view line);

    // Runs a whole script until its first error, which goes to err as
    // `FILE:LINE: error: TEXT`, or `otcull: cannot read FILE: REASON` when
    // reading failed. Returns the exit status: 0, or 2 after an error.
    // A script is UTF-8 text: an empty file, a NUL byte, bytes that are not
    // UTF-8 and a line longer than LineReader::kMaxLineBytes are errors too.
    // The `svg` statement without a PlanViewWriter is skipped, with a note
    // to err the first time.
    int runScript(std::istream& in, std::string_view fileName, std::ostream& err);

    // runScript stops, with status 2 and nothing said, at the first line
    // after watched has failed: nothing it would print could be read. The
    // stream's owner says why.
    void stopOnFailureOf(const std::ostream& watched) { watched_ = &watched; }

    struct Error {
        int line;
        std::string text;  // what follows `FILE:LINE: error: `, or the whole read failure
    };
    // What stopped the last runScript, if anything did.
    const std::optional<Error>& lastError() const { return lastError_; }

    // The line runScript is on (counted from 1) and its text, so that a
    // CommandCaller can tell which line made the call; 0 and empty outside
    // runScript.
    int currentLine() const { return line_; }
    std::string_view currentLineText() const { return lineText_; }

    // The name a handle prints as: the latest NAME still bound to it from a
    // handle result, otherwise `#` and its value. Costs a hash look-up.
    std::string nameOfHandle(uint32_t bits) const;
    // The value a NAME holds now, if it is bound.
    std::optional<uint32_t> valueOf(std::string_view name) const;
    // Told of every binding of a name: the handle it held before and the one
    // it holds now (0 for a value that is not from a handle result).
    using BindingWatcher =
        std::function<void(const std::string& name, uint32_t before, uint32_t after)>;
    void watchBindings(BindingWatcher watcher) { bindingWatcher_ = std::move(watcher); }
    // Told of every line runScript reads, before it runs: a reader that keeps
    // the script's text keeps it as read, never more than the runner reads.
    using LineWatcher = std::function<void(std::string_view text)>;
    void watchLines(LineWatcher watcher) { lineWatcher_ = std::move(watcher); }

private:
    struct Binding {
        uint32_t bits;
        char type;       // the result letter it was bound from: 'L', 'F' or 'D'
        bool isHandle;   // bound from a result that names a node or a portal
        uint64_t order;  // when it was bound, to find the latest name of a handle
    };
    // Hashes std::string and std::string_view alike, so look-ups by a view
    // build no string.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    using Bindings = std::unordered_map<std::string, Binding, NameHash, std::equal_to<>>;
    // A binding of a name to a handle, as the handle's list of names keeps it;
    // stale once the name is bound again (its order then differs).
    struct HandleName {
        const Bindings::value_type* binding;  // in bindings_, whose entries never move
        uint64_t order;
    };

    std::optional<std::string> run(const Statement& statement);
    std::optional<std::string> run(const CommandCall& call);
    // Runs the line just read, or says why it could not be read.
    std::optional<std::string> runRead(LineReader::Result read, const LineReader& reader);
    bool outputFailed() const;
    void notePlanViewSkipped();
    // Fills slot, or says what is wrong with the argument; place names it in
    // the message ("argument 2 of OT_AddObject").
    std::optional<std::string> slotOf(const Argument& argument, bool wantsFloat,
                                      const std::string& place, uint32_t& slot) const;
    std::string formatResult(char type, bool isHandle, uint32_t bits) const;
    void bind(const std::string& name, uint32_t bits, char type, bool isHandle);
    static bool holds(const HandleName& entry);
    static void dropStaleNames(std::vector<HandleName>& names);

    CommandCaller& caller_;
    ScriptHost& host_;
    std::ostream& out_;
    PlanViewWriter* planView_ = nullptr;
    const std::ostream* watched_ = nullptr;
    // During runScript: where notes go, and the name messages give the script.
    std::ostream* notes_ = nullptr;
    std::string_view fileName_;
    bool skippedPlanView_ = false;
    std::optional<Error> lastError_;
    Bindings bindings_;
    // Per handle, the names bound to it from handle results in binding order;
    // the last entry always still holds the handle.
    std::unordered_map<uint32_t, std::vector<HandleName>> handleNames_;
    uint64_t bindingCount_ = 0;
    BindingWatcher bindingWatcher_;
    LineWatcher lineWatcher_;
    int line_ = 0;
    std::string lineText_;
};

}  // namespace tarvo::script
