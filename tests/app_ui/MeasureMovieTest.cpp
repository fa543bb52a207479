// The measuring clicks and the animation frames of the simulation, without a window.
#include "app/Simulation.h"
#include "common/NumberFormat.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace linkwright {
namespace {

using testing::ScratchDir;
using testing::ScriptedDialogs;

class SimulationFixture : public ::testing::Test {
protected:
    ScratchDir dir;
    ScriptedDialogs dialogs;
    Simulation sim{dialogs, dir / "Messages.txt"};

    // A known mapping: 10 pixels per unit, world (0, 0) at pixel (100, 500).
    void SetMapping() {
        sim.Mapping.ScaleX = 10;
        sim.Mapping.ScaleY = -10;
        sim.Mapping.OriginX = 0;
        sim.Mapping.OriginY = 0;
        sim.Mapping.VpLeft = 100;
        sim.Mapping.VpBottom = 500;
    }
    int Px(double x) const { return static_cast<int>(std::lround(100 + 10 * x)); }
    int Py(double y) const { return static_cast<int>(std::lround(500 - 10 * y)); }
};

using MeasureTest = SimulationFixture;

TEST_F(MeasureTest, OffAtStartUpAndClicksChangeNothing) {
    SetMapping();
    EXPECT_EQ(sim.MeasureMode, 3);
    EXPECT_FALSE(sim.MeasureClick(Px(1), Py(1)).has_value());
    EXPECT_EQ(sim.MeasurePairStart, 1);
    EXPECT_EQ(sim.LastMeasureX, 0.0f);
    EXPECT_EQ(sim.LastMeasureY, 0.0f);
}

TEST_F(MeasureTest, DistancePairShowsFiveForThreeRightFourDown) {
    SetMapping();
    sim.Distance1Click();
    const auto first = sim.MeasureClick(Px(1), Py(2));
    ASSERT_TRUE(first.has_value());
    EXPECT_FALSE(first->line);
    EXPECT_EQ(first->text, "");
    EXPECT_EQ(sim.MeasurePairStart, 0);
    const auto second = sim.MeasureClick(Px(4), Py(-2));
    ASSERT_TRUE(second.has_value());
    EXPECT_TRUE(second->line);
    EXPECT_EQ(second->fromX, Px(1));
    EXPECT_EQ(second->fromY, Py(2));
    EXPECT_EQ(second->toX, Px(4));
    EXPECT_EQ(second->toY, Py(-2));
    EXPECT_EQ(second->text, "5");
    EXPECT_EQ(sim.MeasurePairStart, 1);
    EXPECT_FLOAT_EQ(sim.LastMeasureX, 4.0f);
    EXPECT_FLOAT_EQ(sim.LastMeasureY, -2.0f);
}

TEST_F(MeasureTest, SeparationPairKeepsTheSignOfWorldY) {
    SetMapping();
    sim.dXdY1Click();
    sim.MeasureClick(Px(1), Py(2));
    const auto second = sim.MeasureClick(Px(4), Py(-2));
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->text, "3, -4");
}

TEST_F(MeasureTest, CoordinatesOnEveryClickWithoutTouchingThePairing) {
    SetMapping();
    sim.XY1Click();
    const auto a = sim.MeasureClick(Px(2.5), Py(-1.5));
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->text, "2.5, -1.5");
    EXPECT_FALSE(a->line);
    EXPECT_EQ(sim.MeasurePairStart, 1);
    // A pending pair from Distance mode makes the coordinates draw a line as well.
    sim.Distance1Click();
    sim.MeasureClick(Px(0), Py(0));
    sim.XY1Click();
    const auto b = sim.MeasureClick(Px(3), Py(0));
    ASSERT_TRUE(b.has_value());
    EXPECT_TRUE(b->line);
    EXPECT_EQ(b->text, "3, 0");
    EXPECT_EQ(sim.MeasurePairStart, 0);
}

TEST_F(MeasureTest, ModeChangeKeepsThePairHalfDone) {
    SetMapping();
    sim.Distance1Click();
    sim.MeasureClick(Px(0), Py(0));
    sim.dXdY1Click();
    const auto second = sim.MeasureClick(Px(0), Py(2));
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->text, "0, 2");
}

