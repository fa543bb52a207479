// Lines with clipping, relative moves, circles, arcs, marks, pixels, text and the pen palette.
#include "plot/Glib1.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace linkwright {
namespace {

using testing::CanvasCall;
using testing::CanvasCallKind;
using testing::RecordingCanvas;

constexpr float kPi = 3.14159265358979f;

// Viewport x 20..180, y 5..90 on a 200 x 100 bitmap; world 0..160 x 0..85, one pixel per unit.
class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        plot.InitPlot(200, 100, true, 10, 10, 90, 95);
        ASSERT_EQ(plot.VpLeft(), 20);
        ASSERT_EQ(plot.VpRight(), 180);
        ASSERT_EQ(plot.VpBottom(), 90);
        ASSERT_EQ(plot.VpTop(), 5);
        plot.SetWindow(false, 0, 0, 160, 85);
        canvas.Clear();
    }
    // The one line drawn since the last Clear.
    CanvasCall OnlyLine() const {
        const auto lines = canvas.Lines();
        EXPECT_EQ(lines.size(), 1u);
        return lines.empty() ? CanvasCall{} : lines[0];
    }
    static auto Ends(const CanvasCall& c) { return std::make_tuple(c.x1, c.y1, c.x2, c.y2); }

    RecordingCanvas canvas{200, 100};
    Glib1 plot{canvas};
};

TEST_F(Drawing, LineInsideRunsFromTheCurrentPoint) {
    plot.MoveW(10, 10);
    plot.LineW(100, 50);
    EXPECT_EQ(Ends(OnlyLine()), std::make_tuple(30, 80, 120, 40));
    EXPECT_EQ(plot.CurX(), 120);
    EXPECT_EQ(plot.CurY(), 40);
}

TEST_F(Drawing, LineOutsideDrawsNothingButMovesTheCurrentPoint) {
    plot.MoveW(10, 100); // above the viewport
    plot.LineW(150, 120);
    EXPECT_EQ(canvas.Count(CanvasCallKind::LineTo), 0);
    EXPECT_EQ(plot.CurX(), 170);
    EXPECT_EQ(plot.CurY(), 0); // 90 - 120 floored at 0

    plot.MoveW(-30, 40); // left of the viewport
    plot.LineRelW(10, 20);
    EXPECT_EQ(canvas.Count(CanvasCallKind::LineTo), 0);
    EXPECT_EQ(plot.CurX(), 10);
    EXPECT_EQ(plot.CurY(), 30);

    // The next line starts from that unclipped end.
    plot.LineW(40, 40); // (10, 30) to (60, 50), clipped at x 20: y 30 + 20/50 * 10
    EXPECT_EQ(Ends(OnlyLine()), std::make_tuple(20, 34, 60, 50));
}

TEST_F(Drawing, ClippingMovesEndsAlongTheLineWithTruncation) {
    plot.ClippedLine(0, 50, 100, 70); // shift 20/100 * 20 = 4
    EXPECT_EQ(Ends(OnlyLine()), std::make_tuple(20, 54, 100, 70));
    EXPECT_EQ(plot.CurX(), 100);
    EXPECT_EQ(plot.CurY(), 70);
    canvas.Clear();

    plot.ClippedLine(0, 50, 30, 40); // -10/30 * 20 = -6.67 truncates toward zero to -6
    EXPECT_EQ(Ends(OnlyLine()), std::make_tuple(20, 44, 30, 40));
    canvas.Clear();

    // Both ends beyond x; the second end moves along the line from the already moved first.
    plot.ClippedLine(0, 0, 200, 100);
    EXPECT_EQ(Ends(OnlyLine()), std::make_tuple(20, 10, 180, 90));
    canvas.Clear();

    // y second: a steep line through the top and bottom edges.
    plot.ClippedLine(50, 0, 70, 100); // x: 50 + 20/100 * 5 = 51, then 51 + 19/95 * 85 = 68
    EXPECT_EQ(Ends(OnlyLine()), std::make_tuple(51, 5, 68, 90));
    EXPECT_EQ(plot.CurX(), 68);
    EXPECT_EQ(plot.CurY(), 90);
}

TEST_F(Drawing, ClippingRejectsLinesThatMissTheViewport) {
    plot.ClippedLine(0, 80, 30, 120);  // passes below the lower-left corner
    plot.ClippedLine(0, 10, 10, 60);   // both ends left of it
    plot.ClippedLine(5, 50, 5, 50);    // a point outside
    plot.ClippedLine(190, 0, 190, 99); // vertical, right of it
    EXPECT_EQ(canvas.Count(CanvasCallKind::LineTo), 0);
    EXPECT_EQ(plot.CurX(), 190);
    EXPECT_EQ(plot.CurY(), 99);
}

