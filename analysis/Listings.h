// The two text listings of an analysed revolution, appended to the messages file: the summary of
// the eight valve events and the detailed step-by-step listing with interpolated events, and the
// figures both print, for whoever wants them as numbers.
#pragma once

#include "state/EventRecord.h"

#include <span>

namespace linkwright {

class MessagesFile;

// One valve event as the listings give it: the step it was detected on (the first solution step
// after it) with the crank angle, piston and valve positions there (the summary's row), and the
// piston position interpolated between that step and the one before, in percent of the stroke
// from the dead centre the detailed listing counts it from.
struct ListedEvent {
    int step = 0; // within 0 .. Nsteps
    double crankDegrees = 0;
    double pistonPct = 0;
    double valvePos = 0;
    double interpolatedPct = 0;
};

// What the listings say about one cylinder end (the top or front end, the bottom or rear end).
struct ListedEnd {
    ListedEvent admission;       // steam on
    ListedEvent cutoff;          // steam off
    ListedEvent release;         // exhaust on
    ListedEvent compression;     // exhaust off
    double admissionDegrees = 0; // "Admission angles": degrees of wheel rotation with steam on
    double cutoffPct = 0;        // the summary's cut-off: percent of stroke from the dead centre
    double inletOpening = 0;     // the greatest opening to steam, at most the port width
    double exhaustOpening = 0;   // the greatest opening to exhaust, at most the port width
    // Not printed: the end's dead centre (the first step of the least piston position for the front
    // end, of the greatest for the rear) and the port's opening to steam there, negative while the
    // valve still covers it.
    int deadCentreStep = 0;
    double lead = 0;
};

struct ListingFigures {
    ListedEnd front;
    ListedEnd rear;
    double valveMin = 0;
    double valveMean = 0;
    double valveMax = 0;
    double valveTravel = 0;
};

// The figures of the two listings for this revolution and event record.
ListingFigures ComputeListingFigures(const EventRecord& events, std::span<const float> crank,
                                     std::span<const float> piston, std::span<const float> valve, int Nsteps);

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
