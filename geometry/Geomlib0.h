// Geomlib0: the plane geometry every linkage solver stands on: directions, distances, lines through two
// points, circle/line intersections, the triangle of three sides and 3 x 3 homogeneous transforms.
#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace linkwright {

class MessagesFile;

// All coordinates and lengths are floats; the routines compute in double and round what they store.
// Angles are radians, counter-clockwise from +x, y upwards.

struct Point2 {
    float x = 0.0f;
    float y = 0.0f;
};

// Two points; the routines use it as the line through them.
struct Segment {
    float x1 = 0.0f;
    float y1 = 0.0f;
    float x2 = 0.0f;
    float y2 = 0.0f;
};

// Radius first, then the centre.
struct Circle {
    float r = 0.0f;
    float cx = 0.0f;
    float cy = 0.0f;
};

// A homogeneous transform applied to column vectors (x, y, 1); m[row][column].
struct Matrix3 {
    float m[3][3] = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}};
};

// A direction as its unit vector (cos, sin). Solvers that turn frames by directions they measured
// use it instead of angles: no arc tangent, no sine or cosine, and no rounding of the angle.
struct Direction2 {
    double c = 1.0;
    double s = 0.0;
};

// The float nearest pi / 2: what AngleOf answers for a vertical direction.
inline constexpr float kHalfPiSingle = 1.5707964f;

// Direction of (dx, dy) in (-pi, pi]; (0, 0) gives pi / 2 and (-1, 0) gives pi.
float AngleOf(float dx, float dy);
// 0 ... pi; arguments just outside -1 ... 1 (rounding) are clamped, so the result is never NaN.
float ArcCos(float x);
// -pi/2 ... pi/2; clamped like ArcCos.
float ArcSin(float x);
inline float Distance(Point2 p, Point2 q);
// Both coordinates are numbers and neither is infinite.
inline bool Finite(Point2 p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}
// Radians as the screen, the editors and the listings show them: x 180 / pi.
inline double Degrees(double radians) {
    return radians * 180.0 / std::numbers::pi;
}
// a when a > b, otherwise b.
float MaxOf(float a, float b);
void SetPoint(Point2& p, float x, float y);
void MakeSegment(Segment& s, Point2 p1, Point2 p2);

// Slope of the line through the segment. A vertical segment counts as a very steep line of slope
// +-1 000 000 (sign of y2 - y1); a single point gives 1.0.
inline float SlopeOf(const Segment& s);
// y1 - SlopeOf(s) * x1.
inline float InterceptOf(const Segment& s);

// Roots of qa t^2 + qb t + qc = 0: count 0 (roots untouched), 1 (both roots equal) or 2
// (root1 = (-qb - sqrt D) / 2qa, root2 = (sqrt D - qb) / 2qa).
inline void SolveQuadratic(float qa, float qb, float qc, float& root1, float& root2, int& count);

// Intersections of the circle with the line through s; p1 has the smaller x (the smaller y when the
// line is steeper than slope 10). When count is 0 the points carry no meaning.
inline void CircleLine(const Circle& c, const Segment& s, Point2& p1, Point2& p2, int& count);

// Intersections of two circles. status 0: p1 lies to the left of the line from centre 1 to centre 2,
// p2 to the right (equal when the circles touch). Otherwise p1, p2 are untouched and status is
// -1 (same centre), -2 (too far apart) or -3 (one inside the other), a later test overriding an
// earlier one in that order. The points are the ends of the common chord: its foot lies on the line
// of centres where the triangle of r1, r2 and the centre distance puts it, so no angle is computed.
inline void CircleCircle(const Circle& c1, const Circle& c2, Point2& p1, Point2& p2, int& status);

// Intersection of the lines through s1 and s2; status -1 and p untouched when the slopes are equal.
inline void LineLine(const Segment& s1, const Segment& s2, Point2& p, int& status);

// The angles of the triangle with sides a, b, c: A opposite a, B opposite b, C opposite c.
// An impossible triangle (longest side > sum of the others) writes the line "Error in TRIabc" to
// `messages` (when given) and answers the angles of the nearest degenerate triangle instead of
// stopping, so the user's unsaved gear is never lost.
void TRIabc(float a, float b, float c, float& A, float& B, float& C, MessagesFile* messages = nullptr);

