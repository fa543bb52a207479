// The number formats of every text the program produces: F(x, w, d), I(n, w) and G(v).
#pragma once

#include <cstdint>
#include <string>

namespace linkwright {

// x in fixed-point notation with d decimals, right-aligned in a field of w characters (wider when
// needed), "-" for negatives and "." as the decimal point. Halves round to even on the exact binary
// value of x; a value that rounds to zero shows no sign. NaN and infinities print as "NAN", "INF",
// "-INF" right-aligned.
std::string F(double x, int w, int d);
// F(x, w, d) appended to `out`, for texts built from many numbers without a string per number.
void AppendF(std::string& out, double x, int w, int d);

// The most characters F(x, w, d) can take: w, or the longest text a double can give when that is
// longer ("-", 309 integer digits, "." and at most 100 decimals make 411).
constexpr int FieldRoom(int w) {
    return w > 411 ? w : 411;
}
// F(x, w, d) written at `out`, which must have room for FieldRoom(w) characters; returns the end of
// the text. No terminating zero is added and nothing past the returned end is touched, so fields
// can be written one after another into a line buffer.
char* WriteF(char* out, double x, int w, int d);

// n right-aligned in a field of w characters (wider when needed).
std::string I(std::int64_t n, int w);

// The general format of the measuring texts: 4 significant digits; fixed notation (trailing zeros
// dropped) when the decimal exponent is below 4 and |v| >= 0.00001, otherwise scientific notation
// with an exponent of at least `minExponentDigits` digits (the main state's `Decimals`).
std::string G(double v, int minExponentDigits = 4);

// The shortest decimal text that reads back as the same Single: what a user types for a value,
// and how the tables write theirs.
std::string ShortestText(float value);

// Nearest integer, halves to even.
std::int64_t RoundHalfEven(double v);

} // namespace linkwright
