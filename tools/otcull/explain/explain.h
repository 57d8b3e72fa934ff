// `otcull explain`: after each pass of a script, one line per node saying
// whether the pass left it shown or hidden and what led there, in the words
// of the script (its names for nodes and portals).
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "script_runner.h"
#include "trace/pass_story.h"

namespace tarvo {

// What an explanation reads of the pass's camera beyond the story's fields,
// so that whatever caches explanations can tell when these change:
// whether a zone holds the camera without being the camera zone (the search
// stops at the deepest zone holding it), and whether a node lies wholly
// behind the near plane.
bool holdsCameraOutsideCameraZone(const Tree& tree, const PassStory& story, NodeIndex zone);
bool behindCamera(const Tree& tree, const PassStory& story, NodeIndex node);

class Explainer {
public:
    Explainer(const Tree& tree, const PassStory& story, const script::ScriptRunner& names)
        : tree_(tree), story_(story), names_(names) {}

    // "lamp: hidden - inside zone hall, which was flooded without the camera,
    // so its children were not walked"
    std::string explain(NodeIndex node) const;
    // "camera zone hall" or "no zone holds the camera"
    std::string passSummary() const;

private:
    std::string name(NodeIndex node) const;
    std::string portalName(PortalIndex portal) const;
    std::string howMet(const PassEvent& event) const;
    std::string whyShown(NodeIndex node, const NodeStory& story) const;
    std::string childrenKeptBy(NodeIndex zone) const;
    std::string whyHidden(NodeIndex node, const NodeStory& story) const;
    std::string throughPortal(const PassEvent& event) const;
    std::string outsidePlane(NodeIndex node) const;
    std::string whyNotReached(NodeIndex node) const;
    std::string whyNotWalked(NodeIndex node) const;
    std::string portalsNotFollowed(NodeIndex node) const;
    std::string whyNotFollowed(NodeIndex node, PortalIndex portal) const;
    struct LeadOutReason {
        PortalIndex portal;
        std::string why;
    };
    const std::vector<LeadOutReason>& leadOutReasons() const;

    const Tree& tree_;
    const PassStory& story_;
    const script::ScriptRunner& names_;
    mutable std::vector<LeadOutReason> leadOut_;
    mutable uint32_t leadOutPass_ = 0;  // the pass leadOut_ was gathered in; 0 for none
};

// Runs the script read from in (path names it in messages); after each
// pass, explains the nodes bound to the given names (every node when there
// are none). Returns the exit status: 0, or 2 after a script error.
int explainScript(std::istream& in, std::string_view path,
                  const std::vector<std::string_view>& nodeNames, std::ostream& out,
                  std::ostream& err);

}  // namespace tarvo
