// Reads a script a line at a time from whatever holds it: a file, standard
// input, a device or a pipe. It never holds more than one line, so an endless
// or binary input stops at the line limit, and it tells a read that failed
// (standard input closed or a directory, a device's read error) from the end.
// Standard C++ only: the Windows harness reads its scripts with it too.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

namespace tarvo::script {

class LineReader {
public:
    static constexpr size_t kMaxLineBytes = 64 * 1024;
    enum class Result { kLine, kEnd, kTooLong, kFailed };

    explicit LineReader(std::istream& in);

    // The next line without its end (`\n`, and a `\r` before it).
    Result next(std::string& line);
    // Why the read failed ("Is a directory"), once next has said kFailed.
    const std::string& failure() const { return failure_; }
    bool failed() const { return !failure_.empty(); }

private:
    Result readInto(std::string& line);

    std::streambuf* in_;
    std::string failure_;
};

}  // namespace tarvo::script
