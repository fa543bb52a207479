// The oval diagram (valve edges against piston displacement over one revolution, the port edges
// dashed) and the events diagram (the piston position of the eight port events against the gear
// setting, over the ten members of the family sweep).
#pragma once

#include "state/EventRecord.h"
#include "state/SimulationState.h"

#include <array>
#include <span>

namespace linkwright {

class Glib1;

// The oval window's caption for each of its two plots.
inline constexpr const char* OvalDiagramCaption = "Oval Diagram";
inline constexpr const char* EventsDiagramCaption = "Events Diagram";

// Both panels on the canvas attached to `plot`, which is cleared first. The outward stroke (steps
// 0..Nsteps div 2) runs in the left panel from 0 to 100 %, the return stroke (the remaining steps,
// one more when Nsteps is odd) in the right panel from 100 back to 0 %, so the two meet at 100 %.
// The window calls it with its client size less 3 pixels, not before the main window's first
// activation, and sets its caption to OvalDiagramCaption.
void DrawOvalDiagram(Glib1& plot, int width, int height, std::span<const float> piston,
                     std::span<const float> valve, const EventRecord& events, int Nsteps);

// The eight events in the diagram's order, with their event-record word and label.
struct EventsDiagramLine {
    int word; // 4..11
    const char* label;
    int colour; // palette index
};
inline constexpr std::array<EventsDiagramLine, 8> EventsDiagramLines = {{
    {5, "   ts-", 2},
    {4, "   ts+", 2},
    {7, "bs-", 3},
    {6, "bs+", 3},
    {9, "   te-", 4},
    {8, "   te+", 4},
    {11, "be-", 5},
    {10, "be+", 5},
}};

// Piston position (percent of stroke from the end's own dead centre) of the event held in word
// 4..11 of `events`, as the events diagram plots it.
float EventPistonPct(std::span<const float> piston, const EventRecord& events, int word, int Nsteps);
// Gear setting of family member k, the height at which the diagram plots it.
float FamilyMemberSetting(const SimulationState& state, int k);
// Members the stored count stands for (FamilyCount kept within 1..10).
int FamilyMembers(const SimulationState& state);

// The events diagram from the family results; the window sets its caption to EventsDiagramCaption.
// `piston` is the piston array left by the sweep's last revolution.
void DrawEventsDiagram(Glib1& plot, int width, int height, std::span<const float> piston,
                       const FamilyBlocks& family, const SimulationState& state);

} // namespace linkwright
