// The node each script name names, pass by pass, the way `otcull explain
// --node NAME` finds it: a name deleted and bound again to a new node stays
// one track. Only names bound since the last pass, and names of nodes gone
// since, are looked at again.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "script_runner.h"
#include "tree/tree.h"
#include "view/page_data.h"
#include "view/page_ids.h"

namespace tarvo {

class NameTracks {
public:
    explicit NameTracks(std::vector<std::pair<std::string, std::vector<ViewNaming>>>& tracks)
        : tracks_(tracks) {}

    void bound(const std::string& name) { rebound_.insert(name); }
    // After each pass, with the page ids of the nodes and the ids gone in it.
    void afterPass(int pass, const script::ScriptRunner& runner, const Tree& tree, PageIds& ids,
                   const std::vector<ViewChange>& recordChanges);

private:
    void name(size_t track, int pass, int32_t node);

    std::vector<std::pair<std::string, std::vector<ViewNaming>>>& tracks_;
    std::unordered_set<std::string> rebound_;
    std::unordered_map<std::string, size_t> trackOf_;
    std::unordered_multimap<int32_t, size_t> namedBy_;  // page id -> tracks naming it now
};

}  // namespace tarvo
