// The indicator, oval and events diagrams on a recording canvas, and the cut-off caption text.
#include "analysis/Indicplt.h"
#include "analysis/Ovalplt.h"
#include "plot/Glib1.h"
#include "tests/analysis/Revolution.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace linkwright {
namespace {

using testing::CanvasCall;
using testing::CanvasCallKind;
using testing::RecordingCanvas;
using Pixel = std::pair<int, int>;

constexpr int Width = 400;
constexpr int Height = 300;

// A panel's mapping worked out by hand: viewport from left% to right% of the width and 25..85 %
// of the height (pixel rows 225 and 45).
struct PanelMap {
    double vpLeft, vpRight, xmin, xmax, ymin, ymax;
    Pixel operator()(double x, double y) const {
        const double sx = (vpRight - vpLeft) / (xmax - xmin);
        const double sy = (45.0 - 225.0) / (ymax - ymin);
        return {static_cast<int>(std::lround((x - xmin) * sx + vpLeft)),
                static_cast<int>(std::lround((y - ymin) * sy + 225.0))};
    }
};

std::vector<Pixel> LineEnds(const RecordingCanvas& canvas) {
    std::vector<Pixel> ends;
    for (const CanvasCall& line : canvas.Lines())
        ends.emplace_back(line.x2, line.y2);
    return ends;
}

// The position of `run` as consecutive line ends, or -1.
int FindRun(const std::vector<Pixel>& ends, const std::vector<Pixel>& run) {
    for (std::size_t i = 0; i + run.size() <= ends.size(); ++i) {
        if (std::equal(run.begin(), run.end(), ends.begin() + static_cast<long>(i)))
            return static_cast<int>(i);
    }
    return -1;
}

// Seven steps (odd), so the left panel has steps 0..3 and the right panel steps 3..7.
testing::Revolution OvalRevolution() {
    testing::Revolution r({0, 20, 60, 100, 80, 40, 10, 0},
                          {0.0f, 0.5f, 0.3f, -0.1f, -0.5f, -0.3f, 0.1f, 0.0f}, true);
    r.events.PortSpacing = 2.0f;   // p = 1
    r.events.PortWidth = 0.5f;     // q = 1.5, window -3..3
    r.events.BobbinSpacing = 2.2f; // b = 1.1
    r.events.BobbinWidth = 0.5f;   // c = 1.6
    return r;
}

TEST(OvalDiagram, TwoPanelsMeetAtFullStrokeAndAnOddStepCountGivesTheRightPanelOneStepMore) {
    testing::Revolution r = OvalRevolution();
    RecordingCanvas canvas(Width, Height);
    Glib1 plot(canvas);
    DrawOvalDiagram(plot, Width, Height, r.piston, r.valve, r.events, r.n);

    const PanelMap left{40, 200, 0, 100, -3, 3};
    const PanelMap right{200, 360, 100, 0, -3, 3};
    const std::vector<Pixel> ends = LineEnds(canvas);
    for (double offset : {1.1, -1.1, 1.6, -1.6}) {
        std::vector<Pixel> outward, back;
        for (int j = 1; j <= 3; ++j)
            outward.push_back(left(r.piston[j], r.valve[j] + offset));
        for (int j = 4; j <= 7; ++j)
            back.push_back(right(r.piston[j], r.valve[j] + offset));
        EXPECT_GE(FindRun(ends, outward), 0) << "outward stroke, edge " << offset;
        EXPECT_GE(FindRun(ends, back), 0) << "return stroke, edge " << offset;
        // Step 3 (100 %) ends the left curve and starts the right one at the same pixel.
        EXPECT_EQ(outward.back(), right(r.piston[3], r.valve[3] + offset));
    }
}

TEST(OvalDiagram, PortEdgesAreDashedAcrossBothPanels) {
    testing::Revolution r = OvalRevolution();
    RecordingCanvas canvas(Width, Height);
    Glib1 plot(canvas);
    DrawOvalDiagram(plot, Width, Height, r.piston, r.valve, r.events, r.n);

    std::vector<CanvasCall> dashed;
    for (const CanvasCall& line : canvas.Lines())
        if (line.penStyle == PenStyle::Dashed) dashed.push_back(line);
    ASSERT_EQ(dashed.size(), 8u);
    const int rows[4] = {105, 165, 90, 180}; // p, -p, q, -q
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dashed[i].y1, rows[i]);
        EXPECT_EQ(dashed[i].y2, rows[i]);
        EXPECT_EQ(std::pair(dashed[i].x1, dashed[i].x2), std::pair(40, 200));
        EXPECT_EQ(dashed[4 + i].y1, rows[i]);
        EXPECT_EQ(std::pair(dashed[4 + i].x1, dashed[4 + i].x2), std::pair(360, 200));
    }
    // The valve edges are solid, and the left panel carries both axis titles.
    EXPECT_GE(canvas.CountLines(0x000000, PenStyle::Solid), 28);
    EXPECT_TRUE(canvas.HasText("% Piston Displacement"));
    EXPECT_TRUE(canvas.HasText("Valve position"));
}

