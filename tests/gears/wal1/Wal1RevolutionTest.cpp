// Walschaerts 1 revolution solve: the step arrays and their index rule, the valving words and the
// listing "Wal1Output.txt".
#include "tests/gears/wal1/Wal1Fixture.h"

#include "gears/ListingFile.h"

#include <cstring>
#include <fstream>
#include <numbers>

namespace linkwright::testing {
namespace {

constexpr double kPi = std::numbers::pi;

std::string ListingLine(const Wal1& model, float angle) {
    const Wal1Points& p = model.Points();
    std::string line = F(angle * 180.0 / kPi, 5, 1) + " ";
    for (Point2 pin : {p.T, p.B, p.X, p.E, p.G, p.C})
        line += F(pin.x, 6, 3) + " " + F(pin.y, 6, 3) + " ";
    return line;
}

TEST_F(Wal1Test, RevolutionFillsTheArraysInCrankOrderWhenRunningForward) {
    model_.InitialiseGear();
    StepArrays steps;
    EventRecord events{};
    model_.SolveRevolution(steps, 60, events, 1.0f);
    EXPECT_EQ(model_.GearRecord.LastForward, 1);
    for (int k = 0; k <= 60; ++k) {
        const float angle = float(k / 60.0 * 2 * kPi);
        EXPECT_EQ(steps.StepCrankAngle[std::size_t(k)], angle);
    }
    EXPECT_NEAR(steps.StepPistonPct[0], 0.0, 1e-3);
    EXPECT_NEAR(steps.StepPistonPct[30], 100.0, 1e-3);
    EXPECT_NEAR(steps.StepPistonPct[60], 0.0, 1e-3);
    // The valve passes through both port openings in full gear.
    const auto [lo, hi] = std::minmax_element(steps.StepValvePos.begin(), steps.StepValvePos.begin() + 61);
    EXPECT_LT(*lo, -0.3f);
    EXPECT_GT(*hi, 0.3f);

    // Each entry is the solution at its own angle.
    model_.CalcGear(steps.StepCrankAngle[17], 1.0f);
    EXPECT_EQ(steps.StepPistonPct[17], model_.PistonPct());
    EXPECT_EQ(steps.StepValvePos[17], model_.LinkValvePos());
}

TEST_F(Wal1Test, ANewNumberOfStepsGivesNewAnglesAndListing) {
    model_.InitialiseGear();
    StepArrays steps;
    EventRecord events{};
    model_.SolveRevolution(steps, 60, events, 1.0f);
    model_.SolveRevolution(steps, 30, events, 1.0f);
    for (int k = 0; k <= 30; ++k)
        ASSERT_EQ(steps.StepCrankAngle[std::size_t(k)], float(k / 30.0 * 2 * kPi)) << k;
    const std::vector<std::string> listing = ReadLines(model_.ListingFileName());
    ASSERT_EQ(listing.size(), 2u + 31u);
    // The angle column is that of 30 steps: step 15 is 180 degrees.
    EXPECT_EQ(listing[2 + 15].substr(0, 6), F(steps.StepCrankAngle[15] * 180.0 / kPi, 5, 1) + " ");
}

TEST_F(Wal1Test, RevolutionRunningBackwardStoresTheStepsInReverse) {
    model_.InitialiseGear();
    state_.fwd = 0;
    StepArrays steps;
    EventRecord events{};
    model_.SolveRevolution(steps, 40, events, -1.0f);
    EXPECT_EQ(model_.GearRecord.LastForward, 0);
    // Entry 0 holds the solution at k = Nsteps (2 pi), entry Nsteps the one at k = 0.
    EXPECT_EQ(steps.StepCrankAngle[0], float(2 * kPi));
    EXPECT_EQ(steps.StepCrankAngle[40], 0.0f);
    EXPECT_EQ(steps.StepCrankAngle[10], float(30 / 40.0 * 2 * kPi));
}

TEST_F(Wal1Test, RevolutionCarriesTheBacklashFromStepToStep) {
    model_.Slack = 0.05f;
    model_.InitialiseGear();
    StepArrays steps;
    EventRecord events{};
    model_.SolveRevolution(steps, 100, events, 1.0f);
    StepArrays again;
    model_.SolveRevolution(again, 100, events, 1.0f);
    // A second revolution starts from where the first one left the valve; after a full turn the
    // band is settled and both revolutions agree.
    for (int i = 0; i <= 100; ++i)
        EXPECT_NEAR(again.StepValvePos[std::size_t(i)], steps.StepValvePos[std::size_t(i)], 1e-6);
    model_.Slack = 0;
    StepArrays tight;
    model_.SolveRevolution(tight, 100, events, 1.0f);
    double largest = 0;
    for (int i = 0; i <= 100; ++i)
        largest = std::max(largest, std::fabs(double(tight.StepValvePos[std::size_t(i)]) -
                                              steps.StepValvePos[std::size_t(i)]));
    EXPECT_NEAR(largest, 0.05, 1e-6);
}

TEST_F(Wal1Test, RevolutionFillsTheValvingWords) {
    model_.InitialiseGear();
    StepArrays steps;
    EventRecord events{};
    events.tson = 7;
    model_.SolveRevolution(steps, 30, events, 1.0f);
    EXPECT_EQ(events.PortSpacing, 1.25f);
    EXPECT_EQ(events.PortWidth, 0.188f);
    EXPECT_EQ(events.BobbinSpacing, 0.938f);
    EXPECT_EQ(events.BobbinWidth, 0.344f);
    EXPECT_EQ(events.PressureLimit, 800.0f);
    EXPECT_EQ(events.SteamChestPressure, 600.0f);
    EXPECT_EQ(events.Gamma, 1.3f);
    EXPECT_EQ(events.Clearance, 10.0f);
    EXPECT_EQ(events.ExhaustPressure, 120.0f);
    EXPECT_EQ(events.Inside, 1);
    EXPECT_EQ(events.tson, 7); // the analysis' words are left alone
}

TEST_F(Wal1Test, RevolutionWritesTheCoordinateListing) {
    model_.InitialiseGear();
    StepArrays steps;
    EventRecord events{};
    model_.SolveRevolution(steps, 36, events, 0.7f);
    const std::vector<std::string> lines = ReadLines(scratch_ / "Wal1Output.txt");
    ASSERT_EQ(lines.size(), 2u + 37u);
    EXPECT_EQ(lines[0], "Results from last calculation of a cycle");
    EXPECT_EQ(lines[1], "Crankangle RadRodXY DieblockXY TailpinXY EccPinXY XheadXY CrankXY");
    for (int k = 0; k <= 36; ++k) {
        const float angle = float(k / 36.0 * 2 * kPi);
        model_.CalcGear(angle, 0.7f);
        EXPECT_EQ(lines[std::size_t(2 + k)], ListingLine(model_, angle)) << "step " << k;
    }
    EXPECT_EQ(lines[2].substr(0, 6), "  0.0 ");
    EXPECT_EQ(lines[3].substr(0, 6), " 10.0 ");
    EXPECT_EQ(lines[38].substr(0, 6), "360.0 ");
    EXPECT_EQ(lines[2].size(), 6u + 12u * 7u);

    // The listing is replaced, not appended to, by the next revolution.
    model_.SolveRevolution(steps, 30, events, 0.7f);
    EXPECT_EQ(ReadLines(scratch_ / "Wal1Output.txt").size(), 2u + 31u);
}

TEST_F(Wal1Test, ListingReplacesALongerFileOfAnyContent) {
    model_.InitialiseGear();
    {
        std::ofstream previous(scratch_ / "Wal1Output.txt", std::ios::binary);
        previous << std::string(200000, 'x');
    }
    StepArrays steps;
    EventRecord events{};
    model_.SolveRevolution(steps, 30, events, 1.0f);
    const std::string text = ReadTextFile(scratch_ / "Wal1Output.txt");
    EXPECT_EQ(text.find('x'), std::string::npos);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    const std::string header = "Results from last calculation of a cycle\n"
                               "Crankangle RadRodXY DieblockXY TailpinXY EccPinXY XheadXY CrankXY\n";
    EXPECT_EQ(text.size(), header.size() + 31u * (6u + 12u * 7u + 1u));
}

TEST_F(Wal1Test, ListingOfAnUnreachablePositionRepeatsTheLastReachableOne) {
    model_.InitialiseGear();
    model_.CalcGear(0.0f, 1.0f);
    model_.GearRecord.UV = 0.05f; // the union link can never meet the lever
    model_.GearRecord.TV = 0.05f;
    StepArrays steps;
    EventRecord events{};
    model_.SolveRevolution(steps, 30, events, 1.0f);
    const std::string text = ReadTextFile(scratch_ / "Wal1Output.txt");
    EXPECT_EQ(text.find("NAN"), std::string::npos);
    for (int i = 0; i <= 30; ++i)
        EXPECT_TRUE(std::isfinite(steps.StepValvePos[std::size_t(i)]));
}

TEST_F(Wal1Test, RevolutionReportsAListingThatCannotBeWritten) {
    model_.InitialiseGear();
    std::filesystem::create_directory(scratch_ / "Wal1Output.txt"); // a folder in the file's place
    StepArrays steps;
    steps.StepValvePos.fill(7.0f);
    EventRecord events{};
    EXPECT_THROW(model_.SolveRevolution(steps, 30, events, 1.0f), std::runtime_error);
    // The file is opened before anything is solved, so the arrays keep the last good revolution.
    EXPECT_EQ(steps.StepValvePos[0], 7.0f);
    EXPECT_EQ(steps.StepValvePos[30], 7.0f);
}

TEST(ListingFileTest, AFullDeviceIsReportedNotPassedOffAsWritten) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    ListingFile file("/dev/full");
    try {
        file.Replace("Results from last calculation of a cycle\n");
        FAIL() << "a write to a full device must be reported";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Cannot write /dev/full");
    }
}

// The revolution solves all its positions in one pass; what it lists and stores must be exactly
// what CalcGear gives position after position, also where pins cannot be reached and keep the
// place of the position before, with and without backlash, with the wheel moved, in both
// directions, and for a second revolution of another number of steps that starts from where the
// first one left the valve.
TEST_F(Wal1Test, RevolutionAgreesBitForBitWithOnePositionAfterAnother) {
    struct Case {
        const char* name;
        float Wal1Record::*field;
        float factor;
        int forward;
        float slack;
        float gear;
        float lift;
        float disp;
    };
    const Case cases[] = {
        {"example", &Wal1Record::EX, 1.0f, 1, 0.02f, 0.6f, 0, 0},
        {"example backward", &Wal1Record::EX, 1.0f, 0, 0.02f, 0.6f, 0, 0},
        {"eccentric rod too short for part of the turn", &Wal1Record::EX, 0.93f, 1, 0.02f, 0.6f, 0, 0},
        {"lever too short for part of the turn", &Wal1Record::UV, 0.2f, 0, 0.02f, 0.6f, 0, 0},
        {"radius rod too short for part of the turn", &Wal1Record::BT, 0.45f, 1, 0.02f, 0.6f, 0, 0},
        {"wide band in mid gear, backward", &Wal1Record::EX, 1.0f, 0, 0.1f, 0.0f, 0, 0},
        {"no slack, full backward gear, wheel moved", &Wal1Record::EX, 1.0f, 0, 0.0f, -1.0f, 0.1f, -0.05f},
        {"slack forward with the wheel moved", &Wal1Record::EX, 1.0f, 1, 0.05f, 1.0f, -0.08f, 0.03f}};
    int keptSomewhere = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Two fresh models, so that the pins an unreachable position keeps are the same in both.
        Wal1 batch(GearEnvironment{state_, messages_, dialogs_});
        Wal1 stepwise(GearEnvironment{state_, messages_, dialogs_});
        for (Wal1* model : {&batch, &stepwise}) {
            model->SetExample();
            model->GearRecord.*c.field *= c.factor;
            model->Slack = c.slack;
            model->WheelLift = c.lift;
            model->WheelDisp = c.disp;
            model->InitialiseGear();
            model->CalcGear(1.0f, c.gear); // the same earlier position for both
        }
        state_.fwd = std::uint8_t(c.forward);
        for (const int n : {90, 45}) {
            SCOPED_TRACE(n);
            StepArrays steps;
            EventRecord events{};
            batch.SolveRevolution(steps, n, events, c.gear);
            const std::vector<std::string> listing = ReadLines(model_.ListingFileName());
            ASSERT_EQ(listing.size(), std::size_t(n + 3)); // two heading lines, then positions 0..n
            Point2 previousX{std::nanf(""), 0};
            for (int k = 0; k <= n; ++k) {
                const float angle = static_cast<float>(static_cast<double>(k) / n * 2.0 * kPi);
                stepwise.CalcGear(angle, c.gear);
                const std::size_t i = std::size_t(c.forward ? k : n - k);
                ASSERT_EQ(steps.StepCrankAngle[i], angle) << k;
                ASSERT_EQ(steps.StepPistonPct[i], stepwise.PistonPct()) << k;
                ASSERT_EQ(steps.StepValvePos[i], stepwise.ValvePos()) << k;
                ASSERT_EQ(listing[std::size_t(k) + 2], ListingLine(stepwise, angle)) << k;
                const Point2 X = stepwise.Points().X;
                if (X.x == previousX.x && X.y == previousX.y) ++keptSomewhere;
                previousX = X;
            }
            EXPECT_EQ(std::memcmp(&batch.Points(), &stepwise.Points(), sizeof(Wal1Points)), 0);
            EXPECT_EQ(batch.ValvePos(), stepwise.ValvePos());
            EXPECT_EQ(batch.LinkValvePos(), stepwise.LinkValvePos());
        }
    }
    // The broken gears did make some pins keep their places.
    EXPECT_GT(keptSomewhere, 0);
}

} // namespace
} // namespace linkwright::testing
