// The oval and events diagrams of several designs overlaid, on a recording canvas.
#include "analysis/Comparison.h"
#include "analysis/Ovalplt.h"
#include "plot/Glib1.h"
#include "tests/analysis/Revolution.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace linkwright {
namespace {

using testing::CanvasCall;
using testing::CanvasCallKind;
using testing::RecordingCanvas;
using Pixel = std::pair<int, int>;

// The recording canvas measures 7 pixels a character and 13 a line.
struct Box {
    int left, top, right, bottom;
    bool Overlaps(const Box& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};
Box TextBox(const CanvasCall& text) {
    return {text.x1, text.y1, text.x1 + 7 * static_cast<int>(text.text.size()), text.y1 + 13};
}

// Seven steps; ports 2 apart and 0.5 wide (q = 1.5), bobbins 2.2 apart and 0.5 wide.
testing::Revolution OvalRevolution(float portWidth) {
    testing::Revolution r({0, 20, 60, 100, 80, 40, 10, 0},
                          {0.0f, 0.5f, 0.3f, -0.1f, -0.5f, -0.3f, 0.1f, 0.0f}, true);
    r.events.PortSpacing = 2.0f;
    r.events.PortWidth = portWidth;
    r.events.BobbinSpacing = 2.2f;
    r.events.BobbinWidth = 0.5f;
    return r;
}

OvalDesign DesignOf(const testing::Revolution& r, std::string name, int colour) {
    return {std::move(name), r.piston, r.valve, r.events, r.n, colour};
}

// The line ends of one colour, in drawing order.
std::vector<Pixel> EndsIn(const RecordingCanvas& canvas, std::uint32_t colour) {
    std::vector<Pixel> ends;
    for (const CanvasCall& line : canvas.Lines())
        if (line.colour == colour) ends.emplace_back(line.x2, line.y2);
    return ends;
}

bool HasRun(const std::vector<Pixel>& ends, const std::vector<Pixel>& run) {
    return std::search(ends.begin(), ends.end(), run.begin(), run.end()) != ends.end();
}

TEST(OvalComparison, OneDesignHasTheOvalDiagramsStrokesInItsColourAndItsNameAbove) {
    const testing::Revolution r = OvalRevolution(0.5f);
    RecordingCanvas single(400, 300), compared(400, 300);
    Glib1 singlePlot(single), comparedPlot(compared);
    DrawOvalDiagram(singlePlot, 400, 300, r.piston, r.valve, r.events, r.n);
    const OvalDesign design = DesignOf(r, "mine.L1", FirstDesignColour);
    DrawOvalComparison(comparedPlot, 400, 300, {&design, 1});

    // The same strokes in the same order, then the key's; the curves in the design's colour, the
    // axes black.
    const std::vector<CanvasCall> expected = single.Lines();
    const std::vector<CanvasCall> lines = compared.Lines();
    ASSERT_EQ(lines.size(), expected.size() + 1);
    const std::uint32_t colour = PaletteColour(FirstDesignColour);
    int curves = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(
            std::tuple(lines[i].x1, lines[i].y1, lines[i].x2, lines[i].y2, lines[i].penStyle),
            std::tuple(expected[i].x1, expected[i].y1, expected[i].x2, expected[i].y2, expected[i].penStyle))
            << i;
        EXPECT_TRUE(lines[i].colour == colour || lines[i].colour == 0x000000u) << i;
        curves += lines[i].colour == colour ? 1 : 0;
    }
    EXPECT_EQ(curves, 2 * 4 + 4 * r.n); // the port edges in each panel, the four valve edges over every step
    EXPECT_EQ(lines.back().colour, colour);

    std::vector<std::string> texts = compared.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "mine.L1");
    texts.pop_back();
    EXPECT_EQ(texts, single.Texts());
    EXPECT_EQ(compared.FindText("mine.L1")->colour, colour);
}