// m := [cos -sin 0; sin cos 0; 0 0 1]
void RotationMatrix(Matrix3& m, float angle);
// m := [1 0 tx; 0 1 ty; 0 0 1]
void TranslationMatrix(Matrix3& m, float tx, float ty);
// c := a x b; c may be a or b.
void MatMul3(const Matrix3& a, const Matrix3& b, Matrix3& c);

// Choosing between the two roots of an intersection.
// Distance(p1, reference) < Distance(p2, reference).
bool FirstIsNearerByDistance(Point2 p1, Point2 p2, Point2 reference);
// The point nearer the reference by Distance; p2 when both are equally near.
inline Point2 NearerOf(Point2 p1, Point2 p2, Point2 reference) {
    // The squared distances decide at once unless they are so close that the rounded distances
    // could come out equal (a relative difference of 1e-5 in the squares is far more than the
    // rounding of two square roots to float can bridge).
    const double dx1 = static_cast<double>(p1.x) - reference.x;
    const double dy1 = static_cast<double>(p1.y) - reference.y;
    const double dx2 = static_cast<double>(p2.x) - reference.x;
    const double dy2 = static_cast<double>(p2.y) - reference.y;
    const double s1 = dx1 * dx1 + dy1 * dy1;
    const double s2 = dx2 * dx2 + dy2 * dy2;
    const double difference = s1 - s2;
    const double margin = 1e-5 * (s1 > s2 ? s1 : s2);
    if (difference > margin) return p2;
    if (difference < -margin) return p1;
    return FirstIsNearerByDistance(p1, p2, reference) ? p1 : p2;
}
// The lower point; p2 on equal heights.
inline Point2 LowerOf(Point2 p1, Point2 p2) {
    return p1.y < p2.y ? p1 : p2;
}

// Directions and frames.
// The unit vector of the direction AngleOf measures for (dx, dy); a zero vector points up, as
// AngleOf(0, 0) = pi / 2 does.
inline Direction2 DirectionOf(double dx, double dy);
// The unit vector at `angle` radians.
inline Direction2 DirectionAt(double angle);
// a turned further by b: the angles add.
inline Direction2 Turned(Direction2 a, Direction2 b) {
    return Direction2{a.c * b.c - a.s * b.s, a.s * b.c + a.c * b.s};
}
// a turned back by b: the angles subtract.
inline Direction2 TurnedBack(Direction2 a, Direction2 b) {
    return Direction2{a.c * b.c + a.s * b.s, a.s * b.c - a.c * b.s};
}
// The unit vector at `delta` radians for a small turn: up to half a radian from its series, cut where
// the terms left out are below a double's rounding, at the cost of a few multiplications instead of
// a sine and a cosine; larger turns take DirectionAt.
inline Direction2 TurnOf(double delta);
// The point (x, y) of a frame whose origin is `origin` and whose x axis points along d: what
// translation(origin) x rotation(d) x translation(x, y) makes of the frame's own origin.
inline Point2 PlaceInFrame(Point2 origin, Direction2 d, double x, double y) {
    return Point2{static_cast<float>(origin.x + (d.c * x - d.s * y)),
                  static_cast<float>(origin.y + (d.s * x + d.c * y))};
}

// Appends " X" and x, then " Y" and y, each in fixed-point with the given width and decimals, and
// flushes (no line end).
void WritePoint(MessagesFile& messages, Point2 p, int width, int decimals);

// The routines every position of a solve calls, defined here so that the solvers inline them:
// through a call the circles and segments would go by way of memory, and the processor stalls on
// reading back, in one piece, what was written field by field a moment before.

