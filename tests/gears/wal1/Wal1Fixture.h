// A Walschaerts 1 model as the program holds it after start-up: the example set, the main state at
// its defaults, and a messages file and dialogs of its own in a scratch folder.
#pragma once

#include "common/NumberFormat.h"
#include "gears/wal1/Wal1.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"
#include "windows/MessagesFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace linkwright::testing {

inline SimulationState DefaultState() {
    SimulationState state{};
    state.fwd = 1;
    state.Nsteps = 550;
    state.MovieStep = 0.01f;
    state.GearSetting = 1.0f;
    state.Decimals = 4;
    return state;
}

class Wal1Test : public ::testing::Test {
protected:
    Wal1Test()
        : cwd_(scratch_.path()), messages_(scratch_ / "Messages.txt"),
          model_(GearEnvironment{state_, messages_, dialogs_}) {
        messages_.Create();
        model_.SetExample();
    }

    std::vector<std::string> MessageLines() {
        messages_.Flush();
        return ReadLines(messages_.Path());
    }

    ScratchDir scratch_;
    WorkingDirectory cwd_;
    SimulationState state_ = DefaultState();
    MessagesFile messages_;
    ScriptedDialogs dialogs_;
    Wal1 model_;
};

inline double Dist(Point2 a, Point2 b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

} // namespace linkwright::testing
