// The indicator diagram window ("Indicator Diagram", form frmIndic).
#include "ui/TfrmIndic.h"

#include "analysis/Indicplt.h"

namespace linkwright {

TfrmIndic::TfrmIndic(Simulation& simulation, QWidget* parent)
    : DiagramWindow(simulation, QStringLiteral("frmIndic"), QString::fromUtf8(IndicatorWindowCaption),
                    parent),
      simulation_(simulation) {}

} // namespace linkwright
