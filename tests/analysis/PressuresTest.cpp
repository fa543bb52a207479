// The idealised cylinder pressures: the four phases of each end, their boundaries, the clearance
// floor and the improper case.
#include "analysis/Pressures.h"
#include "tests/analysis/Revolution.h"

#include <gtest/gtest.h>

#include <cmath>

namespace linkwright {
namespace {

using testing::Revolution;

// Piston positions of an eight-step revolution, front dead centre at step 0.
Revolution EightSteps() {
    return Revolution({0, 15, 50, 85, 100, 85, 50, 15, 0}, std::vector<float>(9, 0.0f), true);
}

void SetSteps(EventRecord& e, std::vector<int> steps) {
    e.tson = steps[0], e.tsoff = steps[1], e.bson = steps[2], e.bsoff = steps[3];
    e.teon = steps[4], e.teoff = steps[5], e.beon = steps[6], e.beoff = steps[7];
}

// Adiabatic change from volume v1 at pressure p1 to volume v2.
double Adiabatic(double p1, double v1, double v2, double gamma) {
    return p1 * std::pow(v1 / v2, gamma);
}

TEST(ComputePressures, FrontEndPhasesWrapAroundAndEachBoundaryBelongsToTheLaterPhase) {
    Revolution r = EightSteps();
    // Front: admission 7..2 (through step 0), expansion from 2, release at 4, compression from 6.
    // Rear: admission 3..6, expansion from 6, release at 8, compression from 2.
    SetSteps(r.events, {7, 2, 3, 6, 4, 6, 8, 2});
    ComputePressures(r.piston, r.events, r.n, r.front, r.rear, 0);
    const double ps = 200, pe = 20, g = 1.3, c = 8;
    auto V = [&](int i) { return r.piston[i] + c; };
    auto W = [&](int i) { return 100 - r.piston[i] + c; };

    const double front[9] = {
        ps, ps, Adiabatic(ps, V(1), V(2), g), Adiabatic(ps, V(1), V(3), g),
        pe, pe, Adiabatic(pe, V(5), V(6), g), Adiabatic(pe, V(5), V(7), g), // compression overwrites steam on
        ps};
    const double rear[9] = {pe, pe, Adiabatic(pe, W(1), W(2), g), Adiabatic(pe, W(1), W(3), g),
                            ps, ps, Adiabatic(ps, W(5), W(6), g), Adiabatic(ps, W(5), W(7), g),
                            pe}; // exhaust overwrites the last expansion step
    for (int i = 0; i <= 8; ++i) {
        EXPECT_NEAR(r.front[i], front[i], 1e-3 * front[i]) << "front step " << i;
        EXPECT_NEAR(r.rear[i], rear[i], 1e-3 * rear[i]) << "rear step " << i;
    }
}

TEST(ComputePressures, SteamOnEqualToSteamOffFillsTheWholeCycleBeforeTheLaterPhases) {
    Revolution r = EightSteps();
    SetSteps(r.events, {2, 2, 6, 6, 5, 7, 1, 3});
    ComputePressures(r.piston, r.events, r.n, r.front, r.rear, 0);
    // The expansion starts from the admission pressure at step 1, which only a full cycle of
    // admission has set.
    const double c = 8;
    EXPECT_NEAR(r.front[3], Adiabatic(200, 15 + c, 85 + c, 1.3), 1e-2);
    // Steps 7..2 belong to the compression, which starts from the exhaust pressure at step 6.
    EXPECT_NEAR(r.front[0], Adiabatic(20, 50 + c, 0 + c, 1.3), 1e-2);
    EXPECT_FLOAT_EQ(r.front[6], 20.0f);
}

TEST(ComputePressures, AClearanceBelowOneIsRaisedToOneInTheRecord) {
    Revolution r = EightSteps();
    r.events.Clearance = 0.0f;
    SetSteps(r.events, {7, 2, 3, 6, 4, 6, 8, 2});
    ComputePressures(r.piston, r.events, r.n, r.front, r.rear, 0);
    EXPECT_EQ(r.events.Clearance, 1.0f);
    EXPECT_NEAR(r.front[2], Adiabatic(200, 15 + 1, 50 + 1, 1.3), 1e-2);
    // At the front dead centre the rear end's volume is the largest, and both stay finite.
    for (int i = 0; i <= r.n; ++i)
        EXPECT_TRUE(std::isfinite(r.front[i]) && std::isfinite(r.rear[i]));

    r.events.Clearance = 0.5f;
    ComputePressures(r.piston, r.events, r.n, r.front, r.rear, 0);
    EXPECT_EQ(r.events.Clearance, 1.0f);
    r.events.Clearance = 1.5f;
    ComputePressures(r.piston, r.events, r.n, r.front, r.rear, 0);
    EXPECT_EQ(r.events.Clearance, 1.5f);
}

TEST(ComputePressures, ImproperEventsLeaveBothCurvesOnTheZeroLine) {
    Revolution r = EightSteps();
    SetSteps(r.events, {7, 2, 3, 6, 4, 6, 8, 2});
    r.front.fill(5.0f);
    r.rear.fill(5.0f);
    ComputePressures(r.piston, r.events, r.n, r.front, r.rear, 1);
    for (int i = 0; i <= r.n; ++i) {
        EXPECT_EQ(r.front[i], 0.0f);
        EXPECT_EQ(r.rear[i], 0.0f);
    }
}

TEST(ComputePressures, EventStepsOutsideTheRevolutionLeaveZeroPressures) {
    Revolution r = EightSteps();
    SetSteps(r.events, {7, 2, 3, 6, 4, 600, 8, 2});
    ComputePressures(r.piston, r.events, r.n, r.front, r.rear, 0);
    for (int i = 0; i <= r.n; ++i)
        EXPECT_EQ(r.front[i], 0.0f);
}

} // namespace
} // namespace linkwright
