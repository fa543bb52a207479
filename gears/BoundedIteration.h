// The one loop of every iterative linkage step: fixed-point corrections that stop when the error is
// below a tolerance tied to the gear's size, when the step cannot go on, or after a set number of
// passes. No mechanism writes a loop of its own, so none can run for ever.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace linkwright {

// How an iteration ended.
enum class IterationOutcome : std::uint8_t {
    Converged, // a pass measured an error below the tolerance
    GaveUp,    // a pass could not go on, or measured an error that is no number
    HitBound,  // the pass limit was reached first
};

// What one pass reports: the error it measured (and, as a rule, corrected the state by), or that it
// cannot go on (an intersection failed, a correction ran away); a giving-up pass may still say what
// it measured.
struct IterationPass {
    double residual = 0.0;
    bool gaveUp = false;

    static constexpr IterationPass Measured(double residual) { return IterationPass{residual, false}; }
    static constexpr IterationPass GiveUp(double residual = std::numeric_limits<double>::quiet_NaN()) {
        return IterationPass{residual, true};
    }
};

// A loop that "goes on while n <= 10" makes at most 11 passes: maxPasses counts every pass, the
// first included. The error must be strictly below the tolerance: one exactly at it goes on, as
// every loop of the mechanisms is written "until |error| < tolerance". A tolerance of 0 or less is
// never met.
struct IterationLimits {
    int maxPasses = 1;
    double tolerance = 0.0;
};

struct IterationResult {
    IterationOutcome outcome = IterationOutcome::HitBound;
    int passes = 0;                                             // passes made, the last included
    double residual = std::numeric_limits<double>::quiet_NaN(); // what the last pass measured

    bool Converged() const { return outcome == IterationOutcome::Converged; }
};

// Runs `pass(state)` (returning an IterationPass) until it converges, gives up or has run
// limits.maxPasses times (none when that is below 1). An error that is NaN or infinite ends the
// iteration as GaveUp: it never counts as converged, and no later pass can recover from it.
template <typename State, typename Pass>
[[gnu::always_inline]] inline IterationResult IterateBounded(State& state, IterationLimits limits,
                                                             Pass&& pass) {
    IterationResult result;
    while (result.passes < limits.maxPasses) {
        const IterationPass made = pass(state);
        ++result.passes;
        result.residual = made.residual;
        if (made.gaveUp || !std::isfinite(made.residual)) {
            result.outcome = IterationOutcome::GaveUp;
            return result;
        }
        if (std::fabs(made.residual) < limits.tolerance) {
            result.outcome = IterationOutcome::Converged;
            return result;
        }
    }
    result.outcome = IterationOutcome::HitBound;
    return result;
}

// IterateBounded for many independent states at once, in lockstep: the first pass of every state,
// then the second pass of every state still going, and so on. Each state ends as IterateBounded
// would leave it and results[i] is what IterateBounded would answer for states[i]; as the passes of
// different states do not wait on one another, the processor works on several at a time. `active`
// is scratch space, kept by the caller to save allocations.
template <typename State, typename Pass>
void IterateBoundedTogether(std::span<State> states, IterationLimits limits, Pass&& pass,
                            std::span<IterationResult> results, std::vector<std::uint32_t>& active) {
    const std::size_t n = states.size() < results.size() ? states.size() : results.size();
    active.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        active[i] = static_cast<std::uint32_t>(i);
        results[i] = IterationResult{};
    }
    std::size_t going = n;
    for (int made = 0; made < limits.maxPasses && going > 0; ++made) {
        std::size_t still = 0;
        for (std::size_t j = 0; j < going; ++j) {
            const std::uint32_t i = active[j];
            IterationResult& result = results[i];
            const IterationPass step = pass(states[i]);
            ++result.passes;
            result.residual = step.residual;
            if (step.gaveUp || !std::isfinite(step.residual)) {
                result.outcome = IterationOutcome::GaveUp;
            } else if (std::fabs(step.residual) < limits.tolerance) {
                result.outcome = IterationOutcome::Converged;
            } else {
                active[still++] = i;
            }
        }
        going = still;
    }
}

// The error of a pass that measures two (both must be below the tolerance): the larger magnitude,
// and NaN when either is NaN, which std::max would drop when it comes second.
inline double LargerError(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::numeric_limits<double>::quiet_NaN();
    return std::fmax(std::fabs(a), std::fabs(b));
}

} // namespace linkwright
