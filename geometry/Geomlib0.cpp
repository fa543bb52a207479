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
constexpr float kVerticalSlope = 1000000.0f;

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

struct QuadraticRoots {
    double root1 = 0.0;
    double root2 = 0.0;
    int count = 0;
};

QuadraticRoots SolveQuadraticExtended(double qa, double qb, double qc) {
    QuadraticRoots roots;
    if (qa == 0.0) {
        // The equation is linear; the formula would divide by zero.
        if (qb != 0.0) {
            roots.root1 = roots.root2 = -qc / qb;
            roots.count = 1;
        }
        return roots;
    }
    const float discriminant = static_cast<float>(qb * qb - 4.0 * qa * qc);
    // One division, which runs beside the square root rather than after it.
    const double inverse = 0.5 / qa;
    if (discriminant > 0.0f) {
        const double root = std::sqrt(static_cast<double>(discriminant));
        roots.root1 = (-qb - root) * inverse;
        roots.root2 = (root - qb) * inverse;
        roots.count = 2;
    } else if (discriminant == 0.0f) {
        roots.root1 = roots.root2 = -qb * inverse;
        roots.count = 1;
    }
    // A negative (or NaN) discriminant: no real root.
    return roots;
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

float Distance(Point2 p, Point2 q) {
    const double dx = static_cast<double>(p.x) - q.x;
    const double dy = static_cast<double>(p.y) - q.y;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
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

float SlopeOf(const Segment& s) {
    if (s.x2 != s.x1)
        return static_cast<float>((static_cast<double>(s.y2) - s.y1) / (static_cast<double>(s.x2) - s.x1));
    if (s.y2 == s.y1) return 1.0f;
    // A vertical line is treated as a very steep one.
    return s.y2 > s.y1 ? kVerticalSlope : -kVerticalSlope;
}

namespace {

// InterceptOf for a segment whose slope is already known.
float InterceptWithSlope(const Segment& s, float slope) {
    return static_cast<float>(static_cast<double>(s.y1) - static_cast<double>(slope) * s.x1);
}

} // namespace

float InterceptOf(const Segment& s) {
    return InterceptWithSlope(s, SlopeOf(s));
}

void SolveQuadratic(float qa, float qb, float qc, float& root1, float& root2, int& count) {
    const QuadraticRoots roots = SolveQuadraticExtended(qa, qb, qc);
    count = roots.count;
    if (count == 0) return;
    root1 = static_cast<float>(roots.root1);
    root2 = static_cast<float>(roots.root2);
}

void CircleLine(const Circle& c, const Segment& s, Point2& p1, Point2& p2, int& count) {
    Segment line = s;
    double cx = c.cx;
    double cy = c.cy;
    float m = SlopeOf(line);
    // Steep lines are solved with x and y exchanged, where they are flat.
    const bool swapped = std::fabs(m) > 10.0f;
    if (swapped) {
        line = Segment{s.y1, s.x1, s.y2, s.x2};
        std::swap(cx, cy);
        m = SlopeOf(line);
    }
    const double slope = m;
    const double k = InterceptWithSlope(line, m);
    const double r = c.r;
    const QuadraticRoots roots =
        SolveQuadraticExtended(slope * slope + 1.0, -2.0 * cx + 2.0 * slope * k - 2.0 * slope * cy,
                               cx * cx + k * k - 2.0 * k * cy + cy * cy - r * r);
    count = roots.count;
    if (count == 0) return;
    const float x1 = static_cast<float>(roots.root1);
    const float x2 = static_cast<float>(roots.root2);
    const float y1 = static_cast<float>(k + slope * roots.root1);
    const float y2 = static_cast<float>(k + slope * roots.root2);
    if (swapped) {
        p1 = Point2{y1, x1};
        p2 = Point2{y2, x2};
    } else {
        p1 = Point2{x1, y1};
        p2 = Point2{x2, y2};
    }
}

void CircleCircle(const Circle& c1, const Circle& c2, Point2& p1, Point2& p2, int& status) {
    const double dx = static_cast<double>(c2.cx) - c1.cx;
    const double dy = static_cast<double>(c2.cy) - c1.cy;
    const double squared = dx * dx + dy * dy;
    const float d = static_cast<float>(std::sqrt(squared)); // the centres' Distance
    const double r1 = c1.r;
    const double r2 = c2.r;
    status = 0;
    if (d == 0.0f) status = -1;
    if (d > r1 + r2) status = -2;
    if (d < std::fabs(r2 - r1)) status = -3;
    if (status != 0) return;

    // The chord's foot lies r1 cos(alpha) from centre 1 towards centre 2 and its ends r1 sin(alpha)
    // to either side, alpha being the triangle's angle at centre 1. Both are taken as fractions of
    // the centre distance, which needs only its square: `along` times the distance is half of
    // d^2 + r1^2 - r2^2. Rounding can make the chord's square a hair negative at tangency; the chord
    // then has no length.
    const double inverse = 1.0 / squared;
    const double half = (squared + r1 * r1 - r2 * r2) * 0.5;
    const double along = half * inverse;
    const double across = std::sqrt(std::max(0.0, r1 * r1 * squared - half * half)) * inverse;
    const double mx = c1.cx + along * dx;
    const double my = c1.cy + along * dy;
    p1 = Point2{static_cast<float>(mx - across * dy), static_cast<float>(my + across * dx)};
    p2 = Point2{static_cast<float>(mx + across * dy), static_cast<float>(my - across * dx)};
}

void LineLine(const Segment& s1, const Segment& s2, Point2& p, int& status) {
    const float m1 = SlopeOf(s1);
    const float m2 = SlopeOf(s2);
    if (m1 == m2) {
        status = -1;
        return;
    }
    const double k1 = InterceptWithSlope(s1, m1);
    const double k2 = InterceptWithSlope(s2, m2);
    status = 0;
    // y from the unrounded x: with a vertical line's slope of 1 000 000 the rounding of x alone
    // would move y by several hundredths.
    const double x = (k2 - k1) / (static_cast<double>(m1) - m2);
    p.x = static_cast<float>(x);
    p.y = static_cast<float>(k1 + m1 * x);
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

Direction2 DirectionOf(double dx, double dy) {
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0.0) return Direction2{0.0, 1.0};
    if (std::isinf(length)) return DirectionAt(AngleOfExtended(dx, dy)); // an infinite component
    const double inverse = 1.0 / length;
    return Direction2{dx * inverse, dy * inverse};
}

Direction2 DirectionAt(double angle) {
    return Direction2{std::cos(angle), std::sin(angle)};
}

void WritePoint(MessagesFile& messages, Point2 p, int width, int decimals) {
    messages.Append(" X" + F(p.x, width, decimals) + " Y" + F(p.y, width, decimals));
    messages.Flush();
}

} // namespace linkwright
