// F, AppendF and WriteF against the C library's "%.*f" (exact, halves to even on the binary value)
// over random and boundary values, with the sign of zero dropped and the padding applied as F
// documents; WriteF also in a marked buffer, to show it writes its field and nothing around it.
#include "common/NumberFormat.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace linkwright {
namespace {

std::string Reference(double x, int w, int d) {
    std::string text;
    if (std::isnan(x)) {
        text = "NAN";
    } else if (std::isinf(x)) {
        text = x < 0 ? "-INF" : "INF";
    } else {
        const int decimals = d < 0 ? 0 : (d > 100 ? 100 : d);
        std::vector<char> buffer(512);
        const int length = std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, x);
        text.assign(buffer.data(), static_cast<std::size_t>(length));
        if (text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos) text.erase(0, 1);
    }
    if (w > 0 && text.size() < static_cast<std::size_t>(w))
        text.insert(0, static_cast<std::size_t>(w) - text.size(), ' ');
    return text;
}

// The C library formats with the C locale's point; the guard keeps the reference independent of
// whatever locale an earlier test left.
class FixedFormatReference : public ::testing::Test {
protected:
    FixedFormatReference() : previous_(std::setlocale(LC_NUMERIC, nullptr)) {
        std::setlocale(LC_NUMERIC, "C");
    }
    ~FixedFormatReference() override { std::setlocale(LC_NUMERIC, previous_.c_str()); }

    void Check(double x, int w, int d) {
        const std::string expected = Reference(x, w, d);
        ASSERT_EQ(F(x, w, d), expected)
            << "x=" << std::bit_cast<std::uint64_t>(x) << " w=" << w << " d=" << d;
        std::string appended = "prefix";
        AppendF(appended, x, w, d);
        ASSERT_EQ(appended, "prefix" + expected);
        ASSERT_EQ(Written(x, w, d), expected)
            << "x=" << std::bit_cast<std::uint64_t>(x) << " w=" << w << " d=" << d;
    }

    // WriteF's text, written into the middle of a buffer of marks that must all survive.
    static std::string Written(double x, int w, int d) {
        constexpr char kMark = '\x7f';
        constexpr std::size_t kGuard = 16;
        std::vector<char> buffer(kGuard + static_cast<std::size_t>(FieldRoom(w)) + kGuard, kMark);
        char* const out = buffer.data() + kGuard;
        const char* const end = WriteF(out, x, w, d);
        if (end < out || end > out + FieldRoom(w)) return "<end outside the room>";
        for (const char* p = buffer.data(); p < out; ++p)
            if (*p != kMark) return "<written before the field>";
        for (const char* p = end; p < buffer.data() + buffer.size(); ++p)
            if (*p != kMark) return "<written past the end>";
        return std::string(static_cast<const char*>(out), end);
    }

    std::string previous_;
};

TEST_F(FixedFormatReference, RandomBitPatternsOfEveryMagnitude) {
    std::mt19937_64 random(20240611);
    for (int i = 0; i < 20000; ++i) {
        const double x = std::bit_cast<double>(random());
        if (!std::isfinite(x)) continue;
        Check(x, static_cast<int>(i % 12), static_cast<int>(i % 21));
    }
}

TEST_F(FixedFormatReference, RandomValuesOfListingSize) {
    std::mt19937_64 random(7);
    for (int scale = -8; scale <= 20; ++scale) {
        std::uniform_real_distribution<double> value(-std::pow(10.0, scale), std::pow(10.0, scale));
        for (int i = 0; i < 1500; ++i) {
            const double x = value(random);
            const int d = static_cast<int>(i % 19);
            Check(x, 6, d);
            Check(static_cast<float>(x), 8, d); // the pins are floats widened to double
        }
    }
}

TEST_F(FixedFormatReference, ExactHalvesAndTheirNeighbours) {
    std::mt19937_64 random(99);
    for (int d = 0; d <= 18; ++d) {
        // k / 2^(d+1) with k odd scales to k * 5^d / 2: exactly halfway between two results.
        const double unit = std::ldexp(1.0, -(d + 1));
        for (int i = 0; i < 400; ++i) {
            const auto k = static_cast<double>((random() % 2000001) * 2 + 1);
            for (const double sign : {1.0, -1.0}) {
                const double half = sign * k * unit;
                Check(half, 0, d);
                Check(std::nextafter(half, 0.0), 0, d);
                Check(std::nextafter(half, sign * 1e300), 0, d);
            }
        }
        for (const double x : {0.5, 1.5, 2.5, -0.5, -1.5, 0.05, 0.25, 0.125, -0.125, 0.0625})
            Check(x * std::pow(10.0, -d), 3, d);
    }
}

