// Viewport, world mapping, aspect correction and the 16-bit clamp of the plot library.
#include "plot/Glib1.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace linkwright {
namespace {

using testing::CanvasCallKind;
using testing::RecordingCanvas;

TEST(Glib1InitPlot, FirstUseSizesTheBitmapAndDrawsRectanglesAndFrame) {
    RecordingCanvas canvas(10, 10);
    canvas.SetPenColour(0xFF0000);
    canvas.Clear();
    Glib1 plot(canvas);
    // 205 x 105 makes the percentages land on halves, which round to even.
    plot.InitPlot(205, 105, true, 10, 10, 90, 95);
    EXPECT_EQ(plot.VpLeft(), 20);   // 20.5
    EXPECT_EQ(plot.VpRight(), 184); // 184.5
    EXPECT_EQ(plot.VpBottom(), 94); // 94.5
    EXPECT_EQ(plot.VpTop(), 5);     // 5.25
    EXPECT_EQ(plot.CurX(), 20);
    EXPECT_EQ(plot.CurY(), 94);
    EXPECT_EQ(plot.GetColour(), 0);
    EXPECT_TRUE(plot.Clipping());

    ASSERT_EQ(canvas.calls.size(), 5u);
    EXPECT_EQ(canvas.calls[0].kind, CanvasCallKind::Resize);
    EXPECT_EQ(canvas.calls[0].x2, 205);
    EXPECT_EQ(canvas.calls[0].y2, 105);
    const auto rects = canvas.OfKind(CanvasCallKind::Rectangle);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(std::tie(rects[0].x1, rects[0].y1, rects[0].x2, rects[0].y2), std::make_tuple(0, 0, 205, 105));
    EXPECT_EQ(std::tie(rects[1].x1, rects[1].y1, rects[1].x2, rects[1].y2), std::make_tuple(0, 0, 205, 105));
    EXPECT_EQ(rects[1].brushStyle, BrushStyle::Solid);
    EXPECT_EQ(std::tie(rects[2].x1, rects[2].y1, rects[2].x2, rects[2].y2), std::make_tuple(20, 94, 184, 5));
    // InitPlot never chooses the pen: the colour of the previous drawing stays.
    EXPECT_EQ(canvas.Count(CanvasCallKind::PenColour), 0);
    for (const auto& r : rects)
        EXPECT_EQ(r.colour, 0xFF0000u);
}

TEST(Glib1InitPlot, SecondPlotOnTheSameBitmapKeepsTheFirst) {
    RecordingCanvas canvas(300, 200);
    Glib1 plot(canvas);
    plot.InitPlot(300, 200, true, 10, 25, 50, 85);
    plot.SetWindow(false, 0, 0, 1, 1);
    plot.MoveW(0.1f, 0.1f);
    plot.LineW(0.9f, 0.9f);
    canvas.Clear();

    plot.InitPlot(300, 200, false, 50, 25, 90, 85);
    EXPECT_EQ(canvas.Count(CanvasCallKind::Resize), 0);
    const auto rects = canvas.OfKind(CanvasCallKind::Rectangle);
    ASSERT_EQ(rects.size(), 2u); // the whole bitmap and the new frame, nothing filled
    for (const auto& r : rects)
        EXPECT_EQ(r.brushStyle, BrushStyle::Clear);
    EXPECT_EQ(plot.VpLeft(), 150);
    EXPECT_EQ(plot.VpRight(), 270);
    EXPECT_EQ(plot.VpBottom(), 150);
    EXPECT_EQ(plot.VpTop(), 30);
}

TEST(Glib1InitPlot, SizeChangeRecreatesTheBitmapAndEmptySizesStayDrawable) {
    RecordingCanvas canvas(100, 100);
    Glib1 plot(canvas);
    plot.InitPlot(100, 100, true, 0, 0, 100, 100);
    EXPECT_EQ(canvas.Count(CanvasCallKind::Resize), 1); // first use, even at the same size
    plot.InitPlot(100, 100, true, 0, 0, 100, 100);
    EXPECT_EQ(canvas.Count(CanvasCallKind::Resize), 1);
    plot.InitPlot(120, 80, true, 0, 0, 100, 100);
    EXPECT_EQ(canvas.Count(CanvasCallKind::Resize), 2);
    EXPECT_EQ(canvas.Width(), 120);
    EXPECT_EQ(canvas.Height(), 80);

    plot.InitPlot(0, -5, true, 10, 10, 90, 90);
    EXPECT_EQ(canvas.Width(), 1);
    EXPECT_EQ(canvas.Height(), 1);
}

// 100 x 100 pixels, viewport the whole bitmap: one pixel per world unit, y up.
class UnitMapping : public ::testing::Test {
protected:
    void SetUp() override {
        plot.InitPlot(100, 100, true, 0, 0, 100, 100);
        plot.SetWindow(false, 0, 0, 100, 100);
        canvas.Clear();
    }
    RecordingCanvas canvas{100, 100};
    Glib1 plot{canvas};
};

TEST_F(UnitMapping, ScalesOriginAndHalvesToEven) {
    const PlotMapping m = plot.GetMapping();
    EXPECT_FLOAT_EQ(m.ScaleX, 1.0f);
    EXPECT_FLOAT_EQ(m.ScaleY, -1.0f);
    EXPECT_EQ(m.OriginX, 0.0f);
    EXPECT_EQ(m.OriginY, 0.0f);
    EXPECT_EQ(m.VpLeft, 0);
    EXPECT_EQ(m.VpBottom, 100);

    EXPECT_EQ(plot.WorldToPixel(2.5f, 0).x, 2);
    EXPECT_EQ(plot.WorldToPixel(3.5f, 0).x, 4);
    EXPECT_EQ(plot.WorldToPixel(0, 2.5f).y, 98);
    EXPECT_EQ(plot.WorldToPixel(0, 3.5f).y, 96);
}

TEST_F(UnitMapping, SixteenBitMappingClampsAtTheEdgesWideMappingDoesNot) {
    const PixelPoint farLeftBelow = plot.WorldToPixel(-500, -500);
    EXPECT_EQ(farLeftBelow.x, 0);
    EXPECT_EQ(farLeftBelow.y, 600); // below the viewport is still a positive row
    const PixelPoint farAbove = plot.WorldToPixel(-1.0e6f, 1.0e6f);
    EXPECT_EQ(farAbove.x, 0);
    EXPECT_EQ(farAbove.y, 0);
    // Far right saturates instead of wrapping round into the picture.
    EXPECT_EQ(plot.WorldToPixel(40000, 50).x, 32767);
    EXPECT_EQ(plot.WorldToPixel(3.0e9f, 50).x, 32767);
    EXPECT_EQ(plot.WorldToPixel(50, -1.0e30f).y, 32767);

    const PixelPointWide wide = plot.WorldToPixelWide(-500, 1000);
    EXPECT_EQ(wide.x, -500);
    EXPECT_EQ(wide.y, -900);
    EXPECT_EQ(plot.WorldToPixelWide(40000, 0).x, 40000);

    plot.MoveW(-500, 50);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].x2, 0); // lands on the bitmap's edge
    EXPECT_EQ(canvas.calls[0].y2, 50);
}

