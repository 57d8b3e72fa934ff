// The passes a level designer looks for, found in a recorded session: the
// camera in no zone, a node or object shown (or hidden) for a single pass,
// and a jump in the objects shown. The page lists them and `otcull explain
// --events` prints them, from this one computation.
#pragma once

#include <iosfwd>
#include <string_view>
#include <vector>

#include "view/page_data.h"

namespace tarvo {

// A jump: the objects shown at a pass differ from those at the pass before
// by more than half of the larger count (they doubled, or halved), and by
// at least kJumpFloor objects. Walking through a level changes the view a
// few percent a frame; a doubling in one frame is what a designer sees pop.
inline constexpr double kJumpShare = 0.5;
inline constexpr uint64_t kJumpFloor = 8;
// An event names at most this many lines, the ones nearest its pass.
inline constexpr size_t kEventLines = 16;

std::vector<ViewEvent> findEvents(const ViewSession& session);

// One line an event: "pass 163: flicker: n472 shown for one pass between
// hidden ones; changes on lines 1201 1202 1203".
void printEvent(const ViewEvent& event, std::ostream& out);

// `otcull explain --events`: runs the script and prints its events. Returns
// the exit status: 0, or 2 after a script error (the events before it are
// printed).
int printScriptEvents(std::istream& in, std::string_view path, std::ostream& out,
                      std::ostream& err);

}  // namespace tarvo
