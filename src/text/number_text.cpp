#include "text/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace tarvo::script {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t skipDigits(std::string_view text, size_t at) {
    while (at < text.size() && isDigit(text[at])) ++at;
    return at;
}

// digits [. digits] [e [sign] digits], or . digits [...]; true when the whole
// text has that shape and holds a point or an exponent.
bool hasFloatShape(std::string_view text) {
    size_t at = skipDigits(text, 0);
    size_t digits = at;
    bool pointOrExponent = false;
    if (at < text.size() && text[at] == '.') {
        pointOrExponent = true;
        const size_t fractionEnd = skipDigits(text, at + 1);
        digits += fractionEnd - at - 1;
        at = fractionEnd;
    }
    if (digits == 0) return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        pointOrExponent = true;
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        const size_t exponentEnd = skipDigits(text, at);
        if (exponentEnd == at) return false;
        at = exponentEnd;
    }
    return at == text.size() && pointOrExponent;
}

// The power of ten of the first digit that is not 0, in a literal of float
// shape without its sign: negative below 1. An exponent is saturated far
// beyond any float's, so that no text overflows the sum.
int64_t leadingPower(std::string_view body) {
    const size_t exponentAt = body.find_first_of("eE");
    int64_t exponent = 0;
    if (exponentAt != std::string_view::npos) {
        std::string_view digits = body.substr(exponentAt + 1);
        const bool minus = digits.front() == '-';
        if (digits.front() == '-' || digits.front() == '+') digits.remove_prefix(1);
        for (const char c : digits)
            exponent = std::min<int64_t>(exponent * 10 + (c - '0'), 1 << 30);
        if (minus) exponent = -exponent;
    }
    const std::string_view mantissa = body.substr(0, exponentAt);
    const auto whole = static_cast<int64_t>(std::min(mantissa.find('.'), mantissa.size()));
    const size_t first = mantissa.find_first_not_of("0.");
    if (first == std::string_view::npos) return std::numeric_limits<int32_t>::min();
    const auto at = static_cast<int64_t>(first);
    return (at < whole ? whole - 1 - at : whole - at) + exponent;
}

NumberLiteral special(bool negative, bool infinity) {
    NumberLiteral n;
    if (infinity) {
        n.single = negative ? -std::numeric_limits<float>::infinity()
                            : std::numeric_limits<float>::infinity();
    } else {
        n.single = std::numeric_limits<float>::quiet_NaN();
    }
    n.wide = n.single;
    return n;
}

}  // namespace

std::optional<NumberLiteral> readNumber(std::string_view word) {
    const bool negative = !word.empty() && word.front() == '-';
    std::string_view body = word;
    if (!body.empty() && (body.front() == '-' || body.front() == '+')) body.remove_prefix(1);
    if (body.empty()) return std::nullopt;
    if (body == "inf") return special(negative, true);
    if (body == "nan") return special(negative, false);

    NumberLiteral n;
    if (skipDigits(body, 0) == body.size()) {
        n.isInteger = true;
        // from_chars takes the minus sign itself, so the full range is kept.
        const std::string_view digits = negative ? word : body;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), n.integer);
        n.integerOverflow = error == std::errc::result_out_of_range;
        return n;
    }
    if (!hasFloatShape(body)) return std::nullopt;
    const std::string_view text = negative ? word : body;
    const auto single = std::from_chars(text.data(), text.data() + text.size(), n.single);
    const auto wide = std::from_chars(text.data(), text.data() + text.size(), n.wide);
    // Out of range is either side of the floats: a magnitude below the
    // smallest subnormal's half rounds to zero, as the nearest float; only
    // one beyond the largest is an error.
    const bool singleOut = single.ec == std::errc::result_out_of_range;
    const bool wideOut = wide.ec == std::errc::result_out_of_range;
    const bool tiny = (singleOut || wideOut) && leadingPower(body) < 0;
    if (singleOut && tiny) n.single = negative ? -0.0f : 0.0f;
    if (wideOut && tiny) n.wide = negative ? -0.0 : 0.0;
    n.floatOutOfRange = (singleOut || wideOut) && !tiny;
    return n;
}

bool fitsInt32(const NumberLiteral& number) {
    return number.isInteger && !number.integerOverflow &&
           number.integer >= std::numeric_limits<int32_t>::min() &&
           number.integer <= std::numeric_limits<int32_t>::max();
}

float asFloat(const NumberLiteral& number) {
    return number.isInteger ? static_cast<float>(number.integer) : number.single;
}

std::string formatFloat(float value) {
    if (std::isnan(value)) return "nan";
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

}  // namespace tarvo::script
