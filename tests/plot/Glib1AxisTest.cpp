// Automatic axes: tick spacing, first tick, label texts and positions, the title.
#include "plot/Glib1.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace linkwright {
namespace {

using testing::CanvasCall;
using testing::CanvasCallKind;
using testing::RecordingCanvas;
using Texts = std::vector<std::string>;

// Viewport x 64..576, y 432 (bottom) .. 48 (top); text 7 pixels a character, 13 high, font -11.
class AxisTest : public ::testing::Test {
protected:
    void SetUp() override {
        canvas.SetFontMetrics(7, 13, -11);
        plot.InitPlot(640, 480, true, 10, 10, 90, 90);
        ASSERT_EQ(plot.VpLeft(), 64);
        ASSERT_EQ(plot.VpRight(), 576);
        ASSERT_EQ(plot.VpBottom(), 432);
        ASSERT_EQ(plot.VpTop(), 48);
    }
    Texts XAxis(float lo, float hi) {
        plot.SetWindow(false, lo, 0, hi, 1);
        canvas.Clear();
        plot.Axis(false, "T");
        return canvas.Texts();
    }
    Texts YAxis(float lo, float hi) {
        plot.SetWindow(false, 0, lo, 1, hi);
        canvas.Clear();
        plot.Axis(true, "T");
        return canvas.Texts();
    }

    RecordingCanvas canvas{640, 480};
    Glib1 plot{canvas};
};

TEST_F(AxisTest, ZeroToTenStepsByTwoWithoutLabellingZero) {
    EXPECT_EQ(XAxis(0, 10), (Texts{"2", "4", "6", "8", "10", "T"}));
    const auto lines = canvas.Lines();
    ASSERT_EQ(lines.size(), 5u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double t = 2.0 * static_cast<double>(i + 1);
        const int px = static_cast<int>(std::nearbyint(64 + t * 512 / 10));
        // Upwards from the bottom edge, as long as the font is high.
        EXPECT_EQ(std::make_tuple(lines[i].x1, lines[i].y1, lines[i].x2, lines[i].y2),
                  std::make_tuple(px, 432, px, 421));
        const CanvasCall* label = canvas.FindText(std::to_string(static_cast<int>(t)));
        ASSERT_NE(label, nullptr);
        const int width = 7 * static_cast<int>(label->text.size());
        EXPECT_EQ(label->x1, px - width / 2); // centred under the tick
        EXPECT_EQ(label->y1, 432 + 3);        // a fifth of the text height below the edge
    }
    const CanvasCall* title = canvas.FindText("T");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x1, 320 - 3);
    EXPECT_EQ(title->y1, 432 + 16); // 1.2 text heights below
}

TEST_F(AxisTest, MinusOneToOneStepsByHalvesWithOneDecimal) {
    EXPECT_EQ(YAxis(-1, 1), (Texts{"-1.0", "-0.5", "0.0", "0.5", "1.0", "T"}));
    const int rows[] = {432, 336, 240, 144, 48};
    const auto lines = canvas.Lines();
    ASSERT_EQ(lines.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(std::make_tuple(lines[i].x1, lines[i].y1, lines[i].x2, lines[i].y2),
                  std::make_tuple(64, rows[i], 75, rows[i])); // to the right of the left edge
    }
    const CanvasCall* low = canvas.FindText("-1.0");
    ASSERT_NE(low, nullptr);
    EXPECT_EQ(low->x1, 64 - 31); // right-aligned a tenth of its width (28) left of the axis
    EXPECT_EQ(low->y1, 432 - 6);
    const CanvasCall* title = canvas.FindText("T");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x1, 64 - 31 - 4 - 7); // left of the widest number, a third of a line apart
    EXPECT_EQ(title->y1, 240 - 6);
}

TEST_F(AxisTest, AYTitleTooWideForTheMarginStandsOverTheAxisNotOnItsNumbers) {
    canvas.Clear();
    plot.SetWindow(false, 0, -1, 100, 1);
    plot.Axis(true, "Valve position"); // 98 pixels, where the margin holds 64 - 31 - 4
    const CanvasCall* title = canvas.FindText("Valve position");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x1, 64 - 49);
    EXPECT_EQ(title->y1, 48 - 13 - 4);
    // An empty title writes nothing.
    canvas.Clear();
    plot.Axis(true, "");
    EXPECT_EQ(canvas.FindText(""), nullptr);
}

