// The four phases of each cylinder end, walked cyclically over the step indices.
#include "analysis/Pressures.h"

#include "analysis/Events.h"

#include <algorithm>
#include <cmath>

namespace linkwright {

namespace {

struct EndEvents {
    int steamOn;
    int steamOff;
    int exhaustOn;
    int exhaustOff;
};

// Walks one end's cycle. `volume(i)` is the cylinder volume measure at step i. Every phase
// boundary belongs to the later phase, since each phase overwrites its first step.
template <typename Volume>
void FillEnd(std::span<float> p, int n, EndEvents e, double ps, double pe, double gamma, Volume volume) {
    auto next = [n](int i) { return i >= n ? 0 : i + 1; };
    auto prev = [n](int i) { return i <= 0 ? n : i - 1; };
    auto adiabatic = [&](int from, int to) {
        const int r = prev(from);
        const double pr = p[r];
        const double vr = volume(r);
        for (int i = from, count = 0; count <= n; i = next(i), ++count) {
            p[i] = static_cast<float>(pr * std::exp(gamma * std::log(vr / volume(i))));
            if (i == to) break;
        }
    };

    // Admission runs from steam on to steam off, the whole cycle when they coincide.
    int i = e.steamOn;
    p[i] = static_cast<float>(ps);
    for (int count = 0; count <= n; ++count) {
        i = next(i);
        p[i] = static_cast<float>(ps);
        if (i == e.steamOff) break;
    }
    adiabatic(e.steamOff, e.exhaustOn);
    for (int j = e.exhaustOn, count = 0; count <= n; j = next(j), ++count) {
        p[j] = static_cast<float>(pe);
        if (j == e.exhaustOff) break;
    }
    adiabatic(e.exhaustOff, e.steamOn);
}

bool InRange(int step, int n) {
    return step >= 0 && step <= n;
}

} // namespace

void ComputePressures(std::span<const float> piston, EventRecord& events, int Nsteps, std::span<float> front,
                      std::span<float> rear, std::uint8_t EventsImproper) {
    if (events.Clearance < 1.0f || std::isnan(events.Clearance)) events.Clearance = 1.0f;
    const int n = UsableSteps(Nsteps, std::min({piston.size(), front.size(), rear.size()}));
    std::fill(front.begin(), front.begin() + n + 1, 0.0f);
    std::fill(rear.begin(), rear.begin() + n + 1, 0.0f);
    if (EventsImproper == 1) return;

    const EndEvents top{events.tson, events.tsoff, events.teon, events.teoff};
    const EndEvents bottom{events.bson, events.bsoff, events.beon, events.beoff};
    for (int step : {top.steamOn, top.steamOff, top.exhaustOn, top.exhaustOff, bottom.steamOn,
                     bottom.steamOff, bottom.exhaustOn, bottom.exhaustOff}) {
        if (!InRange(step, n)) return; // a record not filled by the event search
    }

    const double ps = events.SteamChestPressure;
    const double pe = events.ExhaustPressure;
    const double gamma = events.Gamma;
    const double clearance = events.Clearance;
    FillEnd(front, n, top, ps, pe, gamma, [&](int i) { return static_cast<double>(piston[i]) + clearance; });
    FillEnd(rear, n, bottom, ps, pe, gamma,
            [&](int i) { return 100.0 - static_cast<double>(piston[i]) + clearance; });
}

} // namespace linkwright
