#include "view/name_tracks.h"

#include <algorithm>

namespace tarvo {

void NameTracks::name(size_t track, int pass, int32_t node) {
    std::vector<ViewNaming>& namings = tracks_[track].second;
    const int32_t before = namings.empty() ? -1 : namings.back().node;
    if (before == node) return;
    if (before >= 0) {
        const auto [first, last] = namedBy_.equal_range(before);
        for (auto at = first; at != last; ++at) {
            if (at->second == track) {
                namedBy_.erase(at);
                break;
            }
        }
    }
    if (node >= 0) namedBy_.emplace(node, track);
    if (!namings.empty() && namings.back().pass == pass) {
        namings.back().node = node;
    } else {
        namings.push_back({pass, node});
    }
}

void NameTracks::afterPass(int pass, const script::ScriptRunner& runner, const Tree& tree,
                           PageIds& ids, const std::vector<ViewChange>& recordChanges) {
    for (const ViewChange& c : recordChanges) {
        if (c.value >= 0) continue;
        std::vector<size_t> naming;
        const auto [first, last] = namedBy_.equal_range(c.id);
        for (auto at = first; at != last; ++at) naming.push_back(at->second);
        for (const size_t track : naming) name(track, pass, -1);
    }
    // In name order: the hash set's order differs between systems, and the
    // page must be the same on each.
    std::vector<std::string> rebound(rebound_.begin(), rebound_.end());
    std::sort(rebound.begin(), rebound.end());
    for (const std::string& bound : rebound) {
        const std::optional<uint32_t> value = runner.valueOf(bound);
        const NodeIndex index = value ? tree.nodeIndex(static_cast<Handle>(*value)) : kNone;
        const int32_t node = index == kNone ? -1 : ids.idOf(index, tree.nodeHandle(index));
        auto found = trackOf_.find(bound);
        if (found == trackOf_.end()) {
            if (node < 0) continue;
            found = trackOf_.emplace(bound, tracks_.size()).first;
            tracks_.push_back({bound, {}});
        }
        name(found->second, pass, node);
    }
    rebound_.clear();
}

}  // namespace tarvo
