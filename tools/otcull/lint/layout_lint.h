// `otcull lint`: the layout mistakes the plug-in accepts without a word,
// found in the tree a script has built, each reported on the script line
// that made the node or portal at fault.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "script_runner.h"
#include "trace/script_tap.h"
#include "tree/tree.h"

namespace tarvo {

enum class LintKind {
    kZoneNeverHoldsCamera,
    kCornersSwapped,
    kZonesOverlap,
    kGapBetweenZones,
    kStaleDepth,
    kNoOpening,
    kSameZoneTwice,
    kDuplicatePortal,
    kOpeningApart,
    kLoneZone,
    kSharedAttachment,
};

// How the counts of --quiet name each kind.
std::string_view lintKindName(LintKind kind);

struct LintWarning {
    int line;  // 0 when no script line made the thing at fault
    LintKind kind;
    std::string text;
    auto operator<=>(const LintWarning&) const = default;
};

std::vector<LintWarning> lintLayout(const Tree& tree, const ScriptFacts& facts,
                                    const script::ScriptRunner& names);

// Runs the script read from in (path names it in messages), checking the layout at each pass and at
// the end; prints each warning once (with --quiet only the counts). Returns 1 when it warned, 0
// when clean, 2 after a script error.
int lintScript(std::istream& in, std::string_view path, bool quiet, std::ostream& out,
               std::ostream& err);

}  // namespace tarvo
