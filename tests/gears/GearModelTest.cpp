// What every gear kind shares: the backlash dead band, the revolution loop with its index rule and
// the valving words of the event record.
#include "tests/gears/TestGear.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace linkwright::testing {
namespace {

TEST(Backlash, WithoutSlackTheValveFollowsTheLinkage) {
    TestGearSetup s;
    for (float raw : {0.5f, -0.25f, 0.125f, 3.0f}) {
        s.gear.ApplyBacklash(raw);
        EXPECT_EQ(s.gear.ValvePos(), raw);
        EXPECT_EQ(s.gear.LinkValvePos(), raw);
    }
}

TEST(Backlash, TheValveStaysInTheDeadBandThenTrailsBySlack) {
    TestGearSetup s;
    s.gear.Slack = 0.1f;
    s.gear.SetPreviousValvePos(0);
    // Moving up less than the slack: the valve stays.
    s.gear.ApplyBacklash(0.05f);
    EXPECT_EQ(s.gear.ValvePos(), 0.0f);
    EXPECT_EQ(s.gear.LinkValvePos(), 0.05f);
    // Beyond it: the valve follows at a distance of the slack.
    s.gear.ApplyBacklash(0.15f);
    EXPECT_FLOAT_EQ(s.gear.ValvePos(), 0.05f);
    // Still moving up a little.
    s.gear.ApplyBacklash(0.2f);
    EXPECT_FLOAT_EQ(s.gear.ValvePos(), 0.1f);
    // Turning back within the band: the valve stays where it was.
    s.gear.ApplyBacklash(0.12f);
    EXPECT_FLOAT_EQ(s.gear.ValvePos(), 0.1f);
    s.gear.ApplyBacklash(0.0f);
    EXPECT_FLOAT_EQ(s.gear.ValvePos(), 0.1f);
    // Past the band going down: it trails above the linkage by the slack.
    s.gear.ApplyBacklash(-0.1f);
    EXPECT_FLOAT_EQ(s.gear.ValvePos(), 0.0f);
    EXPECT_FLOAT_EQ(s.gear.LinkValvePos(), -0.1f);
}

TEST(Backlash, EqualPositionsCountAsMovingDown) {
    TestGearSetup s;
    s.gear.Slack = 0.25f;
    s.gear.SetPreviousValvePos(1.0f);
    // prev >= raw: out = raw + slack = 1.25, but prev < out, so the valve stays at 1.
    s.gear.ApplyBacklash(1.0f);
    EXPECT_EQ(s.gear.ValvePos(), 1.0f);
}

TEST(Backlash, ResultsAreSingles) {
    TestGearSetup s;
    s.gear.Slack = 0.1f;
    s.gear.SetPreviousValvePos(-5);
    s.gear.ApplyBacklash(0.3f);
    EXPECT_EQ(s.gear.ValvePos(), static_cast<float>(0.3f - static_cast<double>(0.1f)));
}

TEST(Backlash, ANaNPositionDoesNotStickForever) {
    TestGearSetup s;
    s.gear.Slack = 0.1f;
    s.gear.ApplyBacklash(std::nanf(""));
    s.gear.ApplyBacklash(1.0f);
    EXPECT_FLOAT_EQ(s.gear.ValvePos(), 0.9f);
}

TEST(RevolutionLoop, ForwardFillsEntriesInCrankOrder) {
    TestGearSetup s;
    StepArrays steps;
    EventRecord events{};
    s.gear.SolveRevolution(steps, 30, events, 1.0f);
    ASSERT_EQ(s.gear.calls.size(), 31u);
    for (int k = 0; k <= 30; ++k) {
        const float angle = static_cast<float>(static_cast<double>(k) / 30 * 2.0 * std::numbers::pi);
        EXPECT_EQ(s.gear.calls[static_cast<std::size_t>(k)], angle) << k;
        EXPECT_EQ(steps.StepCrankAngle[static_cast<std::size_t>(k)], angle) << k;
        EXPECT_EQ(steps.StepValvePos[static_cast<std::size_t>(k)], angle) << k;
        EXPECT_EQ(steps.StepPistonPct[static_cast<std::size_t>(k)], angle * 10) << k;
    }
    // Entries beyond Nsteps are not touched.
    EXPECT_EQ(steps.StepCrankAngle[31], 0.0f);
}

TEST(RevolutionLoop, BackwardRunningReversesTheEntries) {
    TestGearSetup s;
    s.state.fwd = 0;
    StepArrays steps;
    EventRecord events{};
    s.gear.SolveRevolution(steps, 40, events, 1.0f);
    // Entry 0 holds the solution at k = Nsteps (2 pi), entry Nsteps the one at k = 0.
    EXPECT_EQ(steps.StepCrankAngle[0], static_cast<float>(2.0 * std::numbers::pi));
    EXPECT_EQ(steps.StepCrankAngle[40], 0.0f);
    EXPECT_EQ(steps.StepCrankAngle[10], static_cast<float>(30.0 / 40 * 2.0 * std::numbers::pi));
    // The crank still turned in increasing k.
    EXPECT_EQ(s.gear.calls.front(), 0.0f);
    EXPECT_EQ(s.gear.calls.back(), static_cast<float>(2.0 * std::numbers::pi));
}

TEST(RevolutionLoop, TheDirectionIsReadOnceAtTheStart) {
    TestGearSetup s;
    s.gear.onCalc = [&](float) { s.state.fwd = 0; };
    StepArrays steps;
    EventRecord events{};
    s.gear.SolveRevolution(steps, 30, events, 1.0f);
    EXPECT_EQ(steps.StepCrankAngle[0], 0.0f);
    EXPECT_EQ(steps.StepCrankAngle[30], static_cast<float>(2.0 * std::numbers::pi));
}

TEST(RevolutionLoop, TheListingStepRunsAfterEachSolution) {
    TestGearSetup s;
    StepArrays steps;
    EventRecord events{};
    s.gear.SolveRevolution(steps, 30, events, 1.0f);
    ASSERT_EQ(s.gear.eachStep.size(), 31u);
    for (int k = 0; k <= 30; ++k) {
        const auto& seen = s.gear.eachStep[static_cast<std::size_t>(k)];
        EXPECT_EQ(seen.k, k);
        EXPECT_EQ(seen.calcAngle, seen.angle);
    }
}

TEST(RevolutionLoop, BacklashCarriesFromStepToStep) {
    TestGearSetup s;
    s.gear.Slack = 0.5f;
    // The linkage goes up by 0.2 per step: the valve lags by the slack once the band is taken up.
    s.gear.linkage = [](float angle, float) { return angle; };
    StepArrays steps;
    EventRecord events{};
    s.gear.SolveRevolution(steps, 31, events, 1.0f);
    EXPECT_EQ(steps.StepValvePos[0], 0.0f);
    const float last = steps.StepCrankAngle[31];
    EXPECT_FLOAT_EQ(steps.StepValvePos[31], last - 0.5f);
}

TEST(RevolutionLoop, ACountOutsideTheArraysIsKeptWithinThem) {
    StepArrays steps;
    EventRecord events{};
    // The smallest counts on a fresh model, whose revolution has not been worked out yet.
    for (const int count : {1, 0, -7}) {
        TestGearSetup fresh;
        fresh.gear.SolveRevolution(steps, count, events, 1.0f);
        ASSERT_EQ(fresh.gear.calls.size(), 2u) << count;
        EXPECT_EQ(steps.StepCrankAngle[0], 0.0f);
        EXPECT_FLOAT_EQ(steps.StepCrankAngle[1], static_cast<float>(2 * std::numbers::pi));
    }
    TestGearSetup s;
    s.gear.SolveRevolution(steps, 100000, events, 1.0f);
    EXPECT_EQ(s.gear.calls.size(), static_cast<std::size_t>(MaxSteps + 1));
    s.gear.calls.clear();
    s.gear.SolveRevolution(steps, 0, events, 1.0f);
    EXPECT_EQ(s.gear.calls.size(), 2u);
    EXPECT_TRUE(std::isfinite(steps.StepCrankAngle[1]));
}

TEST(ValvingWords, WordsTwelveToTwentyAndTheAdmissionByteComeFromTheRecord) {
    TestGearSetup s;
    s.gear.record.Inside = 0;
    StepArrays steps;
    EventRecord events{};
    events.TopSteam = 7;
    events.tson = 12;
    s.gear.SolveRevolution(steps, 30, events, 1.0f);
    EXPECT_EQ(events.PortSpacing, 1.25f);
    EXPECT_EQ(events.PortWidth, 0.1875f);
    EXPECT_EQ(events.BobbinSpacing, 0.9375f);
    EXPECT_EQ(events.BobbinWidth, 0.34375f);
    EXPECT_EQ(events.PressureLimit, 800.0f);
    EXPECT_EQ(events.SteamChestPressure, 600.0f);
    EXPECT_EQ(events.Gamma, 1.3f);
    EXPECT_EQ(events.Clearance, 10.0f);
    EXPECT_EQ(events.ExhaustPressure, 120.0f);
    EXPECT_EQ(events.Inside, 0);
    // The analysis words are left alone.
    EXPECT_EQ(events.TopSteam, 7.0f);
    EXPECT_EQ(events.tson, 12);
}

TEST(FileNames, FoldersAreRemovedWithEitherSeparator) {
    EXPECT_EQ(FileNameWithoutFolder("C:\\a\\b\\gear.L1"), "gear.L1");
    EXPECT_EQ(FileNameWithoutFolder("/home/user/Data/gear.L1"), "gear.L1");
    EXPECT_EQ(FileNameWithoutFolder("a/b\\c.L2"), "c.L2");
    EXPECT_EQ(FileNameWithoutFolder("gear.L3"), "gear.L3");
    EXPECT_EQ(FileNameWithoutFolder("folder/"), "");
}

} // namespace
} // namespace linkwright::testing
