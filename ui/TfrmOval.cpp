// The oval window ("Oval Diagram" or "Events Diagram", form frmOval).
#include "ui/TfrmOval.h"

#include "analysis/Ovalplt.h"

namespace linkwright {

TfrmOval::TfrmOval(Simulation& simulation, QWidget* parent)
    : DiagramWindow(simulation, QStringLiteral("frmOval"), QString::fromUtf8(OvalDiagramCaption), parent),
      simulation_(simulation) {}

} // namespace linkwright
