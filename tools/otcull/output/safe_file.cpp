#include "output/safe_file.h"

#include <cerrno>
#include <fstream>
#include <random>
#include <system_error>

#include "output/kept_failure_buffer.h"
#include "script_text.h"

namespace tarvo {
namespace fs = std::filesystem;
namespace {

// Opens out on the file, which must not exist yet for a temporary; returns
// why it could not.
std::string open(std::ofstream& out, const fs::path& file) {
    errno = 0;
    out.open(file, std::ios::binary | std::ios::trunc);
    return out ? std::string() : std::generic_category().message(errno != 0 ? errno : EIO);
}

// Writes to the file already open in file, flushed and closed.
std::string writeOpen(std::ofstream& file, const std::function<void(std::ostream&)>& write) {
    std::string failure;
    {
        KeptFailureBuffer kept(*file.rdbuf());
        std::ostream out(&kept);
        write(out);
        failure = outputFailure(out);
    }
    errno = 0;
    file.close();
    if (failure.empty() && file.fail()) {
        failure = std::generic_category().message(errno != 0 ? errno : EIO);
    }
    return failure;
}

// A name beside the target, unused, hidden where dot files are.
fs::path temporaryBeside(const fs::path& target) {
    static std::mt19937_64 random{std::random_device{}()};
    for (;;) {
        fs::path name = ".";
        name += target.filename();
        name += ".otcull-" + std::to_string(random() % 1000000007);
        fs::path temporary = target;
        temporary.replace_filename(name);
        std::error_code ignored;
        if (!fs::exists(temporary, ignored)) return temporary;
    }
}

// Symbolic links are followed, so that the link stays and its file is replaced.
fs::path fileBehind(const fs::path& target) {
    std::error_code error;
    if (!fs::is_symlink(target, error)) return target;
    fs::path resolved = fs::canonical(target, error);
    return error ? target : resolved;
}

}  // namespace

bool isSameFile(const fs::path& target, const fs::path& input) {
    std::error_code ignored;
    return !input.empty() && fs::equivalent(target, input, ignored);
}

std::string refusalToOverwrite(const fs::path& target, const fs::path& input) {
    return isSameFile(target, input) ? "it is the script being read" : std::string();
}

std::string writeFileSafely(const fs::path& target,
                            const std::function<void(std::ostream&)>& write) {
    const fs::path file = fileBehind(target);
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    std::ofstream out;
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        std::string failure = open(out, file);
        return failure.empty() ? writeOpen(out, write) : failure;
    }
    const fs::path temporary = temporaryBeside(file);
    std::string failure = open(out, temporary);
    if (!failure.empty()) return failure;
    failure = writeOpen(out, write);
    if (failure.empty() && fs::exists(status)) {
        fs::permissions(temporary, status.permissions(), error);
    }
    if (failure.empty()) {
        fs::rename(temporary, file, error);
        if (error) failure = error.message();
    }
    if (!failure.empty()) fs::remove(temporary, error);
    return failure;
}

std::string cannotWrite(std::string_view file, std::string_view reason) {
    std::string message = "cannot write ";
    message += script::shownText(file);
    message += ": ";
    message += reason;
    return message;
}

}  // namespace tarvo
