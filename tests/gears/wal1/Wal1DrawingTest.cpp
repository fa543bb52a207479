// Walschaerts 1 drawing and the shared valve panel, on a recording canvas: what is drawn in which
// colour, the annotation letters, the backlash band, the piston and the flow marks.
#include "tests/gears/wal1/Wal1Fixture.h"

#include "gears/ValvePanel.h"
#include "plot/Glib1.h"
#include "tests/support/RecordingCanvas.h"

#include <algorithm>

namespace linkwright::testing {
namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kGreen = 0x008000;
constexpr std::uint32_t kRed = 0xFF0000;

class Wal1DrawingTest : public Wal1Test {
protected:
    Wal1DrawingTest() : canvas_(800, 500), plot_(canvas_) { model_.InitialiseGear(); }

    ValvePanel Panel(float valvePos, float linkValvePos, float slack, double pistonFraction) {
        ValvePanel panel;
        panel.valving = model_.CurrentValving();
        panel.ValvePos = valvePos;
        panel.LinkValvePos = linkValvePos;
        panel.Slack = slack;
        panel.PistonFraction = pistonFraction;
        return panel;
    }

    std::vector<CanvasCall> LinesOf(std::uint32_t colour) const {
        std::vector<CanvasCall> lines;
        for (const CanvasCall& c : canvas_.Lines())
            if (c.colour == colour) lines.push_back(c);
        return lines;
    }

