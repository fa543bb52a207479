// Drawing of the oval and events diagrams.
#include "analysis/Ovalplt.h"

#include "analysis/Events.h"
#include "plot/Canvas.h"
#include "plot/Glib1.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace linkwright {

namespace {

// Port edges as dashed reference lines over the whole stroke.
void PortEdges(Glib1& plot, float p, float q) {
    plot.SetLineStyle(1);
    for (float y : {p, -p, q, -q}) {
        plot.MoveW(0, y);
        plot.LineW(100, y);
    }
    plot.SetLineStyle(0);
}

// The four valve edges (bobbin faces) over steps from..to.
void ValveEdges(Glib1& plot, std::span<const float> piston, std::span<const float> valve, float b, float c,
                int from, int to) {
    for (double offset :
         {static_cast<double>(b), -static_cast<double>(b), static_cast<double>(c), -static_cast<double>(c)}) {
        plot.MoveW(piston[from], static_cast<float>(valve[from] + offset));
        for (int j = from + 1; j <= to; ++j)
            plot.LineW(piston[j], static_cast<float>(valve[j] + offset));
    }
}

} // namespace

void DrawOvalDiagram(Glib1& plot, int width, int height, std::span<const float> piston,
                     std::span<const float> valve, const EventRecord& events, int Nsteps) {
    const int n = UsableSteps(Nsteps, std::min(piston.size(), valve.size()));
    const int half = n / 2;
    const float p = static_cast<float>(events.PortSpacing / 2.0);
    const float q = static_cast<float>(static_cast<double>(p) + events.PortWidth);
    const float b = static_cast<float>(events.BobbinSpacing / 2.0);
    const float c = static_cast<float>(static_cast<double>(b) + events.BobbinWidth);

    // The diagram sets no colour of its own; black keeps it independent of the previous picture.
    plot.SetColour(1);
    plot.InitPlot(width, height, true, 10, 25, 50, 85);
    plot.SetWindow(false, 0, -2 * q, 100, 2 * q);
    PortEdges(plot, p, q);
    ValveEdges(plot, piston, valve, b, c, 0, half);
    plot.Axis(false, "% Piston Displacement");
    plot.Axis(true, "Valve position");

    plot.InitPlot(width, height, false, 50, 25, 90, 85);
    plot.SetWindow(false, 100, -2 * q, 0, 2 * q);
    plot.Axis(false, ""); // the numbers under the second half as well
    PortEdges(plot, p, q);
    ValveEdges(plot, piston, valve, b, c, half, n);
}

float EventPistonPct(std::span<const float> piston, const EventRecord& events, int word, int Nsteps) {
    const int n = UsableSteps(Nsteps, piston.size());
    const std::int32_t steps[8] = {events.tson, events.tsoff, events.bson, events.bsoff,
                                   events.teon, events.teoff, events.beon, events.beoff};
    const int index = std::clamp(word, 4, 11) - 4;
    const float x = piston[std::clamp(static_cast<int>(steps[index]), 0, n)];
    const bool bottomEnd = index == 2 || index == 3 || index == 6 || index == 7;
    return bottomEnd ? static_cast<float>(100.0 - x) : x;
}

int FamilyMembers(const SimulationState& state) {
    return std::clamp(state.FamilyCount, 1, FamilySize);
}

float FamilyMemberSetting(const SimulationState& state, int k) {
    const int count = FamilyMembers(state);
    if (count < 2) return state.FamilyGearFrom;
    const double g0 = state.FamilyGearFrom;
    const double g1 = state.FamilyGearTo;
    return static_cast<float>(g0 + static_cast<double>(k) / (count - 1) * (g1 - g0));
}

void DrawEventsDiagram(Glib1& plot, int width, int height, std::span<const float> piston,
                       const FamilyBlocks& family, const SimulationState& state) {
    const int count = FamilyMembers(state);
    // From the top: the legend's three lines, the row of the lines' end labels, then the plot, so
    // that none of them runs into another whatever the window's height.
    Canvas* canvas = plot.PlotBitmap();
    const int line = canvas != nullptr ? std::max(1, canvas->TextHeight("LEGEND")) : 13;
    const int margin = std::max(2, line / 4);
    const int labelRow = margin + 3 * line + margin;
    const int plotTop = labelRow + line + margin;
    const float top =
        std::clamp(100.0f - 100.0f * static_cast<float>(plotTop) / static_cast<float>(std::max(height, 1)),
                   50.0f, 85.0f);
    plot.SetColour(2);
    plot.InitPlot(width, height, true, 20, 20, 95, top);
    plot.SetWindow(false, 0, state.FamilyGearFrom, 100, state.FamilyGearTo);
    plot.Axis(true, "Gear");
    plot.Axis(false, "Piston Displ %");
    if (canvas == nullptr) return;

    int legendX = 0;
    int unused = 0;
    plot.PercentToPixel(1, 0, legendX, unused);
    const char* const legend[] = {"LEGEND: t = top end,    b = bottom end",
                                  "        s = steam,      e = exhaust",
                                  "        + = port opens, - = port closes"};
    for (int i = 0; i < 3; ++i)
        canvas->TextOut(legendX, margin + i * line, legend[i]);

    struct EndLabel {
        int x;
        int colour;
        std::string text;
    };
    std::vector<EndLabel> labels;
    for (const EventsDiagramLine& eventsLine : EventsDiagramLines) {
        plot.SetColour(eventsLine.colour);
        for (int k = 0; k < count; ++k) {
            const float x = EventPistonPct(piston, family.FamilyEvents[k], eventsLine.word, state.Nsteps);
            const float y = FamilyMemberSetting(state, k);
            if (k == 0) {
                plot.MoveW(x, y);
            } else {
                plot.LineW(x, y);
            }
        }
        std::string text = eventsLine.label;
        text.erase(0, text.find_first_not_of(' '));
        labels.push_back({plot.CurX() - canvas->TextWidth(text) / 2, eventsLine.colour, text});
    }
    // Each line's label over its end, in its colour, moved right as far as it must to stand clear of
    // the one before.
    std::stable_sort(labels.begin(), labels.end(),
                     [](const EndLabel& a, const EndLabel& b) { return a.x < b.x; });
    int free = 0;
    for (const EndLabel& label : labels) {
        const int x = std::max(label.x, free);
        plot.SetColour(label.colour);
        canvas->TextOut(x, labelRow, label.text);
        free = x + canvas->TextWidth(label.text) + margin;
    }
}

} // namespace linkwright
