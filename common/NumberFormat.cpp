// The number formats F, I and G. They never consult the C locale (Qt sets it from the desktop), so
// every text, listing and file the program writes uses "." as the decimal point on every machine.
#include "common/NumberFormat.h"

#include <algorithm>
#include <bit>
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

constexpr std::uint64_t kPowersOfTen[18] = {1ull,
                                            10ull,
                                            100ull,
                                            1000ull,
                                            10000ull,
                                            100000ull,
                                            1000000ull,
                                            10000000ull,
                                            100000000ull,
                                            1000000000ull,
                                            10000000000ull,
                                            100000000000ull,
                                            1000000000000ull,
                                            10000000000000ull,
                                            100000000000000ull,
                                            1000000000000000ull,
                                            10000000000000000ull,
                                            100000000000000000ull};

// |x| * 10^decimals rounded half to even, computed exactly from the binary value: x = m * 2^e, so the
// product is m * 10^decimals * 2^e and the bits shifted out decide the rounding. False when the
// result needs more than 63 bits or the value is too small for a 128-bit shift.
bool ScaledMagnitude(double x, int decimals, std::uint64_t& scaled) {
    __extension__ typedef unsigned __int128 Wide;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0 && fraction == 0) {
        scaled = 0;
        return true;
    }
    const std::uint64_t mantissa = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    const int exponent = biased == 0 ? -1074 : biased - 1075;
    const Wide product = static_cast<Wide>(mantissa) * kPowersOfTen[decimals]; // below 2^110
    if (exponent >= 0) {
        if (exponent > 62 || (product >> (63 - exponent)) != 0) return false;
        scaled = static_cast<std::uint64_t>(product << exponent);
        return true;
    }
    const int shift = -exponent;
    if (shift < 64 && (product >> 64) == 0) {
        // The usual case, in 64 bits.
        const auto narrow = static_cast<std::uint64_t>(product);
        scaled = narrow >> shift;
        if (scaled >> 63 != 0) return false;
        const std::uint64_t rest = narrow & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        scaled += (rest > half || (rest == half && (scaled & 1) != 0)) ? 1 : 0;
        return true;
    }
    if (shift >= 128 || ((product >> shift) >> 63) != 0) return false;
    scaled = static_cast<std::uint64_t>(product >> shift);
    const Wide rest = product & ((Wide{1} << shift) - 1);
    const Wide half = Wide{1} << (shift - 1);
    scaled += (rest > half || (rest == half && (scaled & 1) != 0)) ? 1 : 0;
    return true;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The fixed-point text of a finite x with `decimals` digits (at most 100), written so that it ends
// at `end`; returns its first character. At least 420 characters must lie before `end`: the largest
// double has 309 integer digits, with sign, point and decimals on top. A text that shows only zeros
// carries no sign: "-0.0000" would suggest a sign that is not there.
char* FixedText(char* end, double x, int decimals) {
    std::uint64_t scaled = 0;
    if (decimals > 17 || !ScaledMagnitude(x, decimals, scaled)) {
        // std::to_chars rounds the same way, on the exact binary value.
        char buffer[420];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
        const char* first = buffer;
        const char* last = result.ptr;
        if (*first == '-' && std::all_of(first + 1, last, [](char c) { return c == '0' || c == '.'; }))
            ++first;
        return std::copy_backward(first, last, end);
    }

    const bool showsDigits = scaled != 0;
    char* p = end;
    int left = decimals;
    while (left >= 2) {
        const std::uint64_t pair = scaled % 100;
        scaled /= 100;
        p -= 2;
        p[0] = kDigitPairs[2 * pair];
        p[1] = kDigitPairs[2 * pair + 1];
        left -= 2;
    }
    if (left == 1) {
        *--p = static_cast<char>('0' + scaled % 10);
        scaled /= 10;
    }
    if (decimals > 0) *--p = '.';
    while (scaled >= 100) {
        const std::uint64_t pair = scaled % 100;
        scaled /= 100;
        p -= 2;
        p[0] = kDigitPairs[2 * pair];
        p[1] = kDigitPairs[2 * pair + 1];
    }
    if (scaled >= 10) {
        p -= 2;
        p[0] = kDigitPairs[2 * scaled];
        p[1] = kDigitPairs[2 * scaled + 1];
    } else {
        *--p = static_cast<char>('0' + scaled);
    }
    if (std::signbit(x) && showsDigits) *--p = '-';
    return p;
}

} // namespace

std::string F(double x, int w, int d) {
    std::string text;
    AppendF(text, x, w, d);
    return text;
}

void AppendF(std::string& out, double x, int w, int d) {
    if (!std::isfinite(x)) {
        out += PadLeft(NonFinite(x), w);
        return;
    }
    // More decimals than a double can carry only append zeros; the cap keeps the buffer bounded.
    const int decimals = std::clamp(d, 0, 100);
    // The text is built from the right, so a field up to the buffer's spare room is padded in place.
    char buffer[480];
    char* const end = buffer + sizeof buffer;
    char* first = FixedText(end, x, decimals);
    const std::ptrdiff_t room = first - buffer;
    const std::ptrdiff_t length = end - first;
    if (w > length && w - length <= room) {
        first -= w - length;
        std::fill(first, first + (w - length), ' ');
    } else if (w > length) {
        out.append(static_cast<std::size_t>(w - length), ' ');
    }
    out.append(first, static_cast<std::size_t>(end - first));
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
