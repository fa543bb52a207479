// F and AppendF against the C library's "%.*f" (exact, halves to even on the binary value) over
// random and boundary values, with the sign of zero dropped and the padding applied as F documents.
#include "common/NumberFormat.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
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

} // namespace
} // namespace linkwright
