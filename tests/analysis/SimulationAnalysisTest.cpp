// The analysis commands of the simulation with the Walschaerts example: when a revolution is
// solved, what the messages file holds, what the windows are asked to draw, and the family sweep.
#include "analysis/Indicplt.h"
#include "app/Simulation.h"
#include "plot/Glib1.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace linkwright {
namespace {

using Plot = Simulation::DiagramPlot;

class SimulationAnalysis : public ::testing::Test {
protected:
    SimulationAnalysis() : sim(dialogs, dir / "Messages.txt") {
        sim.FirstActivation = 0; // the windows have been placed
        sim.ShowDiagram = [this](Plot plot) { shown.push_back(plot); };
        sim.ShowCutoffCaption = [this](const std::string& text) { captions.push_back(text); };
        sim.SetBusyCursor = [this](bool busy) { cursor.push_back(busy); };
    }

    std::string Messages() { return sim.Messages.Contents(); }

    testing::ScratchDir dir;
    testing::ScriptedDialogs dialogs;
    Simulation sim;
    std::vector<Plot> shown;
    std::vector<std::string> captions;
    std::vector<bool> cursor;
};

TEST_F(SimulationAnalysis, AnalysisEmptiesTheMessagesFileSolvesAndWritesBothListings) {
    sim.Messages.AppendLine("an earlier report");
    sim.RunAnalysis();
    const std::string messages = Messages();
    EXPECT_EQ(messages.find("an earlier report"), std::string::npos);
    EXPECT_EQ(messages.rfind(std::string(49, '*') + "\n", 0), 0u);
    EXPECT_NE(messages.find("This is a summary listing from the last time the \n"), std::string::npos);
    EXPECT_NE(messages.find("This is a detailed listing from the last time the\n"), std::string::npos);
    EXPECT_NE(messages.find("\nValve travel    "), std::string::npos);

    EXPECT_EQ(sim.State.AnalysisValid, 1);
    EXPECT_EQ(sim.State.EventsKnown, 1);
    EXPECT_EQ(sim.State.FamilyMode, 0);
    EXPECT_EQ(sim.State.EventsImproper, 0);
    // The solve ends its own hourglass before the analysis ends the outer one.
    EXPECT_EQ(cursor, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(shown, (std::vector<Plot>{Plot::Indicator, Plot::Oval}));
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0].rfind("Gear 1.00    Front Port Cutoff ", 0), 0u);
    EXPECT_EQ(captions[0], sim.CutoffCaption());
    // Both cylinder ends take steam: some pressure reaches the steam-chest pressure.
    const float ps = sim.State.Events.SteamChestPressure;
    EXPECT_GT(ps, 0.0f);
    EXPECT_NE(std::find(std::begin(sim.State.FrontPressure), std::end(sim.State.FrontPressure), ps),
              std::end(sim.State.FrontPressure));
    EXPECT_NE(std::find(std::begin(sim.State.RearPressure), std::end(sim.State.RearPressure), ps),
              std::end(sim.State.RearPressure));
}

TEST_F(SimulationAnalysis, ASecondRequestWithoutAChangeOnlyRedraws) {
    sim.RunAnalysis();
    const std::string first = Messages();
    const auto events = sim.State.Events;
    sim.RunAnalysis();
    EXPECT_EQ(Messages(), first);
    EXPECT_EQ(cursor.size(), 4u); // no second solve
    EXPECT_EQ(shown.size(), 4u);
    EXPECT_EQ(captions.size(), 2u);
    EXPECT_EQ(sim.State.Events.tsoff, events.tsoff);

    // A change of the gear setting makes the next request solve again.
    sim.ScrollGearChange(50);
    sim.RunAnalysis();
    EXPECT_NE(Messages(), first);
    EXPECT_EQ(captions.back().rfind("Gear 0.50 ", 0), 0u);
}

TEST_F(SimulationAnalysis, BackwardRunningStoresTheRevolutionInReverse) {
    sim.fwdClick(false);
    sim.RunAnalysis();
    EXPECT_FLOAT_EQ(sim.Steps.StepCrankAngle[0], static_cast<float>(2 * std::numbers::pi));
    EXPECT_FLOAT_EQ(sim.Steps.StepCrankAngle[sim.State.Nsteps], 0.0f);
    EXPECT_EQ(sim.State.AnalysisValid, 1);
}

