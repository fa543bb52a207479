// Hand-built revolutions for the analysis tests: step arrays of a few steps with chosen valve and
// piston positions, and the valving of the event record.
#pragma once

#include "state/EventRecord.h"
#include "state/SimulationState.h"

#include <array>
#include <numbers>
#include <vector>

namespace linkwright::testing {

struct Revolution {
    int n = 0;
    std::array<float, StepArraySize> crank{};
    std::array<float, StepArraySize> piston{};
    std::array<float, StepArraySize> valve{};
    std::array<float, StepArraySize> front{};
    std::array<float, StepArraySize> rear{};
    EventRecord events{};
    std::uint8_t improper = 0;

    // Crank angles k / n * 2 pi; valving: ports 2 apart and 0.7 wide, bobbins 2.4 apart and 0.8
    // wide, so the steam level is 0.2 and the exhaust level 0.3 for inside admission.
    Revolution(const std::vector<float>& pistonPct, const std::vector<float>& valvePos, bool inside) {
        n = static_cast<int>(valvePos.size()) - 1;
        for (int k = 0; k <= n; ++k) {
            crank[k] = static_cast<float>(static_cast<double>(k) / n * 2.0 * std::numbers::pi);
            piston[k] = pistonPct[k];
            valve[k] = valvePos[k];
        }
        events.PortSpacing = 2.0f;
        events.PortWidth = 0.7f;
        events.BobbinSpacing = 2.4f;
        events.BobbinWidth = 0.8f;
        events.Inside = inside ? 1 : 0;
        events.SteamChestPressure = 200.0f;
        events.ExhaustPressure = 20.0f;
        events.Gamma = 1.3f;
        events.Clearance = 8.0f;
        events.PressureLimit = 220.0f;
    }

    std::vector<int> Steps() const {
        return {events.tson, events.tsoff, events.bson, events.bsoff,
                events.teon, events.teoff, events.beon, events.beoff};
    }
};

// Example A: inside admission, eight steps, all events proper.
inline Revolution InsideRevolution() {
    return Revolution({0, 14.6f, 50, 85.4f, 100, 85.4f, 50, 14.6f, 0},
                      {0.05f, 0.45f, 0.6f, 0.4f, 0.05f, -0.35f, -0.5f, -0.25f, 0.05f}, true);
}

// Example B: outside admission, six steps, front admission and compression found at step 0, and
// the last step not repeating the first (as backlash can leave it).
inline Revolution OutsideRevolution() {
    return Revolution({0, 25, 75, 100, 75, 25, 4}, {0.5f, 0.6f, 0.1f, -0.5f, -0.6f, -0.1f, 0.1f}, false);
}

// Example C: the valve never rises above the steam level of inside admission: improper events.
inline Revolution ImproperRevolution() {
    return Revolution({0, 25, 75, 100, 75, 25, 0}, {0.1f, 0.1f, 0.15f, 0.1f, 0.05f, 0.0f, 0.1f}, true);
}

} // namespace linkwright::testing
