#include "script_runner.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <istream>
#include <ostream>
#include <unordered_map>
#include <vector>

#include "commands/command_table.h"
#include "script_text.h"

namespace tarvo::script {
namespace {

struct Resolved {
    const CommandDeclaration* command = nullptr;
    std::string error;
};

// The command table by name: every line of a script looks a name up here.
class CommandIndex {
public:
    CommandIndex() {
        for (const CommandDeclaration& command : kCommandTable) {
            byExport_.emplace(command.signature.exportName, &command);
            byScriptName_[command.signature.scriptName].push_back(&command);
        }
    }
    const CommandDeclaration* byExport(std::string_view name) const {
        const auto found = byExport_.find(name);
        return found == byExport_.end() ? nullptr : found->second;
    }
    // In table order; empty for a name no declaration has.
    std::span<const CommandDeclaration* const> byScriptName(std::string_view name) const {
        const auto found = byScriptName_.find(name);
        if (found == byScriptName_.end()) return {};
        return found->second;
    }

private:
    std::unordered_map<std::string_view, const CommandDeclaration*> byExport_;
    std::unordered_map<std::string_view, std::vector<const CommandDeclaration*>> byScriptName_;
};

const CommandIndex& commandIndex() {
    static const CommandIndex index;
    return index;
}

std::string plural(size_t count) {
    return std::to_string(count) + (count == 1 ? " argument" : " arguments");
}

// An export name names one declaration; a script name names every overload,
// of which the one taking this many arguments is meant.
Resolved resolveCommand(std::string_view name, size_t argumentCount) {
    const CommandIndex& index = commandIndex();
    if (const CommandDeclaration* byExport = index.byExport(name)) {
        const size_t wanted = byExport->signature.parameters.size();
        if (wanted == argumentCount) return {byExport, {}};
        return {nullptr, shownText(name) + " takes " + plural(wanted) + ", got " +
                             std::to_string(argumentCount)};
    }
    std::vector<size_t> counts;
    for (const CommandDeclaration* command : index.byScriptName(name)) {
        const size_t wanted = command->signature.parameters.size();
        if (wanted == argumentCount) return {command, {}};
        counts.push_back(wanted);
    }
    if (counts.empty()) return {nullptr, "unknown command " + quotedText(name)};
    std::sort(counts.begin(), counts.end());
    std::string takes = std::to_string(counts[0]);
    for (size_t i = 1; i < counts.size(); ++i) takes += " or " + std::to_string(counts[i]);
    return {nullptr, shownText(name) + " takes " + takes + " arguments, got " +
                         std::to_string(argumentCount)};
}

std::string argumentPlace(size_t index, std::string_view exportName) {
    return "argument " + std::to_string(index + 1) + " of " + std::string(exportName);
}

}  // namespace

// Appended, not `"#" + std::to_string(...)`, which trips a false -Wrestrict
// of GCC 12 at -O3.
std::string handleText(uint32_t bits) {
    std::string text(1, '#');
    text += std::to_string(static_cast<int32_t>(bits));
    return text;
}

const CommandSignature& commandSignature(int id) {
    return kCommandTable[static_cast<size_t>(id - 1)].signature;
}

// One write per line: a pass can make thousands of switches, and each
// insertion into a stream costs a sentry.
void writeSwitch(std::ostream& out, HostSwitch which, int32_t object, int32_t limb) {
    static constexpr std::string_view kNames[] = {"Hide ",       "ExcludeOn ", "HideLimb ",
                                                  "ExcludeOff ", "Show ",      "ShowLimb "};
    // The name, two numbers of at most 11 characters and their separators.
    std::array<char, 48> line;
    const std::string_view name = kNames[static_cast<int>(which)];
    char* end = std::copy(name.begin(), name.end(), line.data());
    end = std::to_chars(end, line.data() + 24, object).ptr;
    if (which == HostSwitch::kHideLimb || which == HostSwitch::kShowLimb) {
        *end = ' ';
        end = std::to_chars(end + 1, line.data() + 40, limb).ptr;
    }
    *end = '\n';
    out.write(line.data(), end + 1 - line.data());
}

std::optional<std::string> ScriptRunner::runLine(std::string_view line) {
    const ParseResult parsed = parseLine(line);
    if (!parsed.error.empty()) return parsed.error;
    return run(parsed.statement);
}

int ScriptRunner::runScript(std::istream& in, std::string_view fileName, std::ostream& err) {
    LineReader reader(in);
    std::optional<std::string> error;
    notes_ = &err;
    fileName_ = fileName;
    skippedPlanView_ = false;
    lastError_.reset();
    for (line_ = 1; !outputFailed(); ++line_) {
        const LineReader::Result read = reader.next(lineText_);
        if (read == LineReader::Result::kEnd) {
            if (line_ == 1) error = "empty file: a script has at least one line";
            break;
        }
        if (read == LineReader::Result::kLine && lineWatcher_) lineWatcher_(lineText_);
        error = runRead(read, reader);
        if (error) break;
    }
    out_.flush();
    if (error) {
        // A failed read is the file's fault, not a line's: its message is whole.
        if (!reader.failed()) err << shownText(fileName) << ':' << line_ << ": error: ";
        err << *error << '\n';
        lastError_ = Error{line_, std::move(*error)};
    }
    const int status = lastError_ || outputFailed() ? 2 : 0;
    line_ = 0;
    lineText_.clear();
    notes_ = nullptr;
    return status;
}

std::optional<std::string> ScriptRunner::runRead(LineReader::Result read,
                                                 const LineReader& reader) {
    if (read == LineReader::Result::kFailed) return cannotRead(fileName_, reader.failure());
    if (read == LineReader::Result::kTooLong) {
        return "line longer than " + std::to_string(LineReader::kMaxLineBytes) + " bytes";
    }
    // A byte-order mark is an editor's habit, not part of the first statement.
    if (line_ == 1 && lineText_.starts_with("\xEF\xBB\xBF")) lineText_.erase(0, 3);
    if (auto problem = textProblem(lineText_)) return problem;
    return runLine(lineText_);
}

bool ScriptRunner::outputFailed() const {
    return watched_ != nullptr && watched_->fail();
}

std::optional<std::string> ScriptRunner::run(const Statement& statement) {
    if (const auto* call = std::get_if<CommandCall>(&statement)) return run(*call);
    if (const auto* s = std::get_if<CameraLookAt>(&statement)) {
        host_.setCameraMatrices(s->camera, lookAtMatrices(s->setup));
        const float eye[3] = {static_cast<float>(s->setup.eye[0]),
                              static_cast<float>(s->setup.eye[1]),
                              static_cast<float>(s->setup.eye[2])};
        host_.setCameraPosition(s->camera, eye);
    } else if (const auto* s = std::get_if<CameraSetMatrices>(&statement)) {
        host_.setCameraMatrices(s->camera, s->matrices);
    } else if (const auto* s = std::get_if<CameraSetPosition>(&statement)) {
        host_.setCameraPosition(s->camera, s->position);
    } else if (const auto* s = std::get_if<SetCurrentCamera>(&statement)) {
        host_.setCurrentCamera(s->camera);
    } else if (const auto* s = std::get_if<DefineObject>(&statement)) {
        host_.setObject(s->object, s->figures);
    } else if (const auto* s = std::get_if<DefineLimb>(&statement)) {
        if (!host_.setLimb(s->object, s->limb, s->figures)) {
            return "limb: object " + std::to_string(s->object) + " does not exist";
        }
    } else if (const auto* s = std::get_if<WritePlanView>(&statement)) {
        if (planView_ == nullptr) {
            notePlanViewSkipped();
            return std::nullopt;
        }
        out_.flush();
        const std::string error = planView_->write(s->file);
        if (!error.empty()) return "svg: " + error;
    }
    return std::nullopt;
}

void ScriptRunner::notePlanViewSkipped() {
    if (skippedPlanView_ || notes_ == nullptr) return;
    skippedPlanView_ = true;
    *notes_ << shownText(fileName_) << ':' << line_
            << ": note: svg statements skipped: only otcull run writes plan views\n";
}

std::optional<std::string> ScriptRunner::run(const CommandCall& call) {
    const Resolved resolved = resolveCommand(call.command, call.arguments.size());
    if (resolved.command == nullptr) return resolved.error;
    const CommandSignature& sig = commandSignature(resolved.command->id);
    if (!call.binding.empty() && sig.result == 0) {
        return std::string(sig.exportName) + " returns no value to bind to " +
               shownText(call.binding);
    }
    std::vector<uint32_t> slots(call.arguments.size());
    for (size_t i = 0; i < slots.size(); ++i) {
        const bool wantsFloat = sig.parameters[i] == 'F';
        if (auto error =
                slotOf(call.arguments[i], wantsFloat, argumentPlace(i, sig.exportName), slots[i])) {
            return error;
        }
    }

    const uint32_t result = caller_.call(resolved.command->id, slots);
    if (sig.result == 0) return std::nullopt;
    const bool isHandle = returnsHandle(*resolved.command);
    if (!call.binding.empty()) bind(call.binding, result, sig.result, isHandle);
    out_ << sig.exportName << " -> " << formatResult(sig.result, isHandle, result) << '\n';
    return std::nullopt;
}

// An integer given for a float parameter is taken as that float, whether
// written out or held by a name; a float is never taken as an integer.
std::optional<std::string> ScriptRunner::slotOf(const Argument& argument, bool wantsFloat,
                                                const std::string& place, uint32_t& slot) const {
    if (!argument.isName) {
        if (wantsFloat) {
            slot = std::bit_cast<uint32_t>(asFloat(argument.number));
            return std::nullopt;
        }
        if (!argument.number.isInteger) {
            return place + " takes an integer, got " + shownText(argument.text);
        }
        slot = static_cast<uint32_t>(static_cast<int32_t>(argument.number.integer));
        return std::nullopt;
    }
    const auto found = bindings_.find(argument.text);
    if (found == bindings_.end()) return "unbound name " + quotedText(argument.text);
    const Binding& bound = found->second;
    if (!wantsFloat && bound.type == 'F') {
        return place + " takes an integer, but " + shownText(argument.text) + " holds a float";
    }
    const bool convert = wantsFloat && bound.type != 'F';
    slot = convert ? std::bit_cast<uint32_t>(static_cast<float>(static_cast<int32_t>(bound.bits)))
                   : bound.bits;
    return std::nullopt;
}

std::string ScriptRunner::formatResult(char type, bool isHandle, uint32_t bits) const {
    if (type == 'F') return formatFloat(std::bit_cast<float>(bits));
    if (isHandle && bits != 0) return nameOfHandle(bits);
    return std::to_string(static_cast<int32_t>(bits));
}

// A name speaks for the handle of a handle result while it still holds it;
// of several, the latest bound. Each handle keeps its names in binding order
// and drops the stale ones from the end whenever one of them is bound again,
// so the last entry is always the answer.
void ScriptRunner::bind(const std::string& name, uint32_t bits, char type, bool isHandle) {
    const auto [found, fresh] = bindings_.try_emplace(name);
    const Binding before = found->second;
    found->second = {bits, type, isHandle, ++bindingCount_};
    if (bindingWatcher_) {
        bindingWatcher_(name, !fresh && before.isHandle ? before.bits : 0, isHandle ? bits : 0);
    }
    if (!fresh && before.isHandle) {
        const auto names = handleNames_.find(before.bits);
        dropStaleNames(names->second);
        if (names->second.empty()) handleNames_.erase(names);
    }
    if (!isHandle) return;
    std::vector<HandleName>& names = handleNames_[bits];
    // Stale entries inside the list are swept when it doubles, to keep it
    // in proportion to the names that still hold the handle.
    if (names.size() >= 16 && (names.size() & (names.size() - 1)) == 0) {
        std::erase_if(names, [&](const HandleName& entry) { return !holds(entry); });
    }
    names.push_back({&*found, bindingCount_});
}

bool ScriptRunner::holds(const HandleName& entry) {
    return entry.binding->second.order == entry.order;
}

void ScriptRunner::dropStaleNames(std::vector<HandleName>& names) {
    while (!names.empty() && !holds(names.back())) names.pop_back();
}

std::string ScriptRunner::nameOfHandle(uint32_t bits) const {
    const auto names = handleNames_.find(bits);
    if (names != handleNames_.end()) return names->second.back().binding->first;
    return handleText(bits);
}

std::optional<uint32_t> ScriptRunner::valueOf(std::string_view name) const {
    const auto found = bindings_.find(name);
    if (found == bindings_.end()) return std::nullopt;
    return found->second.bits;
}

}  // namespace tarvo::script