TEST_F(SimulationAnalysis, DiagramsWaitForTheFirstActivationExceptTheEventsDiagram) {
    sim.FirstActivation = 1;
    sim.RunAnalysis();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(captions.size(), 1u);
    testing::RecordingCanvas canvas(300, 200);
    Glib1 plot(canvas);
    EXPECT_FALSE(sim.DrawDiagram(Plot::Oval, plot, 300, 200));
    EXPECT_TRUE(canvas.calls.empty());
    EXPECT_TRUE(sim.DrawDiagram(Plot::Events, plot, 300, 200));
    EXPECT_FALSE(canvas.calls.empty());

    sim.Family1Click();
    EXPECT_EQ(shown, (std::vector<Plot>{Plot::Events}));
}

TEST_F(SimulationAnalysis, FamilySweepAtANegativeSettingAnalysesMinusPointOneToMinusOne) {
    sim.EdGearExit("-0.3");
    sim.RunAnalysis();
    const std::string listings = Messages();
    const auto valve = sim.Steps.StepValvePos;
    shown.clear();

    sim.Family1Click();
    EXPECT_EQ(sim.State.FamilyMode, 1);
    EXPECT_FLOAT_EQ(sim.State.FamilyGearFrom, -0.1f);
    EXPECT_FLOAT_EQ(sim.State.FamilyGearTo, -1.0f);
    EXPECT_EQ(sim.State.FamilyCount, 10);
    EXPECT_FLOAT_EQ(sim.State.GearSetting, -0.3f);
    EXPECT_EQ(sim.State.AnalysisValid, 0);
    EXPECT_EQ(sim.Steps.StepValvePos, valve);
    EXPECT_EQ(Messages(), listings); // no listings
    EXPECT_EQ(shown, (std::vector<Plot>{Plot::IndicatorFamily, Plot::Events}));
    EXPECT_EQ(sim.IndicatorWindowPlot(), Plot::IndicatorFamily);
    EXPECT_EQ(sim.OvalWindowPlot(), Plot::Events);
    for (const EventRecord& member : sim.Family.FamilyEvents) {
        EXPECT_FLOAT_EQ(member.SteamChestPressure, sim.State.Events.SteamChestPressure);
        EXPECT_GE(member.Clearance, 1.0f);
    }

    // The next analysis solves again, writes its listings and leaves the family view.
    sim.RunAnalysis();
    EXPECT_EQ(sim.State.FamilyMode, 0);
    EXPECT_EQ(sim.State.AnalysisValid, 1);
    EXPECT_EQ(Messages(), listings);
    EXPECT_EQ(sim.IndicatorWindowPlot(), Plot::Indicator);
}

TEST_F(SimulationAnalysis, EachFamilyMemberMatchesASingleAnalysisAtItsSetting) {
    sim.Family1Click();
    const FamilyBlocks family = sim.Family;
    for (int m : {0, 4, 9}) {
        sim.EdGearExit(std::to_string(0.1 * (m + 1)));
        sim.RunAnalysis();
        const EventRecord& member = family.FamilyEvents[m];
        const EventRecord& single = sim.State.Events;
        EXPECT_EQ(std::vector<int>({member.tson, member.tsoff, member.bson, member.bsoff, member.teon,
                                    member.teoff, member.beon, member.beoff}),
                  std::vector<int>({single.tson, single.tsoff, single.bson, single.bsoff, single.teon,
                                    single.teoff, single.beon, single.beoff}))
            << "member " << m;
        for (int i = 0; i <= sim.State.Nsteps; ++i) {
            ASSERT_EQ(family.FamilyFrontPressure[m * StepArraySize + i], sim.State.FrontPressure[i]) << i;
            ASSERT_EQ(family.FamilyRearPressure[m * StepArraySize + i], sim.State.RearPressure[i]) << i;
        }
    }
}

