// The pieces of the oval and events diagrams (analysis/Ovalplt.cpp) that their comparisons of
// several designs (analysis/Comparison.cpp) draw as well, so that both draw them one way.
#pragma once

#include "state/EventRecord.h"
#include "state/SimulationState.h"

#include <span>
#include <string>
#include <vector>

namespace linkwright {

class Canvas;
class Glib1;

namespace ovalplt {

// One revolution's valve and port edges on the oval diagram, in palette colour `colour` (0 keeps
// the pen's colour).
struct OvalCurves {
    std::span<const float> piston;
    std::span<const float> valve;
    const EventRecord* events = nullptr;
    int Nsteps = 0;
    int colour = 0;
};

// The outer edge of the ports from the middle, p + the port width: the diagram's y window runs
// from -2 q to 2 q.
float PortOuterEdge(const EventRecord& events);

// Both panels, the left one clearing the picture, with their viewports from 25 % of the height up
// to `top` %, the y window -2 q .. 2 q, the curves drawn in order and the axes in `axisColour`
// (0 keeps the pen's colour).
void DrawOvalPanels(Glib1& plot, int width, int height, float top, float q,
                    std::span<const OvalCurves> curves, int axisColour);

// The events diagram from the top down: the legend's three lines, `keyRows` rows of a key, the row
// of the lines' end labels, then the plot, each clear of the next whatever the picture's height.
struct EventsLayout {
    int line = 13; // a text line's height
    int margin = 3;
    int keyRow = 0; // top of the key's first row
    int labelRow = 0;
    float top = 85; // the plot's top, percent of the height from the bottom edge
};
EventsLayout LayOutEvents(const Canvas* canvas, int height, int keyRows);

// The axes of the events diagram for the family's range of settings, the picture cleared first.
void DrawEventsAxes(Glib1& plot, int width, int height, const EventsLayout& layout,
                    const SimulationState& state);
// The legend's three lines at the top left.
void DrawEventsLegend(Glib1& plot, Canvas& canvas, const EventsLayout& layout);

// A line's label over its end.
struct EndLabel {
    int x;
    int colour;
    std::string text;
};
// The eight event lines of a family, each in its own colour (`colour` 0) or all in `colour`, and
// the label of each centred over its end.
std::vector<EndLabel> DrawEventLines(Glib1& plot, Canvas& canvas, std::span<const float> piston,
                                     const FamilyBlocks& family, const SimulationState& state, int colour);
// The labels along the label row, each in its colour, moved right as far as it must to stand clear
// of the one before.
void DrawEndLabels(Glib1& plot, Canvas& canvas, std::vector<EndLabel> labels, const EventsLayout& layout);

} // namespace ovalplt
} // namespace linkwright
