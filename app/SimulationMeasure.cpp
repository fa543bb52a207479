// The measuring clicks of the Measure menu: distances, separations and coordinates read off the gear
// picture in the gear's own length unit.
#include "app/Simulation.h"

#include "common/NumberFormat.h"

#include <cmath>

namespace linkwright {

std::optional<Simulation::MeasureMarks> Simulation::MeasureClick(int px, int py) {
    if (MeasureMode > 2) return std::nullopt;
    // Back from pixels to the world of the last drawing; a degenerate mapping measures nothing.
    if (Mapping.ScaleX == 0.0f || Mapping.ScaleY == 0.0f) return std::nullopt;
    const double x = (px - Mapping.VpLeft) / static_cast<double>(Mapping.ScaleX) + Mapping.OriginX;
    const double y = (py - Mapping.VpBottom) / static_cast<double>(Mapping.ScaleY) + Mapping.OriginY;

    MeasureMarks marks;
    marks.toX = px;
    marks.toY = py;
    double dx = 0;
    double dy = 0;
    double d = 0;
    if (MeasurePairStart == 0) {
        dx = x - LastMeasureX;
        dy = y - LastMeasureY;
        d = std::sqrt(dx * dx + dy * dy);
        marks.line = true;
        marks.fromX = MeasurePenX;
        marks.fromY = MeasurePenY;
    }
    const int digits = State.Decimals;
    switch (MeasureMode) {
    case 0:
        if (MeasurePairStart == 0) marks.text = G(d, digits);
        MeasurePairStart = MeasurePairStart == 0 ? 1 : 0;
        break;
    case 1:
        if (MeasurePairStart == 0) marks.text = G(dx, digits) + ", " + G(dy, digits);
        MeasurePairStart = MeasurePairStart == 0 ? 1 : 0;
        break;
    default:
        marks.text = G(x, digits) + ", " + G(y, digits);
        break;
    }
    LastMeasureX = static_cast<float>(x);
    LastMeasureY = static_cast<float>(y);
    MeasurePenX = px;
    MeasurePenY = py;
    return marks;
}

std::optional<Simulation::MeasureMarks> Simulation::Image1MouseDown(int px, int py) {
    if (MovieStopped != 1) return std::nullopt;
    return MeasureClick(px, py);
}

} // namespace linkwright
