// The number formats F, I and G. They never consult the C locale (Qt sets it from the desktop), so
// every text, listing and file the program writes uses "." as the decimal point on every machine.
#include "common/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace linkwright {

namespace {

std::string PadLeft(std::string text, int width) {
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

// "NAN", "INF", "-INF" for the values that have no digits.
std::string NonFinite(double x) {
    if (std::isnan(x)) return "NAN";
    return x < 0 ? "-INF" : "INF";
}

// A result that shows only zeros reads as zero: "-0.0000" would suggest a sign that is not there.
void DropSignOfZero(std::string& text) {
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos)
        text.erase(0, 1);
}

} // namespace

std::string F(double x, int w, int d) {
    if (!std::isfinite(x)) return PadLeft(NonFinite(x), w);
    // More decimals than a double can carry only append zeros; the cap keeps the buffer bounded.
    const int decimals = std::clamp(d, 0, 100);
    // Largest double has 309 integer digits; sign, point and decimals on top.
    char buffer[420];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    DropSignOfZero(text);
    return PadLeft(std::move(text), w);
}

std::string I(std::int64_t n, int w) {
    return PadLeft(std::to_string(n), w);
}

std::string G(double v, int minExponentDigits) {
    constexpr int kSignificant = 4;
    if (!std::isfinite(v)) return NonFinite(v);
    if (v == 0.0) return "0";

    // Round to the significant digits first: the exponent that decides the notation is that of the
    // rounded value (9999.5 becomes 1.000E4 and is written in scientific notation).
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, kSignificant - 1);
    const std::string scientific(buffer, result.ptr); // "-d.dddE+xx"
    const std::size_t e = scientific.find('e');
    const bool negative = scientific[0] == '-';
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i)
        if (scientific[i] != '.') digits += scientific[i];
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string text = negative ? "-" : "";
    if (exponent < kSignificant && exponent >= -5) {
        // Fixed notation, trailing zeros dropped, no point for whole numbers.
        const int digitCount = static_cast<int>(digits.size());
        if (exponent < 0) {
            text += "0.";
            text.append(static_cast<std::size_t>(-exponent - 1), '0');
            text += digits;
        } else if (digitCount <= exponent + 1) {
            text += digits;
            text.append(static_cast<std::size_t>(exponent + 1 - digitCount), '0');
        } else {
            text += digits.substr(0, static_cast<std::size_t>(exponent + 1));
            text += '.';
            text += digits.substr(static_cast<std::size_t>(exponent + 1));
        }
        return text;
    }

    // Scientific notation: mantissa without trailing zeros, "E", sign, at least minExponentDigits digits.
    text += digits[0];
    if (digits.size() > 1) {
        text += '.';
        text += digits.substr(1);
    }
    text += exponent < 0 ? "E-" : "E+";
    std::string exponentDigits = std::to_string(std::abs(exponent));
    const int width = std::clamp(minExponentDigits, 0, 30);
    if (exponentDigits.size() < static_cast<std::size_t>(width))
        exponentDigits.insert(0, static_cast<std::size_t>(width) - exponentDigits.size(), '0');
    return text + exponentDigits;
}

std::int64_t RoundHalfEven(double v) {
    if (std::isnan(v)) return 0;
    // 2^63 is exactly representable; everything from there on saturates.
    constexpr double kLimit = 9223372036854775808.0;
    if (v >= kLimit) return std::numeric_limits<std::int64_t>::max();
    if (v <= -kLimit) return std::numeric_limits<std::int64_t>::min();
    const double below = std::floor(v);
    const double fraction = v - below; // exact for doubles of this range
    double rounded = below;
    if (fraction > 0.5) {
        rounded = below + 1.0;
    } else if (fraction == 0.5) {
        rounded = std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
    }
    if (rounded >= kLimit) return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(rounded);
}

} // namespace linkwright
