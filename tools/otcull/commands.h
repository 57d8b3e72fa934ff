// otcull's command line: `otcull run SCRIPT` and `otcull demo [flags]`.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace tarvo {

// args excludes the program name. Returns the exit status.
int otcullMain(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

}  // namespace tarvo
