// Geomlib0: the plane geometry every linkage solver stands on: directions, distances, lines through two
// points, circle/line intersections, the triangle of three sides and 3 x 3 homogeneous transforms.
#pragma once

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

// The float nearest pi / 2: what AngleOf answers for a vertical direction.
inline constexpr float kHalfPiSingle = 1.5707964f;

// Direction of (dx, dy) in (-pi, pi]; (0, 0) gives pi / 2 and (-1, 0) gives pi.
float AngleOf(float dx, float dy);
// 0 ... pi; arguments just outside -1 ... 1 (rounding) are clamped, so the result is never NaN.
float ArcCos(float x);
// -pi/2 ... pi/2; clamped like ArcCos.
float ArcSin(float x);
float Distance(Point2 p, Point2 q);
// a when a > b, otherwise b.
float MaxOf(float a, float b);
void SetPoint(Point2& p, float x, float y);
void MakeSegment(Segment& s, Point2 p1, Point2 p2);

// Slope of the line through the segment. A vertical segment counts as a very steep line of slope
// +-1 000 000 (sign of y2 - y1); a single point gives 1.0.
float SlopeOf(const Segment& s);
// y1 - SlopeOf(s) * x1.
float InterceptOf(const Segment& s);

// Roots of qa t^2 + qb t + qc = 0: count 0 (roots untouched), 1 (both roots equal) or 2
// (root1 = (-qb - sqrt D) / 2qa, root2 = (sqrt D - qb) / 2qa).
void SolveQuadratic(float qa, float qb, float qc, float& root1, float& root2, int& count);

// Intersections of the circle with the line through s; p1 has the smaller x (the smaller y when the
// line is steeper than slope 10). When count is 0 the points carry no meaning.
void CircleLine(const Circle& c, const Segment& s, Point2& p1, Point2& p2, int& count);

// Intersections of two circles. status 0: p1 lies to the left of the line from centre 1 to centre 2,
// p2 to the right (equal when the circles touch). Otherwise p1, p2 are untouched and status is
// -1 (same centre), -2 (too far apart) or -3 (one inside the other), a later test overriding an
// earlier one in that order. `messages` receives TRIabc's report, which cannot normally occur here.
void CircleCircle(const Circle& c1, const Circle& c2, Point2& p1, Point2& p2, int& status,
                  MessagesFile* messages = nullptr);

// Intersection of the lines through s1 and s2; status -1 and p untouched when the slopes are equal.
void LineLine(const Segment& s1, const Segment& s2, Point2& p, int& status);

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

// The image of the origin of a frame placed by translation(tx1, ty1) x rotation(angle1) x
// rotation(angle2) x translation(tx2, ty2): the third column of that product, computed exactly as a
// solver does with RotationMatrix, TranslationMatrix and MatMul3.
Point2 FrameOrigin(float tx1, float ty1, float angle1, float angle2, float tx2, float ty2);

// Appends " X" and x, then " Y" and y, each in fixed-point with the given width and decimals, and
// flushes (no line end).
void WritePoint(MessagesFile& messages, Point2 p, int width, int decimals);

} // namespace linkwright
