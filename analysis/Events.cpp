// The valve-event search: port-opening levels from the valving, then eight cyclic crossing searches.
#include "analysis/Events.h"

#include "analysis/Pressures.h"

#include <algorithm>
#include <cmath>

namespace linkwright {

int UsableSteps(int Nsteps, std::size_t arraySize) {
    const int last = arraySize > 1 ? static_cast<int>(arraySize) - 1 : 1;
    return std::clamp(Nsteps, 1, last);
}

namespace {

// One cyclic search. `below` tells whether a step is on the starting side of the level, `beyond`
// whether it has crossed it.
template <typename Below, typename Beyond>
int Crossing(std::span<const float> valve, int Nsteps, std::uint8_t& EventsImproper, Below below,
             Beyond beyond) {
    const int n = UsableSteps(Nsteps, valve.size());
    int j = n + 1;
    for (int k = 0; k <= n; ++k) {
        if (below(valve[k])) {
            j = k;
            break;
        }
    }
    for (int scanned = 1; scanned <= n + 1; ++scanned) {
        ++j;
        if (j > n) j = 0;
        if (beyond(valve[j])) {
            if (scanned <= n) return j;
            break;
        }
    }
    EventsImproper = 1;
    return -1;
}

} // namespace

int RisingCrossing(std::span<const float> valve, int Nsteps, float level, std::uint8_t& EventsImproper) {
    return Crossing(
        valve, Nsteps, EventsImproper, [level](float v) { return v <= level; },
        [level](float v) { return v > level; });
}

int FallingCrossing(std::span<const float> valve, int Nsteps, float level, std::uint8_t& EventsImproper) {
    return Crossing(
        valve, Nsteps, EventsImproper, [level](float v) { return v >= level; },
        [level](float v) { return v < level; });
}

void SetPortOpenings(EventRecord& events) {
    const double h = (static_cast<double>(events.BobbinSpacing) - events.PortSpacing) / 2.0;
    const double g = static_cast<double>(events.BobbinSpacing) / 2.0 + events.BobbinWidth -
                     static_cast<double>(events.PortSpacing) / 2.0 - events.PortWidth;
    const double steam = events.Inside == 1 ? h : g;
    const double exhaust = events.Inside == 1 ? g : h;
    events.TopSteam = static_cast<float>(steam);
    events.BottomSteam = static_cast<float>(-steam);
    events.TopExhaust = static_cast<float>(exhaust);
    events.BottomExhaust = static_cast<float>(-exhaust);
}

bool PortLevelsAreNumbers(const EventRecord& events) {
    return std::isfinite(events.TopSteam) && std::isfinite(events.BottomSteam) &&
           std::isfinite(events.TopExhaust) && std::isfinite(events.BottomExhaust);
}

void FindEventSteps(std::span<const float> valve, EventRecord& events, int Nsteps,
                    std::uint8_t& EventsImproper) {
    EventsImproper = 0;
    SetPortOpenings(events);
    if (!PortLevelsAreNumbers(events)) EventsImproper = 1;

    // With inside admission the front port takes steam as the valve falls below the top steam
    // level; outside admission reverses the direction of every search.
    const bool inside = events.Inside == 1;
    auto fallingIfInside = [&](float level) {
        return inside ? FallingCrossing(valve, Nsteps, level, EventsImproper)
                      : RisingCrossing(valve, Nsteps, level, EventsImproper);
    };
    auto risingIfInside = [&](float level) {
        return inside ? RisingCrossing(valve, Nsteps, level, EventsImproper)
                      : FallingCrossing(valve, Nsteps, level, EventsImproper);
    };
    events.tson = fallingIfInside(events.TopSteam);
    events.tsoff = risingIfInside(events.TopSteam);
    events.bson = risingIfInside(events.BottomSteam);
    events.bsoff = fallingIfInside(events.BottomSteam);
    events.teon = risingIfInside(events.TopExhaust);
    events.teoff = fallingIfInside(events.TopExhaust);
    events.beon = fallingIfInside(events.BottomExhaust);
    events.beoff = risingIfInside(events.BottomExhaust);

    if (EventsImproper == 1) {
        events.tson = events.tsoff = events.bson = events.bsoff = 1;
        events.teon = events.teoff = events.beon = events.beoff = 1;
    }
}

void FindEvents(std::span<const float> piston, std::span<const float> valve, std::span<float> front,
                std::span<float> rear, EventRecord& events, int Nsteps, std::uint8_t& EventsImproper) {
    FindEventSteps(valve, events, Nsteps, EventsImproper);
    ComputePressures(piston, events, Nsteps, front, rear, EventsImproper);
}

} // namespace linkwright
