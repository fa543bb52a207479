// The idealised cylinder pressures of both ends over one revolution: admission at steam-chest
// pressure, adiabatic expansion, exhaust pressure, adiabatic compression.
#pragma once

#include "state/EventRecord.h"

#include <cstdint>
#include <span>

namespace linkwright {

// Fills front[0..Nsteps] and rear[0..Nsteps] from the event steps (words 4..11) and the pressure
// words 17..20. A clearance below 1 % is raised to 1 in the record itself, so that both volume
// measures stay positive. With improper events both arrays stay zero.
void ComputePressures(std::span<const float> piston, EventRecord& events, int Nsteps, std::span<float> front,
                      std::span<float> rear, std::uint8_t EventsImproper);

} // namespace linkwright
