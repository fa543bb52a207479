// The tuner and the designs it evaluates: a design solved apart from the shown gear gives the
// figures of the program's own analysis and leaves that gear alone; targets parse as written; the
// search keeps its bounds, never answers an infeasible design, repeats itself for a seed, stops
// when asked and meets the Walschaerts 1 example's cut-off targets.
#include "tuning/Tuner.h"
#include "tuning/EventsTable.h"

#include "analysis/Listings.h"
#include "common/NumberFormat.h"
#include "gears/GearKinds.h"
#include "tests/app/SimulationFixture.h"

#include <atomic>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace linkwright::testing {
namespace {

std::vector<GearKind> BuiltKinds() {
    std::vector<GearKind> kinds;
    for (const GearKindRow& row : GearKinds())
        if (row.Built()) kinds.push_back(row.kind);
    return kinds;
}

class EveryKindDesign : public SimulationFixture, public ::testing::WithParamInterface<GearKind> {
protected:
    void SetUp() override {
        SimulationFixture::SetUp();
        ASSERT_TRUE(sim.ComboBox1Change(static_cast<int>(GetParam())));
    }
};

// For every kind, at working, half and full gear, both ways and in back gear: the design's figures
// are those of View > Indicator Diagram on the shown gear, the example is proper, and solving the
// design neither writes the listing nor changes the shown gear's record.
TEST_P(EveryKindDesign, SolvesAsTheAnalysisDoesWithoutTouchingTheShownGear) {
    GearModel& model = sim.CurrentModel();
    const std::span<const std::uint8_t> bytes = model.RecordBytes();
    const std::vector<std::uint8_t> record(bytes.begin(), bytes.end());
    GearDesign design(model, sim.State);
    const char* listing = KindRow(GetParam()).listingFileName;
    const std::vector<OperatingPoint> points = {{0.25f, true}, {0.5f, false}, {1.0f, true}, {-0.75f, false}};
    std::vector<PointEvents> solved;
    for (const OperatingPoint point : points) {
        if (listing != nullptr) std::filesystem::remove(listing);
        solved.push_back(design.Solve(point).events);
        EXPECT_TRUE(solved.back().proper) << solved.back().problem;
        if (listing != nullptr) {
            EXPECT_FALSE(std::filesystem::exists(listing));
        }
    }
    const std::span<const std::uint8_t> after = model.RecordBytes();
    EXPECT_TRUE(std::equal(after.begin(), after.end(), record.begin(), record.end()));

    for (std::size_t i = 0; i < points.size(); ++i) {
        const OperatingPoint point = points[i];
        SCOPED_TRACE(std::to_string(point.setting) + (point.forward ? " forward" : " backward"));
        sim.EdGearExit(ShortestText(point.setting));
        sim.fwdClick(point.forward);
        sim.RunAnalysis();
        const ListingFigures figures =
            ComputeListingFigures(sim.State.Events, sim.Steps.StepCrankAngle, sim.Steps.StepPistonPct,
                                  sim.Steps.StepValvePos, sim.State.Nsteps);
        const PointEvents& events = solved[i];
        EXPECT_EQ(events.front.cutoffPct, figures.front.cutoffPct);
        EXPECT_EQ(events.rear.cutoffPct, figures.rear.cutoffPct);
        EXPECT_EQ(events.rear.cutoffExactPct, figures.rear.cutoff.interpolatedPct);
        EXPECT_EQ(events.front.releasePct, figures.front.release.interpolatedPct);
        EXPECT_EQ(events.rear.compressionPct, figures.rear.compression.interpolatedPct);
        EXPECT_EQ(events.front.lead, figures.front.lead);
        EXPECT_EQ(events.valveTravel, figures.valveTravel);
    }
}

// A revolution the linkage cannot make whole is no design to trust: a connecting rod too short to
// reach the crank from the cylinder's line in every kind.
TEST_P(EveryKindDesign, AGearThatCannotBeSolvedIsNotProper) {
    GearDesign design(sim.CurrentModel(), sim.State);
    std::vector<ControlValue> values = design.EditorValues();
    const EditorTable& table = design.Model().Editor();
    const double stroke =
        *ParseReal(values[static_cast<std::size_t>(table.Find("PistStroke") - table.fields.data())].text);
    TypeTuned(table, values, {{"GC", ShortestText(static_cast<float>(stroke / 4))}});
    ASSERT_TRUE(design.Ok(values).empty());
    EXPECT_FALSE(design.Solve({1.0f, true}).events.proper);
    // The kind itself counts the crosshead placings it could not make.
    EXPECT_GT(design.Model().UnsolvedPlacings(), 0);
    GearDesign example(sim.CurrentModel(), sim.State);
    example.Solve({1.0f, true});
    EXPECT_EQ(example.Model().UnsolvedPlacings(), 0);
}

// Every kind tunes through its own editor: its first geometry controls varied for equal cut-offs at
// half gear, the answer is feasible, no worse than the start, within the bounds, and typed into the
// editor it gives the events the tuner reported.
TEST_P(EveryKindDesign, TunesThroughItsEditor) {
    GearModel& model = sim.CurrentModel();
    GearDesign design(model, sim.State);
    const std::vector<ControlValue> values = design.EditorValues();
    const EditorTable& table = design.Model().Editor();
    const std::vector<std::size_t> tunable = TunableFields(
        table, values, EditorSession(design.Model(), design.State(), design.Dialogs()).Enabled(values));
    TuningProblem problem;
    for (const std::size_t field : tunable)
        if (table.fields[field].tab == GeometryTab && problem.vary.size() < 4)
            problem.vary.push_back(ParseVaried(table.fields[field].component, table, values));
    ASSERT_EQ(problem.vary.size(), 4u);
    problem.targets.push_back(ParseTarget("equal-cutoff@0.5"));
    Tuner tuner(model, sim.State, problem);
    TuningOptions options;
    options.maxEvaluations = 200;
    const TuningResult result = tuner.Run(options);
    ASSERT_TRUE(result.before.feasible) << result.before.problem;
    ASSERT_TRUE(result.after.feasible);
    EXPECT_LT(result.after.largestShortfall, result.before.largestShortfall / 2);
    EXPECT_EQ(result.evaluations, options.maxEvaluations);
    for (std::size_t i = 0; i < result.best.size(); ++i) {
        EXPECT_GE(result.best[i], problem.vary[i].low);
        EXPECT_LE(result.best[i], problem.vary[i].high);
    }
    std::vector<ControlValue> typed = values;
    TypeTuned(table, typed, result.typed);
    ASSERT_TRUE(design.Ok(typed).empty());
    const PointEvents events = design.Solve({0.5f, true}).events;
    EXPECT_EQ(events.front.cutoffPct, result.after.readings[0].front);
    EXPECT_EQ(events.rear.cutoffPct, result.after.readings[0].rear);
}

INSTANTIATE_TEST_SUITE_P(Kinds, EveryKindDesign, ::testing::ValuesIn(BuiltKinds()),
                         [](const auto& info) { return std::string(KindRow(info.param).name); });

// The revolution checks at their thresholds, on a crank-driven piston and valve: a step may move
// ten times as far as the fastest sinusoid of the travel, the piston must make 90 % of its stroke,
// and the revolution must end where it began.
TEST(DesignChecks, ARevolutionIsTrustedUpToItsThresholds) {
    constexpr int n = 360;
    const double travel = 0.8;
    const double fastest = travel / 2 * 2 * std::numbers::pi / n; // the valve's largest step
    struct Case {
        const char* name;
        double stroke;    // percent
        double jump;      // added to the valve from step 91 on, where it barely moves, in fastest steps
        double endOffset; // added to the valve's last entry
        double slack;
        bool proper;
    };
    const Case cases[] = {
        {"a sinusoid", 100, 0, 0, 0, true},
        {"a step of nine", 100, 8.9, 0, 0, true},
        {"a step of eleven", 100, 10.1, 0, 0, false},
        {"91 % of the stroke", 91, 0, 0, 0, true},
        {"89 % of the stroke", 89, 0, 0, 0, false},
        {"an end apart", 100, 0, 1e-3, 0, false},
        {"an end apart within the slack", 100, 0, 1e-3, 2e-3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> piston(n + 1);
        std::vector<float> valve(n + 1);
        for (int k = 0; k <= n; ++k) {
            const double angle = 2 * std::numbers::pi * k / n;
            piston[k] = static_cast<float>(c.stroke / 2 * (1 - std::cos(angle)));
            valve[k] =
                static_cast<float>(travel / 2 * std::sin(angle) + (k > 90 && k < n ? c.jump * fastest : 0));
        }
        valve[n] = static_cast<float>(valve[n] + c.endOffset);
        ListingFigures figures;
        figures.valveTravel = travel;
        const PointEvents events = EventsOf({1.0f, true}, figures, piston, valve, n, false, c.slack);
        EXPECT_EQ(events.proper, c.proper) << events.problem;
    }
}

TEST(TuningTargets, ParseAsWrittenOrSayWhyNot) {
    const TuningTarget equal = ParseTarget("equal-cutoff@0.25,0.5,1", TargetDirections::Both);
    EXPECT_EQ(equal.kind, TargetKind::EqualCutoff);
    ASSERT_EQ(equal.points.size(), 6u);
    EXPECT_EQ(equal.points[1], (OperatingPoint{0.25f, false}));
    EXPECT_EQ(equal.points[4], (OperatingPoint{1.0f, true}));
    EXPECT_EQ(TargetText(equal), "equal-cutoff@0.25,0.5,1 both directions");

    const TuningTarget cutoff = ParseTarget("cutoff@-1=80", TargetDirections::Backward);
    EXPECT_EQ(cutoff.value, 80);
    EXPECT_EQ(cutoff.points, (std::vector<OperatingPoint>{{-1.0f, false}}));
    EXPECT_EQ(TargetText(ParseTarget("max-travel=0.9")), "max-travel@1=0.9");
    EXPECT_EQ(ParseTarget("min-opening@0.25=0.1").points, (std::vector<OperatingPoint>{{0.25f, true}}));

    for (const char* wrong : {"equal-cutof@1", "equal-lead@1=2", "cutoff@1", "cutoff@1=100", "max-travel=0",
                              "max-travel=-1", "min-opening=-0.1", "equal-cutoff@", "equal-cutoff@0.25,",
                              "equal-cutoff@0x1", "cutoff@1=8o", "equal-cutoff@1e39"}) {
        SCOPED_TRACE(wrong);
        EXPECT_THROW(ParseTarget(wrong), std::invalid_argument);
    }
}

class TunerFixture : public SimulationFixture {
protected:
    TuningProblem Problem(std::vector<std::string> controls, std::vector<std::string> targets) {
        TuningProblem problem;
        const EditorTable& table = sim.CurrentModel().Editor();
        GearDesign design(sim.CurrentModel(), sim.State);
        const std::vector<ControlValue> values = design.EditorValues();
        for (const std::string& control : controls)
            problem.vary.push_back(ParseVaried(control, table, values));
        for (const std::string& target : targets)
            problem.targets.push_back(ParseTarget(target));
        return problem;
    }
    // The design's events at `point` after the tuned texts are typed into the shown gear's editor.
    PointEvents AppliedEvents(const TuningResult& result, OperatingPoint point) {
        GearDesign design(sim.CurrentModel(), sim.State);
        std::vector<ControlValue> values = design.EditorValues();
        TypeTuned(design.Model().Editor(), values, result.typed);
        EXPECT_TRUE(design.Ok(values).empty());
        return design.Solve(point).events;
    }
};

TEST_F(TunerFixture, EqualCutoffsAtWorkingGearAreReachedWithinTheBoundsAndTheListingShowsThem) {
    Tuner tuner(sim.CurrentModel(), sim.State, Problem({"ARx", "PXx", "PXy"}, {"equal-cutoff@0.25"}));
    TuningOptions options;
    options.maxEvaluations = 600;
    const TuningResult result = tuner.Run(options);
    ASSERT_TRUE(result.after.feasible) << result.after.problem;
    EXPECT_NEAR(result.before.largestShortfall, 37.0772705 - 32.8268967, 1e-4);
    EXPECT_LE(result.after.largestShortfall, 0.5);
    EXPECT_LE(result.evaluations, 600);
    for (std::size_t i = 0; i < result.best.size(); ++i) {
        EXPECT_GE(result.best[i], tuner.Problem().vary[i].low);
        EXPECT_LE(result.best[i], tuner.Problem().vary[i].high);
    }
    const PointEvents applied = AppliedEvents(result, {0.25f, true});
    EXPECT_EQ(applied.front.cutoffPct, result.after.readings[0].front);
    EXPECT_LE(std::fabs(applied.front.cutoffPct - applied.rear.cutoffPct), 0.5);

    // The same seed again gives the same design.
    Tuner again(sim.CurrentModel(), sim.State, tuner.Problem());
    const TuningResult repeated = again.Run(options);
    EXPECT_EQ(repeated.best, result.best);
    EXPECT_EQ(repeated.evaluations, result.evaluations);
}

TEST_F(TunerFixture, OverThreeSettingsTheLargestDifferenceFallsBelowTheExamples) {
    Tuner tuner(sim.CurrentModel(), sim.State, Problem({"ARx", "PXx", "PXy"}, {"equal-cutoff@0.25,0.5,1"}));
    TuningOptions options;
    options.maxEvaluations = 600;
    const TuningResult result = tuner.Run(options);
    EXPECT_NEAR(result.before.largestShortfall, 82.8377686 - 78.2270031, 1e-4);
    ASSERT_TRUE(result.after.feasible);
    // The worst of the three, not their sum, is what falls: 4.6 to about 3.8.
    EXPECT_LT(result.after.largestShortfall, 4.0);
    EXPECT_EQ(result.after.readings.size(), 3u);
}

TEST_F(TunerFixture, ATargetTheGearAlreadyMeetsIsMetAtOnce) {
    Tuner tuner(sim.CurrentModel(), sim.State,
                Problem({"ARx", "PXx"}, {"max-travel=0.9", "min-opening@1=0.1"}));
    const TuningResult result = tuner.Run({});
    EXPECT_EQ(result.stop, TuningStop::Met);
    EXPECT_EQ(result.evaluations, 1);
    EXPECT_EQ(result.best, result.start);
    EXPECT_EQ(result.after.objective, 0);
}

// A bound the start misses but a design within reach meets: the search stops at the first such
// design, long before its budget.
TEST_F(TunerFixture, TheSearchStopsAtTheFirstDesignThatMeetsEveryTarget) {
    Tuner tuner(sim.CurrentModel(), sim.State, Problem({"ARx"}, {"max-travel=0.8"}));
    TuningOptions options;
    options.maxEvaluations = 500;
    const TuningResult result = tuner.Run(options);
    EXPECT_GT(result.before.largestShortfall, 0);
    EXPECT_EQ(result.stop, TuningStop::Met);
    EXPECT_EQ(result.after.objective, 0);
    EXPECT_LE(result.after.readings[0].front, 0.8);
    EXPECT_LT(result.evaluations, 100);
}

// Bounds that take the connecting rod down to where it no longer reaches: whatever the search
// tries there, the answer is a design every point of which is solved.
TEST_F(TunerFixture, AnInfeasibleDesignIsNeverTheAnswer) {
    Tuner tuner(sim.CurrentModel(), sim.State, Problem({"GC:0.2:60", "PXx"}, {"cutoff@1=95"}));
    TuningOptions options;
    options.maxEvaluations = 150;
    const TuningResult result = tuner.Run(options);
    ASSERT_TRUE(result.after.feasible);
    for (const PointEvents& events : result.after.events)
        EXPECT_TRUE(events.proper);
    EXPECT_TRUE(AppliedEvents(result, {1.0f, true}).proper);
    EXPECT_FALSE(tuner.Evaluate(std::vector<double>{0.2, result.best[1]}).feasible);

    // Bounds wholly where nothing solves, away from today's rod: the design before is the gear as
    // it stands, and with nothing better found it is the answer, typed as it stands.
    Tuner nowhere(sim.CurrentModel(), sim.State, Problem({"GC:0.001:0.002"}, {"cutoff@1=95"}));
    options.maxEvaluations = 20;
    const TuningResult unchanged = nowhere.Run(options);
    ASSERT_TRUE(unchanged.before.feasible) << unchanged.before.problem;
    EXPECT_EQ(unchanged.before.readings[0].front, result.before.readings[0].front);
    EXPECT_EQ(unchanged.best, unchanged.start);
    EXPECT_TRUE(unchanged.after.feasible);
    ASSERT_EQ(unchanged.typed.size(), 1u);
    EXPECT_EQ(ParseReal(unchanged.typed[0].text), unchanged.start[0]);
}

TEST_F(TunerFixture, ACancelStopsBeforeTheNextEvaluation) {
    Tuner tuner(sim.CurrentModel(), sim.State, Problem({"ARx", "PXx", "PXy"}, {"equal-cutoff@0.25,0.5,1"}));
    std::atomic<bool> cancel = false;
    TuningOptions options;
    options.cancel = &cancel;
    int seen = 0;
    options.progress = [&](const TuningProgress& progress) {
        seen = progress.evaluations;
        if (progress.evaluations >= 30) cancel = true;
    };
    const TuningResult result = tuner.Run(options);
    EXPECT_EQ(result.stop, TuningStop::Cancelled);
    EXPECT_EQ(result.evaluations, seen + 1); // the evaluation of the start counts too
    EXPECT_LE(seen, 50);

    // No time left: nothing beyond the start is evaluated.
    TuningOptions noTime;
    noTime.maxSeconds = 0;
    const TuningResult timed = tuner.Run(noTime);
    EXPECT_EQ(timed.stop, TuningStop::Time);
    EXPECT_EQ(timed.evaluations, 1);
    EXPECT_EQ(timed.best, timed.start);
}

TEST(TuningControls, BoundsByDefaultAreTenPercentEitherSideOrATenthAboutZero) {
    for (const auto& [shown, low, high] : std::vector<std::tuple<double, double, double>>{
             {0, -0.1, 0.1}, {-2, -2.2, -1.8}, {27.5, 24.75, 30.25}}) {
        const VariedControl control = DefaultBounds("X", shown);
        EXPECT_DOUBLE_EQ(control.low, low);
        EXPECT_DOUBLE_EQ(control.high, high);
    }
}

TEST_F(TunerFixture, AProblemThatCannotBeSetIsRefused) {
    const EditorTable& table = sim.CurrentModel().Editor();
    const std::vector<ControlValue> values = GearDesign(sim.CurrentModel(), sim.State).EditorValues();
    for (const char* wrong :
         {"Nsteps", "Descr", "Gamma", "Clearance", "cbARy", "NoSuchControl", "ARx:1", "ARx:a:b"}) {
        SCOPED_TRACE(wrong);
        EXPECT_THROW(ParseVaried(wrong, table, values), std::invalid_argument);
    }
    EXPECT_THROW(Tuner(sim.CurrentModel(), sim.State, Problem({"ARx:2:1"}, {"equal-lead@1"})),
                 std::invalid_argument);
    // ARy while its Auto box puts it level with the trunnion.
    sim.Edit1Click([](EditorSession& session) {
        std::vector<ControlValue> values = session.Fill();
        values[static_cast<std::size_t>(session.Table().Find("cbARy") - session.Table().fields.data())]
            .checked = true;
        session.Ok(values);
    });
    try {
        Tuner(sim.CurrentModel(), sim.State, Problem({"ARy"}, {"equal-lead@1"}));
        ADD_FAILURE() << "ARy was varied under its ticked box";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(),
                     "The control \"ARy\" is set by the ticked \"Auto\" (cbARy): untick it to vary it");
    }
    EXPECT_THROW(Tuner(sim.CurrentModel(), sim.State, Problem({"ARx", "ARx"}, {"equal-lead@1"})),
                 std::invalid_argument);
    EXPECT_THROW(Tuner(sim.CurrentModel(), sim.State, Problem({}, {"equal-lead@1"})), std::invalid_argument);
    EXPECT_THROW(Tuner(sim.CurrentModel(), sim.State, Problem({"ARx"}, {})), std::invalid_argument);
}

TEST(EventsTable, DesignsStandSideBySideAndTheCsvQuotesWhatMustBe) {
    PointEvents a;
    a.point = {0.25f, false};
    a.proper = true;
    a.front.cutoffPct = 32.8268967;
    a.rear.lead = 0.0183;
    a.valveTravel = 0.40414;
    PointEvents b = a;
    b.proper = false;
    b.problem = "the valve jumps between steps 3 and 4, then more";
    b.front.cutoffPct = 35.04;
    b.rear.lead = -std::numeric_limits<double>::infinity();
    const EventsTable table = CompareEvents({"A.L1", "B,2.L1"}, {{a}, {b}});
    ASSERT_EQ(table.rows.size(), 2u);
    const auto column = [&](const std::string& name) {
        return std::find(table.columns.begin(), table.columns.end(), name) - table.columns.begin();
    };
    EXPECT_EQ(table.rows[0][column("Cut-off % A.L1")], "32.8");
    EXPECT_EQ(table.rows[0][column("Cut-off % B,2.L1")], "35.0");
    EXPECT_EQ(table.rows[1][column("Lead A.L1")], "0.0183");
    EXPECT_EQ(table.rows[1][column("Lead B,2.L1")], "");
    EXPECT_EQ(table.rows[1][column("Travel B,2.L1")], "0.4041");
    EXPECT_EQ(table.rows[1][column("End")], "rear");
    EXPECT_EQ(table.rows[0][column("Direction")], "backward");
    const std::string csv = EventsTableCsv(table);
    EXPECT_NE(csv.find(",\"Cut-off % B,2.L1\","), std::string::npos);
    EXPECT_NE(csv.find(",proper,\"the valve jumps between steps 3 and 4, then more\"\n"), std::string::npos);
}

} // namespace
} // namespace linkwright::testing
