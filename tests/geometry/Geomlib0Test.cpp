// The plane geometry of the linkage solvers: directions, lines, intersections, triangles, transforms.
#include "geometry/Geomlib0.h"

#include "tests/support/TestSupport.h"
#include "windows/MessagesFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace linkwright {
namespace {

constexpr double kPi = std::numbers::pi;

// Cross product of (b - a) and (p - a): positive when p lies to the left of the line a -> b.
double Side(Point2 a, Point2 b, Point2 p) {
    return (static_cast<double>(b.x) - a.x) * (static_cast<double>(p.y) - a.y) -
           (static_cast<double>(b.y) - a.y) * (static_cast<double>(p.x) - a.x);
}

TEST(Directions, AngleOfCoversAllQuadrantsAndTheAxes) {
    EXPECT_FLOAT_EQ(AngleOf(-1.0f, 0.0f), static_cast<float>(kPi));
    EXPECT_EQ(AngleOf(0.0f, 0.0f), 1.5707964f);
    EXPECT_EQ(AngleOf(0.0f, 2.0f), 1.5707964f);
    EXPECT_EQ(AngleOf(0.0f, -1.0f), -1.5707964f);
    EXPECT_EQ(AngleOf(3.0f, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(AngleOf(1.0f, 1.0f), static_cast<float>(kPi / 4));
    EXPECT_FLOAT_EQ(AngleOf(-1.0f, 1.0f), static_cast<float>(3 * kPi / 4));
    EXPECT_FLOAT_EQ(AngleOf(-1.0f, -1.0f), static_cast<float>(-3 * kPi / 4));
    EXPECT_FLOAT_EQ(AngleOf(1.0f, -1.0f), static_cast<float>(-kPi / 4));
    for (int degrees = -179; degrees <= 180; degrees += 7) {
        const double angle = degrees * kPi / 180;
        EXPECT_NEAR(AngleOf(static_cast<float>(2 * std::cos(angle)), static_cast<float>(2 * std::sin(angle))),
                    angle, 1e-6)
            << degrees;
    }
}

TEST(Directions, ArcCosAndArcSinClampRoundingOutsideTheirDomain) {
    EXPECT_FLOAT_EQ(ArcCos(0.5f), static_cast<float>(kPi / 3));
    EXPECT_FLOAT_EQ(ArcSin(0.5f), static_cast<float>(kPi / 6));
    EXPECT_FLOAT_EQ(ArcSin(-0.5f), static_cast<float>(-kPi / 6));
    EXPECT_EQ(ArcCos(0.0f), 1.5707964f);
    EXPECT_EQ(ArcCos(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(ArcCos(-1.0f), static_cast<float>(kPi));
    const float above = std::nextafter(1.0f, 2.0f);
    EXPECT_EQ(ArcCos(above), 0.0f);
    EXPECT_FLOAT_EQ(ArcCos(-above), static_cast<float>(kPi));
    EXPECT_EQ(ArcSin(above), 1.5707964f);
    EXPECT_EQ(ArcSin(-above), -1.5707964f);
}

TEST(Basics, DistanceMaxAndConstruction) {
    EXPECT_EQ(Distance(Point2{1, 1}, Point2{4, -3}), 5.0f);
    EXPECT_EQ(Distance(Point2{2, 2}, Point2{2, 2}), 0.0f);
    EXPECT_EQ(MaxOf(1.0f, 2.0f), 2.0f);
    EXPECT_EQ(MaxOf(2.0f, 1.0f), 2.0f);
    EXPECT_EQ(MaxOf(-3.0f, -3.0f), -3.0f);
    Point2 p;
    SetPoint(p, 1.5f, -2.5f);
    EXPECT_EQ(p.x, 1.5f);
    EXPECT_EQ(p.y, -2.5f);
    Segment s;
    MakeSegment(s, Point2{1, 2}, Point2{3, 4});
    EXPECT_EQ(s.x1, 1.0f);
    EXPECT_EQ(s.y1, 2.0f);
    EXPECT_EQ(s.x2, 3.0f);
    EXPECT_EQ(s.y2, 4.0f);
}

TEST(Lines, SlopeTreatsVerticalAsVerySteepAndAPointAsOne) {
    EXPECT_EQ(SlopeOf(Segment{1, 1, 3, 2}), 0.5f);
    EXPECT_EQ(SlopeOf(Segment{3, 2, 1, 1}), 0.5f);
    EXPECT_EQ(SlopeOf(Segment{2, 0, 2, 5}), 1000000.0f);
    EXPECT_EQ(SlopeOf(Segment{2, 5, 2, 0}), -1000000.0f);
    EXPECT_EQ(SlopeOf(Segment{2, 5, 2, 5}), 1.0f);
    EXPECT_EQ(InterceptOf(Segment{1, 1, 3, 2}), 0.5f);
    EXPECT_EQ(InterceptOf(Segment{2, 5, 2, 5}), 3.0f); // slope 1 through (2, 5)
}

TEST(Quadratic, RootsInTheirDefinedOrder) {
    float root1 = 99, root2 = 99;
    int count = -1;
    SolveQuadratic(1, -3, 2, root1, root2, count); // (t - 1)(t - 2)
    EXPECT_EQ(count, 2);
    EXPECT_EQ(root1, 1.0f);
    EXPECT_EQ(root2, 2.0f);
    SolveQuadratic(-1, 3, -2, root1, root2, count); // the same roots, negative leading term
    EXPECT_EQ(count, 2);
    EXPECT_EQ(root1, 2.0f);
    EXPECT_EQ(root2, 1.0f);
    SolveQuadratic(1, -4, 4, root1, root2, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(root1, 2.0f);
    EXPECT_EQ(root2, 2.0f);
}

TEST(Quadratic, NoRootLeavesTheRootsAndALinearEquationHasNoDivisionByZero) {
    float root1 = 7, root2 = 8;
    int count = -1;
    SolveQuadratic(1, 0, 1, root1, root2, count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(root1, 7.0f);
    EXPECT_EQ(root2, 8.0f);
    SolveQuadratic(0, 2, -3, root1, root2, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(root1, 1.5f);
    EXPECT_EQ(root2, 1.5f);
    SolveQuadratic(0, 0, 1, root1, root2, count);
    EXPECT_EQ(count, 0);
}

TEST(CircleLineTest, SecantTangentAndMiss) {
    const Circle unit{1, 0, 0};
    Point2 p1, p2;
    int count = -1;
    CircleLine(unit, Segment{-5, 0, 5, 0}, p1, p2, count);
    EXPECT_EQ(count, 2);
    EXPECT_FLOAT_EQ(p1.x, -1);
    EXPECT_FLOAT_EQ(p2.x, 1);
    EXPECT_NEAR(p1.y, 0, 1e-7);
    CircleLine(unit, Segment{-5, 1, 5, 1}, p1, p2, count);
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(p1.x, 0, 1e-7);
    EXPECT_FLOAT_EQ(p1.y, 1);
    p1 = Point2{42, 43};
    CircleLine(unit, Segment{-5, 2, 5, 2}, p1, p2, count);
    EXPECT_EQ(count, 0);
}

TEST(CircleLineTest, PointsLieOnCircleAndLine) {
    const Circle c{2.5f, 1.0f, -0.5f};
    const Segment lines[] = {{-3, -2, 4, 1.5f}, {0.5f, -4, 1.2f, 3}, {1, -5, 1, 5}, {-2, 1, 3, -1}};
    for (const Segment& s : lines) {
        Point2 p1, p2;
        int count = 0;
        CircleLine(c, s, p1, p2, count);
        ASSERT_EQ(count, 2);
        for (const Point2 p : {p1, p2}) {
            EXPECT_NEAR(Distance(p, Point2{c.cx, c.cy}), c.r, 2e-5);
            EXPECT_NEAR(Side(Point2{s.x1, s.y1}, Point2{s.x2, s.y2}, p), 0.0, 1e-4);
        }
    }
}

TEST(CircleLineTest, SteepLinesOrderTheirPointsByY) {
    const Circle c{5, 0, 0};
    Point2 p1, p2;
    int count = 0;
    // Slope exactly -10 is still solved as it is: p1 has the smaller x, hence the larger y.
    CircleLine(c, Segment{0, 0, 1, -10}, p1, p2, count);
    ASSERT_EQ(count, 2);
    EXPECT_LT(p1.x, p2.x);
    EXPECT_GT(p1.y, p2.y);
    // A hair steeper, x and y are exchanged: p1 has the smaller y.
    CircleLine(c, Segment{0, 0, 1, -10.0001f}, p1, p2, count);
    ASSERT_EQ(count, 2);
    EXPECT_LT(p1.y, p2.y);
    EXPECT_GT(p1.x, p2.x);
    // A vertical line through x = 3.
    CircleLine(c, Segment{3, 10, 3, -10}, p1, p2, count);
    ASSERT_EQ(count, 2);
    EXPECT_FLOAT_EQ(p1.x, 3);
    EXPECT_FLOAT_EQ(p2.x, 3);
    EXPECT_FLOAT_EQ(p1.y, -4);
    EXPECT_FLOAT_EQ(p2.y, 4);
}

TEST(CircleCircleTest, CrossingCirclesGiveLeftPointFirst) {
    Point2 p1, p2;
    int status = -9;
    CircleCircle(Circle{5, 0, 0}, Circle{5, 8, 0}, p1, p2, status);
    EXPECT_EQ(status, 0);
    EXPECT_FLOAT_EQ(p1.x, 4);
    EXPECT_FLOAT_EQ(p1.y, 3);
    EXPECT_FLOAT_EQ(p2.x, 4);
    EXPECT_FLOAT_EQ(p2.y, -3);
}

TEST(CircleCircleTest, IntersectionsAreAtTheRadiiFromBothCentres) {
    const Circle pairs[][2] = {{{3, 1, 2}, {2.5f, 4, 1}},
                               {{1.2f, -0.3f, 0.7f}, {0.4f, 0.2f, 1.5f}},
                               {{10, 0, 0}, {7, -5, 12}},
                               {{0.05f, 100, 100}, {0.06f, 100.02f, 99.95f}}};
    for (const auto& pair : pairs) {
        Point2 p1, p2;
        int status = -9;
        CircleCircle(pair[0], pair[1], p1, p2, status);
        ASSERT_EQ(status, 0);
        const Point2 centre1{pair[0].cx, pair[0].cy};
        const Point2 centre2{pair[1].cx, pair[1].cy};
        const float tolerance =
            4e-6f * (pair[0].r + pair[1].r + std::fabs(pair[0].cx) + std::fabs(pair[0].cy));
        for (const Point2 p : {p1, p2}) {
            EXPECT_NEAR(Distance(p, centre1), pair[0].r, tolerance);
            EXPECT_NEAR(Distance(p, centre2), pair[1].r, tolerance);
        }
        EXPECT_GT(Side(centre1, centre2, p1), 0.0);
        EXPECT_LT(Side(centre1, centre2, p2), 0.0);
    }
}

TEST(CircleCircleTest, TouchingCirclesMeetInOnePoint) {
    Point2 p1, p2;
    int status = -9;
    CircleCircle(Circle{1, 0, 0}, Circle{2, 3, 0}, p1, p2, status); // from outside
    EXPECT_EQ(status, 0);
    EXPECT_FLOAT_EQ(p1.x, 1);
    EXPECT_NEAR(p1.y, 0, 1e-6);
    EXPECT_FLOAT_EQ(p2.x, p1.x);
    EXPECT_NEAR(p2.y, p1.y, 1e-6);
    CircleCircle(Circle{3, 0, 0}, Circle{1, 2, 0}, p1, p2, status); // from inside
    EXPECT_EQ(status, 0);
    EXPECT_FLOAT_EQ(p1.x, 3);
    EXPECT_NEAR(p1.y, 0, 1e-6);
}

TEST(CircleCircleTest, ImpossibleCasesReportStatusAndKeepThePoints) {
    const Point2 before1{11, 12}, before2{13, 14};
    Point2 p1 = before1, p2 = before2;
    int status = 0;
    CircleCircle(Circle{1, 0, 0}, Circle{2, std::nextafter(3.0f, 4.0f), 0}, p1, p2, status);
    EXPECT_EQ(status, -2);
    CircleCircle(Circle{2, 1, 1}, Circle{2, 1, 1}, p1, p2, status);
    EXPECT_EQ(status, -1);
    CircleCircle(Circle{2, 1, 1}, Circle{3, 1, 1}, p1, p2, status);
    EXPECT_EQ(status, -3);
    CircleCircle(Circle{5, 0, 0}, Circle{1, 1, 1}, p1, p2, status);
    EXPECT_EQ(status, -3);
    EXPECT_EQ(p1.x, before1.x);
    EXPECT_EQ(p1.y, before1.y);
    EXPECT_EQ(p2.x, before2.x);
    EXPECT_EQ(p2.y, before2.y);
}

TEST(CircleCircleTest, RoundingAtTangencyNeverGivesNan) {
    testing::ScratchDir dir;
    MessagesFile messages(dir / "Messages.txt");
    messages.Create();
    int solved = 0;
    for (int i = 1; i <= 200; ++i) {
        const Circle c1{0.1f * static_cast<float>(i) / 7.0f, 0.3f * static_cast<float>(i), -0.7f};
        const float cx2 = c1.cx + 1.37f / static_cast<float>(i);
        const float cy2 = c1.cy + 0.011f * static_cast<float>(i);
        const float d = Distance(Point2{c1.cx, c1.cy}, Point2{cx2, cy2});
        // Radii that make the circles touch, from outside and from inside, and their float neighbours.
        const float outside = d - c1.r;
        const float inside = d + c1.r;
        for (float r2 : {outside, std::nextafter(outside, 0.0f), std::nextafter(outside, 1e9f), inside,
                         std::nextafter(inside, 0.0f), std::nextafter(inside, 1e9f)}) {
            Point2 p1, p2;
            int status = -9;
            CircleCircle(c1, Circle{r2, cx2, cy2}, p1, p2, status);
            if (status != 0) continue;
            ++solved;
            EXPECT_FALSE(std::isnan(p1.x) || std::isnan(p1.y) || std::isnan(p2.x) || std::isnan(p2.y));
            EXPECT_NEAR(Distance(p1, Point2{c1.cx, c1.cy}), c1.r, 1e-5);
        }
    }
    EXPECT_GT(solved, 200);
    EXPECT_EQ(messages.Contents(), "");
}

TEST(LineLineTest, CrossingParallelAndVerticalLines) {
    Point2 p{5, 6};
    int status = -9;
    LineLine(Segment{0, 0, 1, 1}, Segment{0, 2, 2, 0}, p, status);
    EXPECT_EQ(status, 0);
    EXPECT_FLOAT_EQ(p.x, 1);
    EXPECT_FLOAT_EQ(p.y, 1);
    p = Point2{5, 6};
    LineLine(Segment{0, 0, 1, 1}, Segment{0, 1, 3, 4}, p, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(p.x, 5.0f);
    EXPECT_EQ(p.y, 6.0f);
    LineLine(Segment{1, 0, 1, 3}, Segment{4, -2, 4, 7}, p, status); // both going up
    EXPECT_EQ(status, -1);
    EXPECT_EQ(p.x, 5.0f);
    // A vertical line against a horizontal one meets near the true crossing (2, 1).
    LineLine(Segment{2, 0, 2, 3}, Segment{-1, 1, 5, 1}, p, status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(p.x, 2, 1e-5);
    EXPECT_NEAR(p.y, 1, 1e-5);
    // Vertical lines of opposite directions have slopes +-1 000 000 and are not parallel to it.
    LineLine(Segment{1, 0, 1, 3}, Segment{4, 7, 4, -2}, p, status);
    EXPECT_EQ(status, 0);
}

TEST(Triangle, ThreeFourFiveInTheOrderOfTheSides) {
    float A = 0, B = 0, C = 0;
    TRIabc(3, 4, 5, A, B, C, nullptr);
    EXPECT_FLOAT_EQ(A, static_cast<float>(std::asin(0.6)));
    EXPECT_FLOAT_EQ(B, static_cast<float>(std::asin(0.8)));
    EXPECT_FLOAT_EQ(C, static_cast<float>(kPi / 2));
    TRIabc(5, 3, 4, A, B, C, nullptr);
    EXPECT_FLOAT_EQ(A, static_cast<float>(kPi / 2));
    EXPECT_FLOAT_EQ(B, static_cast<float>(std::asin(0.6)));
    EXPECT_FLOAT_EQ(C, static_cast<float>(std::asin(0.8)));
}

TEST(Triangle, AnglesAgreeWithTheLawOfCosines) {
    const float triangles[][3] = {{2, 3, 4}, {7, 7, 7}, {1, 1, 1.9f}, {10, 6, 5}, {0.2f, 5, 4.9f}, {4, 4, 1}};
    for (const auto& t : triangles) {
        float angles[3];
        TRIabc(t[0], t[1], t[2], angles[0], angles[1], angles[2], nullptr);
        EXPECT_NEAR(angles[0] + angles[1] + angles[2], kPi, 1e-5);
        for (int i = 0; i < 3; ++i) {
            const double a = t[i], b = t[(i + 1) % 3], c = t[(i + 2) % 3];
            EXPECT_NEAR(angles[i], std::acos((b * b + c * c - a * a) / (2 * b * c)), 2e-5)
                << t[0] << " " << t[1] << " " << t[2] << " angle " << i;
        }
    }
}

TEST(Triangle, DegenerateTrianglesHaveNoNan) {
    float A = -1, B = -1, C = -1;
    TRIabc(1, 2, 3, A, B, C, nullptr); // flat
    EXPECT_NEAR(A, 0, 1e-6);
    EXPECT_NEAR(B, 0, 1e-6);
    EXPECT_FLOAT_EQ(C, static_cast<float>(kPi));
    TRIabc(2, 0, 2, A, B, C, nullptr); // one zero side
    EXPECT_FLOAT_EQ(A, static_cast<float>(kPi / 2));
    EXPECT_EQ(B, 0.0f);
    EXPECT_FLOAT_EQ(C, static_cast<float>(kPi / 2));
    TRIabc(0, 0, 0, A, B, C, nullptr);
    EXPECT_FLOAT_EQ(A + B + C, static_cast<float>(kPi));
}

TEST(Triangle, AnImpossibleTriangleIsReportedAndTheProgramGoesOn) {
    testing::ScratchDir dir;
    MessagesFile messages(dir / "Messages.txt");
    messages.Create();
    float A = -1, B = -1, C = -1;
    TRIabc(1, 5, 1, A, B, C, &messages);
    EXPECT_EQ(messages.Contents(), "Error in TRIabc\n");
    EXPECT_EQ(A, 0.0f);
    EXPECT_FLOAT_EQ(B, static_cast<float>(kPi));
    EXPECT_EQ(C, 0.0f);
    TRIabc(9, 1, 1, A, B, C, nullptr); // without a messages file it answers all the same
    EXPECT_FLOAT_EQ(A, static_cast<float>(kPi));
}

TEST(Transforms, ElementaryMatrices) {
    Matrix3 m;
    RotationMatrix(m, static_cast<float>(kPi / 6));
    EXPECT_FLOAT_EQ(m.m[0][0], static_cast<float>(std::cos(kPi / 6)));
    EXPECT_FLOAT_EQ(m.m[0][1], -0.5f);
    EXPECT_FLOAT_EQ(m.m[1][0], 0.5f);
    EXPECT_EQ(m.m[0][2], 0.0f);
    EXPECT_EQ(m.m[2][2], 1.0f);
    EXPECT_EQ(m.m[2][0], 0.0f);
    TranslationMatrix(m, 3, -4);
    const float expected[3][3] = {{1, 0, 3}, {0, 1, -4}, {0, 0, 1}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(m.m[r][c], expected[r][c]);
}

TEST(Transforms, ProductsComposeRotationsAndTranslations) {
    Matrix3 a, b, c;
    RotationMatrix(a, 0.3f);
    RotationMatrix(b, 0.5f);
    MatMul3(a, b, c);
    Matrix3 sum;
    RotationMatrix(sum, 0.8f);
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(c.m[r][k], sum.m[r][k], 1e-6);
    TranslationMatrix(a, 1, 2);
    TranslationMatrix(b, 3, -5);
    MatMul3(a, b, a); // the result may replace an operand
    EXPECT_EQ(a.m[0][2], 4.0f);
    EXPECT_EQ(a.m[1][2], -3.0f);
    // Non-commuting order: translate then rotate differs from rotate then translate.
    RotationMatrix(a, static_cast<float>(kPi / 2));
    TranslationMatrix(b, 1, 0);
    MatMul3(a, b, c);
    EXPECT_NEAR(c.m[0][2], 0, 1e-7);
    EXPECT_FLOAT_EQ(c.m[1][2], 1);
    MatMul3(b, a, c);
    EXPECT_FLOAT_EQ(c.m[0][2], 1);
    EXPECT_EQ(c.m[1][2], 0.0f);
}

TEST(Directions, DirectionOfAgreesWithAngleOfIncludingItsSpecialCases) {
    const double vectors[][2] = {{3, 4},  {-3, 4}, {-3, -4}, {3, -4},
                                 {-1, 0}, {1, 0},  {0, -2},  {1e-30, 1e-31}};
    for (const auto& v : vectors) {
        const Direction2 d = DirectionOf(v[0], v[1]);
        const double angle = AngleOf(static_cast<float>(v[0]), static_cast<float>(v[1]));
        EXPECT_NEAR(d.c, std::cos(angle), 1e-7) << v[0] << "," << v[1];
        EXPECT_NEAR(d.s, std::sin(angle), 1e-7) << v[0] << "," << v[1];
        EXPECT_NEAR(d.c * d.c + d.s * d.s, 1.0, 1e-15);
    }
    // A zero vector points up, as AngleOf(0, 0) = pi / 2 does, and so does (0, -0).
    for (const double dy : {0.0, -0.0}) {
        const Direction2 up = DirectionOf(0.0, dy);
        EXPECT_EQ(up.c, 0.0);
        EXPECT_EQ(up.s, 1.0);
    }
    const Direction2 infinite = DirectionOf(-std::numeric_limits<double>::infinity(), 1.0);
    EXPECT_NEAR(infinite.c, -1.0, 1e-7);
    EXPECT_FALSE(std::isnan(infinite.s));
}

TEST(Directions, TurningAddsAndSubtractsAngles) {
    const double a = 2.3;
    const double b = -0.7;
    const Direction2 sum = Turned(DirectionAt(a), DirectionAt(b));
    const Direction2 difference = TurnedBack(DirectionAt(a), DirectionAt(b));
    EXPECT_NEAR(sum.c, std::cos(a + b), 1e-15);
    EXPECT_NEAR(sum.s, std::sin(a + b), 1e-15);
    EXPECT_NEAR(difference.c, std::cos(a - b), 1e-15);
    EXPECT_NEAR(difference.s, std::sin(a - b), 1e-15);
}

// A small turn by its series is sine and cosine to the last bits; a larger one is theirs exactly.
TEST(Directions, TurnOfIsTheDirectionOfTheTurnToADoublesRounding) {
    for (int i = -1000; i <= 1000; ++i) {
        const double delta = i * 0.0005;
        const Direction2 d = TurnOf(delta);
        EXPECT_NEAR(d.c, std::cos(delta), 2.3e-16) << delta;
        EXPECT_NEAR(d.s, std::sin(delta), 1.2e-16) << delta;
    }
    for (const double delta : {0.5000001, -0.7, 3.0, 100.0}) {
        EXPECT_EQ(TurnOf(delta).c, std::cos(delta)) << delta;
        EXPECT_EQ(TurnOf(delta).s, std::sin(delta)) << delta;
    }
    EXPECT_TRUE(std::isnan(TurnOf(std::nan("")).c));
}

TEST(Directions, PlaceInFrameMatchesTheComposedTransforms) {
    // translation(t1) x rotation(a1) x rotation(a2) x translation(t2), third column, built with the
    // matrix routines.
    const float values[][6] = {{1, 2, static_cast<float>(kPi / 2), 0, 3, 0},
                               {0.5f, -1, 0.3f, 1.1f, 2, 0.7f},
                               {-4, 3, -2.5f, 0.4f, -1.5f, 6}};
    for (const auto& v : values) {
        Matrix3 t1, r1, r2, t2, product;
        TranslationMatrix(t1, v[0], v[1]);
        RotationMatrix(r1, v[2]);
        RotationMatrix(r2, v[3]);
        TranslationMatrix(t2, v[4], v[5]);
        MatMul3(t1, r1, product);
        MatMul3(product, r2, product);
        MatMul3(product, t2, product);
        const Point2 q =
            PlaceInFrame(Point2{v[0], v[1]}, Turned(DirectionAt(v[2]), DirectionAt(v[3])), v[4], v[5]);
        EXPECT_NEAR(q.x, product.m[0][2], 2e-6);
        EXPECT_NEAR(q.y, product.m[1][2], 2e-6);
    }
}

TEST(Choosing, NearerOfDecidesByTheRoundedDistancesAndTakesTheSecondOnATie) {
    const Point2 reference{1, 1};
    EXPECT_EQ(NearerOf(Point2{2, 1}, Point2{4, 1}, reference).x, 2);
    EXPECT_EQ(NearerOf(Point2{4, 1}, Point2{2, 1}, reference).x, 2);
    // Mirror images are equally near: the second one.
    EXPECT_EQ(NearerOf(Point2{1, 3}, Point2{1, -1}, reference).y, -1);
    // Distances that differ but round to the same float count as equal, as Distance compares them:
    // 5 and sqrt(25 + 1e-6) are both 5.0f.
    const Point2 onFive = NearerOf(Point2{3, 4}, Point2{5, 1e-3f}, Point2{0, 0});
    EXPECT_EQ(onFive.x, 5);
    // Nearly equal but not equal as floats: the nearer one, whichever comes first.
    const Point2 far{1000, 1000};
    const Point2 near{std::nextafter(1000.0f, 0.0f), 1000};
    EXPECT_EQ(NearerOf(far, near, Point2{0, 1000}).x, near.x);
    EXPECT_EQ(NearerOf(near, far, Point2{0, 1000}).x, near.x);
    EXPECT_EQ(LowerOf(Point2{0, -1}, Point2{5, 2}).x, 0);
    EXPECT_EQ(LowerOf(Point2{0, 2}, Point2{5, 2}).x, 5);
}

TEST(Trace, WritePointAppendsBothCoordinatesAndFlushes) {
    testing::ScratchDir dir;
    MessagesFile messages(dir / "Messages.txt");
    messages.Create();
    messages.Append("C");
    WritePoint(messages, Point2{1.5f, -2.25f}, 6, 2);
    // Flushed but the line is not ended: the file already holds the text.
    EXPECT_EQ(testing::ReadTextFile(dir / "Messages.txt"), "C X  1.50 Y -2.25");
    EXPECT_TRUE(messages.IsOpen());
}

} // namespace
} // namespace linkwright
