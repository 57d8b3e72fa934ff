// Records a script's session for the page: runs it and, after each pass,
// writes down what changed since the pass before (records, states,
// explanations, the flood's way, the lines run), then finds the events a
// level designer asks about.
#pragma once

#include <iosfwd>
#include <string_view>

#include "view/page_data.h"

namespace tarvo {

// Runs the script read from in (path names it in messages) and records
// every pass. Returns the exit status: 0, or 2 after a script error (the
// passes before it are kept, and session.error says where it stopped).
// Past two seconds, progress goes to err.
int recordSession(std::istream& in, std::string_view path, ViewSession& session, std::ostream& err);

}  // namespace tarvo
