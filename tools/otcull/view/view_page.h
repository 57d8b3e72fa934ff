// The page `otcull view` writes: one HTML file holding its own style,
// script and the recorded session as JSON, for any current browser to open
// from disk without a network.
#pragma once

#include <iosfwd>
#include <string_view>

#include "view/view_record.h"

namespace tarvo {

void writeViewPage(const ViewSession& session, std::ostream& out);

// Records the script read from in and writes its page to the file named
// html. Returns the exit status: 0; 1 when the page cannot be written; 2
// after a script error (the page then holds the passes before it).
int viewScript(std::istream& in, std::string_view path, std::string_view html, std::ostream& out,
               std::ostream& err);

}  // namespace tarvo
