// The number formats F, I and G. They never consult the C locale (Qt sets it from the desktop), so
// every text, listing and file the program writes uses "." as the decimal point on every machine.
#include "common/NumberFormat.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

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

// Every other case: infinities and NaN, long fields, many decimals, large magnitudes.
[[gnu::noinline]] char* WriteAnyField(char* out, double x, int w, int decimals) {
    char buffer[420];
    char* const end = buffer + sizeof buffer;
    const char* first = nullptr;
    if (std::isfinite(x)) {
        first = FixedText(end, x, decimals);
    } else {
        const char* text = std::isnan(x) ? "NAN" : (x < 0 ? "-INF" : "INF");
        const std::size_t size = std::strlen(text);
        first = end - size;
        std::memcpy(end - size, text, size);
    }
    const std::ptrdiff_t length = end - first;
    if (w > length) {
        std::memset(out, ' ', static_cast<std::size_t>(w - length));
        out += w - length;
    }
    std::memcpy(out, first, static_cast<std::size_t>(length));
    return out + length;
}

// ---- Short fields: at most eight characters, built in one SSE2 register ----------------------
//
// The common field of a listing or an editor: a magnitude that scales below 10^8, a few decimals,
// a text of at most eight characters. The digits are computed in eight 16-bit lanes, one lane per
// character, and the point, the blanks and the sign are laid over them from tables chosen by the
// number of decimals, the count of characters shown and the sign, so the way through depends on
// the field's shape only, never on the digits or the sign. SSE2 belongs to every x86-64 processor;
// elsewhere every field takes the general route.
#if defined(__SSE2__) && defined(__x86_64__)
constexpr double PowerOfTen(int n) {
    double power = 1.0;
    for (int i = 0; i < n; ++i)
        power *= 10.0;
    return power;
}

// The eight decimal digits of s < 10^8, most significant first, one per 16-bit lane. s / 10^4 and
// s % 10^4 (from a multiply-high) go to two lanes, times four; each is copied into four lanes,
// which multiply-highs divide by 1000, 100, 10 and 1 (x * 8389 >> 23, x * 5243 >> 19 and
// x * 13108 >> 17 are exact quotients up to 9999; the second multiply-high supplies the shift
// beyond the first one's 16); taking ten times each lane's left neighbour away leaves one digit.
__m128i DigitLanes(std::uint32_t s) {
    const __m128i value = _mm_cvtsi32_si128(static_cast<int>(s));
    const __m128i high =
        _mm_srli_epi64(_mm_mul_epu32(value, _mm_set1_epi32(static_cast<int>(0xd1b71759u))), 45);
    const __m128i low = _mm_sub_epi32(value, _mm_mul_epu32(high, _mm_set1_epi32(10000)));
    const __m128i halves = _mm_slli_epi64(_mm_unpacklo_epi16(high, low), 2);
    const __m128i pairs = _mm_unpacklo_epi16(halves, halves);
    const __m128i spread = _mm_unpacklo_epi32(pairs, pairs);
    const __m128i divisors = _mm_setr_epi16(8389, 5243, 13108, -32768, 8389, 5243, 13108, -32768);
    const __m128i shifts = _mm_setr_epi16(1 << 7, 1 << 11, 1 << 13, -32768, 1 << 7, 1 << 11, 1 << 13, -32768);
    const __m128i prefixes = _mm_mulhi_epu16(_mm_mulhi_epu16(spread, divisors), shifts);
    const __m128i tens = _mm_slli_epi64(_mm_mullo_epi16(prefixes, _mm_set1_epi16(10)), 16);
    return _mm_sub_epi16(prefixes, tens);
}

struct alignas(16) Lanes {
    std::int16_t lane[8];
};

// Everything about a field of `Decimals` decimals that depends on its value only through the count
// of characters it shows. `visible` counts the digits and point, right-aligned in eight lanes.
template <int Decimals> struct ShortFieldShapes {
    // By the highest bit set in the scaled magnitude (below 10^8, so bit 26 at most; 0 stands for
    // zero too): `visible` for the smallest magnitude with that bit (the significant digits, but at
    // least all decimals and one before the point) and the magnitude from which one more shows.
    std::size_t fewestVisible[27];
    std::uint32_t oneMoreFrom[27];
    Lanes decimals; // the lanes of the decimals
    struct {
        Lanes taken; // the integer digits, moved one lane forward when there is a point
        Lanes added; // offsets from '0': blanks in front, the last the sign if negative; the point
    } shape[2][9];   // by negative, visible
};

