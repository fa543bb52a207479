// The summary and detailed listings, line by line in their fixed layouts.
#include "analysis/Listings.h"

#include "analysis/Events.h"
#include "common/NumberFormat.h"
#include "windows/MessagesFile.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace linkwright {

namespace {

const std::string Stars(49, '*');

double Degrees(float radians) {
    return static_cast<double>(radians) * 180.0 / std::numbers::pi;
}

int Steps(std::span<const float> crank, std::span<const float> piston, std::span<const float> valve,
          int Nsteps) {
    return UsableSteps(Nsteps, std::min({crank.size(), piston.size(), valve.size()}));
}

// An event step as an array index; a record that was never filled may hold anything.
int At(int step, int n) {
    return std::clamp(step, 0, n);
}

} // namespace

double InterpolatedPiston(std::span<const float> piston, std::span<const float> valve, int Nsteps, int k,
                          float level) {
    const int n = UsableSteps(Nsteps, std::min(piston.size(), valve.size()));
    k = At(k, n);
    const int p = k - 1 < 0 ? n : k - 1;
    const double vk = valve[k];
    const double vp = valve[p];
    if (vk == vp) return piston[k];
    return piston[p] + (level - vp) / (vk - vp) * (static_cast<double>(piston[k]) - piston[p]);
}

void WriteSummaryListing(MessagesFile& messages, const EventRecord& events, std::span<const float> crank,
                         std::span<const float> piston, std::span<const float> valve, int Nsteps) {
    const int n = Steps(crank, piston, valve, Nsteps);
    for (int i = 0; i < 3; ++i)
        messages.AppendLine(Stars);
    messages.AppendLine("This is a summary listing from the last time the ");
    messages.AppendLine("valve events were calculated.                    ");
    messages.AppendLine("For more accuracy, use a higher number of solution");
    messages.AppendLine("steps.      ");
    messages.AppendLine("Note that events are detected on the solution step ");
    messages.AppendLine("following the event. For high accuracy, interpolate");
    messages.AppendLine("from the detailed listing below.");
    messages.AppendLine("");
    messages.AppendLine("Valve events :");
    messages.AppendLine("Event     %PistDispl          CrankAngle          ValveDisp");

    auto row = [&](const char* label, int step) {
        const int k = At(step, n);
        messages.AppendLine(std::string(label) + F(piston[k], 8, 1) + std::string(12, ' ') +
                            F(Degrees(crank[k]), 8, 1) + std::string(13, ' ') + F(valve[k], 8, 4));
    };
    messages.AppendLine("Top End");
    row("Steam on   ", events.tson);
    row("Steam off  ", events.tsoff);
    row("Exhaust on ", events.teon);
    row("Exhaust off", events.teoff);
    messages.AppendLine("Bottom End");
    row("Steam on   ", events.bson);
    row("Steam off  ", events.bsoff);
    row("Exhaust on ", events.beon);
    row("Exhaust off", events.beoff);
    messages.AppendLine("");

    auto fold = [](double a) { return a > 180.0 ? 360.0 - a : a; };
    const double top = fold(Degrees(crank[At(events.tsoff, n)])) + fold(Degrees(crank[At(events.tson, n)]));
    const double bottom = std::fabs(Degrees(crank[At(events.bson, n)]) - Degrees(crank[At(events.bsoff, n)]));
    messages.AppendLine("Admission angles, Top " + F(top, 8, 1) + "   Bottom " + F(bottom, 8, 1) +
                        "   degrees of wheel rotation");
    messages.AppendLine("Cutoff          , Top " + F(piston[At(events.tsoff, n)], 8, 1) + "   Bottom " +
                        F(100.0 - piston[At(events.bsoff, n)], 8, 1) + "   % stroke from dead centre");
    messages.AppendLine("(For more accurate interpolated cutoffs, scroll to bottom of this listing.)");
}