// Ten members swept at -0.1 .. -1; member k's events at steps that make the plotted x easy to read.
struct Family {
    SimulationState state{};
    FamilyBlocks blocks;
    std::array<float, StepArraySize> piston{};
};

Family NegativeFamily() {
    Family f;
    f.state.Nsteps = 10;
    f.state.FamilyCount = 10;
    f.state.FamilyGearFrom = -0.1f;
    f.state.FamilyGearTo = -1.0f;
    for (int i = 0; i <= 10; ++i)
        f.piston[i] = static_cast<float>(i * 10);
    for (int k = 0; k < 10; ++k) {
        EventRecord& e = f.blocks.FamilyEvents[k];
        e.tson = 0;  // x = piston[0] = 0
        e.tsoff = k; // x = 10 k
        e.bson = 10; // x = 100 - 100 = 0
        e.bsoff = k; // x = 100 - 10 k
        e.teon = 5, e.teoff = 6, e.beon = 7, e.beoff = 8;
    }
    return f;
}

TEST(EventsDiagram, NegativeSettingsRunFromMinusPointOneAtTheBottomToMinusOneAtTheTop) {
    Family f = NegativeFamily();
    RecordingCanvas canvas(Width, Height);
    Glib1 plot(canvas);
    DrawEventsDiagram(plot, Width, Height, f.piston, f.blocks, f.state);
    // Viewport 20..95 % of the width, from 20 % of the height up to below the legend and the end
    // labels (three lines and one of 13 pixels, with margins of 3): columns 80..380, rows 240..61.
    ASSERT_EQ(plot.VpTop(), 61);
    auto at = [](double x, double g) {
        return Pixel{static_cast<int>(std::lround(x * 3.0 + 80)),
                     static_cast<int>(std::lround((g + 0.1) * (61.0 - 240.0) / -0.9 + 240))};
    };
    EXPECT_EQ(at(0, -0.1).second, 240);
    EXPECT_EQ(at(0, -1.0).second, 61);

    std::vector<Pixel> cutoffTop, cutoffBottom;
    for (int k = 1; k < 10; ++k) {
        const double g = -0.1 - 0.1 * k;
        cutoffTop.push_back(at(10.0 * k, g));
        cutoffBottom.push_back(at(100.0 - 10.0 * k, g));
    }
    const std::vector<Pixel> ends = LineEnds(canvas);
    EXPECT_GE(FindRun(ends, cutoffTop), 0);
    EXPECT_GE(FindRun(ends, cutoffBottom), 0);
    // Steam on at step 0 plots at the piston position of step 0.
    std::vector<Pixel> admission;
    for (int k = 1; k < 10; ++k)
        admission.push_back(at(0, -0.1 - 0.1 * k));
    EXPECT_GE(FindRun(ends, admission), 0);
}

TEST(EventsDiagram, LegendLabelsAndColoursOfTheEightLines) {
    Family f = NegativeFamily();
    RecordingCanvas canvas(Width, Height);
    Glib1 plot(canvas);
    DrawEventsDiagram(plot, Width, Height, f.piston, f.blocks, f.state);

    const std::vector<std::string> texts = canvas.Texts();
    const std::vector<std::string> legend = {"LEGEND: t = top end,    b = bottom end",
                                             "        s = steam,      e = exhaust",
                                             "        + = port opens, - = port closes"};
    ASSERT_GE(texts.size(), 11u);
    EXPECT_EQ(std::vector<std::string>(texts.end() - 11, texts.end() - 8), legend);
    std::vector<std::string> labels(texts.end() - 8, texts.end());
    std::sort(labels.begin(), labels.end());
    EXPECT_EQ(labels, (std::vector<std::string>{"be+", "be-", "bs+", "bs-", "te+", "te-", "ts+", "ts-"}));
    EXPECT_TRUE(canvas.HasText("Gear"));
    EXPECT_TRUE(canvas.HasText("Piston Displ %"));
    // The legend's lines one under another from the top left, the end labels in a row under them
    // and over the plot, none on another: this family's eight lines end within 40 pixels.
    const CanvasCall* first = canvas.FindText(legend[0]);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::pair(first->x1, first->y1), std::pair(4, 3));
    EXPECT_EQ(canvas.FindText(legend[2])->y1, 3 + 2 * 13);
    std::vector<const CanvasCall*> row;
    for (const std::string& label : labels) {
        const CanvasCall* call = canvas.FindText(label);
        ASSERT_NE(call, nullptr);
        EXPECT_EQ(call->y1, 45) << label;
        row.push_back(call);
    }
    std::sort(row.begin(), row.end(), [](const CanvasCall* a, const CanvasCall* b) { return a->x1 < b->x1; });
    for (std::size_t i = 1; i < row.size(); ++i)
        EXPECT_GE(row[i]->x1, row[i - 1]->x1 + 7 * static_cast<int>(row[i - 1]->text.size())) << row[i]->text;
    EXPECT_GE(45, 3 + 3 * 13);
    EXPECT_GE(plot.VpTop(), 45 + 13);
    // Two polylines of nine segments in each of maroon, olive and navy.
    EXPECT_EQ(canvas.CountLines(0x800000), 18);
    EXPECT_EQ(canvas.CountLines(0x808000), 18);
    EXPECT_EQ(canvas.CountLines(0x000080), 18);
    // A label alone stands centred over its line's end (member 9), in its colour.
    const CanvasCall* cutoff = canvas.FindText("ts-");
    EXPECT_EQ(cutoff->x1, 80 + 270 - 10);
    EXPECT_EQ(cutoff->colour, 0x008000u);
}

