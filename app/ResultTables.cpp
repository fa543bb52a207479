// The step and event tables as CSV.
#include "app/ResultTables.h"

#include "analysis/Ovalplt.h"
#include "app/Simulation.h"
#include "common/NumberFormat.h"

#include <charconv>
#include <numbers>
#include <sstream>

namespace linkwright {

std::string StepsCsv(const Simulation& sim) {
    std::ostringstream out;
    out << "step,crank_angle_rad,crank_angle_deg,piston_pct,valve_pos,front_pressure,rear_pressure\n";
    for (int i = 0; i <= sim.State.Nsteps; ++i) {
        const float radians = sim.Steps.StepCrankAngle[i];
        out << i << ',' << ShortestText(radians) << ',' << F(radians * 180.0 / std::numbers::pi, 0, 6) << ','
            << ShortestText(sim.Steps.StepPistonPct[i]) << ',' << ShortestText(sim.Steps.StepValvePos[i])
            << ',' << ShortestText(sim.State.FrontPressure[i]) << ','
            << ShortestText(sim.State.RearPressure[i]) << '\n';
    }
    return out.str();
}

std::string EventsCsv(const Simulation& sim) {
    std::ostringstream out;
    out << "setting,tson,tsoff,bson,bsoff,teon,teoff,beon,beoff\n";
    for (int k = 0; k < FamilyMembers(sim.State); ++k) {
        out << ShortestText(FamilyMemberSetting(sim.State, k));
        for (int word = 4; word <= 11; ++word)
            out << ','
                << ShortestText(EventPistonPct(sim.Steps.StepPistonPct, sim.Family.FamilyEvents[k], word,
                                               sim.State.Nsteps));
        out << '\n';
    }
    return out.str();
}

} // namespace linkwright
