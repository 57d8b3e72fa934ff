// The page `otcull view` writes: one HTML file holding its own style,
// script and the recorded session as JSON, for any current browser to open
// from disk without a network.
#pragma once

#include <functional>
#include <iosfwd>
#include <string_view>

#include "view/page_data.h"

namespace tarvo {

// The session's data goes in gzip-compressed; a loader in the page inflates
// it before the page's script runs. progress is told the number of passes
// written, after each. False when the page could not be written whole.
bool writeViewPage(const ViewSession& session, std::ostream& out,
                   const std::function<void(size_t passesWritten)>& progress = {});

// Records the script read from in and writes its page to the file named
// html. Returns the exit status: 0; 1 when the page cannot be written; 2
// after a script error (the page then holds the passes before it).
int viewScript(std::istream& in, std::string_view path, std::string_view html, std::ostream& out,
               std::ostream& err);

}  // namespace tarvo
