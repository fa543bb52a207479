// Placing a pin of a linkage by an intersection. An intersection that fails (no point, or points
// that are not numbers) leaves the pin where the previous position put it, so a gear that cannot
// reach some crank angle is drawn and listed at its last reachable position, never at NaN.
#pragma once

#include "geometry/Geomlib0.h"

namespace linkwright {

// Which of the two points of an intersection a pin takes; p2 wins every tie.
struct NearerRoot {
    Point2 reference;
    Point2 operator()(Point2 p1, Point2 p2) const { return NearerOf(p1, p2, reference); }
};
struct LowerRoot {
    Point2 operator()(Point2 p1, Point2 p2) const { return LowerOf(p1, p2); }
};
struct SmallerXRoot {
    Point2 operator()(Point2 p1, Point2 p2) const { return p1.x < p2.x ? p1 : p2; }
};

// The routines run for every position of a solve; inlined, the solvers keep circles and segments
// in registers. Each answers whether the pin was placed.

// On the circle and the line through `line`, the point `choose` takes of the two.
template <typename Choose>
[[gnu::always_inline]] inline bool PlaceOnCircleLine(Point2& pin, const Circle& circle, const Segment& line,
                                                     Choose choose) {
    Point2 p1;
    Point2 p2;
    int count = 0;
    CircleLine(circle, line, p1, p2, count);
    if (count <= 0 || !Finite(p1) || !Finite(p2)) return false;
    pin = choose(p1, p2);
    return true;
}
// The point nearer `reference`.
[[gnu::always_inline]] inline bool PlaceOnCircleLine(Point2& pin, const Circle& circle, const Segment& line,
                                                     Point2 reference) {
    return PlaceOnCircleLine(pin, circle, line, NearerRoot{reference});
}

// On both circles; p1 and p2 as CircleCircle gives them for this order of the circles.
template <typename Choose>
[[gnu::always_inline]] inline bool PlaceOnCircleCircle(Point2& pin, const Circle& first, const Circle& second,
                                                       Choose choose) {
    Point2 p1;
    Point2 p2;
    int status = 0;
    CircleCircle(first, second, p1, p2, status);
    if (status != 0 || !Finite(p1) || !Finite(p2)) return false;
    pin = choose(p1, p2);
    return true;
}

// Where the lines through the two segments cross.
[[gnu::always_inline]] inline bool PlaceOnLineLine(Point2& pin, const Segment& first, const Segment& second) {
    Point2 crossing = pin;
    int status = 0;
    LineLine(first, second, crossing, status);
    if (status != 0 || !Finite(crossing)) return false;
    pin = crossing;
    return true;
}

} // namespace linkwright
