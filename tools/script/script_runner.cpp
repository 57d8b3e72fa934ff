#include "script_runner.h"

#include <algorithm>
#include <bit>
#include <istream>
#include <ostream>
#include <vector>

#include "commands/command_table.h"

namespace tarvo::script {
namespace {

struct Resolved {
    const CommandDeclaration* command = nullptr;
    std::string error;
};

std::string plural(size_t count) {
    return std::to_string(count) + (count == 1 ? " argument" : " arguments");
}

// An export name names one declaration; a script name names every overload,
// of which the one taking this many arguments is meant.
Resolved resolveCommand(std::string_view name, size_t argumentCount) {
    if (const CommandDeclaration* byExport = findCommandByExport(name)) {
        const size_t wanted = signatureOf(*byExport).parameters.size();
        if (wanted == argumentCount) return {byExport, {}};
        return {nullptr, std::string(name) + " takes " + plural(wanted) + ", got " +
                             std::to_string(argumentCount)};
    }
    std::vector<size_t> counts;
    for (const CommandDeclaration& command : kCommandTable) {
        const CommandSignature sig = signatureOf(command);
        if (sig.scriptName != name) continue;
        if (sig.parameters.size() == argumentCount) return {&command, {}};
        counts.push_back(sig.parameters.size());
    }
    if (counts.empty()) return {nullptr, "unknown command '" + std::string(name) + "'"};
    std::sort(counts.begin(), counts.end());
    std::string takes = std::to_string(counts[0]);
    for (size_t i = 1; i < counts.size(); ++i) takes += " or " + std::to_string(counts[i]);
    return {nullptr, std::string(name) + " takes " + takes + " arguments, got " +
                         std::to_string(argumentCount)};
}

std::string argumentPlace(size_t index, std::string_view exportName) {
    return "argument " + std::to_string(index + 1) + " of " + std::string(exportName);
}

}  // namespace

void writeSwitch(std::ostream& out, HostSwitch which, int32_t object, int32_t limb) {
    static constexpr const char* kNames[] = {"Hide",       "ExcludeOn", "HideLimb",
                                             "ExcludeOff", "Show",      "ShowLimb"};
    out << kNames[static_cast<int>(which)] << ' ' << object;
    if (which == HostSwitch::kHideLimb || which == HostSwitch::kShowLimb) out << ' ' << limb;
    out << '\n';
}

std::optional<std::string> ScriptRunner::runLine(std::string_view line) {
    const ParseResult parsed = parseLine(line);
    if (!parsed.error.empty()) return parsed.error;
    return run(parsed.statement);
}

int ScriptRunner::runScript(std::istream& in, std::string_view fileName, std::ostream& err) {
    std::string line;
    for (line_ = 1; std::getline(in, line); ++line_) {
        // A byte-order mark is an editor's habit, not part of the first statement.
        if (line_ == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        if (const auto error = runLine(line)) {
            out_.flush();
            err << fileName << ':' << line_ << ": error: " << *error << '\n';
            line_ = 0;
            return 2;
        }
    }
    line_ = 0;
    out_.flush();
    return 0;
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
    const CommandSignature sig = signatureOf(*resolved.command);
    if (!call.binding.empty() && sig.result == 0) {
        return std::string(sig.exportName) + " returns no value to bind to " + call.binding;
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
    if (!call.binding.empty()) bindings_[call.binding] = {result, sig.result, ++bindingCount_};
    out_ << sig.exportName << " -> "
         << formatResult(sig.result, returnsHandle(*resolved.command), result) << '\n';
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
        if (!argument.number.isInteger) return place + " takes an integer, got " + argument.text;
        slot = static_cast<uint32_t>(static_cast<int32_t>(argument.number.integer));
        return std::nullopt;
    }
    const auto found = bindings_.find(argument.text);
    if (found == bindings_.end()) return "unbound name '" + argument.text + "'";
    const Binding& bound = found->second;
    if (!wantsFloat && bound.type == 'F') {
        return place + " takes an integer, but " + argument.text + " holds a float";
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

// Names bound to the handle from a handle result and still holding it; the
// latest of them, so a name re-bound to another node no longer speaks for
// this one.
std::string ScriptRunner::nameOfHandle(uint32_t bits) const {
    const std::string* best = nullptr;
    uint64_t bestOrder = 0;
    for (const auto& [name, binding] : bindings_) {
        if (binding.type == 'L' && binding.bits == bits && binding.order > bestOrder) {
            best = &name;
            bestOrder = binding.order;
        }
    }
    if (best != nullptr) return *best;
    return "#" + std::to_string(static_cast<int32_t>(bits));
}

std::optional<uint32_t> ScriptRunner::valueOf(std::string_view name) const {
    const auto found = bindings_.find(name);
    if (found == bindings_.end()) return std::nullopt;
    return found->second.bits;
}

}  // namespace tarvo::script
