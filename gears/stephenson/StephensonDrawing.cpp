// The drawing of the Stephenson kinds' main view, in the order of its parts.
#include "gears/stephenson/StephensonDrawing.h"

#include "plot/Glib1.h"

#include <numbers>
#include <vector>

namespace linkwright {

void DrawStephensonGear(Glib1& plot, SimulationState& state, int width, int height, bool annotate,
                        const StephensonPicture& picture) {
    const StephensonLinkMotion& k = picture.link;
    const Point2 O = picture.fixed.O;
    const Point2 A = picture.fixed.A;
    const Point2 R = picture.fixed.R;
    const Point2 T = picture.fixed.T;
    const double r = picture.CrankRadius;
    const double s = picture.fixed.drawingSize;
    const StephensonRockerPins* rocker = picture.rocker ? &*picture.rocker : nullptr;

    ValvePanel panel = picture.panel;
    panel.PistonFraction = r != 0.0 ? (static_cast<double>(k.G.x) - O.x) / (2.0 * r) : 0.0;
    DrawValvePanel(plot, state, width, height, panel);

    // Mechanism in the main view window, equal scales.
    plot.SetWindow(true, state.ViewXMin, state.ViewYMin, state.ViewXMax, state.ViewYMax);

    const auto line = [&plot](Point2 from, Point2 to) {
        plot.MoveW(from.x, from.y);
        plot.LineW(to.x, to.y);
    };
    const auto circle = [&plot, s](Point2 centre, double multiple) {
        plot.CircleW(centre.x, centre.y, static_cast<float>(multiple * s));
    };
    const auto cross = [&plot, s](Point2 centre, double multiple) {
        plot.CrossW(centre.x, centre.y, static_cast<float>(multiple * s));
    };

    plot.SetColour(1);
    line(O, Point2{static_cast<float>(O.x + 2.0 * r), 0.0f});

    plot.SetColour(2);
    line(A, k.C);
    line(A, k.E);
    line(A, k.J);
    line(k.C, k.G);

    plot.SetColour(1);
    circle(A, 0.3);
    cross(A, 0.3);
    cross(R, 0.2);
    if (rocker) cross(rocker->X, 0.2);

    plot.SetColour(2);
    circle(k.C, 0.1);
    circle(k.E, 0.1);
    circle(k.J, 0.1);
    circle(k.G, 0.2);

    plot.SetColour(1);
    line(R, k.L);
    plot.SetColour(2);
    plot.LineW(k.M.x, k.M.y);

    plot.SetColour(1);
    circle(R, 0.15);

    plot.SetColour(2);
    circle(k.L, 0.1);
    circle(k.F, 0.1);
    circle(k.K, 0.1);
    circle(k.M, 0.2);

    // The slot, centred on the side of Q the link's tilt turns towards the cylinder; elchord is
    // about the length of arc shown.
    const double middle = std::numbers::pi + k.tau;
    const double half =
        picture.elRadius != 0.0f ? static_cast<double>(picture.elchord) / picture.elRadius / 2.0 : 0.0;
    plot.ArcW(k.Q.x, k.Q.y, picture.elRadius, static_cast<float>(middle - half),
              static_cast<float>(middle + half));

    line(k.E, k.F);
    line(k.J, k.K);
    line(T, picture.U);
    line(picture.B, picture.V);

    plot.SetColour(1);
    circle(T, 0.15);
    cross(T, 0.15);

    plot.SetColour(2);
    circle(picture.U, 0.1);
    circle(picture.B, 0.15);
    circle(picture.V, 0.1);
    if (rocker) {
        circle(rocker->X, 0.1);
        circle(rocker->W, 0.1);
        circle(rocker->Y, 0.1);
    }
    cross(k.Q, 0.1);
    if (rocker) {
        // The rocker's two arms, the valve rod and a stub of the valve spindle.
        plot.MoveW(picture.V.x, picture.V.y);
        plot.LineW(rocker->X.x, rocker->X.y);
        plot.LineW(rocker->W.x, rocker->W.y);
        plot.LineW(rocker->Y.x, rocker->Y.y);
        plot.LineW(static_cast<float>(rocker->Y.x - 0.3 * r), rocker->Y.y);
    }

    plot.SetColour(1);
    plot.Axis(false, "");
    plot.Axis(true, "");

    if (annotate) DrawPinLabels(plot, StephensonPinLabels(picture));
}

std::vector<NamedPin> StephensonPinLabels(const StephensonPicture& picture) {
    const StephensonLinkMotion& k = picture.link;
    const StephensonFixedPoints& f = picture.fixed;
    std::vector<NamedPin> pins = {{"G", k.G}, {"C", k.C},       {"A", f.A},       {"E", k.E},      {"F", k.F},
                                  {"J", k.J}, {"B", picture.B}, {"K", k.K},       {"L", k.L},      {"M", k.M},
                                  {"R", f.R}, {"T", f.T},       {"U", picture.U}, {"V", picture.V}};
    if (picture.rocker)
        pins.insert(pins.end(),
                    {{"X", picture.rocker->X}, {"W", picture.rocker->W}, {"Y", picture.rocker->Y}});
    return pins;
}

} // namespace linkwright
