// The indicator diagram window: front end left, rear end right, or the ten members of a family
// sweep overlaid, drawn from the simulation's stored pressures.
#pragma once

#include "ui/DiagramWindow.h"

namespace linkwright {

class TfrmIndic final : public DiagramWindow {
    Q_OBJECT
public:
    explicit TfrmIndic(Simulation& simulation, QWidget* parent = nullptr);

protected:
    DiagramPlot CurrentPlot() const override { return simulation_.IndicatorWindowPlot(); }

private:
    Simulation& simulation_;
};

} // namespace linkwright
