// A script is UTF-8 text; messages about it go to a terminal. These keep
// what the file holds from reaching the terminal raw.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo::script {

// What keeps a line from being text: "NUL byte at column 4", "byte \xff at
// column 9 is not UTF-8"; none when it is UTF-8 without NUL.
std::optional<std::string> textProblem(std::string_view line);

// The text as a message may show it: bytes that are not printable (control
// characters, bytes outside a UTF-8 sequence) escaped as \xNN, and anything
// beyond kShownBytes cut short with "...".
std::string shownText(std::string_view text);
constexpr size_t kShownBytes = 80;
// The same in single quotes.
std::string quotedText(std::string_view text);

// `otcull: cannot read FILE: REASON`: the one message for a script that
// could not be opened or read to its end. It speaks as otcull, whose reader
// this is (the Windows harness borrows it).
std::string cannotRead(std::string_view file, std::string_view reason);

}  // namespace tarvo::script
