// Placing pins by intersections: which root each choice takes (p2 on ties), and that an
// intersection that fails or gives no numbers leaves the pin where it was.
#include "gears/PinPlacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace linkwright {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
const Point2 kPrevious{7.0f, -7.0f};

struct Placement {
    const char* name;
    std::function<bool(Point2&)> place;
    bool placed;
    Point2 expected; // when placed
};

void ExpectPlacements(const std::vector<Placement>& placements) {
    for (const Placement& c : placements) {
        SCOPED_TRACE(c.name);
        Point2 pin = kPrevious;
        EXPECT_EQ(c.place(pin), c.placed);
        const Point2 expected = c.placed ? c.expected : kPrevious;
        EXPECT_NEAR(pin.x, expected.x, 1e-6);
        EXPECT_NEAR(pin.y, expected.y, 1e-6);
    }
}

TEST(PinPlacement, OnACircleAndALine) {
    const Circle unit{1.0f, 0.0f, 0.0f};
    const Segment level{-3.0f, 0.0f, 3.0f, 0.0f}; // meets the unit circle at (-1, 0) and (1, 0)
    const float h = std::sqrt(0.75f);
    ExpectPlacements({
        {"nearer the reference",
         [&](Point2& p) {
             return PlaceOnCircleLine(p, unit, level, Point2{-0.9f, 4});
         },
         true,
         {-1, 0}},
        {"equally near: p2",
         [&](Point2& p) {
             return PlaceOnCircleLine(p, unit, level, Point2{0, 4});
         },
         true,
         {1, 0}},
        {"lower root of a steep line",
         [&](Point2& p) {
             return PlaceOnCircleLine(p, unit, Segment{0.5f, -3, 0.5f, 3}, LowerRoot{});
         },
         true,
         {0.5f, -h}},
        {"smaller x",
         [&](Point2& p) { return PlaceOnCircleLine(p, unit, level, SmallerXRoot{}); },
         true,
         {-1, 0}},
        {"a line that misses the circle",
         [&](Point2& p) {
             return PlaceOnCircleLine(p, unit, Segment{-3, 2, 3, 2}, Point2{});
         },
         false,
         {}},
        {"a circle of no number",
         [&](Point2& p) {
             return PlaceOnCircleLine(p, Circle{kNaN, 0, 0}, level, Point2{});
         },
         false,
         {}},
        {"a line through no number",
         [&](Point2& p) {
             return PlaceOnCircleLine(p, unit, Segment{0, 0, kNaN, 1}, Point2{});
         },
         false,
         {}},
    });
}

TEST(PinPlacement, OnTwoCircles) {
    const float h = std::sqrt(0.75f);
    const Circle origin{1.0f, 0.0f, 0.0f};
    const Circle right{1.0f, 1.0f, 0.0f}; // meets `origin` at (0.5, +-h)
    const Circle above{1.0f, 0.0f, 1.0f}; // meets `origin` at (+-h, 0.5): equal heights
    ExpectPlacements({
        {"lower root",
         [&](Point2& p) { return PlaceOnCircleCircle(p, origin, right, LowerRoot{}); },
         true,
         {0.5f, -h}},
        {"lower root with the circles exchanged",
         [&](Point2& p) { return PlaceOnCircleCircle(p, right, origin, LowerRoot{}); },
         true,
         {0.5f, -h}},
        // p2 lies to the right of the line from the first centre to the second.
        {"equal heights: p2",
         [&](Point2& p) { return PlaceOnCircleCircle(p, origin, above, LowerRoot{}); },
         true,
         {h, 0.5f}},
        {"equal heights, circles exchanged: p2",
         [&](Point2& p) { return PlaceOnCircleCircle(p, above, origin, LowerRoot{}); },
         true,
         {-h, 0.5f}},
        {"nearer the reference",
         [&](Point2& p) {
             return PlaceOnCircleCircle(p, origin, right, NearerRoot{Point2{0.5f, 3}});
         },
         true,
         {0.5f, h}},
        {"equal x: p2",
         [&](Point2& p) { return PlaceOnCircleCircle(p, origin, right, SmallerXRoot{}); },
         true,
         {0.5f, -h}},
        {"too far apart",
         [&](Point2& p) {
             return PlaceOnCircleCircle(p, origin, Circle{1, 3, 0}, LowerRoot{});
         },
         false,
         {}},
        {"one inside the other",
         [&](Point2& p) {
             return PlaceOnCircleCircle(p, Circle{3, 0, 0}, Circle{1, 0.5f, 0}, LowerRoot{});
         },
         false,
         {}},
        {"the same centre",
         [&](Point2& p) { return PlaceOnCircleCircle(p, origin, origin, LowerRoot{}); },
         false,
         {}},
        {"a radius of no number",
         [&](Point2& p) {
             return PlaceOnCircleCircle(p, origin, Circle{kNaN, 1, 0}, LowerRoot{});
         },
         false,
         {}},
    });
}

TEST(PinPlacement, WhereTwoLinesCross) {
    const Segment level{0, 1, 10, 1};
    ExpectPlacements({
        {"crossing",
         [&](Point2& p) {
             return PlaceOnLineLine(p, Segment{2, 0, 3, 2}, level);
         },
         true,
         {2.5f, 1}},
        {"parallel",
         [&](Point2& p) {
             return PlaceOnLineLine(p, Segment{0, 3, 1, 3}, level);
         },
         false,
         {}},
        {"through no number",
         [&](Point2& p) {
             return PlaceOnLineLine(p, Segment{kNaN, 0, 3, 2}, level);
         },
         false,
         {}},
    });
}

} // namespace
} // namespace linkwright
