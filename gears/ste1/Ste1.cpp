// Stephenson 1 mechanism: the fixed points, the link motion and the valve rod's iteration at one
// position, the revolution solve, and the drawing.
#include "gears/ste1/Ste1.h"

#include "gears/PinPlacement.h"
#include "gears/ValvePanel.h"
#include "gears/ste1/EdSte1.h"
#include "plot/Glib1.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace linkwright {

namespace {

double Length(Point2 p, Point2 q) {
    const double dx = static_cast<double>(p.x) - q.x;
    const double dy = static_cast<double>(p.y) - q.y;
    return std::sqrt(dx * dx + dy * dy);
}

// The valve rod while it is solved: the clevis's abscissa is the free variable.
struct ValveRodState {
    Point2 U;
    Point2 B;
    Point2 V;
};

} // namespace

Ste1::Ste1(const GearEnvironment& env) : GearModelOf(env) {}

void Ste1::SetExample() {
    GearRecord = Ste1ExampleRecord();
    ResetUnitVariables();
}

void Ste1::InitialiseGear() {
    dimensions_ = LinkDimensionsOf(GearRecord);
    fixed_ = PlaceStephensonFixedPoints(dimensions_, WheelLift, WheelDisp);
    CopyViewWindow();
}

void Ste1::SolveValveRod() {
    const Ste1Record& g = GearRecord;
    const StephensonLinkMotion& link = pts_.link;
    const Point2 T = fixed_.T;
    const Circle slot{g.elRadius, link.Q.x, link.Q.y};
    const double rodLength = static_cast<double>(g.UV) + g.BU;

    ValveRodState state{pts_.U, pts_.B, pts_.V};
    // The clevis starts on the spindle line, a rod's length left of the slot.
    const Point2 start{static_cast<float>(static_cast<double>(link.Q.x) - g.elRadius - g.BU - g.UV),
                       fixed_.O.y};
    if (Finite(start)) state.V = start;

    pts_.valveRod =
        IterateBounded(state, IterationLimits{kSte1ValveRodPasses, fixed_.tolerance}, [&](ValveRodState& s) {
            // The hanger pin nearer the clevis's level, and the die block where the rod's line
            // meets the slot on the cylinder side.
            PlaceOnCircleCircle(s.U, Circle{g.TU, T.x, T.y}, Circle{g.UV, s.V.x, s.V.y},
                                [&s](Point2 p1, Point2 p2) {
                                    return std::fabs(p1.y - s.V.y) < std::fabs(p2.y - s.V.y) ? p1 : p2;
                                });
            PlaceOnCircleLine(s.B, slot, Segment{s.V.x, s.V.y, s.U.x, s.U.y},
                              [](Point2 p1, Point2 p2) { return p1.x > p2.x ? p2 : p1; });
            const double error = Length(s.B, s.V) - rodLength;
            const float x = static_cast<float>(s.V.x + error);
            if (!std::isfinite(x)) return IterationPass::GiveUp(error);
            s.V.x = x;
            return IterationPass::Measured(error);
        });

    pts_.U = state.U;
    pts_.B = state.B;
    pts_.V = state.V;
}

void Ste1::CalcGear(float crankAngle, float gearSetting) {
    SolveLinkMotion(dimensions_, fixed_, gearSetting, crankAngle, pts_.link);
    SolveValveRod();
    ApplyBacklash(static_cast<float>(static_cast<double>(pts_.V.x) - GearRecord.AdjValveX));
}

float Ste1::PistonPct() const {
    const double r = dimensions_.CrankRadius;
    if (r == 0.0) return 0.0f;
    return static_cast<float>((static_cast<double>(pts_.link.G.x) - fixed_.O.x) / r * 50.0);
}

void Ste1::SolveRevolution(StepArrays& steps, int Nsteps, EventRecord& events, float gearSetting) {
    GearRecord.FwdCopy = env_.state.fwd;
    SolveRevolutionLoop(steps, Nsteps, gearSetting, [](int, float) {});
    FillValvingWords(events);
}

EditorTable Ste1::BuildEditor() {
    return BuildEdSte1(GearRecord, *this, env_.state);
}

void Ste1::DeriveAfterEditorOk() {
    DeriveEdSte1ViewWindow(GearRecord);
}

void Ste1::DrawGear(Glib1& plot, int width, int height, bool annotate, float crankAngle, float gearSetting) {
    CalcGear(crankAngle, gearSetting);
    const Ste1Record& g = GearRecord;
    const StephensonLinkMotion& k = pts_.link;
    const Point2 O = fixed_.O;
    const Point2 A = fixed_.A;
    const Point2 R = fixed_.R;
    const Point2 T = fixed_.T;
    const double r = dimensions_.CrankRadius;
    const double s = fixed_.drawingSize;
    SimulationState& state = env_.state;

    ValvePanel panel;
    panel.valving = CurrentValving();
    panel.ValvePos = ValvePos_;
    panel.LinkValvePos = LinkValvePos_;
    panel.Slack = Slack;
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
    const double half = g.elRadius != 0.0f ? static_cast<double>(g.elchord) / g.elRadius / 2.0 : 0.0;
    plot.ArcW(k.Q.x, k.Q.y, g.elRadius, static_cast<float>(middle - half), static_cast<float>(middle + half));

    line(k.E, k.F);
    line(k.J, k.K);
    line(T, pts_.U);
    line(pts_.B, pts_.V);

    plot.SetColour(1);
    circle(T, 0.15);
    cross(T, 0.15);

    plot.SetColour(2);
    circle(pts_.U, 0.1);
    circle(pts_.B, 0.15);
    circle(pts_.V, 0.1);
    cross(k.Q, 0.1);

    plot.SetColour(1);
    plot.Axis(false, "");
    plot.Axis(true, "");

    if (annotate) {
        const std::pair<const char*, Point2> labels[] = {
            {"G", k.G}, {"C", k.C}, {"A", A},   {"E", k.E}, {"F", k.F}, {"J", k.J},    {"B", pts_.B},
            {"K", k.K}, {"L", k.L}, {"M", k.M}, {"R", R},   {"T", T},   {"U", pts_.U}, {"V", pts_.V}};
        for (const auto& [text, at] : labels) {
            plot.MoveW(at.x, at.y);
            plot.PlotText(text);
        }
    }
}

} // namespace linkwright
