// otcull's command line: `otcull VERB ...`, the verbs listed in verbs.cpp.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace tarvo {

// args excludes the program name; a script named `-` is read from in.
// Returns the exit status.
int otcullMain(std::span<const std::string_view> args, std::istream& in, std::ostream& out,
               std::ostream& err);
// The same, reading `-` from standard input.
int otcullMain(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

}  // namespace tarvo
