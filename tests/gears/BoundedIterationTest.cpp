// The bounded iteration every iterative linkage step runs through: where it stops, what it counts,
// and that an error which is no number never passes for convergence.
#include "gears/BoundedIteration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <span>
#include <vector>

namespace linkwright {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// In a script: this pass gives up, saying it measured no error at all (which must not count as
// convergence).
constexpr double kGiveUp = 1e300;

// A scripted iteration: pass i reports script[i], and any pass beyond the script an error of 1; the
// state counts the passes made.
struct Scripted {
    std::vector<double> script;
    int made = 0;
};

IterationPass NextOf(Scripted& s) {
    const auto i = static_cast<std::size_t>(s.made++);
    const double r = i < s.script.size() ? s.script[i] : 1.0;
    return r == kGiveUp ? IterationPass::GiveUp(0.0) : IterationPass::Measured(r);
}

TEST(BoundedIteration, StopsOnTheFirstPassBelowTheToleranceOnGivingUpOrAtTheBound) {
    const double tol = 0.01;
    const double below = std::nextafter(tol, 0.0);
    struct Case {
        const char* name;
        std::vector<double> script;
        int maxPasses;
        double tolerance;
        IterationOutcome outcome;
        int passes;
        double residual;
    };
    const Case cases[] = {
        {"converges at once", {0.0}, 5, tol, IterationOutcome::Converged, 1, 0.0},
        {"converges on the last allowed pass",
         {1, 0.5, 0.2, 0.1, 0.005},
         5,
         tol,
         IterationOutcome::Converged,
         5,
         0.005},
        {"misses the bound by one pass",
         {1, 0.5, 0.2, 0.1, 0.05, 0.005},
         5,
         tol,
         IterationOutcome::HitBound,
         5,
         0.05},
        {"a negative error counts by its size",
         {-0.5, -0.005},
         5,
         tol,
         IterationOutcome::Converged,
         2,
         -0.005},
        {"an error exactly at the tolerance goes on",
         {tol, below},
         5,
         tol,
         IterationOutcome::Converged,
         2,
         below},
        {"so does one of minus the tolerance",
         {-tol, -below},
         5,
         tol,
         IterationOutcome::Converged,
         2,
         -below},
        {"at the tolerance on the last pass is not converged",
         {tol},
         1,
         tol,
         IterationOutcome::HitBound,
         1,
         tol},
        {"gives up at once", {kGiveUp}, 5, tol, IterationOutcome::GaveUp, 1, 0.0},
        {"gives up after measuring", {1, 0.5, kGiveUp}, 5, tol, IterationOutcome::GaveUp, 3, 0.0},
        {"a NaN error gives up", {1, kNaN}, 5, tol, IterationOutcome::GaveUp, 2, kNaN},
        {"a NaN error with an infinite tolerance gives up",
         {kNaN},
         5,
         kInf,
         IterationOutcome::GaveUp,
         1,
         kNaN},
        {"an infinite error gives up", {-kInf}, 5, tol, IterationOutcome::GaveUp, 1, -kInf},
        {"a zero tolerance is never met", {0, 0, 0}, 3, 0.0, IterationOutcome::HitBound, 3, 0.0},
        {"no pass allowed, none made", {}, 0, tol, IterationOutcome::HitBound, 0, kNaN},
        {"a negative limit makes no pass either", {}, -3, tol, IterationOutcome::HitBound, 0, kNaN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scripted state{c.script};
        const IterationResult result =
            IterateBounded(state, IterationLimits{c.maxPasses, c.tolerance}, NextOf);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.Converged(), c.outcome == IterationOutcome::Converged);
        EXPECT_EQ(result.passes, c.passes);
        EXPECT_EQ(state.made, c.passes); // every pass counted, none made beyond the result
        if (std::isnan(c.residual))
            EXPECT_TRUE(std::isnan(result.residual));
        else
            EXPECT_EQ(result.residual, c.residual);
    }
}

// A fixed-point correction as the mechanisms write it: each pass measures the error of the state,
// corrects the state by it and reports it, so the state leaves with the last correction applied.
TEST(BoundedIteration, AFixedPointCorrectionLeavesTheStateWithItsLastCorrection) {
    double x = 1.0; // x = cos x
    std::vector<double> seen;
    const IterationResult result = IterateBounded(x, IterationLimits{100, 1e-9}, [&](double& at) {
        seen.push_back(at);
        const double error = std::cos(at) - at;
        at += 0.6 * error; // damped, so that it converges steadily
        return IterationPass::Measured(error);
    });
    ASSERT_TRUE(result.Converged());
    EXPECT_EQ(result.passes, static_cast<int>(seen.size()));
    EXPECT_LT(std::fabs(result.residual), 1e-9);
    EXPECT_EQ(x, seen.back() + 0.6 * result.residual);
    EXPECT_NEAR(x, 0.7390851332151607, 1e-9);

    // The same correction, bounded tighter than it needs, stops with the bound and keeps its state.
    double y = 1.0;
    const IterationResult bounded = IterateBounded(y, IterationLimits{3, 1e-9}, [](double& at) {
        const double error = std::cos(at) - at;
        at += 0.6 * error;
        return IterationPass::Measured(error);
    });
    EXPECT_EQ(bounded.outcome, IterationOutcome::HitBound);
    EXPECT_EQ(bounded.passes, 3);
    EXPECT_EQ(y, seen[3]);
}

// States iterated together end each as it would alone, whichever pass each stops at and however
// the states that stop early are interleaved with those going on.
TEST(BoundedIteration, StatesIteratedTogetherEndAsEachWouldAlone) {
    const std::vector<std::vector<double>> scripts = {
        {0.0},
        {1, 0.5, 0.2, 0.1, 0.005},
        {1, 0.5, 0.2, 0.1, 0.05, 0.005},
        {kGiveUp},
        {1, kNaN},
        {0.5, -0.001},
        {1, 0.5, kGiveUp},
        {-kInf},
        {0.01},
        {1, 1, 1, 0.009},
    };
    const IterationLimits limits{5, 0.01};
    std::vector<Scripted> together;
    for (const auto& script : scripts)
        together.push_back(Scripted{script});
    std::vector<IterationResult> results(together.size());
    std::vector<std::uint32_t> active;
    IterateBoundedTogether(std::span<Scripted>(together), limits, NextOf, std::span<IterationResult>(results),
                           active);
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        SCOPED_TRACE(i);
        Scripted alone{scripts[i]};
        const IterationResult expected = IterateBounded(alone, limits, NextOf);
        EXPECT_EQ(results[i].outcome, expected.outcome);
        EXPECT_EQ(results[i].passes, expected.passes);
        EXPECT_EQ(together[i].made, alone.made);
        EXPECT_EQ(std::isnan(results[i].residual), std::isnan(expected.residual));
        if (!std::isnan(expected.residual)) {
            EXPECT_EQ(results[i].residual, expected.residual);
        }
    }
}

TEST(BoundedIteration, TheLargerOfTwoErrorsKeepsANaNInEitherPlace) {
    EXPECT_EQ(LargerError(0.1, -0.3), 0.3);
    EXPECT_EQ(LargerError(-0.3, 0.1), 0.3);
    EXPECT_EQ(LargerError(0.0, -0.0), 0.0);
    EXPECT_TRUE(std::isnan(LargerError(kNaN, 0.1)));
    EXPECT_TRUE(std::isnan(LargerError(0.1, kNaN)));
    EXPECT_EQ(LargerError(kInf, 1.0), kInf);
}

} // namespace
} // namespace linkwright
