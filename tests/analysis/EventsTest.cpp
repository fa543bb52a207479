// The cyclic crossing searches and the event search over hand-built revolutions.
#include "analysis/Events.h"
#include "tests/analysis/Revolution.h"

#include <gtest/gtest.h>

#include <vector>

namespace linkwright {
namespace {

using testing::Revolution;

int Rising(const std::vector<float>& v, float level, std::uint8_t& improper) {
    return RisingCrossing(v, static_cast<int>(v.size()) - 1, level, improper);
}
int Falling(const std::vector<float>& v, float level, std::uint8_t& improper) {
    return FallingCrossing(v, static_cast<int>(v.size()) - 1, level, improper);
}

TEST(Crossings, FindTheFirstStepBeyondTheLevelAfterTheFirstStepOnTheOtherSide) {
    std::uint8_t improper = 0;
    const std::vector<float> v = {0.5f, 0.8f, 0.1f, -0.4f, 0.0f, 0.6f, 0.5f};
    // Rising at 0.3: the search starts at step 2 (first at or below), not at step 0 already above.
    EXPECT_EQ(Rising(v, 0.3f, improper), 5);
    // Falling at 0.3: starts at step 0 and finds step 2.
    EXPECT_EQ(Falling(v, 0.3f, improper), 2);
    // A level equal to a step's displacement counts as "at or below" for the start, not as a rise.
    EXPECT_EQ(Rising(v, 0.6f, improper), 1);
    EXPECT_EQ(Falling(v, 0.5f, improper), 2);
    EXPECT_EQ(improper, 0);
}

TEST(Crossings, WrapAroundTheEndOfTheRevolution) {
    std::uint8_t improper = 0;
    // Only step 0 is above the level; the search starts at step 1 and wraps to step 0.
    const std::vector<float> v = {0.9f, 0.1f, 0.2f, 0.1f, 0.0f};
    EXPECT_EQ(Rising(v, 0.5f, improper), 0);
    // Falling at 0.15: start at step 0, scan 1 hits.
    EXPECT_EQ(Falling(v, 0.15f, improper), 1);
    EXPECT_EQ(improper, 0);
}

TEST(Crossings, LevelBelowEveryStepRisesAtStepZeroAndCannotFall) {
    std::uint8_t improper = 0;
    const std::vector<float> v = {0.5f, 0.8f, 0.6f, 0.9f, 0.7f};
    EXPECT_EQ(Rising(v, 0.1f, improper), 0);
    EXPECT_EQ(improper, 0);
    EXPECT_EQ(Falling(v, 0.1f, improper), -1);
    EXPECT_EQ(improper, 1);
}

TEST(Crossings, LevelAboveEveryStepFallsAtStepZeroAndCannotRise) {
    std::uint8_t improper = 0;
    const std::vector<float> v = {0.5f, 0.8f, 0.6f, 0.9f, 0.7f};
    EXPECT_EQ(Falling(v, 1.0f, improper), 0);
    EXPECT_EQ(improper, 0);
    EXPECT_EQ(Rising(v, 1.0f, improper), -1);
    EXPECT_EQ(improper, 1);
}

TEST(Crossings, AFailedSearchDoesNotClearAnEarlierFlagAndASuccessfulOneDoesNotSetIt) {
    std::uint8_t improper = 1;
    const std::vector<float> v = {0.0f, 1.0f, 0.0f};
    EXPECT_EQ(Rising(v, 0.5f, improper), 1);
    EXPECT_EQ(improper, 1);
}

TEST(Crossings, ValvePositionsThatAreNotNumbersNeverCross) {
    std::uint8_t improper = 0;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> v = {nan, nan, nan, nan};
    EXPECT_EQ(Rising(v, 0.0f, improper), -1);
    EXPECT_EQ(improper, 1);
}

TEST(PortOpenings, InsideAndOutsideAdmissionExchangeSteamAndExhaustLevels) {
    EventRecord events{};
    events.PortSpacing = 2.0f;
    events.PortWidth = 0.5f;
    events.BobbinSpacing = 2.5f;
    events.BobbinWidth = 0.75f;
    events.Inside = 1;
    SetPortOpenings(events);
    // h = (2.5 - 2) / 2 = 0.25, g = 1.25 + 0.75 - 1 - 0.5 = 0.5
    EXPECT_FLOAT_EQ(events.TopSteam, 0.25f);
    EXPECT_FLOAT_EQ(events.BottomSteam, -0.25f);
    EXPECT_FLOAT_EQ(events.TopExhaust, 0.5f);
    EXPECT_FLOAT_EQ(events.BottomExhaust, -0.5f);
    events.Inside = 0;
    SetPortOpenings(events);
    EXPECT_FLOAT_EQ(events.TopSteam, 0.5f);
    EXPECT_FLOAT_EQ(events.BottomSteam, -0.5f);
    EXPECT_FLOAT_EQ(events.TopExhaust, 0.25f);
    EXPECT_FLOAT_EQ(events.BottomExhaust, -0.25f);
}

TEST(FindEvents, InsideAdmissionFindsTheEightStepsOfTheHandWorkedRevolution) {
    Revolution r = testing::InsideRevolution();
    FindEvents(r.piston, r.valve, r.front, r.rear, r.events, r.n, r.improper);
    EXPECT_EQ(r.improper, 0);
    // tson, tsoff, bson, bsoff, teon, teoff, beon, beoff
    EXPECT_EQ(r.Steps(), (std::vector<int>{4, 1, 8, 5, 1, 4, 5, 7}));
    EXPECT_FLOAT_EQ(r.events.TopSteam, 0.2f);
    EXPECT_FLOAT_EQ(r.events.TopExhaust, 0.3f);
}

TEST(FindEvents, OutsideAdmissionSearchesTheOtherWayAndFindsEventsAtStepZero) {
    Revolution r = testing::OutsideRevolution();
    FindEvents(r.piston, r.valve, r.front, r.rear, r.events, r.n, r.improper);
    EXPECT_EQ(r.improper, 0);
    EXPECT_EQ(r.Steps(), (std::vector<int>{0, 2, 3, 5, 2, 0, 5, 3}));
    EXPECT_FLOAT_EQ(r.events.TopSteam, 0.3f);
    EXPECT_FLOAT_EQ(r.events.BottomExhaust, -0.2f);
}

TEST(FindEvents, SameValveWithTheOtherAdmissionGivesDifferentEvents) {
    Revolution inside = testing::InsideRevolution();
    Revolution outside = testing::InsideRevolution();
    outside.events.Inside = 0;
    FindEvents(inside.piston, inside.valve, inside.front, inside.rear, inside.events, inside.n,
               inside.improper);
    FindEvents(outside.piston, outside.valve, outside.front, outside.rear, outside.events, outside.n,
               outside.improper);
    EXPECT_FLOAT_EQ(outside.events.TopSteam, inside.events.TopExhaust);
    EXPECT_FLOAT_EQ(outside.events.TopExhaust, inside.events.TopSteam);
    // Outside: tson rises above 0.3 (step 1), tsoff falls below 0.3 (step 4), bson falls below
    // -0.3 (step 5), bsoff rises above -0.3 (step 7); exhaust at +-0.2.
    EXPECT_EQ(outside.Steps(), (std::vector<int>{1, 4, 5, 7, 4, 1, 8, 5}));
}

TEST(FindEvents, ImproperEventsPointAtStepOneAndLeaveThePressuresZero) {
    Revolution r = testing::ImproperRevolution();
    r.front.fill(7.0f);
    r.rear.fill(7.0f);
    FindEvents(r.piston, r.valve, r.front, r.rear, r.events, r.n, r.improper);
    EXPECT_EQ(r.improper, 1);
    EXPECT_EQ(r.Steps(), std::vector<int>(8, 1));
    for (int i = 0; i <= r.n; ++i) {
        EXPECT_EQ(r.front[i], 0.0f);
        EXPECT_EQ(r.rear[i], 0.0f);
    }
    // Beyond Nsteps the arrays are not touched.
    EXPECT_EQ(r.front[r.n + 1], 7.0f);
}

TEST(FindEvents, ClearsTheImproperFlagOfAnEarlierSearch) {
    Revolution r = testing::InsideRevolution();
    r.improper = 1;
    FindEvents(r.piston, r.valve, r.front, r.rear, r.events, r.n, r.improper);
    EXPECT_EQ(r.improper, 0);
}

TEST(FindEvents, AStepCountBeyondTheArraysIsKeptInsideThem) {
    Revolution r = testing::InsideRevolution();
    std::span<const float> shortValve(r.valve.data(), 9);
    std::span<const float> shortPiston(r.piston.data(), 9);
    std::span<float> front(r.front.data(), 9);
    std::span<float> rear(r.rear.data(), 9);
    FindEvents(shortPiston, shortValve, front, rear, r.events, 550, r.improper);
    EXPECT_EQ(r.Steps(), (std::vector<int>{4, 1, 8, 5, 1, 4, 5, 7}));
}

} // namespace
} // namespace linkwright