namespace geometry_detail {

inline constexpr float kVerticalSlope = 1000000.0f;

struct QuadraticRoots {
    double root1 = 0.0;
    double root2 = 0.0;
    int count = 0;
};

// SolveQuadratic without the rounding of the roots, for the routines built on it.
inline QuadraticRoots SolveQuadraticExtended(double qa, double qb, double qc) {
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

// InterceptOf for a segment whose slope is already known.
inline float InterceptWithSlope(const Segment& s, float slope) {
    return static_cast<float>(static_cast<double>(s.y1) - static_cast<double>(slope) * s.x1);
}

} // namespace geometry_detail

inline float Distance(Point2 p, Point2 q) {
    const double dx = static_cast<double>(p.x) - q.x;
    const double dy = static_cast<double>(p.y) - q.y;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

inline float SlopeOf(const Segment& s) {
    if (s.x2 != s.x1)
        return static_cast<float>((static_cast<double>(s.y2) - s.y1) / (static_cast<double>(s.x2) - s.x1));
    if (s.y2 == s.y1) return 1.0f;
    // A vertical line is treated as a very steep one.
    return s.y2 > s.y1 ? geometry_detail::kVerticalSlope : -geometry_detail::kVerticalSlope;
}

inline float InterceptOf(const Segment& s) {
    return geometry_detail::InterceptWithSlope(s, SlopeOf(s));
}

inline void SolveQuadratic(float qa, float qb, float qc, float& root1, float& root2, int& count) {
    const geometry_detail::QuadraticRoots roots = geometry_detail::SolveQuadraticExtended(qa, qb, qc);
    count = roots.count;
    if (count == 0) return;
    root1 = static_cast<float>(roots.root1);
    root2 = static_cast<float>(roots.root2);
}

inline void CircleLine(const Circle& c, const Segment& s, Point2& p1, Point2& p2, int& count) {
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
    const double k = geometry_detail::InterceptWithSlope(line, m);
    const double r = c.r;
    const geometry_detail::QuadraticRoots roots = geometry_detail::SolveQuadraticExtended(
        slope * slope + 1.0, -2.0 * cx + 2.0 * slope * k - 2.0 * slope * cy,
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

inline void CircleCircle(const Circle& c1, const Circle& c2, Point2& p1, Point2& p2, int& status) {
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

inline void LineLine(const Segment& s1, const Segment& s2, Point2& p, int& status) {
    const float m1 = SlopeOf(s1);
    const float m2 = SlopeOf(s2);
    if (m1 == m2) {
        status = -1;
        return;
    }
    const double k1 = geometry_detail::InterceptWithSlope(s1, m1);
    const double k2 = geometry_detail::InterceptWithSlope(s2, m2);
    status = 0;
    // y from the unrounded x: with a vertical line's slope of 1 000 000 the rounding of x alone
    // would move y by several hundredths.
    const double x = (k2 - k1) / (static_cast<double>(m1) - m2);
    p.x = static_cast<float>(x);
    p.y = static_cast<float>(k1 + m1 * x);
}

inline Direction2 DirectionAt(double angle) {
    return Direction2{std::cos(angle), std::sin(angle)};
}

inline Direction2 TurnOf(double delta) {
    if (!(std::fabs(delta) <= 0.5)) return DirectionAt(delta);
    const double x2 = delta * delta;
    // cos: 1 - x^2/2! + ... - x^14/14!; sin: x - x^3/3! + ... - x^13/13!, each term the one
    // before times -x^2 / (n (n + 1)).
    const double c =
        1.0 -
        x2 / 2.0 *
            (1.0 -
             x2 / 12.0 *
                 (1.0 - x2 / 30.0 *
                            (1.0 - x2 / 56.0 * (1.0 - x2 / 90.0 * (1.0 - x2 / 132.0 * (1.0 - x2 / 182.0))))));
    const double s =
        delta *
        (1.0 -
         x2 / 6.0 *
             (1.0 -
              x2 / 20.0 * (1.0 - x2 / 42.0 * (1.0 - x2 / 72.0 * (1.0 - x2 / 110.0 * (1.0 - x2 / 156.0))))));
    return Direction2{c, s};
}

inline Direction2 DirectionOf(double dx, double dy) {
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0.0) return Direction2{0.0, 1.0};
    // An infinite component: the direction AngleOf measures.
    if (std::isinf(length)) return DirectionAt(AngleOf(static_cast<float>(dx), static_cast<float>(dy)));
    const double inverse = 1.0 / length;
    return Direction2{dx * inverse, dy * inverse};
}

} // namespace linkwright