TEST_F(UnitMapping, NonFiniteCoordinatesLandOnAnEdge) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(plot.WorldToPixel(nan, nan).x, 0);
    EXPECT_EQ(plot.WorldToPixel(nan, nan).y, 0);
    EXPECT_EQ(plot.WorldToPixel(inf, -inf).x, 32767);
    EXPECT_EQ(plot.WorldToPixel(inf, -inf).y, 32767);
    EXPECT_EQ(plot.WorldToPixel(-inf, inf).x, 0);
    EXPECT_EQ(plot.WorldToPixelWide(nan, 0).x, 0);
    EXPECT_EQ(plot.WorldToPixelWide(inf, 0).x, std::numeric_limits<std::int32_t>::max());
}

TEST(Glib1SetWindow, MatchesAnIndependentLinearMap) {
    struct Case {
        int width, height;
        float left, bottom, right, top;
        float xmin, ymin, xmax, ymax;
    };
    const Case cases[] = {{640, 480, 10, 10, 90, 95, -3.5f, 2.0f, 17.25f, 9.0f},
                          {1600, 900, 10, 25, 50, 85, 0, 0, 100, 6.5f},
                          {333, 777, 5, 5, 95, 95, 100, -1, 0, 1}, // x runs right to left
                          {800, 600, 20, 20, 95, 85, 0, 1, 100, -1}};
    for (const Case& c : cases) {
        RecordingCanvas canvas(c.width, c.height);
        Glib1 plot(canvas);
        plot.InitPlot(c.width, c.height, true, c.left, c.bottom, c.right, c.top);
        plot.SetWindow(false, c.xmin, c.ymin, c.xmax, c.ymax);
        const double vpLeft = std::nearbyint(c.width * c.left / 100.0);
        const double vpRight = std::nearbyint(c.width * c.right / 100.0);
        const double vpBottom = std::nearbyint(c.height * (100.0 - c.bottom) / 100.0);
        const double vpTop = std::nearbyint(c.height * (100.0 - c.top) / 100.0);
        for (double fx : {0.0, 0.13, 0.5, 0.77, 1.0}) {
            for (double fy : {0.0, 0.31, 0.5, 1.0}) {
                const double x = c.xmin + fx * (c.xmax - c.xmin);
                const double y = c.ymin + fy * (c.ymax - c.ymin);
                const PixelPoint p = plot.WorldToPixel(static_cast<float>(x), static_cast<float>(y));
                EXPECT_NEAR(p.x, vpLeft + fx * (vpRight - vpLeft), 1.0) << x;
                EXPECT_NEAR(p.y, vpBottom + fy * (vpTop - vpBottom), 1.0) << y;
            }
        }
    }
}

