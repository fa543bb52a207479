// The valve-event search over one solved revolution: the four port-opening displacements, the
// cyclic crossing searches and FindEvents, which also computes the two cylinder pressure curves.
#pragma once

#include "state/EventRecord.h"

#include <cstdint>
#include <span>

namespace linkwright {

// The last step index the arrays can hold for a requested step count: Nsteps itself in normal use,
// kept within 1..size-1 so that a corrupt count never reads outside the arrays.
int UsableSteps(int Nsteps, std::size_t arraySize);

// First step after the valve displacement has risen above `level`, searching cyclically from the
// first step at or below it. Returns 0 when every step is above the level; when no rise is found
// within Nsteps scanned steps, sets EventsImproper to 1 and returns -1.
int RisingCrossing(std::span<const float> valve, int Nsteps, float level, std::uint8_t& EventsImproper);
// The mirror: the first step after the displacement has fallen below `level`.
int FallingCrossing(std::span<const float> valve, int Nsteps, float level, std::uint8_t& EventsImproper);

// Words 0..3 from the valving words 12..15 and the admission flag (byte 84).
void SetPortOpenings(EventRecord& events);

// Whether the four port-opening levels (words 0..3) are numbers: port edges beyond the largest
// Single make them infinite, and no event can then be found.
bool PortLevelsAreNumbers(const EventRecord& events);
// Fills words 0..11 of `events` and sets EventsImproper (all eight event steps become 1 when a
// search failed, or when the port-opening levels are no numbers).
void FindEventSteps(std::span<const float> valve, EventRecord& events, int Nsteps,
                    std::uint8_t& EventsImproper);
// FindEventSteps, then the pressures of both cylinder ends into `front` and `rear`.
void FindEvents(std::span<const float> piston, std::span<const float> valve, std::span<float> front,
                std::span<float> rear, EventRecord& events, int Nsteps, std::uint8_t& EventsImproper);

} // namespace linkwright