TEST(OvalComparison, EachDesignInItsColourOnAWindowThatHoldsTheLargestPorts) {
    const testing::Revolution small = OvalRevolution(0.5f); // q = 1.5
    const testing::Revolution large = OvalRevolution(1.5f); // q = 2.5: the window is -5 .. 5
    const OvalDesign designs[] = {DesignOf(small, "A", FirstDesignColour),
                                  DesignOf(large, "B", SecondDesignColour)};
    RecordingCanvas canvas(400, 300);
    Glib1 plot(canvas);
    DrawOvalComparison(plot, 400, 300, designs);

    // Viewports 10..50 % and 50..90 % wide, rows 225 (-5) up to 45 (5).
    auto left = [](double x, double y) {
        return Pixel{static_cast<int>(std::lround(40 + x * 1.6)),
                     static_cast<int>(std::lround(135 - y * 18))};
    };
    auto right = [](double x, double y) {
        return Pixel{static_cast<int>(std::lround(360 - x * 1.6)),
                     static_cast<int>(std::lround(135 - y * 18))};
    };
    for (const OvalDesign& design : designs) {
        const std::uint32_t colour = PaletteColour(design.colour);
        const std::vector<Pixel> ends = EndsIn(canvas, colour);
        for (double offset : {1.1, -1.1, 1.6, -1.6}) {
            std::vector<Pixel> outward, back;
            for (int j = 1; j <= 3; ++j)
                outward.push_back(left(design.piston[j], design.valve[j] + offset));
            for (int j = 4; j <= 7; ++j)
                back.push_back(right(design.piston[j], design.valve[j] + offset));
            EXPECT_TRUE(HasRun(ends, outward) && HasRun(ends, back)) << design.name << " " << offset;
        }
        // Its own port edges dashed across both panels: the outer ones at its own q.
        EXPECT_EQ(canvas.CountLines(colour, PenStyle::Dashed), 8) << design.name;
        const int outer = left(0, 1.0 + design.events.PortWidth).second;
        EXPECT_TRUE(std::ranges::any_of(canvas.Lines(), [&](const CanvasCall& line) {
            return line.colour == colour && line.penStyle == PenStyle::Dashed && line.y1 == outer;
        })) << design.name;
        EXPECT_EQ(canvas.FindText(design.name)->colour, colour);
    }
}

// Ten members swept at 0.1 .. 1 with events at steps that depend on the member and on `shift`.
struct Family {
    SimulationState state{};
    FamilyBlocks blocks;
    std::array<float, StepArraySize> piston{};
};

Family SweptFamily(int shift) {
    Family f;
    f.state.Nsteps = 20;
    f.state.FamilyCount = 10;
    f.state.FamilyGearFrom = 0.1f;
    f.state.FamilyGearTo = 1.0f;
    for (int i = 0; i <= 20; ++i)
        f.piston[i] = static_cast<float>(i * 5);
    for (int k = 0; k < 10; ++k) {
        EventRecord& e = f.blocks.FamilyEvents[k];
        e.tson = shift, e.tsoff = k + shift, e.bson = 20 - shift, e.bsoff = 10 + k;
        e.teon = 12 + shift, e.teoff = 2, e.beon = 4 + shift, e.beoff = 14;
    }
    return f;
}

EventsDesign EventsDesignOf(const Family& f, std::string name, int colour) {
    return {std::move(name), f.piston, &f.blocks, f.state, colour};
}

TEST(EventsComparison, FirstDesignSolidWithItsLabelsTheSecondDashedEachInItsColour) {
    const Family first = SweptFamily(0);
    const Family second = SweptFamily(3);
    const EventsDesign designs[] = {EventsDesignOf(first, "A.L1", FirstDesignColour),
                                    EventsDesignOf(second, "B.L1", SecondDesignColour)};
    RecordingCanvas canvas(400, 300);
    Glib1 plot(canvas);
    DrawEventsComparison(plot, 400, 300, designs);

    // Eight polylines of nine segments for each, and one stroke of the key.
    const std::uint32_t a = PaletteColour(FirstDesignColour);
    const std::uint32_t b = PaletteColour(SecondDesignColour);
    EXPECT_EQ(canvas.CountLines(a, PenStyle::Solid), 8 * 9 + 1);
    EXPECT_EQ(canvas.CountLines(a, PenStyle::Dashed), 0);
    EXPECT_EQ(canvas.CountLines(b, PenStyle::Dashed), 8 * 9 + 1);

    // The second design's cut-off line at the top end, where its sweep put it.
    const int vpTop = plot.VpTop();
    std::vector<Pixel> cutoff;
    for (int k = 1; k < 10; ++k)
        cutoff.push_back({static_cast<int>(std::lround(80 + 5.0 * (k + 3) * 3.0)),
                          static_cast<int>(std::lround(240 + 0.1 * k * (vpTop - 240) / 0.9))});
    EXPECT_TRUE(HasRun(EndsIn(canvas, b), cutoff));

    // The first design's eight end labels in its colour on one row, under the key that names both.
    std::vector<std::string> labels;
    for (const CanvasCall& text : canvas.OfKind(CanvasCallKind::Text))
        if (text.y1 == canvas.FindText("ts-")->y1)
            labels.push_back(text.text + (text.colour == a ? "" : "?"));
    std::ranges::sort(labels);
    EXPECT_EQ(labels, (std::vector<std::string>{"be+", "be-", "bs+", "bs-", "te+", "te-", "ts+", "ts-"}));
    for (const auto& [name, colour] : {std::pair{"A.L1", a}, std::pair{"B.L1", b}}) {
        const CanvasCall* key = canvas.FindText(name);
        ASSERT_NE(key, nullptr) << name;
        EXPECT_EQ(key->colour, colour) << name;
        EXPECT_LE(key->y1 + 13, canvas.FindText("ts-")->y1) << name;
    }
}