    RecordingCanvas canvas_;
    Glib1 plot_;
};

TEST_F(Wal1DrawingTest, MechanismIsDrawnInItsColoursWithItsCircles) {
    model_.DrawGear(plot_, 800, 500, false, 0.7f, 1.0f);
    ASSERT_FALSE(canvas_.OfKind(CanvasCallKind::Resize).empty());
    EXPECT_EQ(canvas_.OfKind(CanvasCallKind::Resize)[0].x2, 800);
    // Thirteen pin circles; the link is an arc of its own.
    EXPECT_EQ(canvas_.CountCircles(), 13);
    int arcs = 0;
    for (const CanvasCall& c : canvas_.OfKind(CanvasCallKind::Arc))
        arcs += !c.IsFullEllipse();
    EXPECT_EQ(arcs, 1);
    // Q and the valve origin as single pixels.
    EXPECT_EQ(canvas_.Count(CanvasCallKind::Pixel), 2);
    // Eccentric rod, connecting rod, link tail, union link, lever, radius rod, valve rod.
    EXPECT_EQ(LinesOf(kGreen).size(), 7u);
    EXPECT_TRUE(LinesOf(kRed).empty()); // no events known yet
    EXPECT_EQ(state_.ValvePanelHalfWidth, 1.25f + 0.188f);
    // The mechanism's window keeps equal scales.
    const PlotMapping mapping = plot_.GetMapping();
    EXPECT_FLOAT_EQ(mapping.ScaleX, -mapping.ScaleY);
    EXPECT_EQ(mapping.OriginX, state_.ViewXMin);
    EXPECT_EQ(mapping.OriginY, state_.ViewYMin);
}

TEST_F(Wal1DrawingTest, AnnotationWritesThePinLettersInOrderAtTheirPins) {
    model_.DrawGear(plot_, 800, 500, false, 0.7f, 1.0f);
    const std::vector<std::string> plain = canvas_.Texts();
    canvas_.Clear();
    model_.DrawGear(plot_, 800, 500, true, 0.7f, 1.0f);
    std::vector<std::string> letters;
    for (const CanvasCall& c : canvas_.OfKind(CanvasCallKind::Text))
        if (c.text.size() == 1 && std::isupper(static_cast<unsigned char>(c.text[0])))
            letters.push_back(c.text);
    EXPECT_EQ(letters,
              (std::vector<std::string>{"G", "C", "A", "E", "D", "U", "T", "L", "R", "V", "X", "B", "P"}));
    EXPECT_EQ(canvas_.Texts().size(), plain.size() + 13);
    const CanvasCall* a = canvas_.FindText("A");
    ASSERT_NE(a, nullptr);
    const PixelPoint at = plot_.WorldToPixel(model_.Points().A.x, model_.Points().A.y);
    EXPECT_EQ(a->x1, at.x);
    EXPECT_EQ(a->y1, at.y);
}

TEST_F(Wal1DrawingTest, BacklashBracketWidensByTheSlackOnEachSide) {
    const auto bracketWidth = [this](float slack) {
        canvas_.Clear();
        DrawValvePanel(plot_, state_, 800, 500, Panel(0.1f, 0.1f, slack, 0.5));
        // The valve outline is seven lines; the bracket's top is the second of the next three.
        const std::vector<CanvasCall> lines = canvas_.Lines();
        return std::abs(lines.at(8).x2 - lines.at(8).x1);
    };
    const int tight = bracketWidth(0.0f);
    const int wide = bracketWidth(0.05f);
    EXPECT_NEAR(wide - tight, 0.1 * plot_.ScaleX(), 2.0);
    // Without slack the bracket spans the valve's outer faces.
    EXPECT_NEAR(tight, 2 * (0.938 / 2 + 0.344) * plot_.ScaleX(), 2.0);
}

TEST_F(Wal1DrawingTest, PistonTravelsBetweenThePortsInnerEdges) {
    const auto pistonX = [this](double fraction) {
        canvas_.Clear();
        DrawValvePanel(plot_, state_, 800, 500, Panel(0, 0, 0, fraction));
        const std::vector<CanvasCall> lines = canvas_.Lines();
        // After valve (7), bracket (3) and port face (2 + 7 + 2) come the two piston strokes.
        return std::make_pair(lines.at(21).x1, lines.at(22).x1);
    };
    const double p = 1.25 / 2, width = 0.188, f = width / 2;
    const auto [frontRight, frontLeft] = pistonX(0.0);
    EXPECT_EQ(frontRight, plot_.WorldToPixel(float(-p + width), -0.5f).x);
    EXPECT_EQ(frontLeft, plot_.WorldToPixel(float(-p), -0.5f).x);
    const auto [backRight, backLeft] = pistonX(1.0);
    EXPECT_EQ(backRight, plot_.WorldToPixel(float(p - 2 * f + width), -0.5f).x);
    EXPECT_EQ(backLeft, plot_.WorldToPixel(float(p - 2 * f), -0.5f).x);
}

TEST_F(Wal1DrawingTest, FlowMarksFollowThePortOpeningsForInsideAdmission) {
    state_.EventsKnown = 1;
    EventRecord& w = state_.Events;
    // Only the top port takes steam: m < w0, and none of the other three openings holds.
    w.TopSteam = 1.0f;
    w.BottomSteam = 1.0f;
    w.TopExhaust = 1.0f;
    w.BottomExhaust = -1.0f;
    DrawValvePanel(plot_, state_, 800, 500, Panel(0, 0, 0, 0.5));
    const std::vector<CanvasCall> red = LinesOf(kRed);
    ASSERT_EQ(red.size(), 4u); // the port chevron and the middle one
    EXPECT_TRUE(LinesOf(kGreen).empty());
    const int centre = plot_.WorldToPixel(0, 0).x;
    const int port = plot_.WorldToPixel(float(-(1.25 / 2 + 0.094)), 0).x;
    EXPECT_EQ(red[0].x2, port); // the downward chevron's tip under the top port
    EXPECT_EQ(red[2].x2, centre);
    EXPECT_EQ(plot_.GetColour(), 1); // each mark restored the outline colour

    // The bottom port exhausts: green under the port at +(p + f) and out at the right end.
    canvas_.Clear();
    w.TopSteam = -1.0f;
    w.BottomExhaust = 1.0f;
    DrawValvePanel(plot_, state_, 800, 500, Panel(0, 0, 0, 0.5));
    EXPECT_TRUE(LinesOf(kRed).empty());
    const std::vector<CanvasCall> green = LinesOf(kGreen);
    ASSERT_EQ(green.size(), 4u);
    EXPECT_GT(green[0].x2, centre);
    EXPECT_GT(green[2].x2, plot_.WorldToPixel(float(1.25 / 2 + 0.188), 0).x - 1);
}

TEST_F(Wal1DrawingTest, FlowMarksForOutsideAdmissionUseTheEndsForSteam) {
    model_.GearRecord.Inside = 0;
    state_.EventsKnown = 1;
    EventRecord& w = state_.Events;
    w.TopSteam = -1.0f;     // m > w0: top steam
    w.BottomSteam = -1.0f;  // m < w1 false
    w.TopExhaust = -1.0f;   // m < w2 false
    w.BottomExhaust = 1.0f; // m > w3 false
    DrawValvePanel(plot_, state_, 800, 500, Panel(0, 0, 0, 0.5));
    const std::vector<CanvasCall> red = LinesOf(kRed);
    ASSERT_EQ(red.size(), 4u);
    const int left = plot_.WorldToPixel(float(-(1.25 / 2 + 0.188)), 0).x;
    EXPECT_EQ(red[2].x2, left); // the inward chevron's tip at the left end of the chest
    EXPECT_TRUE(LinesOf(kGreen).empty());

    // Both exhausts open: green at both ports and (twice) in the middle.
    canvas_.Clear();
    w.TopSteam = 1.0f;
    w.BottomSteam = -1.0f;
    w.TopExhaust = 1.0f;
    w.BottomExhaust = -1.0f;
    DrawValvePanel(plot_, state_, 800, 500, Panel(0, 0, 0, 0.5));
    EXPECT_TRUE(LinesOf(kRed).empty());
    EXPECT_EQ(LinesOf(kGreen).size(), 8u);
}

TEST_F(Wal1DrawingTest, DrawingAnUnreachablePositionStaysOnTheCanvas) {
    model_.DrawGear(plot_, 800, 500, true, 0.2f, 1.0f);
    model_.GearRecord.EX = 0.3f;
    canvas_.Clear();
    model_.DrawGear(plot_, 800, 500, true, 0.2f, 1.0f);
    for (const CanvasCall& c : canvas_.calls) {
        EXPECT_GE(c.x1, -100000);
        EXPECT_LE(c.x1, 100000);
    }
    EXPECT_EQ(canvas_.CountCircles(), 13);
}

} // namespace
} // namespace linkwright::testing
