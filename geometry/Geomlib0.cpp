// Geomlib0: plane geometry for the linkage solvers. Arithmetic runs in double; every result that is
// handed back is rounded to float, as the records and arrays store it.
#include "geometry/Geomlib0.h"

#include "common/NumberFormat.h"
#include "windows/MessagesFile.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace linkwright {

namespace {

constexpr double kPi = std::numbers::pi;

// AngleOf without the final rounding, so that composite routines keep their precision.
double AngleOfExtended(double dx, double dy) {
    if (dx == 0.0) return dy >= 0.0 ? kHalfPiSingle : -kHalfPiSingle;
    double f = std::fabs(std::atan(std::fabs(dy) / dx));
    if (dx < 0.0) f = kPi - f;
    return dy >= 0.0 ? f : -f;
}

// 1 - x^2 never goes below 0: arguments a rounding step outside -1 ... 1 behave as +-1.
double Complement(double x) {
    return std::sqrt(std::max(0.0, 1.0 - x * x));
}

double ArcCosExtended(double x) {
    return AngleOfExtended(x, Complement(x));
}
double ArcSinExtended(double x) {
    return AngleOfExtended(Complement(x), x);
}

} // namespace

float AngleOf(float dx, float dy) {
    return static_cast<float>(AngleOfExtended(dx, dy));
}

float ArcCos(float x) {
    return static_cast<float>(ArcCosExtended(x));
}

float ArcSin(float x) {
    return static_cast<float>(ArcSinExtended(x));
}

float MaxOf(float a, float b) {
    return a > b ? a : b;
}

void SetPoint(Point2& p, float x, float y) {
    p.x = x;
    p.y = y;
}

void MakeSegment(Segment& s, Point2 p1, Point2 p2) {
    s.x1 = p1.x;
    s.y1 = p1.y;
    s.x2 = p2.x;
    s.y2 = p2.y;
}

void TRIabc(float a, float b, float c, float& A, float& B, float& C, MessagesFile* messages) {
    // L is the longest side, f and g the others; the angles are computed opposite L, f and g and
    // handed back in the order of the given sides.
    const double sides[3] = {a, b, c};
    int longest = 0;
    if (sides[1] > sides[longest]) longest = 1;
    if (sides[2] > sides[longest]) longest = 2;
    const int first = (longest + 1) % 3;
    const int second = (longest + 2) % 3;
    const double L = sides[longest];
    const double f = sides[first];
    const double g = sides[second];

    double angles[3] = {0.0, 0.0, 0.0};
    if (L > f + g) {
        // Reported, then answered with the nearest degenerate triangle (L seen under a straight
        // angle) instead of stopping: the program goes on and the user's gear is kept.
        if (messages != nullptr) messages->AppendLine("Error in TRIabc");
        angles[longest] = kPi;
    } else if (f == 0.0 || g == 0.0) {
        if (L == 0.0) {
            // Three zero sides: the limit of an equilateral triangle.
            angles[0] = angles[1] = angles[2] = kPi / 3.0;
        } else {
            // One zero side (so the other two are equal): a thin isosceles triangle.
            angles[longest] = kPi / 2.0;
            angles[first] = f == 0.0 ? 0.0 : kPi / 2.0;
            angles[second] = g == 0.0 ? 0.0 : kPi / 2.0;
        }
    } else {
        // Rounding can push the cosine a hair outside -1 ... 1 for a flat triangle.
        const double cosine = std::clamp((f * f + g * g - L * L) / (2.0 * f * g), -1.0, 1.0);
        const double opposite = ArcCosExtended(cosine);
        angles[longest] = opposite;
        angles[second] = ArcSinExtended(g * std::sin(opposite) / L);
        angles[first] = ArcSinExtended(f * std::sin(opposite) / L);
    }
    A = static_cast<float>(angles[0]);
    B = static_cast<float>(angles[1]);
    C = static_cast<float>(angles[2]);
}

void RotationMatrix(Matrix3& m, float angle) {
    const float cosine = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float sine = static_cast<float>(std::sin(static_cast<double>(angle)));
    m = Matrix3{{{cosine, -sine, 0.0f}, {sine, cosine, 0.0f}, {0.0f, 0.0f, 1.0f}}};
}

void TranslationMatrix(Matrix3& m, float tx, float ty) {
    m = Matrix3{{{1.0f, 0.0f, tx}, {0.0f, 1.0f, ty}, {0.0f, 0.0f, 1.0f}}};
}

void MatMul3(const Matrix3& a, const Matrix3& b, Matrix3& c) {
    Matrix3 product;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            double sum = 0.0;
            for (int j = 0; j < 3; ++j)
                sum += static_cast<double>(a.m[row][j]) * b.m[j][column];
            product.m[row][column] = static_cast<float>(sum);
        }
    }
    c = product; // through a copy, so that c may be a or b
}

bool FirstIsNearerByDistance(Point2 p1, Point2 p2, Point2 reference) {
    return Distance(p1, reference) < Distance(p2, reference);
}

void WritePoint(MessagesFile& messages, Point2 p, int width, int decimals) {
    messages.Append(" X" + F(p.x, width, decimals) + " Y" + F(p.y, width, decimals));
    messages.Flush();
}

} // namespace linkwright
