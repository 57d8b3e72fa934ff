#include "line_reader.h"

#include <cerrno>
#include <istream>
#include <system_error>

namespace tarvo::script {

LineReader::LineReader(std::istream& in) : in_(in.rdbuf()) {}

// A stream buffer reports a failed read by throwing (libstdc++'s file
// buffers do, with the C library's reason as the code), never by a value:
// the only place to learn of it is here.
LineReader::Result LineReader::next(std::string& line) {
    line.clear();
    if (in_ == nullptr) return Result::kEnd;
    try {
        return readInto(line);
    } catch (const std::ios_base::failure& error) {
        failure_ = error.code().category() == std::iostream_category()
                       ? std::generic_category().message(EIO)
                       : error.code().message();
        return Result::kFailed;
    }
}

LineReader::Result LineReader::readInto(std::string& line) {
    for (;;) {
        const int c = in_->sbumpc();
        if (c == std::char_traits<char>::eof()) return line.empty() ? Result::kEnd : Result::kLine;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return Result::kLine;
        }
        if (line.size() == kMaxLineBytes) return Result::kTooLong;
        line.push_back(static_cast<char>(c));
    }
}

}  // namespace tarvo::script
