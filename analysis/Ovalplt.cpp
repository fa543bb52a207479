// Drawing of the oval and events diagrams.
#include "analysis/Ovalplt.h"

#include "analysis/Events.h"
#include "plot/Glib1.h"

#include <algorithm>
#include <cstdint>

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
    plot.SetColour(2);
    plot.InitPlot(width, height, true, 20, 20, 95, 85);
    plot.SetWindow(false, 0, state.FamilyGearFrom, 100, state.FamilyGearTo);
    plot.Axis(true, "Gear");
    plot.Axis(false, "Piston Displ %");

    plot.MoveToPercent(1, 97);
    plot.PlotText("LEGEND: t = top end,    b = bottom end");
    plot.MoveToPercent(1, 93);
    plot.PlotText("        s = steam,      e = exhaust");
    plot.MoveToPercent(1, 89);
    plot.PlotText("        + = port opens, - = port closes");

    for (const EventsDiagramLine& line : EventsDiagramLines) {
        plot.SetColour(line.colour);
        for (int k = 0; k < count; ++k) {
            const float x = EventPistonPct(piston, family.FamilyEvents[k], line.word, state.Nsteps);
            const float y = FamilyMemberSetting(state, k);
            if (k == 0) {
                plot.MoveW(x, y);
            } else {
                plot.LineW(x, y);
            }
        }
        plot.PlotText(line.label);
    }
}

} // namespace linkwright
