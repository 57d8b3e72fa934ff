// Scripted scenes for the reliability tests: commands by export name with
// named records, each run on the core and the reference model at once (the
// differential harness compares them and checks the core after every step).
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "commands/command_table.h"
#include "commands/state.h"
#include "differential/differential.h"
#include "differential/tree_invariants.h"

namespace tarvo::reliability {

inline int idOf(std::string_view exportName) {
    const CommandDeclaration* command = findCommandByExport(exportName);
    if (command == nullptr) ADD_FAILURE() << "no export " << exportName;
    return command == nullptr ? 0 : command->id;
}

// One argument: a named record, or the same raw slot on both sides, or a
// different slot on each side (a bad handle made for each side).
struct Arg {
    std::string name;
    uint32_t core = 0;
    uint32_t model = 0;
};
inline Arg H(std::string name) { return {std::move(name)}; }
inline Arg I(int32_t v) { return {"", static_cast<uint32_t>(v), static_cast<uint32_t>(v)}; }
inline Arg F(float v) { return {"", std::bit_cast<uint32_t>(v), std::bit_cast<uint32_t>(v)}; }
inline Arg Each(uint32_t core, uint32_t model) { return {"", core, model}; }

class Scene {
public:
    Differential& run() { return run_; }
    const Differential& run() const { return run_; }

    // Runs one command on both sides; a difference fails the test. Names
    // the record a create command or OT_AddPortal returns, when asked.
    int32_t operator()(std::string_view exportName, std::initializer_list<Arg> args,
                       const std::string& as = "") {
        std::vector<uint32_t> core, model;
        for (const Arg& a : args) {
            if (a.name.empty()) {
                core.push_back(a.core);
                model.push_back(a.model);
                continue;
            }
            const HandlePair p = pair(a.name);
            core.push_back(static_cast<uint32_t>(p.core));
            model.push_back(static_cast<uint32_t>(p.model));
        }
        int32_t result = 0;
        const std::string divergence = run_.command(idOf(exportName), core, model, &result);
        EXPECT_EQ(divergence, "") << "in " << exportName;
        if (!as.empty()) {
            EXPECT_NE(result, 0) << exportName << " made nothing for " << as;
            if (result != 0) named_[as] = run_.live().back();
        }
        return result;
    }

    HandlePair pair(const std::string& name) const {
        const auto found = named_.find(name);
        if (found == named_.end()) {
            ADD_FAILURE() << "no record named " << name;
            return {};
        }
        return found->second;
    }

    const std::vector<HostCall>& calls() const { return run_.lastCoreCalls(); }
    std::string describe() const { return describeTree(cullingState()); }

private:
    Differential run_;
    std::map<std::string, HandlePair> named_;
};

inline std::vector<std::string> formatted(const std::vector<HostCall>& calls) {
    std::vector<std::string> out;
    for (const HostCall& c : calls) out.push_back(formatHostCall(c));
    return out;
}

}  // namespace tarvo::reliability
