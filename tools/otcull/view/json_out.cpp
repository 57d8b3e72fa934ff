#include "view/json_out.h"

#include <string>

#include "text/number_text.h"

namespace tarvo {

void JsonOut::string(std::string_view text) {
    out_ << '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out_ << '\\' << c;
        } else if (byte < 0x20 || c == '<') {
            static constexpr char kHex[] = "0123456789abcdef";
            out_ << "\\u00" << kHex[byte >> 4] << kHex[byte & 15];
        } else {
            out_ << c;
        }
    }
    out_ << '"';
}

void JsonOut::number(float value) {
    const std::string text = script::formatFloat(value);
    out_ << (text == "nan" || text == "inf" || text == "-inf" ? "null" : text);
}

}  // namespace tarvo
