// The two text listings of an analysed revolution, appended to the messages file: the summary of
// the eight valve events and the detailed step-by-step listing with interpolated events.
#pragma once

#include "state/EventRecord.h"

#include <span>

namespace linkwright {

class MessagesFile;

// Piston position where the valve passes `level` between step k and the step before it (step
// Nsteps before step 0). Where the two valve positions are equal there is no crossing to
// interpolate, and the piston position of step k itself is the answer.
double InterpolatedPiston(std::span<const float> piston, std::span<const float> valve, int Nsteps, int k,
                          float level);

void WriteSummaryListing(MessagesFile& messages, const EventRecord& events, std::span<const float> crank,
                         std::span<const float> piston, std::span<const float> valve, int Nsteps);
void WriteDetailedListing(MessagesFile& messages, const EventRecord& events, std::span<const float> crank,
                          std::span<const float> piston, std::span<const float> valve, int Nsteps);

} // namespace linkwright
