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

namespace {

ListedEvent EventAt(std::span<const float> crank, std::span<const float> piston, std::span<const float> valve,
                    int n, int step) {
    ListedEvent event;
    event.step = At(step, n);
    event.crankDegrees = Degrees(crank[event.step]);
    event.pistonPct = piston[event.step];
    event.valvePos = valve[event.step];
    return event;
}

// The first step of the least (front) or greatest (rear) piston position.
int DeadCentre(std::span<const float> piston, int n, bool front) {
    int at = 0;
    for (int i = 1; i <= n; ++i)
        if (front ? piston[i] < piston[at] : piston[i] > piston[at]) at = i;
    return at;
}

} // namespace

ListingFigures ComputeListingFigures(const EventRecord& events, std::span<const float> crank,
                                     std::span<const float> piston, std::span<const float> valve,
                                     int Nsteps) {
    const int n = Steps(crank, piston, valve, Nsteps);
    ListingFigures figures;
    ListedEnd& front = figures.front;
    ListedEnd& rear = figures.rear;
    const auto event = [&](int step) { return EventAt(crank, piston, valve, n, step); };
    front.admission = event(events.tson);
    front.cutoff = event(events.tsoff);
    front.release = event(events.teon);
    front.compression = event(events.teoff);
    rear.admission = event(events.bson);
    rear.cutoff = event(events.bsoff);
    rear.release = event(events.beon);
    rear.compression = event(events.beoff);

    auto fold = [](double a) { return a > 180.0 ? 360.0 - a : a; };
    front.admissionDegrees = fold(front.cutoff.crankDegrees) + fold(front.admission.crankDegrees);
    rear.admissionDegrees = std::fabs(rear.admission.crankDegrees - rear.cutoff.crankDegrees);
    front.cutoffPct = front.cutoff.pistonPct;
    rear.cutoffPct = 100.0 - rear.cutoff.pistonPct;

    double vmin = 2147483648.0;
    double vmax = -2147483648.0;
    for (int i = 0; i <= n; ++i) {
        vmin = std::min(vmin, static_cast<double>(valve[i]));
        vmax = std::max(vmax, static_cast<double>(valve[i]));
    }
    figures.valveMin = vmin;
    figures.valveMax = vmax;
    figures.valveMean = (vmin + vmax) / 2.0;
    figures.valveTravel = vmax - vmin;

    auto at = [&](int k, float level) { return InterpolatedPiston(piston, valve, n, k, level); };
    front.cutoff.interpolatedPct = at(events.tsoff, events.TopSteam);
    rear.cutoff.interpolatedPct = 100.0 - at(events.bsoff, events.BottomSteam);
    front.release.interpolatedPct = at(events.teon, events.TopExhaust);
    rear.release.interpolatedPct = 100.0 - at(events.beon, events.BottomExhaust);
    front.compression.interpolatedPct = 100.0 - at(events.teoff, events.TopExhaust);
    rear.compression.interpolatedPct = at(events.beoff, events.BottomExhaust);
    front.admission.interpolatedPct = 100.0 - at(events.tson, events.TopSteam);
    rear.admission.interpolatedPct = at(events.bson, events.BottomSteam);

    const double portWidth = events.PortWidth;
    front.inletOpening = std::min(events.TopSteam - vmin, portWidth);
    rear.inletOpening = std::min(vmax - events.BottomSteam, portWidth);
    front.exhaustOpening = std::min(vmax - events.TopExhaust, portWidth);
    rear.exhaustOpening = std::min(events.BottomExhaust - vmin, portWidth);

    // The front port takes steam below its level with inside admission, above it with outside; the
    // rear port the other way round.
    const bool inside = events.Inside == 1;
    front.deadCentreStep = DeadCentre(piston, n, true);
    rear.deadCentreStep = DeadCentre(piston, n, false);
    const double frontValve = valve[front.deadCentreStep];
    const double rearValve = valve[rear.deadCentreStep];
    front.lead = inside ? events.TopSteam - frontValve : frontValve - events.TopSteam;
    rear.lead = inside ? rearValve - events.BottomSteam : events.BottomSteam - rearValve;
    return figures;
}