// Every text and stroke within the picture, no text on the plot, the key's names on no other text.
void ExpectLaidOut(const RecordingCanvas& canvas, const Box& plotArea, int width, int height,
                   const std::vector<std::string>& keyNames) {
    for (const CanvasCall& call : canvas.calls) {
        if (call.kind == CanvasCallKind::LineTo || call.kind == CanvasCallKind::MoveTo) {
            EXPECT_TRUE(call.x2 >= 0 && call.x2 <= width && call.y2 >= 0 && call.y2 <= height) << call;
        } else if (call.kind == CanvasCallKind::Text) {
            const Box box = TextBox(call);
            EXPECT_TRUE(box.left >= 0 && box.right <= width && box.top >= 0 && box.bottom <= height) << call;
            EXPECT_FALSE(box.Overlaps(plotArea)) << call;
        }
    }
    std::vector<CanvasCall> texts = canvas.OfKind(CanvasCallKind::Text);
    int keys = 0;
    for (const CanvasCall& key : texts) {
        bool isKey = false;
        for (const std::string& name : keyNames)
            isKey = isKey || key.text == name ||
                    (key.text.ends_with("...") && name.starts_with(key.text.substr(0, key.text.size() - 3)));
        if (!isKey) continue;
        ++keys;
        for (const CanvasCall& other : texts)
            if (&other != &key) {
                EXPECT_FALSE(TextBox(key).Overlaps(TextBox(other))) << key << " on " << other;
            }
    }
    EXPECT_EQ(keys, static_cast<int>(keyNames.size()));
}

TEST(Comparisons, KeyLabelsAndNumbersStayInThePictureAndOffThePlotAtAnySize) {
    const std::string longName(80, 'x'); // wider than the key's row: shortened
    const struct {
        int width, height;
        std::vector<std::string> names;
    } cases[] = {
        {400, 300, {"first.L1", "second.L1"}},
        {797, 397, {"a rather long name of a design.L1", "another rather long name.L1"}},
        {300, 200, {"first design.L1", "second design.L1"}}, // two rows
        {300, 200, {longName, "b"}},
    };
    const testing::Revolution small = OvalRevolution(0.5f);
    const testing::Revolution large = OvalRevolution(1.5f);
    const Family first = SweptFamily(0);
    const Family second = SweptFamily(3);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " " + c.names[0]);
        {
            const OvalDesign designs[] = {DesignOf(small, c.names[0], FirstDesignColour),
                                          DesignOf(large, c.names[1], SecondDesignColour)};
            RecordingCanvas canvas(c.width, c.height);
            Glib1 plot(canvas);
            DrawOvalComparison(plot, c.width, c.height, designs);
            const Box plotArea{static_cast<int>(std::lround(c.width * 0.1)), plot.VpTop(), plot.VpRight(),
                               plot.VpBottom()};
            ExpectLaidOut(canvas, plotArea, c.width, c.height, c.names);
        }
        {
            const EventsDesign designs[] = {EventsDesignOf(first, c.names[0], FirstDesignColour),
                                            EventsDesignOf(second, c.names[1], SecondDesignColour)};
            RecordingCanvas canvas(c.width, c.height);
            Glib1 plot(canvas);
            DrawEventsComparison(plot, c.width, c.height, designs);
            const Box plotArea{plot.VpLeft(), plot.VpTop(), plot.VpRight(), plot.VpBottom()};
            ExpectLaidOut(canvas, plotArea, c.width, c.height, c.names);
        }
    }
}

} // namespace
} // namespace linkwright
