// The number formats F, I, G and the half-to-even rounding behind them.
#include "common/NumberFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace linkwright {
namespace {

TEST(FixedFormat, RightAlignsAndWidensWhenNeeded) {
    EXPECT_EQ(F(3.14159, 8, 4), "  3.1416");
    EXPECT_EQ(F(-3.14159, 8, 4), " -3.1416");
    EXPECT_EQ(F(12345.678, 3, 2), "12345.68");
    EXPECT_EQ(F(7.0, 0, 0), "7");
    EXPECT_EQ(F(0.5, 6, 3), " 0.500");
}

TEST(FixedFormat, HalvesGoToEvenOnTheExactBinaryValue) {
    EXPECT_EQ(F(2.5, 0, 0), "2");
    EXPECT_EQ(F(3.5, 0, 0), "4");
    EXPECT_EQ(F(-2.5, 0, 0), "-2");
    EXPECT_EQ(F(0.125, 0, 2), "0.12");
    EXPECT_EQ(F(0.375, 0, 2), "0.38");
    // 1.005 is stored as 1.00499999999999989..., so it rounds down although it reads as a half.
    EXPECT_EQ(F(1.005, 0, 2), "1.00");
    // A float widened to double keeps its exact value: 0.1f is 0.100000001490116...
    EXPECT_EQ(F(0.1f, 0, 10), "0.1000000015");
}

TEST(FixedFormat, ZeroShowsNoSign) {
    EXPECT_EQ(F(-0.00001, 8, 4), "  0.0000");
    EXPECT_EQ(F(-0.0, 4, 1), " 0.0");
    EXPECT_EQ(F(-0.00004, 8, 4), "  0.0000");
    EXPECT_EQ(F(-0.00005, 8, 4), " -0.0001"); // stored as -0.0000500000000000000000572, above the half
    EXPECT_EQ(F(-0.00006, 8, 4), " -0.0001");
}

TEST(FixedFormat, NonFiniteValuesDoNotCrash) {
    EXPECT_EQ(F(std::numeric_limits<double>::quiet_NaN(), 6, 2), "   NAN");
    EXPECT_EQ(F(std::numeric_limits<double>::infinity(), 5, 2), "  INF");
    EXPECT_EQ(F(-std::numeric_limits<double>::infinity(), 0, 2), "-INF");
}

TEST(FixedFormat, ExtremeArgumentsStayBounded) {
    const std::string huge = F(std::numeric_limits<double>::max(), 0, 4);
    EXPECT_EQ(huge.size(), 309u + 5u);
    EXPECT_EQ(huge.substr(huge.size() - 5), ".0000");
    EXPECT_EQ(F(1.25, 0, -3), "1"); // negative decimals count as none
}

TEST(FixedFormat, IgnoresTheCLocale) {
    const char* candidates[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const char* found = nullptr;
    for (const char* name : candidates)
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            found = name;
            break;
        }
    if (found == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
    const std::string fixed = F(1.5, 0, 1);
    const std::string general = G(1.5);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(fixed, "1.5");
    EXPECT_EQ(general, "1.5");
}

TEST(IntegerFormat, RightAligns) {
    EXPECT_EQ(I(42, 5), "   42");
    EXPECT_EQ(I(-7, 1), "-7");
    EXPECT_EQ(I(123456, 3), "123456");
    EXPECT_EQ(I(0, 0), "0");
}

TEST(GeneralFormat, FixedNotationWithFourSignificantDigits) {
    EXPECT_EQ(G(5.0), "5");
    EXPECT_EQ(G(1.5), "1.5");
    EXPECT_EQ(G(3.14159), "3.142");
    EXPECT_EQ(G(-0.5), "-0.5");
    EXPECT_EQ(G(100.0), "100");
    EXPECT_EQ(G(0.0123), "0.0123");
    EXPECT_EQ(G(1234.5), "1234"); // an exact half goes to even
    EXPECT_EQ(G(9999.4), "9999");
    EXPECT_EQ(G(0.0), "0");
}

TEST(GeneralFormat, SwitchesToScientificFromTenThousand) {
    EXPECT_EQ(G(10000.0), "1E+0004");
    EXPECT_EQ(G(9999.5), "1E+0004"); // rounds up to ten thousand first
    EXPECT_EQ(G(12346.0), "1.235E+0004");
    EXPECT_EQ(G(-25000.0), "-2.5E+0004");
}

TEST(GeneralFormat, SwitchesToScientificBelowOneHundredThousandth) {
    EXPECT_EQ(G(0.00001), "0.00001");
    EXPECT_EQ(G(0.000012345678), "0.00001235");
    EXPECT_EQ(G(0.0000099), "9.9E-0006");
    EXPECT_EQ(G(-0.0000099), "-9.9E-0006");
}

TEST(GeneralFormat, ExponentHasAtLeastTheRequestedDigits) {
    EXPECT_EQ(G(12346.0, 2), "1.235E+04");
    EXPECT_EQ(G(1e-20, 1), "1E-20");
    EXPECT_EQ(G(1e100, 2), "1E+100");
    EXPECT_EQ(G(5e5, 0), "5E+5");
    EXPECT_EQ(G(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(G(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(-2.5001), -3);
}

TEST(RoundHalfEvenTest, OutOfRangeSaturatesAndNanIsZero) {
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(RoundHalfEven(1e30), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(RoundHalfEven(-1e30), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497); // 2^52 + 1, no fraction
}

} // namespace
} // namespace linkwright
