// File names travel through otcull as UTF-8 on every system: on Windows the
// arguments arrive as UTF-16 and are converted at the program's edge. A file
// is read or written through the path made here, never through a narrow
// string, which Windows would read in the ANSI code page and so lose "Zoë"
// or "Łódź".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace tarvo {

// Text that is not UTF-8 gives the empty path, which no file opens.
inline std::filesystem::path utf8Path(std::string_view name) {
    try {
        return std::filesystem::path(std::u8string(name.begin(), name.end()));
    } catch (const std::system_error&) {
        return {};
    }
}

}  // namespace tarvo
