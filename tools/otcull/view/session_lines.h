// The script's lines as the page and the events show them: the text of a
// line, and whether it changed something a pass depends on.
#pragma once

#include <string_view>
#include <vector>

#include "view/page_data.h"

namespace tarvo {

int lineCount(const ViewSession& session);

// The text of line number (from 1), without its line end.
std::string_view scriptLine(const ViewSession& session, int number);

// Whether the line changed the tree, the frustum, the camera or an object.
bool lineChangedSomething(const ViewSession& session, int number);

// The last `most` lines from first to last that changed something, in order.
std::vector<int> changingLines(const ViewSession& session, int first, int last, size_t most);

}  // namespace tarvo
