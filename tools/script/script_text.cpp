#include "script_text.h"

namespace tarvo::script {
namespace {

// The length of the UTF-8 sequence starting at text[at], or 0 when the
// bytes there are not one (overlong forms and surrogates included).
size_t sequenceLength(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    }
    return length;
}

std::string escaped(unsigned char byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    return {'\\', 'x', kDigits[byte >> 4], kDigits[byte & 15]};
}

}  // namespace

std::optional<std::string> textProblem(std::string_view line) {
    for (size_t at = 0; at < line.size();) {
        const size_t length = line[at] == '\0' ? 0 : sequenceLength(line, at);
        if (length != 0) {
            at += length;
            continue;
        }
        const std::string column = " at column " + std::to_string(at + 1);
        if (line[at] == '\0') return "NUL byte" + column;
        return "byte " + escaped(static_cast<unsigned char>(line[at])) + column + " is not UTF-8";
    }
    return std::nullopt;
}

std::string shownText(std::string_view text) {
    std::string shown;
    for (size_t at = 0; at < text.size();) {
        if (shown.size() >= kShownBytes) return shown + "...";
        const auto byte = static_cast<unsigned char>(text[at]);
        const size_t length = sequenceLength(text, at);
        if (byte < 0x20 || byte == 0x7F || length == 0) {
            shown += escaped(byte);
            ++at;
            continue;
        }
        shown.append(text.substr(at, length));
        at += length;
    }
    return shown;
}

// Built by appending: `"'" + std::string(...)` trips a false -Wrestrict of GCC 12 at -O3.
std::string quotedText(std::string_view text) {
    std::string quoted(1, '\'');
    quoted += shownText(text);
    quoted += '\'';
    return quoted;
}

std::string cannotRead(std::string_view file, std::string_view reason) {
    std::string message = "otcull: cannot read ";
    message += shownText(file);
    message += ": ";
    message += reason;
    return message;
}

}  // namespace tarvo::script