TEST_F(SimulationAnalysis, DrawingTheWindowsFollowsTheFamilyModeAndLeavesTheResultsAlone) {
    sim.RunAnalysis();
    const auto front = sim.State.Events;
    testing::RecordingCanvas canvas(500, 300);
    Glib1 plot(canvas);
    EXPECT_TRUE(sim.DrawDiagram(sim.IndicatorWindowPlot(), plot, 500, 300));
    EXPECT_TRUE(canvas.HasText("Pressure"));
    canvas.Clear();
    EXPECT_TRUE(sim.DrawDiagram(sim.OvalWindowPlot(), plot, 500, 300));
    EXPECT_TRUE(canvas.HasText("Valve position"));
    EXPECT_EQ(sim.State.Events.tsoff, front.tsoff);
    EXPECT_STREQ(Simulation::DiagramCaption(Plot::Oval), "Oval Diagram");
    EXPECT_STREQ(Simulation::DiagramCaption(Plot::Events), "Events Diagram");
    EXPECT_STREQ(Simulation::DiagramCaption(Plot::IndicatorFamily), "Indicator Diagram");

    sim.Family1Click();
    canvas.Clear();
    EXPECT_TRUE(sim.DrawDiagram(sim.OvalWindowPlot(), plot, 500, 300));
    EXPECT_TRUE(canvas.HasText("LEGEND: t = top end,    b = bottom end"));
    // The family's indicator diagram names each curve's setting; a single one after it has its own
    // colours again.
    canvas.Clear();
    EXPECT_TRUE(sim.DrawDiagram(sim.IndicatorWindowPlot(), plot, 500, 300));
    EXPECT_TRUE(canvas.HasText("0.10") && canvas.HasText("0.50") && canvas.HasText("1.00"));
    EXPECT_EQ(sim.Indicator.CurveColour, 0);
}

// Finite dimensions whose positions or pressures overflow on the way are reported, and no step,
// pressure or listing shows a value that is no number, in a single analysis or a family.
TEST_F(SimulationAnalysis, OverflowsAreReportedAndNoOutputShowsAValueThatIsNoNumber) {
    const auto single = [this](std::size_t offset, float value) {
        std::memcpy(sim.CurrentModel().RecordBytes().data() + offset, &value, sizeof value);
    };
    struct Case {
        const char* name;
        std::function<void()> change;
        const char* message;
    };
    const Case cases[] = {
        // Gamma and ExhaustPressure of the Walschaerts 1 record.
        {"steam expanding with a huge index", [&] { single(360, 1.3e6f); },
         "The pressures cannot be computed for this gear"},
        {"exhaust near the largest Single", [&] { single(352, 3.3e38f); },
         "The pressures cannot be computed for this gear"},
        {"the axle moved near the largest Single", [this] { sim.CurrentModel().WheelDisp = 3e38f; },
         "The positions of this gear lie beyond the numbers"},
        // PortSpacing and PortWidth: the outer port edges lie beyond the largest Single.
        {"ports near the largest Single", [&] { single(340, 3e38f), single(344, 3e38f); },
         "The port edges of this gear lie beyond the numbers the program can hold"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.CurrentModel().SetExample();
        c.change();
        sim.CurrentModel().InitialiseGear();
        sim.State.AnalysisValid = 0;
        sim.RunAnalysis();
        const std::string messages = Messages();
        EXPECT_NE(messages.find(c.message), std::string::npos);
        for (const char* word : {"NAN", "INF", "nan", "inf "})
            EXPECT_EQ(messages.find(word), std::string::npos) << word;
        for (int i = 0; i <= sim.State.Nsteps; ++i) {
            const auto k = static_cast<std::size_t>(i);
            ASSERT_TRUE(std::isfinite(sim.Steps.StepPistonPct[k]) &&
                        std::isfinite(sim.Steps.StepValvePos[k]) &&
                        std::isfinite(sim.State.FrontPressure[k]) && std::isfinite(sim.State.RearPressure[k]))
                << i;
        }
        sim.Family1Click();
        for (const float p : sim.Family.FamilyFrontPressure)
            ASSERT_TRUE(std::isfinite(p));
    }
}

} // namespace
} // namespace linkwright