TEST_F(Drawing, ClippedShiftIsFlooredAsTheMappingAlwaysHasBeen) {
    // The exact shift at the left edge would be -59972; held at -32767 the first end lands far
    // below and the y clip brings it back at x 99.
    plot.ClippedLine(-100000, 60000, 100, -20);
    EXPECT_EQ(Ends(OnlyLine()), std::make_tuple(99, 90, 99, 5));
}

TEST_F(Drawing, ClippingOffDrawsTheWholeSegment) {
    plot.SetClipping(false);
    plot.ClippedLine(0, 0, 200, 100);
    EXPECT_EQ(Ends(OnlyLine()), std::make_tuple(0, 0, 200, 100));
    canvas.Clear();
    plot.InitPlot(200, 100, true, 10, 10, 90, 95);
    EXPECT_TRUE(plot.Clipping());
}

TEST_F(Drawing, RelativeMovesScaleAndRoundTheOffset) {
    plot.SetWindow(false, 0, 0, 64, 34); // 2.5 pixels per unit
    plot.MoveW(10, 10);
    canvas.Clear();
    plot.MoveRelW(1, 1);                // 2.5 -> 2, -2.5 -> -2
    EXPECT_EQ(canvas.calls.size(), 0u); // the pen stays
    EXPECT_EQ(plot.CurX(), 47);
    EXPECT_EQ(plot.CurY(), 63);
    plot.LineRelW(3, -1); // 7.5 -> 8, 2.5 -> 2
    EXPECT_EQ(Ends(OnlyLine()), std::make_tuple(47, 63, 55, 65));
    EXPECT_EQ(plot.CurX(), 55);
    EXPECT_EQ(plot.CurY(), 65);
}

TEST_F(Drawing, CirclesAndArcsUseTheUnclampedMappingAndAreNotClipped) {
    plot.CircleW(80, 40, 10);
    ASSERT_EQ(canvas.CountCircles(), 1);
    const CanvasCall circle = canvas.OfKind(CanvasCallKind::Arc)[0];
    EXPECT_EQ(Ends(circle), std::make_tuple(90, 40, 110, 60));

    canvas.Clear();
    plot.CircleW(-30, 100, 5); // wholly outside: still drawn, at negative pixels
    ASSERT_EQ(canvas.CountCircles(), 1);
    EXPECT_EQ(Ends(canvas.OfKind(CanvasCallKind::Arc)[0]), std::make_tuple(-15, -15, -5, -5));

    canvas.Clear();
    // Counter-clockwise in the world from a1 = 0 to a2 = pi/2: the device's arc runs from the
    // right-hand point of the circle to its top.
    plot.ArcW(80, 40, 10, 0, kPi / 2);
    ASSERT_EQ(canvas.Count(CanvasCallKind::Arc), 1);
    const CanvasCall arc = canvas.OfKind(CanvasCallKind::Arc)[0];
    EXPECT_FALSE(arc.IsFullEllipse());
    EXPECT_EQ(Ends(arc), std::make_tuple(90, 40, 110, 60));
    EXPECT_EQ(std::make_tuple(arc.x3, arc.y3), std::make_tuple(110, 50)); // right-hand point
    EXPECT_EQ(std::make_tuple(arc.x4, arc.y4), std::make_tuple(100, 40)); // top of the circle
}

TEST_F(Drawing, CrossAndPixelMarks) {
    canvas.SetPenColour(0xFF0000);
    plot.CrossW(80, 40, 3);
    const auto lines = canvas.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Ends(lines[0]), std::make_tuple(97, 47, 103, 53));
    EXPECT_EQ(Ends(lines[1]), std::make_tuple(97, 53, 103, 47));

    plot.PixelW(10, 20);
    const auto pixels = canvas.OfKind(CanvasCallKind::Pixel);
    ASSERT_EQ(pixels.size(), 1u);
    EXPECT_EQ(std::make_tuple(pixels[0].x1, pixels[0].y1), std::make_tuple(30, 70));
    EXPECT_EQ(pixels[0].colour, 0x000000u); // black whatever the pen
}