TEST_F(FixedFormatReference, BoundariesOfTheIntegerRange) {
    for (int d = 0; d <= 20; ++d) {
        for (const double base :
             {std::ldexp(1.0, 63), std::ldexp(1.0, 64), std::ldexp(1.0, 53), 1e19, 1e18}) {
            const double limit = base / std::pow(10.0, d);
            double below = limit;
            double above = limit;
            for (int step = 0; step < 4; ++step) {
                Check(below, 0, d);
                Check(-above, 0, d);
                below = std::nextafter(below, 0.0);
                above = std::nextafter(above, 1e308);
            }
        }
    }
}

TEST_F(FixedFormatReference, ZerosTinyValuesAndExtremes) {
    const double values[] = {0.0,
                             -0.0,
                             std::numeric_limits<double>::denorm_min(),
                             -std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::min(),
                             -std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::max(),
                             -std::numeric_limits<double>::max(),
                             1e-20,
                             -4.9999e-4,
                             -5e-4,
                             -5.0001e-4,
                             0.0005,
                             std::ldexp(1.0, -60),
                             std::ldexp(1.0, -70),
                             std::ldexp(3.0, -76),
                             std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (const double x : values)
        for (const int d : {-3, 0, 1, 3, 4, 17, 18, 25, 100, 150})
            for (const int w : {-4, 0, 1, 6, 30})
                Check(x, w, d);
}

TEST_F(FixedFormatReference, ListingCoordinatesAsFloats) {
    // The listing's pins: floats widened to double, three decimals in six characters.
    std::mt19937_64 random(551);
    std::uniform_real_distribution<float> coordinate(-60.0f, 60.0f);
    std::uniform_real_distribution<float> small(-0.01f, 0.01f);
    for (int i = 0; i < 200000; ++i) {
        Check(static_cast<double>(coordinate(random)), 6, 3);
        if (i % 8 == 0) Check(static_cast<double>(small(random)), 6, 3);
    }
    // The floats nearest to every rounding half (k + 1/2) / 1000 within the listing's range, and
    // their neighbours: some are the half itself, the others lie an ulp or two either side.
    for (int k = -60000; k <= 60000; k += 3) {
        const float half = static_cast<float>((k + 0.5) / 1000.0);
        float below = half;
        float above = half;
        for (int step = 0; step < 3; ++step) {
            Check(static_cast<double>(below), 6, 3);
            Check(static_cast<double>(above), 6, 3);
            below = std::nextafter(below, -1e30f);
            above = std::nextafter(above, 1e30f);
        }
    }
}

TEST_F(FixedFormatReference, ExactTiesGoToEven) {
    EXPECT_EQ(Written(0.0625, 0, 3), "0.062");
    EXPECT_EQ(Written(0.1875, 0, 3), "0.188");
    EXPECT_EQ(Written(2.5, 0, 0), "2");
    EXPECT_EQ(Written(3.5, 0, 0), "4");
    EXPECT_EQ(Written(-2.5, 3, 0), " -2");
    EXPECT_EQ(Written(0.5, 0, 0), "0");
    EXPECT_EQ(Written(-0.5, 0, 0), "0"); // rounds to zero: no sign
    EXPECT_EQ(Written(1.5, 0, 0), "2");
    EXPECT_EQ(Written(12.3125, 6, 3), "12.312");
    EXPECT_EQ(Written(-12.3135, 6, 3), "-12.313"); // not a tie in binary: 12.31349999...
    // -0.0005 lies just beyond the half in both widths, so it rounds away from zero.
    EXPECT_EQ(Written(-0.0005, 6, 3), "-0.001");
    EXPECT_EQ(Written(static_cast<double>(-0.0005f), 6, 3), "-0.001");
    for (const double x : {0.0625, 0.1875, 12.3125, 0.0005, 2.5e-7, 0.5, 99999999.5 / 1000})
        for (const double sign : {1.0, -1.0})
            for (const int d : {0, 1, 2, 3, 4, 5, 6, 7}) {
                // The scaled product of the neighbours rounds to the half itself; only their
                // exact values tell which way they go.
                const double value = sign * x;
                Check(value, 6, d);
                Check(std::nextafter(value, 0.0), 6, d);
                Check(std::nextafter(value, sign), 6, d);
                Check(std::nextafter(std::nextafter(value, 0.0), 0.0), 6, d);
            }
}

TEST_F(FixedFormatReference, CarriesIntoAnotherDigit) {
    // 9.9995 with three decimals becomes 10.000: the count of digits is that of the rounded value.
    EXPECT_EQ(Written(9.9996, 6, 3), "10.000");
    EXPECT_EQ(Written(-9.9996, 6, 3), "-10.000");
    EXPECT_EQ(Written(359.96, 5, 1), "360.0");
    for (int d = 0; d <= 8; ++d) {
        for (int k = 0; k <= 9; ++k) {
            const double boundary = std::pow(10.0, k) - 0.5 * std::pow(10.0, -d);
            double below = boundary;
            double above = boundary;
            for (int step = 0; step < 3; ++step) {
                for (const int w : {0, 6, 8}) {
                    Check(below, w, d);
                    Check(-below, w, d);
                    Check(above, w, d);
                    Check(-above, w, d);
                }
                below = std::nextafter(below, 0.0);
                above = std::nextafter(above, 1e300);
            }
        }
    }
}

TEST_F(FixedFormatReference, ScaledMagnitudesAtEveryDigitAndBitBoundary) {
    // x = s / 10^d for s at the edges of every count of decimal digits and every bit length.
    std::vector<double> magnitudes;
    for (double power = 1; power <= 1e9; power *= 10)
        for (const double delta : {-1.0, 0.0, 1.0})
            magnitudes.push_back(power + delta);
    for (int bits = 1; bits <= 30; ++bits)
        for (const double delta : {-1.0, 0.0, 1.0})
            magnitudes.push_back(std::ldexp(1.0, bits) + delta);
    for (int d = 0; d <= 8; ++d)
        for (const double s : magnitudes)
            for (const double sign : {1.0, -1.0})
                for (const int w : {0, 3, 6, 8, 9})
                    Check(sign * s / std::pow(10.0, d), w, d);
}

TEST_F(FixedFormatReference, EveryWidthAroundTheText) {
    // Texts of one to ten characters in fields from none to sixteen: padded, or wider than asked.
    const double values[] = {0.0,      0.3,       -0.3,      5.0,        -5.0,      12.0,       -12.0, 123.0,
                             0.125,    -0.125,    7.25,      -7.25,      1234.5678, -1234.5678, 99.99, -99.99,
                             12345678, -12345678, 1234567.8, -1234567.8, 0.0004,    -0.0004};
    for (const double x : values)
        for (int d = -1; d <= 9; ++d)
            for (int w = -1; w <= 16; ++w)
                Check(x, w, d);
}

TEST_F(FixedFormatReference, NegativeValuesThatRoundToZeroShowNoSign) {
    EXPECT_EQ(Written(-0.0004, 6, 3), " 0.000");
    EXPECT_EQ(Written(-0.4, 0, 0), "0");
    EXPECT_EQ(Written(-4e-8, 0, 7), "0.0000000");
    EXPECT_EQ(Written(-0.0, 5, 1), "  0.0");
    EXPECT_EQ(Written(-1e-300, 4, 2), "0.00");
    EXPECT_EQ(Written(-0.00051, 6, 3), "-0.001");
}

TEST_F(FixedFormatReference, FieldsFollowOneAnotherInALineBuffer) {
    // A listing line: each field starts where the previous one ended, and the buffer past the last
    // end keeps its marks.
    const double values[] = {359.9, -12.5, 7.0625, -0.0004, 123.456, -59.999, 1e9, -1e-9};
    const int widths[] = {5, 6, 6, 6, 6, 6, 6, 6};
    const int decimals[] = {1, 3, 3, 3, 3, 3, 3, 3};
    std::vector<char> line(8 * static_cast<std::size_t>(FieldRoom(6)), '#');
    char* p = line.data();
    std::string expected;
    for (int i = 0; i < 8; ++i) {
        p = WriteF(p, values[i], widths[i], decimals[i]);
        *p++ = ' ';
        expected += Reference(values[i], widths[i], decimals[i]) + " ";
    }
    EXPECT_EQ(std::string(line.data(), p), expected);
    EXPECT_EQ(std::string(p, p + 16), std::string(16, '#'));
}

TEST_F(FixedFormatReference, WideFieldsAndTheirRoom) {
    EXPECT_EQ(FieldRoom(0), 411);
    EXPECT_EQ(FieldRoom(411), 411);
    EXPECT_EQ(FieldRoom(500), 500);
    // The longest text there is fills the room exactly.
    EXPECT_EQ(Written(-std::numeric_limits<double>::max(), 0, 100).size(), 411u);
    for (const int w : {9, 20, 411, 412, 600})
        for (const double x : {1.5, -1.5, -123456.789, std::numeric_limits<double>::infinity()})
            Check(x, w, 3);
}

} // namespace
} // namespace linkwright