void WriteDetailedListing(MessagesFile& messages, const EventRecord& events, std::span<const float> crank,
                          std::span<const float> piston, std::span<const float> valve, int Nsteps) {
    const int n = Steps(crank, piston, valve, Nsteps);
    for (int i = 0; i < 3; ++i)
        messages.AppendLine(Stars);
    messages.AppendLine("This is a detailed listing from the last time the");
    messages.AppendLine("valve events were calculated.                    ");
    messages.AppendLine(Stars);
    messages.AppendLine("Top stm " + F(events.TopSteam, 8, 4) + " Top exh " + F(events.TopExhaust, 8, 4) +
                        " Bot stm " + F(events.BottomSteam, 8, 4) + " Bot exh " +
                        F(events.BottomExhaust, 8, 4));
    messages.AppendLine("Step   Crankangle       %PistDispl        Valvedisp");

    const struct {
        int step;
        const char* text;
    } markers[] = {{events.tson, " top stm on"},   {events.teon, " top exh on"},
                   {events.tsoff, " top stm off"}, {events.teoff, " top exh off"},
                   {events.bson, " bot stm on"},   {events.beon, " bot exh on"},
                   {events.bsoff, " bot stm off"}, {events.beoff, " bot exh off"}};
    double vmin = 2147483648.0;
    double vmax = -2147483648.0;
    for (int i = 0; i <= n; ++i) {
        std::string line = I(i, 4) + "   " + F(Degrees(crank[i]), 8, 1) + std::string(7, ' ') +
                           F(piston[i], 8, 1) + std::string(8, ' ') + F(valve[i], 8, 4);
        for (const auto& marker : markers) {
            if (marker.step == i) line += marker.text;
        }
        messages.AppendLine(line);
        vmin = std::min(vmin, static_cast<double>(valve[i]));
        vmax = std::max(vmax, static_cast<double>(valve[i]));
    }

    messages.AppendLine(Stars);
    messages.AppendLine("The following summary of valve motion is useful  ");
    messages.AppendLine("for setting the valve motion to be symmetrical.  ");
    messages.AppendLine("Valve motion min, mean, max=" + F(vmin, 8, 4) + F((vmin + vmax) / 2.0, 8, 4) +
                        F(vmax, 8, 4));
    messages.AppendLine("Valve travel =  " + F(vmax - vmin, 8, 4));
    messages.AppendLine("The following piston displacements % have been interpolated for accuracy");

    auto at = [&](int k, float level) { return InterpolatedPiston(piston, valve, n, k, level); };
    auto line = [&](const char* label, double value) { messages.AppendLine(label + F(value, 8, 2)); };
    line("Cutoff FP       ", at(events.tsoff, events.TopSteam));
    line("Cutoff BP       ", 100.0 - at(events.bsoff, events.BottomSteam));
    line("Release FP      ", at(events.teon, events.TopExhaust));
    line("Release BP      ", 100.0 - at(events.beon, events.BottomExhaust));
    line("Compression FP  ", 100.0 - at(events.teoff, events.TopExhaust));
    line("Compression BP  ", at(events.beoff, events.BottomExhaust));
    line("Admission FP    ", 100.0 - at(events.tson, events.TopSteam));
    line("Admission BP    ", at(events.bson, events.BottomSteam));

    messages.AppendLine("Following information applies to inside admission only");
    messages.AppendLine("Valve openings to...");
    const double portWidth = events.PortWidth;
    auto opening = [&](const char* label, double value) {
        messages.AppendLine(label + F(std::min(value, portWidth), 8, 4));
    };
    opening("inlet FP        ", events.TopSteam - vmin);
    opening("inlet BP        ", vmax - events.BottomSteam);
    opening("exhaust FP      ", vmax - events.TopExhaust);
    opening("exhaust BP      ", events.BottomExhaust - vmin);
    messages.AppendLine("Valve travel    " + F(vmax - vmin, 8, 4));
}

} // namespace linkwright
