// The page `otcull view` writes: one HTML file holding its own style,
// script and the recorded session as JSON, for any current browser to open
// from disk without a network.
#pragma once

#include <filesystem>
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

// Where a page goes: its file, the verb that writes it (for messages), and
// the script it must never replace (empty for none).
struct PageTarget {
    std::string_view file;
    std::string_view verb;
    std::filesystem::path script;
};

// Records the script read from in and writes its page to page.file. Returns
// the exit status: 0; 2 after a script error (the page then holds the
// passes before it) or when the page cannot be written (any file there is
// left as it was).
int viewScript(std::istream& in, std::string_view path, const PageTarget& page, std::ostream& out,
               std::ostream& err);

}  // namespace tarvo