TEST_F(MeasureTest, LargeResultsInScientificNotation) {
    sim.Mapping.ScaleX = 0.001f; // a thousand units per pixel
    sim.Mapping.ScaleY = -0.001f;
    sim.Distance1Click();
    sim.MeasureClick(0, 0);
    const auto second = sim.MeasureClick(20, 0);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->text, G(20000.0, 4));
    EXPECT_NE(second->text.find('E'), std::string::npos);
}

TEST_F(MeasureTest, NoMeasuringWhileAnAnimationRuns) {
    SetMapping();
    sim.XY1Click();
    sim.MovieStopped = 0;
    EXPECT_FALSE(sim.Image1MouseDown(Px(1), Py(1)).has_value());
    EXPECT_EQ(sim.LastMeasureX, 0.0f);
    sim.MovieStopped = 1;
    EXPECT_TRUE(sim.Image1MouseDown(Px(1), Py(1)).has_value());
}

TEST_F(MeasureTest, WithoutADrawingNothingIsMeasured) {
    sim.Distance1Click();
    sim.Mapping = PlotMapping{0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(sim.MeasureClick(10, 10).has_value());
    EXPECT_EQ(sim.MeasurePairStart, 1);
}

TEST_F(MeasureTest, HelpExplainsTheMenu) {
    sim.Help2Click();
    ASSERT_EQ(dialogs.informations.size(), 1u);
    EXPECT_EQ(dialogs.informations[0], "Choose a mode, then click on the valve gear image.");
}

using MovieTest = SimulationFixture;

TEST(MovieAngle, WrapsBothWays) {
    constexpr float twoPi = static_cast<float>(2 * std::numbers::pi);
    EXPECT_NEAR(Simulation::NextMovieAngle(1.0f, 0.01f), 1.01f, 1e-6);
    EXPECT_NEAR(Simulation::NextMovieAngle(twoPi - 0.005f, 0.01f), 0.005f, 1e-5);
    const float back = Simulation::NextMovieAngle(0.0f, -0.01f);
    EXPECT_GT(back, twoPi - 0.011f);
    EXPECT_LT(back, twoPi);
}

TEST_F(MovieTest, RunsUntilStoppedAndTurnsByMovieStep) {
    sim.Redraw(203, 153, 0);
    sim.Annotate = 1;
    long seen = 0;
    const long frames = sim.Movie1Click([&] {
        EXPECT_EQ(sim.MovieStopped, 0);
        if (++seen == 5) sim.FormClick();
    });
    EXPECT_EQ(frames, 5);
    EXPECT_EQ(sim.MovieStopped, 1);
    EXPECT_EQ(sim.Annotate, 0);
    EXPECT_NEAR(sim.CrankAngle, 0.05f, 1e-6);
}

TEST_F(MovieTest, BackwardRunningTurnsTheOtherWay) {
    sim.Redraw(203, 153, 0);
    sim.fwdClick(false);
    sim.Movie1Click([&] { sim.FormKeyPress(); });
    EXPECT_NEAR(sim.CrankAngle, 2 * std::numbers::pi - 0.01, 1e-5);
}

TEST_F(MovieTest, AboutSixHundredTwentyEightFramesPerTurn) {
    sim.Redraw(63, 43, 0);
    long frames = 0;
    float previous = sim.CrankAngle;
    sim.Movie1Click([&] {
        ++frames;
        if (sim.CrankAngle < previous || frames > 1000) sim.FormClick(); // wrapped past a full turn
        previous = sim.CrankAngle;
    });
    EXPECT_EQ(frames, 629); // 628 frames stay within the turn, the 629th wraps
}

TEST_F(MovieTest, AFailingFrameStillEndsTheAnimation) {
    sim.Redraw(63, 43, 0);
    EXPECT_THROW(sim.Movie1Click([] { throw std::runtime_error("display gone"); }), std::runtime_error);
    EXPECT_EQ(sim.MovieStopped, 1);
}

} // namespace
} // namespace linkwright
