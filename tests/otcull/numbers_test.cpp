#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "camera_math.h"
#include "text/number_text.h"

namespace tarvo::script {
namespace {

struct LiteralCase {
    const char* word;
    bool isNumber;
    bool isInteger;
    bool fits;
};

TEST(NumberLiteral, ClassifiesWords) {
    const LiteralCase cases[] = {
        {"0", true, true, true},
        {"-17", true, true, true},
        {"+4", true, true, true},
        {"2147483647", true, true, true},
        {"-2147483648", true, true, true},
        {"2147483648", true, true, false},
        {"-2147483649", true, true, false},
        {"99999999999999999999", true, true, false},
        {"1.5", true, false, false},
        {".5", true, false, false},
        {"5.", true, false, false},
        {"1e3", true, false, false},
        {"-2.5E-2", true, false, false},
        {"inf", true, false, false},
        {"-inf", true, false, false},
        {"nan", true, false, false},
        {"", false, false, false},
        {"-", false, false, false},
        {".", false, false, false},
        {"1e", false, false, false},
        {"1.2.3", false, false, false},
        {"0x10", false, false, false},
        {"infinity", false, false, false},
        {"x1", false, false, false},
    };
    for (const LiteralCase& c : cases) {
        SCOPED_TRACE(c.word);
        const auto n = readNumber(c.word);
        ASSERT_EQ(n.has_value(), c.isNumber);
        if (!n) continue;
        EXPECT_EQ(n->isInteger, c.isInteger);
        EXPECT_EQ(fitsInt32(*n), c.fits);
    }
}

TEST(NumberLiteral, ReadsFloatsStraightToSinglePrecision) {
    // Just above the midpoint of two floats: through a double it would land
    // on the midpoint and round down to even; read directly it rounds up.
    EXPECT_EQ(asFloat(*readNumber("1.00000005960464477539062500000001")), 1.00000012f);
    EXPECT_EQ(asFloat(*readNumber("16777217")), 16777216.0f);
    EXPECT_EQ(asFloat(*readNumber("-0.0")), 0.0f);
    EXPECT_TRUE(std::signbit(asFloat(*readNumber("-0.0"))));
    EXPECT_TRUE(std::isnan(asFloat(*readNumber("nan"))));
    EXPECT_TRUE(readNumber("1e39")->floatOutOfRange);
    EXPECT_FALSE(readNumber("3.4e38")->floatOutOfRange);
}

// Below the smallest subnormal's half a literal rounds to zero, keeping its
// sign; only magnitudes beyond the largest float are out of range.
TEST(NumberLiteral, UnderflowRoundsToTheNearestFloat) {
    const struct {
        const char* text;
        float single;
        double wide;
    } cases[] = {
        {"1e-46", 0.0f, 1e-46},
        {"-1e-50", -0.0f, -1e-50},
        {"7e-46", 0.0f, 7e-46},
        {"7.1e-46", 1.4e-45f, 7.1e-46},
        {"1e-40", 1e-40f, 1e-40},
        {"0.00001e-400", 0.0f, 0.0},
        {"-.1e-99999999999999999999", -0.0f, -0.0},
    };
    for (const auto& c : cases) {
        const auto number = readNumber(c.text);
        ASSERT_TRUE(number) << c.text;
        EXPECT_FALSE(number->floatOutOfRange) << c.text;
        EXPECT_EQ(std::bit_cast<uint32_t>(number->single), std::bit_cast<uint32_t>(c.single))
            << c.text;
        EXPECT_EQ(std::bit_cast<uint64_t>(number->wide), std::bit_cast<uint64_t>(c.wide)) << c.text;
    }
    for (const char* beyond : {"3.40282357e38", "1e400", "-1e99999999999999999999", "10e38"})
        EXPECT_TRUE(readNumber(beyond)->floatOutOfRange) << beyond;
}

TEST(FloatFormat, ShortestTextThatReadsBack) {
    const std::pair<float, const char*> cases[] = {
        {2.5f, "2.5"},
        {-1.0f, "-1"},
        {0.0f, "0"},
        {-0.0f, "-0"},
        {0.1f, "0.1"},
        {1.0f / 3.0f, "0.33333334"},
        {16777216.0f, "16777216"},
        {std::numeric_limits<float>::infinity(), "inf"},
        {-std::numeric_limits<float>::infinity(), "-inf"},
        {std::numeric_limits<float>::quiet_NaN(), "nan"},
        {-std::numeric_limits<float>::quiet_NaN(), "nan"},
        {std::bit_cast<float>(0x7fc00001u), "nan"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(formatFloat(value), text);
}

TEST(LookAt, CameraAtTheOriginLookingDownZ) {
    const CameraMatrices m = lookAtMatrices({{0, 0, 0}, {0, 0, 5}, 90, 2, 1, 101});
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m.view[i], identity[i]) << i;
    EXPECT_FLOAT_EQ(m.projection[0], 0.5f);  // ys / aspect
    EXPECT_FLOAT_EQ(m.projection[5], 1.0f);  // 1 / tan(45 degrees)
    EXPECT_FLOAT_EQ(m.projection[10], 101.0f / 100.0f);
    EXPECT_FLOAT_EQ(m.projection[11], 1.0f);
    EXPECT_FLOAT_EQ(m.projection[14], -101.0f / 100.0f);
    EXPECT_EQ(m.projection[15], 0.0f);
}

TEST(LookAt, ViewTakesTheEyeToTheOriginAndTheTargetOntoPlusZ) {
    const double eye[3] = {3, 2, -1};
    const double target[3] = {-5, 2, -1};  // looking down -x
    const CameraMatrices m = lookAtMatrices(
        {{eye[0], eye[1], eye[2]}, {target[0], target[1], target[2]}, 60, 1, 0.5, 50});
    auto transform = [&](const double p[3], int column) {
        return p[0] * m.view[column] + p[1] * m.view[4 + column] + p[2] * m.view[8 + column] +
               m.view[12 + column];
    };
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(transform(eye, c), 0.0, 1e-6);
    EXPECT_NEAR(transform(target, 0), 0.0, 1e-6);
    EXPECT_NEAR(transform(target, 1), 0.0, 1e-6);
    EXPECT_NEAR(transform(target, 2), 8.0, 1e-5);
    // Left-handed with y up: looking down -x, the camera's right is +z.
    EXPECT_FLOAT_EQ(m.view[8], 1.0f);
}

}  // namespace
}  // namespace tarvo::script
