// The solved revolution and the family sweep as CSV text: what the command line's analyse and family
// commands write, and what File > Export writes from the desktop program.
#pragma once

#include <string>

namespace linkwright {

class Simulation;

// Per step the crank angle (radians, and degrees to 6 decimals), piston position (percent of
// stroke), valve position and both cylinder-end pressures, every value as its shortest exact
// decimal.
std::string StepsCsv(const Simulation& sim);

// Per family member its gear setting and the piston percent of each of the eight events in
// event-record order, as the events diagram plots them.
std::string EventsCsv(const Simulation& sim);

} // namespace linkwright