void WriteSummaryListing(MessagesFile& messages, const EventRecord& events, std::span<const float> crank,
                         std::span<const float> piston, std::span<const float> valve, int Nsteps) {
    const ListingFigures figures = ComputeListingFigures(events, crank, piston, valve, Nsteps);
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

    auto row = [&](const char* label, const ListedEvent& event) {
        messages.AppendLine(std::string(label) + F(event.pistonPct, 8, 1) + std::string(12, ' ') +
                            F(event.crankDegrees, 8, 1) + std::string(13, ' ') + F(event.valvePos, 8, 4));
    };
    const auto end = [&](const char* name, const ListedEnd& listed) {
        messages.AppendLine(name);
        row("Steam on   ", listed.admission);
        row("Steam off  ", listed.cutoff);
        row("Exhaust on ", listed.release);
        row("Exhaust off", listed.compression);
    };
    end("Top End", figures.front);
    end("Bottom End", figures.rear);
    messages.AppendLine("");

    messages.AppendLine("Admission angles, Top " + F(figures.front.admissionDegrees, 8, 1) + "   Bottom " +
                        F(figures.rear.admissionDegrees, 8, 1) + "   degrees of wheel rotation");
    messages.AppendLine("Cutoff          , Top " + F(figures.front.cutoffPct, 8, 1) + "   Bottom " +
                        F(figures.rear.cutoffPct, 8, 1) + "   % stroke from dead centre");
    messages.AppendLine("(For more accurate interpolated cutoffs, scroll to bottom of this listing.)");
}

void WriteDetailedListing(MessagesFile& messages, const EventRecord& events, std::span<const float> crank,
                          std::span<const float> piston, std::span<const float> valve, int Nsteps) {
    const int n = Steps(crank, piston, valve, Nsteps);
    const ListingFigures figures = ComputeListingFigures(events, crank, piston, valve, Nsteps);
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
    for (int i = 0; i <= n; ++i) {
        std::string line = I(i, 4) + "   " + F(Degrees(crank[i]), 8, 1) + std::string(7, ' ') +
                           F(piston[i], 8, 1) + std::string(8, ' ') + F(valve[i], 8, 4);
        for (const auto& marker : markers) {
            if (marker.step == i) line += marker.text;
        }
        messages.AppendLine(line);
    }

    messages.AppendLine(Stars);
    messages.AppendLine("The following summary of valve motion is useful  ");
    messages.AppendLine("for setting the valve motion to be symmetrical.  ");
    messages.AppendLine("Valve motion min, mean, max=" + F(figures.valveMin, 8, 4) +
                        F(figures.valveMean, 8, 4) + F(figures.valveMax, 8, 4));
    messages.AppendLine("Valve travel =  " + F(figures.valveTravel, 8, 4));
    messages.AppendLine("The following piston displacements % have been interpolated for accuracy");

    const ListedEnd& front = figures.front;
    const ListedEnd& rear = figures.rear;
    auto line = [&](const char* label, double value) { messages.AppendLine(label + F(value, 8, 2)); };
    line("Cutoff FP       ", front.cutoff.interpolatedPct);
    line("Cutoff BP       ", rear.cutoff.interpolatedPct);
    line("Release FP      ", front.release.interpolatedPct);
    line("Release BP      ", rear.release.interpolatedPct);
    line("Compression FP  ", front.compression.interpolatedPct);
    line("Compression BP  ", rear.compression.interpolatedPct);
    line("Admission FP    ", front.admission.interpolatedPct);
    line("Admission BP    ", rear.admission.interpolatedPct);

    messages.AppendLine("Following information applies to inside admission only");
    messages.AppendLine("Valve openings to...");
    auto opening = [&](const char* label, double value) { messages.AppendLine(label + F(value, 8, 4)); };
    opening("inlet FP        ", front.inletOpening);
    opening("inlet BP        ", rear.inletOpening);
    opening("exhaust FP      ", front.exhaustOpening);
    opening("exhaust BP      ", rear.exhaustOpening);
    messages.AppendLine("Valve travel    " + F(figures.valveTravel, 8, 4));
}

} // namespace linkwright
