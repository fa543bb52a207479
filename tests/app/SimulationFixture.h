// A simulation started as the program starts, drawing onto a recording canvas in a scratch folder,
// with scripted dialogs and a count of the requests to close the diagram windows.
#pragma once

#include "app/Simulation.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace linkwright::testing {

class SimulationFixture : public ::testing::Test {
protected:
    ScratchDir dir;
    WorkingDirectory cwd{dir.path()};
    ScriptedDialogs dialogs;
    RecordingCanvas canvas{800, 600};
    Simulation sim{dialogs};
    int closes = 0;

    void SetUp() override {
        sim.Plot.AttachCanvas(canvas);
        sim.CloseDiagramWindows = [this] { ++closes; };
        sim.Redraw(803, 703, 100);
    }
};

} // namespace linkwright::testing
