// The oval window: the oval diagram of the last analysis, or the events diagram of the family sweep.
#pragma once

#include "ui/DiagramWindow.h"

namespace linkwright {

class TfrmOval final : public DiagramWindow {
    Q_OBJECT
public:
    explicit TfrmOval(Simulation& simulation, QWidget* parent = nullptr);

protected:
    DiagramPlot CurrentPlot() const override { return simulation_.OvalWindowPlot(); }

private:
    Simulation& simulation_;
};

} // namespace linkwright
