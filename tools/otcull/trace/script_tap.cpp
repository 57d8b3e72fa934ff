#include "trace/script_tap.h"

#include <chrono>

#include "commands/command_table.h"

namespace tarvo {
namespace {

bool leavesTreeAlone(std::string_view scriptName) {
    return scriptName == "OT_CullAll" || scriptName == "OT_Cull" ||
           scriptName == "OT_UpdateFrustum" || scriptName == "OT_Visible" ||
           scriptName == "OT_PortalEnabled" || scriptName.starts_with("OT_Get") ||
           scriptName.starts_with("OT_Test");
}

}  // namespace

uint32_t ScriptTap::call(int id, std::span<const uint32_t> slots) {
    const CommandSignature& sig = script::commandSignature(id);
    const int line = runner_ != nullptr ? runner_->currentLine() : 0;
    const bool isPass = sig.scriptName == "OT_CullAll" || sig.scriptName == "OT_Cull";
    const auto start = std::chrono::steady_clock::now();
    const uint32_t result = plugin_.call(id, slots);
    const auto stop = std::chrono::steady_clock::now();
    record(sig.scriptName, slots, result, line);
    const bool changesTree = !leavesTreeAlone(sig.scriptName);
    if (changesTree) ++treeChanges_;
    if (afterCommand_) afterCommand_({line, sig.scriptName, slots, result, changesTree});
    if (isPass && afterPass_) {
        const Handle startNode = slots.empty() ? 0 : static_cast<Handle>(slots[0]);
        afterPass_({line, sig.exportName, startNode,
                    std::chrono::duration<double, std::micro>(stop - start).count()});
    }
    return result;
}

void ScriptTap::record(std::string_view scriptName, std::span<const uint32_t> slots,
                       uint32_t result, int line) {
    if ((scriptName.starts_with("OT_Create") || scriptName == "OT_AddPortal") && result != 0) {
        facts_.madeAt[static_cast<Handle>(result)] = line;
    } else if (scriptName == "OT_SetParent") {
        facts_.movedAt[static_cast<Handle>(slots[0])] = line;
    } else if (scriptName == "OT_AddObject" || scriptName == "OT_AddLimb") {
        const int32_t limb = scriptName == "OT_AddLimb" ? static_cast<int32_t>(slots[2]) : -1;
        const Handle node = static_cast<Handle>(slots[0]);
        facts_.attachedAt.try_emplace({node, static_cast<int32_t>(slots[1]), limb}, line);
    }
}

int ScriptTap::lineMade(Handle handle) const {
    const auto found = facts_.madeAt.find(handle);
    return found == facts_.madeAt.end() ? 0 : found->second;
}

}  // namespace tarvo
