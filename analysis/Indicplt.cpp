// Drawing of the indicator diagram and the text of the cut-off caption.
#include "analysis/Indicplt.h"

#include "analysis/Events.h"
#include "common/NumberFormat.h"
#include "plot/Canvas.h"
#include "plot/Glib1.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace linkwright {

namespace {

// Left 10..50 % and right 50..90 % of the width, 25..85 % of the height.
void Panel(Glib1& plot, int width, int height, bool opaque, float left, float right, float limit) {
    plot.InitPlot(width, height, opaque, left, 25, right, 85);
    plot.SetWindow(false, 0, 0, 100, limit);
}

void Curve(Glib1& plot, std::span<const float> piston, const std::array<float, StepArraySize>& p, int n) {
    plot.MoveW(piston[0], p[0]);
    for (int i = 1; i <= n; ++i)
        plot.LineW(piston[i], p[i]);
}

} // namespace

void Indicplt::PlotIndicator(Glib1& plot, int width, int height, std::span<const float> piston,
                             std::span<const float> front, std::span<const float> rear, bool overlay,
                             int Nsteps, const EventRecord& events) {
    const int n =
        UsableSteps(Nsteps, std::min({piston.size(), front.size(), rear.size(), std::size_t{StepArraySize}}));
    const float limit = events.PressureLimit;

    Panel(plot, width, height, !overlay, 10, 50, limit);
    plot.SetColour(1);
    plot.Axis(false, "% Piston Displacement");
    plot.Axis(true, "Pressure");

    // Step 0 is drawn as stored; the axis limits apply from step 1 on.
    std::array<float, StepArraySize> f{};
    std::array<float, StepArraySize> r{};
    f[0] = front[0];
    r[0] = rear[0];
    auto clip = [limit](float v) {
        if (v > limit) v = limit;
        if (v < 0) v = 0;
        return v;
    };
    for (int i = 1; i <= n; ++i) {
        f[i] = clip(front[i]);
        r[i] = clip(rear[i]);
    }

    plot.SetColour(CurveColour);
    Curve(plot, piston, f, n);
    plot.SetColour(1);

    Panel(plot, width, height, false, 50, 90, limit);
    plot.Axis(false, ""); // the numbers under the second half as well
    plot.SetColour(CurveColour);
    Curve(plot, piston, r, n);
    plot.SetColour(1);
}

void Indicplt::PlotIndicatorFamily(Glib1& plot, int width, int height, std::span<const float> piston,
                                   const FamilyBlocks& family, int FamilyCount, int Nsteps,
                                   std::span<const float> settings) {
    const int count = std::clamp(FamilyCount, 0, FamilySize);
    const std::span<const float> front(family.FamilyFrontPressure);
    const std::span<const float> rear(family.FamilyRearPressure);
    for (int m = 0; m < count; ++m) {
        CurveColour = m + 1;
        PlotIndicator(plot, width, height, piston, front.subspan(m * StepArraySize, StepArraySize),
                      rear.subspan(m * StepArraySize, StepArraySize), m != 0, Nsteps, family.FamilyEvents[m]);
    }
    // The key right of the diagram: each curve's gear setting in its colour.
    if (Canvas* canvas = plot.PlotBitmap(); canvas != nullptr && count > 0) {
        int x = 0;
        int y = 0;
        plot.PercentToPixel(91, 85, x, y);
        const int line = canvas->TextHeight("Gear");
        plot.SetColour(1);
        canvas->TextOut(x, y, "Gear");
        for (int m = 0; m < count && static_cast<std::size_t>(m) < settings.size(); ++m) {
            plot.SetColour(m + 1);
            canvas->TextOut(x, y + (m + 1) * line, F(settings[static_cast<std::size_t>(m)], 0, 2));
        }
        plot.SetColour(1);
    }
    // A single diagram drawn later has its own colours again.
    CurveColour = 0;
}

CaptionCutoffs CutoffCaptionFigures(std::span<const float> piston, const EventRecord& events, int Nsteps) {
    const int n = UsableSteps(Nsteps, piston.size());
    const double front = piston[std::clamp(static_cast<int>(events.tsoff), 0, n)];
    const double rear = piston[std::clamp(static_cast<int>(events.bsoff), 0, n)];
    return CaptionCutoffs{std::fabs(front), std::fabs(100.0 - rear)};
}

std::string CutoffCaptionText(float GearSetting, std::uint8_t EventsImproper, std::span<const float> piston,
                              const EventRecord& events, int Nsteps) {
    if (EventsImproper == 1) return ImproperEventsCaption;
    const CaptionCutoffs cutoffs = CutoffCaptionFigures(piston, events, Nsteps);
    return "Gear " + F(GearSetting, 4, 2) + "    Front Port Cutoff " + F(cutoffs.front, 3, 1) +
           "%     Rear Port Cutoff " + F(cutoffs.rear, 3, 1) + "%";
}

void DrawCutoffCaption(Canvas& surface, const std::string& text) {
    surface.TextOut(CutoffCaptionX, CutoffCaptionY, text);
}

} // namespace linkwright
