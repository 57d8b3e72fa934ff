// Files otcull writes (pages, plan views) without ever losing one of the
// user's: never over the script being read, and through a temporary file
// beside the target that replaces it only once it is complete, so that a
// failed write (a full disk, a file-size limit) leaves the old file whole.
// std::filesystem only, for Linux and Windows alike.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace tarvo {

// Whether target names the same file as input (by device and inode, or the
// system's equivalent), so that `./s.otc` is `s.otc`; false when either does
// not exist or input is empty.
bool isSameFile(const std::filesystem::path& target, const std::filesystem::path& input);

// The reason for `cannot write FILE: REASON` when target is input; empty
// otherwise.
std::string refusalToOverwrite(const std::filesystem::path& target,
                               const std::filesystem::path& input);

// Writes target with write. A device or pipe (/dev/null, /dev/stdout) is
// written in place; a file through a temporary beside it, renamed over it
// (through a symbolic link, onto what it points to). Returns empty on
// success, otherwise the reason ("No space left on device"), and target is
// as it was.
std::string writeFileSafely(const std::filesystem::path& target,
                            const std::function<void(std::ostream&)>& write);

// `cannot write FILE: REASON`, FILE shown as messages show what users type.
std::string cannotWrite(std::string_view file, std::string_view reason);

}  // namespace tarvo