template <int Decimals> constexpr ShortFieldShapes<Decimals> MakeShortFieldShapes() {
    constexpr int kPoint = Decimals > 0 ? 1 : 0;
    constexpr int kPointLane = Decimals > 0 ? 7 - Decimals : 8;
    ShortFieldShapes<Decimals> shapes{};
    for (int top = 0; top < 27; ++top) {
        const std::uint64_t smallest = top == 0 ? 0 : std::uint64_t{1} << top;
        const std::uint64_t largest = (std::uint64_t{2} << top) - 1;
        int digits = 1;
        std::uint64_t power = 10;
        while (power <= smallest) {
            power *= 10;
            ++digits;
        }
        const bool growsWithinLength = power <= largest && digits + 1 > Decimals + 1;
        shapes.fewestVisible[top] = static_cast<std::size_t>(std::max(digits, Decimals + 1) + kPoint);
        shapes.oneMoreFrom[top] = growsWithinLength ? static_cast<std::uint32_t>(power) : 0xFFFFFFFFu;
    }
    for (int lane = 0; lane < 8; ++lane)
        shapes.decimals.lane[lane] = lane >= 8 - Decimals ? -1 : 0;
    for (int negative = 0; negative <= 1; ++negative) {
        for (int visible = 1; visible <= 8; ++visible) {
            const int blanks = 8 - visible;
            for (int lane = 0; lane < 8; ++lane) {
                const bool integerDigit = lane >= blanks && lane < kPointLane;
                std::int16_t added = 0;
                if (lane < blanks) added = ' ' - '0';
                if (negative != 0 && lane == blanks - 1) added = '-' - '0';
                if (lane == kPointLane) added = '.' - '0';
                shapes.shape[negative][visible].taken.lane[lane] = integerDigit ? -1 : 0;
                shapes.shape[negative][visible].added.lane[lane] = added;
            }
        }
    }
    return shapes;
}

template <int Decimals>
constexpr ShortFieldShapes<Decimals> kShortFieldShapes = MakeShortFieldShapes<Decimals>();

template <typename Word> void Store(char* at, Word word) {
    std::memcpy(at, &word, sizeof word);
}

// The last `length` characters (4..8) of the word `text`, written at `out` with two overlapping
// stores that stay inside the field.
char* StoreFieldTail(char* out, std::uint64_t text, std::size_t length) {
    Store(out, static_cast<std::uint32_t>(text >> (8 * (8 - length))));
    Store(out + length - 4, static_cast<std::uint32_t>(text >> 32));
    return out + length;
}

// Hides a value from the optimiser, which would otherwise turn the few values a digit count or a
// field length can take into branches: data-dependent branches that a column of numbers of mixed
// lengths mispredicts far more often than the few instructions they save.
template <typename Value> void Opaque(Value& value) {
    asm("" : "+r"(value));
}

// A short text in a field narrower than four characters or wider than eight: the field's
// characters one by one, or blanks and then the whole word.
[[gnu::noinline]] char* WriteOddWidthField(char* out, std::uint64_t text, int w, std::size_t length) {
    if (w > 8) {
        std::memset(out, ' ', static_cast<std::size_t>(w - 8));
        return StoreFieldTail(out + (w - 8), text, 8);
    }
    const std::size_t field = std::max(static_cast<std::size_t>(std::max(w, 0)), length);
    if (field >= 4) return StoreFieldTail(out, text, field);
    for (std::size_t i = 0; i < field; ++i)
        out[i] = static_cast<char>(text >> (8 * (8 - field + i)));
    return out + field;
}

// The field from its scaled magnitude and sign.
template <int Decimals>
char* ShortFieldText(char* out, double x, int w, std::uint32_t scaled, std::size_t negative) {
    const ShortFieldShapes<Decimals>& shapes = kShortFieldShapes<Decimals>;
    const auto top = static_cast<std::size_t>(31 - std::countl_zero(scaled | 1)); // highest bit set
    std::size_t visible = shapes.fewestVisible[top];
    visible += scaled >= shapes.oneMoreFrom[top] ? 1 : 0;
    Opaque(visible);
    Opaque(negative);
    const std::size_t length = visible + negative;
    if (length > 8) return WriteAnyField(out, x, w, Decimals);

    const auto& shape = shapes.shape[negative][visible];
    const __m128i digits = DigitLanes(scaled);
    const __m128i taken = _mm_load_si128(reinterpret_cast<const __m128i*>(&shape.taken));
    __m128i lanes;
    if constexpr (Decimals > 0) {
        // The decimals stay in the last lanes, the integer digits move one lane forward (the
        // first digit, pushed out, is a leading zero, as the text fits) to leave a lane for the
        // point.
        const __m128i decimals = _mm_load_si128(reinterpret_cast<const __m128i*>(&shapes.decimals));
        lanes =
            _mm_or_si128(_mm_and_si128(_mm_srli_si128(digits, 2), taken), _mm_and_si128(digits, decimals));
    } else {
        lanes = _mm_and_si128(digits, taken);
    }
    lanes = _mm_add_epi16(lanes, _mm_load_si128(reinterpret_cast<const __m128i*>(&shape.added)));
    const __m128i characters = _mm_add_epi8(_mm_packs_epi16(lanes, lanes), _mm_set1_epi8('0'));
    const auto text = static_cast<std::uint64_t>(_mm_cvtsi128_si64(characters));

    if (w < 4 || w > 8) return WriteOddWidthField(out, text, w, length);
    int field = std::max(w, static_cast<int>(length));
    Opaque(field);
    return StoreFieldTail(out, text, static_cast<std::size_t>(field));
}

