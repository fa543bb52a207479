// The oval and events diagrams of two (or more) designs overlaid on one set of axes, each design
// in a colour of its own, with a key that names them.
#pragma once

#include "state/EventRecord.h"
#include "state/SimulationState.h"

#include <span>
#include <string>

namespace linkwright {

class Glib1;

inline constexpr const char* OvalComparisonCaption = "Oval Diagrams Compared";
inline constexpr const char* EventsComparisonCaption = "Events Diagrams Compared";

// The palette colours of the first and second design.
inline constexpr int FirstDesignColour = 5;  // navy
inline constexpr int SecondDesignColour = 6; // red

// One design's revolution for the oval diagram.
struct OvalDesign {
    std::string name;
    std::span<const float> piston;
    std::span<const float> valve;
    EventRecord events{};
    int Nsteps = 0;
    int colour = FirstDesignColour;
};

// Both panels of the oval diagram, as DrawOvalDiagram lays them out, scaled to hold every design,
// with each design's valve edges and port edges (dashed) in its colour, and the key above.
void DrawOvalComparison(Glib1& plot, int width, int height, std::span<const OvalDesign> designs);

// One design's family sweep for the events diagram.
struct EventsDesign {
    std::string name;
    std::span<const float> piston; // left by the sweep's last revolution
    const FamilyBlocks* family = nullptr;
    SimulationState state{}; // FamilyGearFrom, FamilyGearTo, FamilyCount, Nsteps
    int colour = FirstDesignColour;
};

// The events diagram with the eight event lines of each design in its colour (the first design's
// lines solid, the others' dashed), the end labels of the first, and the key above.
void DrawEventsComparison(Glib1& plot, int width, int height, std::span<const EventsDesign> designs);

} // namespace linkwright
