// The revolution loop of a kind that solves all positions at once: it stores what the loop of one
// position after another stores, reads the direction once before solving, and hands each position
// over once, in crank order, after the solve.
#include "gears/GearModelOf.h"
#include "tests/support/ScriptedDialogs.h"
#include "windows/MessagesFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace linkwright::testing {
namespace {

struct ScriptedRecord {
    float PortSpacing, PortWidth, BobbinSpacing, BobbinWidth, PressureLimit, SteamChestPressure, Gamma,
        Clearance, ExhaustPressure;
    float ViewWindow[5];
    std::uint8_t Inside;
};

// Its linkage is a scripted valve displacement; `batched` chooses the loop its revolution runs.
class ScriptedGear final : public GearModelOf<GearKind::Walschaerts1, ScriptedRecord> {
public:
    explicit ScriptedGear(const GearEnvironment& environment, bool batched)
        : GearModelOf(environment), batched_(batched) {}

    static float Linkage(float angle) { return static_cast<float>(0.4 * std::sin(3.0 * angle)); }

    void SetExample() override {}
    void InitialiseGear() override {}
    void CalcGear(float crankAngle, float) override {
        angle_ = crankAngle;
        ApplyBacklash(Linkage(crankAngle));
    }
    float PistonPct() const override { return angle_ * 5; }
    std::vector<NamedPin> NamedPins() const override { return {}; }
    void DrawGear(Glib1&, int, int, bool, float, float) override {}

    void SolveRevolution(StepArrays& steps, int Nsteps, EventRecord&, float gearSetting) override {
        if (!batched_) {
            SolveRevolutionLoop(steps, Nsteps, gearSetting, [](int, float) {});
            return;
        }
        SolveRevolutionBatched(
            steps, Nsteps,
            [&](const RevolutionPositions& revolution) {
                log.push_back("solve");
                if (duringSolve) duringSolve();
                positions = &revolution;
                raw.clear();
                for (float angle : revolution.angles)
                    raw.push_back(Linkage(angle));
            },
            [&](int k) {
                log.push_back("step " + std::to_string(k));
                const float angle = positions->angles[static_cast<std::size_t>(k)];
                return SolvedStep{raw[static_cast<std::size_t>(k)], angle * 5};
            },
            [&](int k, float angle) {
                log.push_back("each " + std::to_string(k));
                EXPECT_EQ(angle, positions->angles[static_cast<std::size_t>(k)]);
                valveSeen.push_back(ValvePos());
            });
    }

    std::function<void()> duringSolve;
    const RevolutionPositions* positions = nullptr;
    std::vector<float> raw;
    std::vector<std::string> log;
    std::vector<float> valveSeen; // the output valve position when each step's hook ran

private:
    EditorTable BuildEditor() override { return {}; }
    bool batched_;
    float angle_ = 0;
};

struct TwoGears {
    SimulationState state{};
    MessagesFile messages{"unused-messages.txt"};
    ScriptedDialogs dialogs;
    ScriptedGear batched{GearEnvironment{state, messages, dialogs}, true};
    ScriptedGear stepwise{GearEnvironment{state, messages, dialogs}, false};
};

TEST(RevolutionBatched, StoresWhatOnePositionAfterAnotherStores) {
    struct Case {
        int forward;
        float slack;
        int Nsteps;
    };
    const Case cases[] = {{1, 0.0f, 30}, {0, 0.0f, 31}, {1, 0.15f, 60}, {0, 0.15f, 550}, {1, 0.05f, 100000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.forward) + " " + std::to_string(c.slack) + " " +
                     std::to_string(c.Nsteps));
        TwoGears s;
        s.state.fwd = static_cast<std::uint8_t>(c.forward);
        StepArrays one;
        StepArrays all;
        EventRecord events{};
        for (ScriptedGear* gear : {&s.batched, &s.stepwise}) {
            gear->Slack = c.slack;
            gear->CalcGear(2.0f, 1.0f); // the same band to start from
        }
        // Twice: the second revolution starts from where the first left the valve.
        for (int round = 0; round < 2; ++round) {
            s.batched.SolveRevolution(all, c.Nsteps, events, 1.0f);
            s.stepwise.SolveRevolution(one, c.Nsteps, events, 1.0f);
            EXPECT_EQ(std::memcmp(&all, &one, sizeof all), 0);
            EXPECT_EQ(s.batched.ValvePos(), s.stepwise.ValvePos());
            EXPECT_EQ(s.batched.LinkValvePos(), s.stepwise.LinkValvePos());
        }
        // The hook of each step runs after the backlash, which the entry stores.
        const int n = s.batched.positions->n;
        ASSERT_EQ(s.batched.valveSeen.size(), 2u * std::size_t(n + 1));
        for (int k = 0; k <= n; ++k)
            ASSERT_EQ(s.batched.valveSeen[std::size_t(n + 1 + k)],
                      all.StepValvePos[std::size_t(c.forward ? k : n - k)]);
    }
}

TEST(RevolutionBatched, ReadsTheDirectionOnceThenHandsOverEachPositionInOrder) {
    TwoGears s;
    s.batched.duringSolve = [&] { s.state.fwd = 0; };
    s.state.fwd = 1;
    StepArrays steps;
    EventRecord events{};
    s.batched.SolveRevolution(steps, 30, events, 1.0f);
    EXPECT_EQ(steps.StepCrankAngle[0], 0.0f);
    EXPECT_EQ(steps.StepCrankAngle[30], static_cast<float>(2.0 * std::numbers::pi));

    std::vector<std::string> expected = {"solve"};
    for (int k = 0; k <= 30; ++k) {
        expected.push_back("step " + std::to_string(k));
        expected.push_back("each " + std::to_string(k));
    }
    EXPECT_EQ(s.batched.log, expected);

    // The positions: angles k / n * 2 pi, the crank pin at angle + pi from the axle.
    const RevolutionPositions& positions = *s.batched.positions;
    ASSERT_EQ(positions.cranks.size(), 31u);
    for (std::size_t k = 0; k <= 30; ++k) {
        const double crank = static_cast<double>(positions.angles[k]) + std::numbers::pi;
        EXPECT_EQ(positions.cranks[k].c, std::cos(crank));
        EXPECT_EQ(positions.cranks[k].s, std::sin(crank));
    }
}

} // namespace
} // namespace linkwright::testing
