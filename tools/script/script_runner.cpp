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

// The command table taken apart once: every line of a script looks a name
// up here, and every call's signature is read from here.
class CommandIndex {
public:
    CommandIndex() {
        for (const CommandDeclaration& command : kCommandTable) {
            const CommandSignature sig = signatureOf(command);
            signatures_[static_cast<size_t>(command.id - 1)] = sig;
            byExport_.emplace(sig.exportName, &command);
            byScriptName_[sig.scriptName].push_back(&command);
        }
    }
    const CommandSignature& signature(int id) const {
        return signatures_[static_cast<size_t>(id - 1)];
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
    std::array<CommandSignature, kCommandTable.size()> signatures_{};
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
        const size_t wanted = index.signature(byExport->id).parameters.size();
        if (wanted == argumentCount) return {byExport, {}};
        return {nullptr, shownText(name) + " takes " + plural(wanted) + ", got " +
                             std::to_string(argumentCount)};
    }
    std::vector<size_t> counts;
    for (const CommandDeclaration* command : index.byScriptName(name)) {
        const size_t wanted = index.signature(command->id).parameters.size();
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

enum class LineRead { kLine, kEnd, kTooLong };

// The next line without its end, reading no further than maxBytes into it;
// kEnd once nothing is left.
LineRead readLine(std::streambuf& in, std::string& line, size_t maxBytes) {
    line.clear();
    for (;;) {
        const int c = in.sbumpc();
        if (c == std::char_traits<char>::eof())
            return line.empty() ? LineRead::kEnd : LineRead::kLine;
        if (c == '\n') return LineRead::kLine;
        if (line.size() == maxBytes) return LineRead::kTooLong;
        line.push_back(static_cast<char>(c));
    }
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
    return commandIndex().signature(id);
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
    std::string line;
    std::optional<std::string> error;
    line_ = 1;
    if (in.rdbuf() == nullptr || in.rdbuf()->sgetc() == std::char_traits<char>::eof()) {
        error = "empty file: a script has at least one line";
    }
    for (; !error; ++line_) {
        const LineRead read = readLine(*in.rdbuf(), line, kMaxLineBytes);
        if (read == LineRead::kEnd) break;
        if (read == LineRead::kTooLong) {
            error = "line longer than " + std::to_string(kMaxLineBytes) + " bytes";
            break;
        }
        // A byte-order mark is an editor's habit, not part of the first statement.
        if (line_ == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        error = textProblem(line);
        if (!error) error = runLine(line);
        if (error) break;
    }
    out_.flush();
    if (error) err << shownText(fileName) << ':' << line_ << ": error: " << *error << '\n';
    line_ = 0;
    return error ? 2 : 0;
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
        if (planView_ == nullptr) return "svg: plan views are not available in this runner";
        out_.flush();
        const std::string error = planView_->write(s->file);
        if (!error.empty()) return "svg: " + error;
    }
    return std::nullopt;
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
    if (!call.binding.empty()) bind(call.binding, result, sig.result);
    out_ << sig.exportName << " -> " << formatResult(sig.result, sig.result == 'L', result) << '\n';
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

// A name speaks for the handle of an 'L' result while it still holds it;
// of several, the latest bound. Each handle keeps its names in binding order
// and drops the stale ones from the end whenever one of them is bound again,
// so the last entry is always the answer.
void ScriptRunner::bind(const std::string& name, uint32_t bits, char type) {
    const auto [found, fresh] = bindings_.try_emplace(name);
    const Binding before = found->second;
    found->second = {bits, type, ++bindingCount_};
    if (bindingWatcher_) {
        bindingWatcher_(name, !fresh && before.type == 'L' ? before.bits : 0,
                        type == 'L' ? bits : 0);
    }
    if (!fresh && before.type == 'L') {
        const auto names = handleNames_.find(before.bits);
        dropStaleNames(names->second);
        if (names->second.empty()) handleNames_.erase(names);
    }
    if (type != 'L') return;
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