TEST(EventsDiagram, FamilyMembersAndSettingsFollowTheStoredRange) {
    SimulationState state{};
    state.FamilyCount = 10;
    state.FamilyGearFrom = 0.1f;
    state.FamilyGearTo = 1.0f;
    EXPECT_FLOAT_EQ(FamilyMemberSetting(state, 0), 0.1f);
    EXPECT_FLOAT_EQ(FamilyMemberSetting(state, 4), 0.5f);
    EXPECT_FLOAT_EQ(FamilyMemberSetting(state, 9), 1.0f);
    // A count from a damaged file is kept within the ten members the blocks hold.
    state.FamilyCount = 1000;
    EXPECT_EQ(FamilyMembers(state), 10);
    state.FamilyCount = 1;
    EXPECT_FLOAT_EQ(FamilyMemberSetting(state, 0), 0.1f);
}

TEST(EventPistonPct, TopEventsFromTheFrontAndBottomEventsFromTheRearDeadCentre) {
    std::array<float, StepArraySize> piston{};
    piston[3] = 30.0f;
    EventRecord e{};
    e.tsoff = 3;
    e.bsoff = 3;
    e.teon = -5; // a record never filled by a search: read as step 0
    EXPECT_FLOAT_EQ(EventPistonPct(piston, e, 5, 10), 30.0f);
    EXPECT_FLOAT_EQ(EventPistonPct(piston, e, 7, 10), 70.0f);
    EXPECT_FLOAT_EQ(EventPistonPct(piston, e, 8, 10), 0.0f);
}

testing::Revolution IndicatorRevolution() {
    testing::Revolution r({0, 25, 75, 100, 75, 25, 0}, std::vector<float>(7, 0.0f), true);
    r.events.PressureLimit = 100.0f;
    r.front = {};
    r.rear = {};
    const float front[7] = {150, 150, 50, -20, 10, 30, 150};
    const float rear[7] = {10, 20, 80, 100, 60, 40, 10};
    for (int i = 0; i < 7; ++i)
        r.front[i] = front[i], r.rear[i] = rear[i];
    return r;
}

TEST(IndicatorDiagram, PressuresBeyondTheAxisAreClippedInThePlotOnlyAndStepZeroAsStored) {
    testing::Revolution r = IndicatorRevolution();
    const auto storedFront = r.front;
    RecordingCanvas canvas(Width, Height);
    Glib1 plot(canvas);
    Indicplt indicator;
    indicator.CurveColour = 6; // red, to tell the curve from the axes
    indicator.PlotIndicator(plot, Width, Height, r.piston, r.front, r.rear, false, r.n, r.events);
    EXPECT_EQ(r.front, storedFront);

    const PanelMap left{40, 200, 0, 100, 0, 100};
    const PanelMap right{200, 360, 0, 100, 0, 100};
    std::vector<Pixel> front, rear;
    const double clipped[7] = {150, 100, 50, 0, 10, 30, 100};
    for (int i = 1; i <= 6; ++i) {
        front.push_back(left(r.piston[i], clipped[i]));
        rear.push_back(right(r.piston[i], r.rear[i]));
    }
    const std::vector<Pixel> ends = LineEnds(canvas);
    EXPECT_GE(FindRun(ends, front), 0);
    EXPECT_GE(FindRun(ends, rear), 0);
    // The first red segment starts at step 0 unclipped (150 is above the window: row 0 after the
    // 16-bit mapping floors it), and is clipped to the viewport when drawn.
    EXPECT_EQ(canvas.CountLines(0xFF0000), 12);
    EXPECT_TRUE(canvas.HasText("% Piston Displacement"));
    EXPECT_TRUE(canvas.HasText("Pressure"));
}

