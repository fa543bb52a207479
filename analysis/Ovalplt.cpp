// Drawing of the oval and events diagrams.
#include "analysis/Ovalplt.h"

#include "analysis/Events.h"
#include "analysis/OvalpltParts.h"
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

// One revolution's port and valve edges in one panel: the outward stroke in the left, the return
// stroke in the right.
void OvalPanelCurves(Glib1& plot, const ovalplt::OvalCurves& curves, bool outward) {
    const int n = UsableSteps(curves.Nsteps, std::min(curves.piston.size(), curves.valve.size()));
    const int half = n / 2;
    const EventRecord& events = *curves.events;
    const float p = static_cast<float>(events.PortSpacing / 2.0);
    const float q = ovalplt::PortOuterEdge(events);
    const float b = static_cast<float>(events.BobbinSpacing / 2.0);
    const float c = static_cast<float>(static_cast<double>(b) + events.BobbinWidth);
    if (curves.colour != 0) plot.SetColour(curves.colour);
    PortEdges(plot, p, q);
    if (outward) {
        ValveEdges(plot, curves.piston, curves.valve, b, c, 0, half);
    } else {
        ValveEdges(plot, curves.piston, curves.valve, b, c, half, n);
    }
}

} // namespace

namespace ovalplt {

float PortOuterEdge(const EventRecord& events) {
    const float p = static_cast<float>(events.PortSpacing / 2.0);
    return static_cast<float>(static_cast<double>(p) + events.PortWidth);
}

void DrawOvalPanels(Glib1& plot, int width, int height, float top, float q,
                    std::span<const OvalCurves> curves, int axisColour) {
    plot.InitPlot(width, height, true, 10, 25, 50, top);
    plot.SetWindow(false, 0, -2 * q, 100, 2 * q);
    for (const OvalCurves& design : curves)
        OvalPanelCurves(plot, design, true);
    if (axisColour != 0) plot.SetColour(axisColour);
    plot.Axis(false, "% Piston Displacement");
    plot.Axis(true, "Valve position");

    plot.InitPlot(width, height, false, 50, 25, 90, top);
    plot.SetWindow(false, 100, -2 * q, 0, 2 * q);
    plot.Axis(false, ""); // the numbers under the second half as well
    for (const OvalCurves& design : curves)
        OvalPanelCurves(plot, design, false);
}

} // namespace ovalplt

void DrawOvalDiagram(Glib1& plot, int width, int height, std::span<const float> piston,
                     std::span<const float> valve, const EventRecord& events, int Nsteps) {
    // The diagram sets no colour of its own; black keeps it independent of the previous picture.
    plot.SetColour(1);
    const ovalplt::OvalCurves curves{piston, valve, &events, Nsteps, 0};
    ovalplt::DrawOvalPanels(plot, width, height, 85, ovalplt::PortOuterEdge(events), {&curves, 1}, 0);
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

namespace ovalplt {

EventsLayout LayOutEvents(const Canvas* canvas, int height, int keyRows) {
    EventsLayout layout;
    layout.line = canvas != nullptr ? std::max(1, canvas->TextHeight("LEGEND")) : 13;
    layout.margin = std::max(2, layout.line / 4);
    layout.keyRow = layout.margin + 3 * layout.line + layout.margin;
    layout.labelRow = keyRows > 0 ? layout.keyRow + keyRows * layout.line + layout.margin : layout.keyRow;
    const int plotTop = layout.labelRow + layout.line + layout.margin;
    layout.top =
        std::clamp(100.0f - 100.0f * static_cast<float>(plotTop) / static_cast<float>(std::max(height, 1)),
                   50.0f, 85.0f);
    return layout;
}

void DrawEventsAxes(Glib1& plot, int width, int height, const EventsLayout& layout,
                    const SimulationState& state) {
    plot.SetColour(2);
    plot.InitPlot(width, height, true, 20, 20, 95, layout.top);
    plot.SetWindow(false, 0, state.FamilyGearFrom, 100, state.FamilyGearTo);
    plot.Axis(true, "Gear");
    plot.Axis(false, "Piston Displ %");
}

void DrawEventsLegend(Glib1& plot, Canvas& canvas, const EventsLayout& layout) {
    int legendX = 0;
    int unused = 0;
    plot.PercentToPixel(1, 0, legendX, unused);
    const char* const legend[] = {"LEGEND: t = top end,    b = bottom end",
                                  "        s = steam,      e = exhaust",
                                  "        + = port opens, - = port closes"};
    for (int i = 0; i < 3; ++i)
        canvas.TextOut(legendX, layout.margin + i * layout.line, legend[i]);
}

std::vector<EndLabel> DrawEventLines(Glib1& plot, Canvas& canvas, std::span<const float> piston,
                                     const FamilyBlocks& family, const SimulationState& state, int colour) {
    const int count = FamilyMembers(state);
    std::vector<EndLabel> labels;
    for (const EventsDiagramLine& eventsLine : EventsDiagramLines) {
        const int lineColour = colour != 0 ? colour : eventsLine.colour;
        plot.SetColour(lineColour);
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
        labels.push_back({plot.CurX() - canvas.TextWidth(text) / 2, lineColour, text});
    }
    return labels;
}

void DrawEndLabels(Glib1& plot, Canvas& canvas, std::vector<EndLabel> labels, const EventsLayout& layout) {
    std::stable_sort(labels.begin(), labels.end(),
                     [](const EndLabel& a, const EndLabel& b) { return a.x < b.x; });
    int free = 0;
    for (const EndLabel& label : labels) {
        const int x = std::max(label.x, free);
        plot.SetColour(label.colour);
        canvas.TextOut(x, layout.labelRow, label.text);
        free = x + canvas.TextWidth(label.text) + layout.margin;
    }
}

} // namespace ovalplt

void DrawEventsDiagram(Glib1& plot, int width, int height, std::span<const float> piston,
                       const FamilyBlocks& family, const SimulationState& state) {
    // From the top: the legend's three lines, the row of the lines' end labels, then the plot, so
    // that none of them runs into another whatever the window's height.
    Canvas* canvas = plot.PlotBitmap();
    const ovalplt::EventsLayout layout = ovalplt::LayOutEvents(canvas, height, 0);
    ovalplt::DrawEventsAxes(plot, width, height, layout, state);
    if (canvas == nullptr) return;
    ovalplt::DrawEventsLegend(plot, *canvas, layout);
    ovalplt::DrawEndLabels(plot, *canvas, ovalplt::DrawEventLines(plot, *canvas, piston, family, state, 0),
                           layout);
}

} // namespace linkwright
