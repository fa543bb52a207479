// A Walschaerts 2 model as the program holds it after start-up: the example set, the main state at
// its defaults, and a messages file and dialogs of its own in a scratch folder.
#pragma once

#include "common/NumberFormat.h"
#include "gears/wal2/Wal2.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"
#include "windows/MessagesFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace linkwright::testing {

class Wal2Test : public ::testing::Test {
protected:
    Wal2Test()
        : cwd_(scratch_.path()), messages_(scratch_ / "Messages.txt"),
          model_(GearEnvironment{state_, messages_, dialogs_}) {
        state_.fwd = 1;
        state_.Nsteps = 550;
        state_.MovieStep = 0.01f;
        state_.GearSetting = 1.0f;
        state_.Decimals = 4;
        messages_.Create();
        model_.SetExample();
    }

    std::vector<std::string> MessageLines() {
        messages_.Flush();
        return ReadLines(messages_.Path());
    }

    ScratchDir scratch_;
    WorkingDirectory cwd_;
    SimulationState state_{};
    MessagesFile messages_;
    ScriptedDialogs dialogs_;
    Wal2 model_;
};

inline double Dist(Point2 a, Point2 b) {
    return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
}

} // namespace linkwright::testing