// The rare values whose rounding the fast path leaves open, rounded on the binary value.
template <int Decimals> [[gnu::noinline]] char* WriteTieField(char* out, double x, int w) {
    std::uint64_t scaled = 0;
    ScaledMagnitude(x, Decimals, scaled);
    return ShortFieldText<Decimals>(out, x, w, static_cast<std::uint32_t>(scaled),
                                    std::signbit(x) && scaled != 0 ? 1u : 0u);
}

// F(x, w, Decimals) when |x| * 10^Decimals rounds below 10^8 and the text takes at most eight
// characters, and the general route for every other x (NaN and infinities included).
//
// Rounding: p = |x| * 10^Decimals is rounded once. Each half-integer below 2^52 is a double, and
// rounding is monotonic and leaves doubles unchanged, so the exact product and p never lie on
// opposite sides of one: unless p is itself a half-integer, both round to the same integer.
// p + 2^52 is that integer (in the default rounding mode, nearest with halves to even, which the
// program never changes), held in the low bits of the sum. A p that is a half-integer may come
// from a product just above or below it; those rare values are rounded on x's binary value.
// Otherwise the value rounds to zero exactly when p < 1/2, so the sign shows when x * 10^Decimals
// lies below -1/2.
template <int Decimals> [[gnu::noinline]] char* WriteShortField(char* out, double x, int w) {
    const double scaledX = x * PowerOfTen(Decimals);
    const double p = std::fabs(scaledX);
    // Below 10^8 - 1/2 the rounded value, and that of the exact product, has at most eight digits.
    if (!(p < 99999999.5)) return WriteAnyField(out, x, w, Decimals);
    const double shifted = p + 0x1p52;
    if (std::fabs(p - (shifted - 0x1p52)) == 0.5) [[unlikely]]
        return WriteTieField<Decimals>(out, x, w);
    return ShortFieldText<Decimals>(out, x, w,
                                    static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(shifted)),
                                    scaledX < -0.5 ? 1u : 0u);
}
#else
template <int Decimals> char* WriteShortField(char* out, double x, int w) {
    return WriteAnyField(out, x, w, Decimals);
}
#endif

} // namespace

char* WriteF(char* out, double x, int w, int d) {
    switch (d) {
    case 0:
        return WriteShortField<0>(out, x, w);
    case 1:
        return WriteShortField<1>(out, x, w);
    case 2:
        return WriteShortField<2>(out, x, w);
    case 3:
        return WriteShortField<3>(out, x, w);
    case 4:
        return WriteShortField<4>(out, x, w);
    case 5:
        return WriteShortField<5>(out, x, w);
    case 6:
        return WriteShortField<6>(out, x, w);
    case 7:
        return WriteShortField<7>(out, x, w);
    // More decimals than a double can carry only append zeros; the cap keeps the text bounded.
    default:
        return WriteAnyField(out, x, w, std::clamp(d, 0, 100));
    }
}

std::string F(double x, int w, int d) {
    if (w > FieldRoom(0)) {
        std::string text;
        AppendF(text, x, w, d);
        return text;
    }
    char field[FieldRoom(0)];
    return std::string(field, WriteF(field, x, w, d));
}

void AppendF(std::string& out, double x, int w, int d) {
    if (w > FieldRoom(0)) {
        // A field this wide is written in place; the blanks dominate anyway.
        const std::size_t start = out.size();
        out.resize(start + static_cast<std::size_t>(FieldRoom(w)));
        char* const end = WriteF(out.data() + start, x, w, d);
        out.resize(static_cast<std::size_t>(end - out.data()));
        return;
    }
    char field[FieldRoom(0)];
    out.append(field, static_cast<std::size_t>(WriteF(field, x, w, d) - field));
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

std::string ShortestText(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace linkwright
