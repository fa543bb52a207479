// The indicator diagram (pressure against piston displacement, front end left, rear end right),
// the family of ten overlaid diagrams, and the cut-off caption written on the main window.
#pragma once

#include "state/EventRecord.h"
#include "state/SimulationState.h"

#include <cstdint>
#include <span>
#include <string>

namespace linkwright {

class Canvas;
class Glib1;

inline constexpr const char* IndicatorWindowCaption = "Indicator Diagram";
inline constexpr const char* ImproperEventsCaption =
    "Meaningless indicator diagram: Valve events are improper.";

// The indicator window's drawing unit. Its only state is the palette index of the pressure
// curves: 0 (the pen keeps its colour) but while a family sweep draws its members.
//
// The window calls these from its resize and click handlers with its client size less 3 pixels;
// it skips them while the main window has not been activated for the first time, shows itself,
// and then takes the canvas as its picture.
class Indicplt {
public:
    int CurveColour = 0;

    // Both panels of one diagram on the canvas attached to `plot`: left 10..50 %, right 50..90 %
    // of the width, 25..85 % of the height, x 0..100 % of stroke, y 0..PressureLimit. With
    // `overlay` set the picture is not cleared first, so diagrams can be drawn over each other.
    // Pressures beyond the axis are clipped on working copies; the arrays are not changed.
    void PlotIndicator(Glib1& plot, int width, int height, std::span<const float> piston,
                       std::span<const float> front, std::span<const float> rear, bool overlay, int Nsteps,
                       const EventRecord& events);

    // All members of the family sweep overlaid, member m in palette colour m + 1, with a key right
    // of the diagram naming each member's gear setting (`settings`, one per member); afterwards
    // CurveColour is 0 again, so that a single diagram keeps its own colours.
    void PlotIndicatorFamily(Glib1& plot, int width, int height, std::span<const float> piston,
                             const FamilyBlocks& family, int FamilyCount, int Nsteps,
                             std::span<const float> settings);
};

// The cut-offs the caption gives, in percent of stroke: the front port's and the rear port's.
struct CaptionCutoffs {
    double front = 0;
    double rear = 0;
};
CaptionCutoffs CutoffCaptionFigures(std::span<const float> piston, const EventRecord& events, int Nsteps);

// The one-line cut-off summary of the last analysis: the improper-events text, or the gear setting
// and the front and rear cut-offs in percent of stroke.
std::string CutoffCaptionText(float GearSetting, std::uint8_t EventsImproper, std::span<const float> piston,
                              const EventRecord& events, int Nsteps);

// The caption goes at this pixel of the main window's surface, over the gear picture, and stays
// until that area is repainted.
inline constexpr int CutoffCaptionX = 1;
inline constexpr int CutoffCaptionY = 1;
void DrawCutoffCaption(Canvas& surface, const std::string& text);

} // namespace linkwright