TEST(Glib1SetWindow, KeepAspectMakesWorldLengthsEqualOnTheDevice) {
    for (const auto& [ppiX, ppiY] : {std::pair{96, 96}, std::pair{96, 192}, std::pair{300, 72}}) {
        RecordingCanvas canvas(640, 480);
        canvas.SetPixelsPerInch(ppiX, ppiY);
        Glib1 plot(canvas);
        plot.InitPlot(640, 480, true, 10, 10, 90, 95);
        const float xmin = -2, ymin = 1, xmax = 10, ymax = 4;
        plot.SetWindow(true, xmin, ymin, xmax, ymax);

        EXPECT_NEAR(std::fabs(plot.ScaleY()) / std::fabs(plot.ScaleX()), static_cast<double>(ppiY) / ppiX,
                    1e-5);
        // The lower-left corner stays; one axis grows by the factor the other shrinks by.
        EXPECT_EQ(plot.WinXMin(), xmin);
        EXPECT_EQ(plot.WinYMin(), ymin);
        const double growX = (plot.WinXMax() - xmin) / (xmax - xmin);
        const double growY = (plot.WinYMax() - ymin) / (ymax - ymin);
        EXPECT_NEAR(growX * growY, 1.0, 1e-5);
        const PixelPoint corner = plot.WorldToPixel(xmin, ymin);
        EXPECT_EQ(corner.x, plot.VpLeft());
        EXPECT_EQ(corner.y, plot.VpBottom());
        // The corrected window still fills the viewport exactly.
        const PixelPoint far = plot.WorldToPixel(plot.WinXMax(), plot.WinYMax());
        EXPECT_EQ(far.x, plot.VpRight());
        EXPECT_EQ(far.y, plot.VpTop());
        // A unit square in the world is a square in inches.
        const PixelPoint a = plot.WorldToPixel(0, 2);
        const PixelPoint b = plot.WorldToPixel(1, 3);
        EXPECT_NEAR(static_cast<double>(b.x - a.x) / ppiX, static_cast<double>(a.y - b.y) / ppiY,
                    1.0 / ppiX + 1.0 / ppiY);
    }
}

TEST(Glib1SetWindow, DegenerateWindowsNeitherCrashNorCorruptTheMapping) {
    RecordingCanvas canvas(200, 100);
    Glib1 plot(canvas);
    plot.InitPlot(200, 100, true, 10, 10, 90, 90);
    plot.SetWindow(true, 5, 5, 5, 5);
    EXPECT_EQ(plot.WinXMax(), 5.0f);
    EXPECT_EQ(plot.WinYMax(), 5.0f);
    plot.MoveW(5, 5);
    plot.LineW(6, 7);
    plot.CircleW(5, 5, 1);
    plot.Axis(false, "x");
    plot.Axis(true, "y");
    EXPECT_TRUE(canvas.HasText("x"));
    EXPECT_TRUE(canvas.HasText("y"));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    plot.SetWindow(true, nan, 0, 1, nan);
    plot.LineW(0.5f, 0.5f);
    EXPECT_GE(plot.CurX(), 0);
}

TEST(Glib1Percent, PercentOfTheBitmapFromTheBottomEdge) {
    RecordingCanvas canvas(205, 105);
    Glib1 plot(canvas);
    plot.InitPlot(205, 105, true, 0, 0, 100, 100);
    int px = 0, py = 0;
    plot.PercentToPixel(10, 10, px, py);
    EXPECT_EQ(px, 20); // 20.5 to even
    EXPECT_EQ(py, 94); // 94.5 to even
    plot.PercentToPixel(100, 0, px, py);
    EXPECT_EQ(px, 205);
    EXPECT_EQ(py, 105);
    canvas.Clear();
    plot.MoveToPercent(50, 100);
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].kind, CanvasCallKind::MoveTo);
    EXPECT_EQ(canvas.calls[0].x2, 102); // 102.5 to even
    EXPECT_EQ(canvas.calls[0].y2, 0);
    EXPECT_EQ(plot.CurX(), 0); // the library's current point is not the pen
}

} // namespace
} // namespace linkwright
