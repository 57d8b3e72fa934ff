// Numbers as scripts write them and as the runner prints them. Standard C++
// only: the Windows harness builds this file too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::script {

// A numeric literal: an integer (decimal, optional sign) or a float (with a
// point or an exponent, or inf, -inf, nan). Integers are kept wide so that the
// caller can say which ones are out of 32-bit range.
struct NumberLiteral {
    bool isInteger = false;
    int64_t integer = 0;
    float single = 0.0f;           // the nearest 32-bit float: subnormal, or 0 with the sign
    double wide = 0.0;             // the nearest double, for double-precision set-up
    bool integerOverflow = false;  // beyond what int64 holds: certainly out of range
    bool floatOutOfRange = false;  // finite text beyond the largest finite 32-bit float
};

// nullopt when the word is not a numeric literal at all.
std::optional<NumberLiteral> readNumber(std::string_view word);

bool fitsInt32(const NumberLiteral& number);

// The literal as a 32-bit float: integers are converted, floats read directly.
float asFloat(const NumberLiteral& number);

// The shortest decimal that reads back as the same float; "nan" for any NaN.
std::string formatFloat(float value);

}  // namespace tarvo::script
