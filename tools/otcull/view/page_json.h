// The page's data as JSON: records and sentences once, and per pass only
// what changed, so that a session of 100,000 nodes and 1,000 passes stays a
// page a browser opens.
//
// A pass's change lists are runs, flat: [gap, count, value, ...]. From
// end = 0, each run covers the ids start = end + gap to start + count - 1,
// then end = start + count. In `nodeRecords` and `portalRecords` the ids
// take the records value, value + 1, ... (-1: the ids are gone); in `nodes`
// and `portals` they all take value, which packs the state in its low bits
// (codes.packing) and the sentence's index above them. A node of one room
// shares its sentence with the others, so most runs are long.
#pragma once

#include <functional>
#include <iosfwd>

#include "view/page_data.h"

namespace tarvo {

// progress is told the number of passes written, after each.
void writeSessionJson(const ViewSession& session, std::ostream& out,
                      const std::function<void(size_t passesWritten)>& progress = {});

}  // namespace tarvo
