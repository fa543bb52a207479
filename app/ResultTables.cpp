// The step and event tables as CSV.
#include "app/ResultTables.h"

#include "analysis/Ovalplt.h"
#include "app/Simulation.h"
#include "common/NumberFormat.h"

#include <charconv>
#include <numbers>
#include <sstream>

namespace linkwright {

namespace {

// Shortest text that reads back as the same float.
std::string Exact(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string StepsCsv(const Simulation& sim) {
    std::ostringstream out;
    out << "step,crank_angle_rad,crank_angle_deg,piston_pct,valve_pos,front_pressure,rear_pressure\n";
    for (int i = 0; i <= sim.State.Nsteps; ++i) {
        const float radians = sim.Steps.StepCrankAngle[i];
        out << i << ',' << Exact(radians) << ',' << F(radians * 180.0 / std::numbers::pi, 0, 6) << ','
            << Exact(sim.Steps.StepPistonPct[i]) << ',' << Exact(sim.Steps.StepValvePos[i]) << ','
            << Exact(sim.State.FrontPressure[i]) << ',' << Exact(sim.State.RearPressure[i]) << '\n';
    }
    return out.str();
}

std::string EventsCsv(const Simulation& sim) {
    std::ostringstream out;
    out << "setting,tson,tsoff,bson,bsoff,teon,teoff,beon,beoff\n";
    for (int k = 0; k < FamilyMembers(sim.State); ++k) {
        out << Exact(FamilyMemberSetting(sim.State, k));
        for (int word = 4; word <= 11; ++word)
            out << ','
                << Exact(EventPistonPct(sim.Steps.StepPistonPct, sim.Family.FamilyEvents[k], word,
                                        sim.State.Nsteps));
        out << '\n';
    }
    return out.str();
}

} // namespace linkwright