TEST_F(Drawing, TextGoesToTheCanvasPenNotTheCurrentPoint) {
    plot.MoveW(40, 40);
    plot.PlotText("A");
    const CanvasCall* a = canvas.FindText("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(std::make_tuple(a->x1, a->y1), std::make_tuple(60, 50));

    // A clipped line leaves the pen at the clipped end while the current point runs on.
    plot.LineW(200, 40);
    plot.PlotText("B");
    const CanvasCall* b = canvas.FindText("B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(std::make_tuple(b->x1, b->y1), std::make_tuple(180, 50));
    EXPECT_EQ(plot.CurX(), 220);
}

TEST_F(Drawing, PaletteIndicesWrapModuloNine) {
    const std::uint32_t expected[9] = {0,        0x000000, 0x008000, 0x800000, 0x808000,
                                       0x000080, 0xFF0000, 0x808080, 0x00FF00};
    for (int i = 1; i <= 8; ++i) {
        plot.SetColour(i);
        EXPECT_EQ(canvas.PenColour(), expected[i]) << i;
        EXPECT_EQ(plot.GetColour(), i);
    }
    plot.SetColour(6);
    canvas.Clear();
    plot.SetColour(9); // 0: the pen keeps red
    EXPECT_EQ(canvas.Count(CanvasCallKind::PenColour), 0);
    EXPECT_EQ(canvas.PenColour(), 0xFF0000u);
    EXPECT_EQ(plot.GetColour(), 0);
    plot.SetColour(10); // 1: black
    EXPECT_EQ(canvas.PenColour(), 0x000000u);
    EXPECT_EQ(plot.GetColour(), 1);
    plot.SetColour(-3); // a negative index still picks a palette entry
    EXPECT_EQ(plot.GetColour(), 6);
    EXPECT_EQ(canvas.PenColour(), 0xFF0000u);

    plot.InitPlot(200, 100, true, 10, 10, 90, 95);
    EXPECT_EQ(plot.GetColour(), 0);
    EXPECT_EQ(canvas.PenColour(), 0xFF0000u);
}

TEST_F(Drawing, LineStyleTakesOnlyZeroAndOne) {
    plot.SetLineStyle(1);
    plot.MoveW(10, 10);
    plot.LineW(20, 20);
    plot.SetLineStyle(2);
    plot.LineW(30, 10);
    plot.SetLineStyle(0);
    plot.LineW(40, 20);
    EXPECT_EQ(canvas.CountLines(0x000000, PenStyle::Dashed), 2);
    EXPECT_EQ(canvas.CountLines(0x000000, PenStyle::Solid), 1);
}

TEST_F(Drawing, NonFiniteDataNeverReachesTheDeviceAsGarbage) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    plot.MoveW(nan, inf);
    plot.LineW(inf, -inf);
    plot.LineW(40, nan);
    plot.MoveRelW(nan, 1);
    plot.LineRelW(inf, 1);
    plot.CircleW(nan, 0, 1);
    plot.CircleW(0, 0, inf);
    plot.CircleW(0, 0, 3.0e38f); // finite, but no device can draw it
    plot.ArcW(10, 10, 5, nan, 1);
    plot.CrossW(inf, 0, 1);
    plot.PixelW(nan, nan);
    EXPECT_EQ(canvas.Count(CanvasCallKind::Arc), 0);
    EXPECT_EQ(canvas.Count(CanvasCallKind::Pixel), 0);
    for (const CanvasCall& c : canvas.calls) {
        for (int v : {c.x1, c.y1, c.x2, c.y2}) {
            EXPECT_GE(v, -32768) << c;
            EXPECT_LE(v, 32767) << c;
        }
    }
    // Whatever reached the device lies inside the viewport.
    for (const CanvasCall& c : canvas.Lines()) {
        EXPECT_GE(std::min(c.x1, c.x2), 20) << c;
        EXPECT_LE(std::max(c.x1, c.x2), 180) << c;
    }
}

TEST(Glib1WithoutCanvas, KeepsItsStateAndDrawsNothing) {
    Glib1 plot;
    plot.InitPlot(200, 100, true, 10, 10, 90, 95);
    plot.SetWindow(true, 0, 0, 10, 10);
    plot.MoveW(5, 5);
    plot.LineW(6, 6);
    plot.Axis(false, "x");
    EXPECT_EQ(plot.VpLeft(), 20);
    EXPECT_EQ(plot.CurX(), plot.WorldToPixel(6, 6).x);
    EXPECT_EQ(plot.PlotBitmap(), nullptr);
}

} // namespace
} // namespace linkwright