TEST_F(AxisTest, ZeroToHundredStepsByTwenty) {
    EXPECT_EQ(XAxis(0, 100), (Texts{"20", "40", "60", "80", "100", "T"}));
    EXPECT_EQ(YAxis(0, 100), (Texts{"20", "40", "60", "80", "100", "T"}));
}

TEST_F(AxisTest, ExactPowerOfTenGivesTenIntervalsWithTwoDecimals) {
    // s = 0.1 exactly: L = -1, e = -2, f = 1, so the step is 0.05.
    const Texts expected{"0.05", "0.10", "0.15", "0.20", "0.25", "0.30", "0.35", "0.40", "0.45", "0.50", "T"};
    EXPECT_EQ(XAxis(0, 0.5f), expected);
    EXPECT_EQ(canvas.Count(CanvasCallKind::LineTo), 10);
    EXPECT_EQ(YAxis(0, 0.5f), expected);
}

TEST_F(AxisTest, TicksThatEqualTheEndUpToSingleRoundingAreKept) {
    // 0.7 is no Single; its nearest one lies just below 0.7 and the tick at 0.7 still counts.
    EXPECT_EQ(XAxis(0, 0.7f), (Texts{"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "T"}));
    EXPECT_EQ(XAxis(0.3f, 0.7f),
              (Texts{"0.35", "0.40", "0.45", "0.50", "0.55", "0.60", "0.65", "0.70", "T"}));
}

TEST_F(AxisTest, TicksStayWithinADownwardWindowButAFirstOneNearestZeroMayLieOutside) {
    // Crossing zero: the multiple of 0.5 nearest to -0.9 is -1.0.
    EXPECT_EQ(XAxis(-0.9f, 1), (Texts{"-1.0", "-0.5", "0.0", "0.5", "1.0", "T"}));
    EXPECT_EQ(canvas.Count(CanvasCallKind::LineTo), 4);

    // A window running right to left counts down from the first tick below its start, so no
    // number stands beyond the window (where the next panel's would be).
    EXPECT_EQ(XAxis(100, 0), (Texts{"80", "60", "40", "20", "0", "T"}));
    EXPECT_EQ(canvas.Count(CanvasCallKind::LineTo), 5);
    const CanvasCall* zero = canvas.FindText("0");
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->x1, 576 - 3); // x = 0 sits at the right edge
    EXPECT_EQ(XAxis(-0.1f, -1), (Texts{"-0.2", "-0.4", "-0.6", "-0.8", "-1.0", "T"}));
}

TEST_F(AxisTest, NegativeWindowsAndReversedCrossingWindows) {
    // Not crossing zero: the first tick is the multiple after trunc(lo / step), here -8.
    EXPECT_EQ(XAxis(-10, -2), (Texts{"-8", "-6", "-4", "-2", "T"}));
    // Crossing zero, running downwards: the multiple nearest lo.
    EXPECT_EQ(YAxis(1, -1), (Texts{"1.0", "0.5", "0.0", "-0.5", "-1.0", "T"}));
}

TEST_F(AxisTest, TickLengthFollowsTheFontHeight) {
    canvas.SetFontMetrics(7, 13, -15);
    XAxis(0, 10);
    for (const CanvasCall& line : canvas.Lines())
        EXPECT_EQ(line.y1 - line.y2, 15);
    canvas.SetFontMetrics(7, 13, 9); // a positive height is a length too
    YAxis(0, 10);
    for (const CanvasCall& line : canvas.Lines())
        EXPECT_EQ(line.x2 - line.x1, 9);
}

TEST_F(AxisTest, EmptyOrNonFiniteWindowsDrawOnlyTheTitle) {
    EXPECT_EQ(XAxis(3, 3), Texts{"T"});
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(XAxis(nan, 1), Texts{"T"});
    EXPECT_EQ(YAxis(0, inf), Texts{"T"});
    EXPECT_EQ(canvas.Count(CanvasCallKind::LineTo), 0);
}

TEST_F(AxisTest, HugeAndTinyRangesStayBounded) {
    EXPECT_EQ(XAxis(0, 1.0e30f).size(), 6u);
    const Texts tiny = XAxis(1.0e7f, 1.0e7f + 2);
    EXPECT_GE(tiny.size(), 2u);
    EXPECT_LE(tiny.size(), 7u);
}

} // namespace
} // namespace linkwright