TEST(IndicatorDiagram, TheOverlayFlagKeepsThePicture) {
    testing::Revolution r = IndicatorRevolution();
    RecordingCanvas canvas(Width, Height);
    Glib1 plot(canvas);
    Indicplt indicator;
    indicator.PlotIndicator(plot, Width, Height, r.piston, r.front, r.rear, false, r.n, r.events);
    canvas.Clear();
    indicator.PlotIndicator(plot, Width, Height, r.piston, r.front, r.rear, true, r.n, r.events);
    for (const CanvasCall& call : canvas.OfKind(CanvasCallKind::Rectangle))
        EXPECT_EQ(call.brushStyle, BrushStyle::Clear);
}

TEST(IndicatorDiagram, TheFamilyOverlaysTenMembersInTheirColoursWithAKey) {
    testing::Revolution r = IndicatorRevolution();
    FamilyBlocks family;
    for (int m = 0; m < FamilySize; ++m) {
        family.FamilyEvents[m] = r.events;
        for (int i = 0; i <= r.n; ++i) {
            family.FamilyFrontPressure[m * StepArraySize + i] = 10.0f * static_cast<float>(m);
            family.FamilyRearPressure[m * StepArraySize + i] = 10.0f * static_cast<float>(m);
        }
    }
    RecordingCanvas canvas(Width, Height);
    Glib1 plot(canvas);
    Indicplt indicator;
    std::vector<float> settings;
    for (int m = 1; m <= 10; ++m)
        settings.push_back(0.1f * static_cast<float>(m));
    indicator.PlotIndicatorFamily(plot, Width, Height, r.piston, family, 10, r.n, settings);
    EXPECT_EQ(indicator.CurveColour, 0);
    // The key names each member's setting in the member's colour, one under another.
    const CanvasCall* lowest = canvas.FindText("0.10");
    const CanvasCall* highest = canvas.FindText("1.00");
    ASSERT_NE(lowest, nullptr);
    ASSERT_NE(highest, nullptr);
    EXPECT_EQ(highest->y1 - lowest->y1, 9 * 13);
    EXPECT_EQ(lowest->colour, PaletteColour(1));
    EXPECT_EQ(canvas.FindText("0.50")->colour, PaletteColour(5));
    EXPECT_TRUE(canvas.HasText("Gear"));
    int clearing = 0;
    for (const CanvasCall& call : canvas.OfKind(CanvasCallKind::Rectangle))
        if (call.brushStyle == BrushStyle::Solid) ++clearing;
    // Only the first member clears the picture (its full rectangle before and after the brush).
    EXPECT_LE(clearing, 3);
    // Members 2..5 in green, maroon, olive, navy: six segments in each panel.
    EXPECT_EQ(canvas.CountLines(0x800000), 12);
    EXPECT_EQ(canvas.CountLines(0x000080), 12);
    EXPECT_EQ(canvas.CountLines(0xFF0000), 12); // member 5, palette 6
    // Member 2 (palette 3) draws at pressure 20 in the left panel.
    const PanelMap left{40, 200, 0, 100, 0, 100};
    bool found = false;
    for (const CanvasCall& line : canvas.Lines())
        if (line.colour == 0x800000 && std::pair(line.x2, line.y2) == left(r.piston[3], 20)) found = true;
    EXPECT_TRUE(found);
}

TEST(CutoffCaption, GearSettingAndBothCutOffsOrTheImproperText) {
    testing::Revolution r({0, 14.6f, 50, 85.4f, 100, 85.4f, 50, 14.6f, 0}, std::vector<float>(9, 0.0f), true);
    r.events.tsoff = 1;
    r.events.bsoff = 5;
    EXPECT_EQ(CutoffCaptionText(0.75f, 0, r.piston, r.events, r.n),
              "Gear 0.75    Front Port Cutoff 14.6%     Rear Port Cutoff 14.6%");
    r.events.tsoff = 4;
    r.events.bsoff = 0;
    EXPECT_EQ(CutoffCaptionText(-0.5f, 0, r.piston, r.events, r.n),
              "Gear -0.50    Front Port Cutoff 100.0%     Rear Port Cutoff 100.0%");
    EXPECT_EQ(CutoffCaptionText(-0.5f, 1, r.piston, r.events, r.n),
              "Meaningless indicator diagram: Valve events are improper.");

    RecordingCanvas surface(Width, Height);
    DrawCutoffCaption(surface, "Gear 1.00");
    ASSERT_EQ(surface.Count(CanvasCallKind::Text), 1);
    const CanvasCall* text = surface.FindText("Gear 1.00");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::pair(text->x1, text->y1), std::pair(1, 1));
}

} // namespace
} // namespace linkwright
