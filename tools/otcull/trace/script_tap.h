// Sits between the script runner and the plug-in, passing every command on,
// and keeps what a script did that the tree does not remember: the line that
// made each node and portal, moved a node, or hung an object on one. It times
// every pass and tells whoever asked once each pass is over.
#pragma once

#include <functional>
#include <map>
#include <span>
#include <string_view>
#include <tuple>

#include "script_runner.h"
#include "tree/handles.h"

namespace tarvo {

struct ScriptFacts {
    std::map<Handle, int> madeAt;   // node or portal -> the line that created it
    std::map<Handle, int> movedAt;  // node -> its last OT_SetParent line
    // (node, object, limb) -> the first line that attached it; limb -1 for
    // a whole object. Fitted nodes attach on their creation line.
    std::map<std::tuple<Handle, int32_t, int32_t>, int> attachedAt;
};

// A command as the script ran it.
struct TappedCommand {
    int line;
    std::string_view scriptName;
    std::span<const uint32_t> slots;
    uint32_t result;
    bool changesTree;  // all but passes, frustum updates and queries
};

struct PassRun {
    int line;
    std::string_view exportName;  // OT_CullAll or OT_Cull
    Handle start;                 // OT_Cull's start node; 0 for OT_CullAll
    double micros;
};

class ScriptTap : public script::CommandCaller {
public:
    explicit ScriptTap(script::CommandCaller& plugin) : plugin_(plugin) {}

    // The runner whose lines the facts record.
    void follow(const script::ScriptRunner& runner) { runner_ = &runner; }
    void afterEachPass(std::function<void(const PassRun&)> hook) { afterPass_ = std::move(hook); }
    // Told of every command once it has run (a pass before afterEachPass).
    void afterEachCommand(std::function<void(const TappedCommand&)> hook) {
        afterCommand_ = std::move(hook);
    }

    uint32_t call(int id, std::span<const uint32_t> slots) override;

    const ScriptFacts& facts() const { return facts_; }
    // Commands so far that may have changed the tree: all but passes, frustum
    // updates and queries. Equal counts at two moments mean the same tree,
    // but for what the passes left shown or hidden.
    uint64_t treeChanges() const { return treeChanges_; }
    // The line that created a node or portal; 0 when not made by the script.
    int lineMade(Handle handle) const;

private:
    void record(std::string_view scriptName, std::span<const uint32_t> slots, uint32_t result,
                int line);

    script::CommandCaller& plugin_;
    const script::ScriptRunner* runner_ = nullptr;
    std::function<void(const PassRun&)> afterPass_;
    std::function<void(const TappedCommand&)> afterCommand_;
    ScriptFacts facts_;
    uint64_t treeChanges_ = 0;
};

}  // namespace tarvo
