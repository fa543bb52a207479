// The valve panel drawn above every mechanism: it shows the valve over its ports at the current
// position, the backlash band it may lag within, the piston in its cylinder and, once the valve
// events are known, which ports take steam and which exhaust.
#include "gears/ValvePanel.h"

#include "plot/Glib1.h"

namespace linkwright {

namespace {

constexpr int kSteamColour = 6;   // red: steam entering
constexpr int kExhaustColour = 2; // green: exhaust leaving

// Each mark restores the pen colour it found, so the panel's own outline colour survives.
class FlowMarks {
public:
    FlowMarks(Glib1& plot, double portWidth) : plot_(plot), f_(portWidth / 2.0) {}

    // A chevron under a port centre, pointing down into the cylinder or up out of it.
    void Port(int colour, double centre, bool downward) {
        const double tip = downward ? -0.8 : -0.2;
        Draw(colour, {centre - f_, -0.5}, {centre, tip}, {centre + f_, -0.5});
    }
    // A chevron in the middle of the valve, between the bobbins.
    void Middle(int colour, bool upward) {
        const double tip = upward ? 0.25 : -0.05;
        const double back = upward ? -0.05 : 0.25;
        Draw(colour, {-f_, back}, {0.0, tip}, {f_, back});
    }
    // A chevron at one end of the valve chest (side -1 left, +1 right), pointing out of the
    // chest or into it; it lies between x = side * e and side * (e + f).
    void End(int colour, double e, int side, bool outward) {
        const double inner = side * e;
        const double outer = side * (e + f_);
        const double tip = outward ? outer : inner;
        const double back = outward ? inner : outer;
        Draw(colour, {back, 0.4}, {tip, 0.25}, {back, 0.1});
    }

private:
    struct Xy {
        double x;
        double y;
    };
    void Draw(int colour, Xy a, Xy tip, Xy b) {
        const int previous = plot_.GetColour();
        plot_.SetColour(colour);
        plot_.MoveW(static_cast<float>(a.x), static_cast<float>(a.y));
        plot_.LineW(static_cast<float>(tip.x), static_cast<float>(tip.y));
        plot_.LineW(static_cast<float>(b.x), static_cast<float>(b.y));
        plot_.SetColour(previous);
    }

    Glib1& plot_;
    double f_;
};

} // namespace

void DrawValvePanel(Glib1& plot, SimulationState& state, int width, int height, const ValvePanel& panel) {
    const Valving& v = panel.valving;
    plot.InitPlot(width, height, true, 10, 10, 90, 95);

    // Valve chest window, its half-width also kept as the fifth view value.
    const float h = static_cast<float>(static_cast<double>(v.PortSpacing) + v.PortWidth);
    state.ValvePanelHalfWidth = h;
    plot.SetWindow(false, -h, -8, h, 1);
    plot.SetColour(1);

    const auto move = [&plot](double x, double y) {
        plot.MoveW(static_cast<float>(x), static_cast<float>(y));
    };
    const auto line = [&plot](double x, double y) {
        plot.LineW(static_cast<float>(x), static_cast<float>(y));
    };

    // Valve, and the band of the backlash around the linkage's own position.
    const double c = v.BobbinSpacing / 2.0;
    const double d = c + v.BobbinWidth;
    const double m = panel.ValvePos;
    move(m - d, 0.5);
    line(m - d, 0.05);
    line(m - c, 0.05);
    line(m - c, 0.5);
    line(m + c, 0.5);
    line(m + c, 0.05);
    line(m + d, 0.05);
    line(m + d, 0.5);
    const double r = panel.LinkValvePos;
    const double band = d + panel.Slack;
    move(r - band, 0.5);
    line(r - band, 0.6);
    line(r + band, 0.6);
    line(r + band, 0.5);

    // Port face with the two ports and the exhaust cavity between them.
    const double p = v.PortSpacing / 2.0;
    const double e = p + v.PortWidth;
    const double f = v.PortWidth / 2.0;
    move(-1.4 * e, -0.05);
    line(-e, -0.05);
    line(-e, -0.5);
    move(-p, -0.5);
    line(-p, -0.05);
    line(-f, -0.05);
    line(-f, -0.25);
    line(f, -0.25);
    line(f, -0.05);
    line(p, -0.05);
    line(p, -0.5);
    move(e, -0.5);
    line(e, -0.05);
    line(1.4 * e, -0.05);

    // Piston: its travel across the cylinder scaled to the distance between the ports.
    const double xp = panel.PistonFraction * 2.0 * (p - f) - p + v.PortWidth;
    move(xp, -0.5);
    line(xp, -2.0);
    move(xp - v.PortWidth, -0.5);
    line(xp - v.PortWidth, -2.0);

    // Cylinder walls and cover.
    move(-e, -0.5);
    line(-e, -2.0);
    line(e, -2.0);
    line(e, -0.5);
    move(-p, -0.5);
    line(p, -0.5);

    if (state.EventsKnown == 0) return;
    const EventRecord& w = state.Events;
    FlowMarks marks(plot, v.PortWidth);
    const double port = p + f;
    if (v.Inside != 0) {
        if (m < w.TopSteam) {
            marks.Port(kSteamColour, -port, true);
            marks.Middle(kSteamColour, true);
        }
        if (m > w.BottomSteam) {
            marks.Port(kSteamColour, port, true);
            marks.Middle(kSteamColour, true);
        }
        if (m < w.BottomExhaust) {
            marks.Port(kExhaustColour, port, false);
            marks.End(kExhaustColour, e, +1, true);
        }
        if (m > w.TopExhaust) {
            marks.Port(kExhaustColour, -port, false);
            marks.End(kExhaustColour, e, -1, true);
        }
    } else {
        if (m > w.TopSteam) {
            marks.Port(kSteamColour, -port, true);
            marks.End(kSteamColour, e, -1, false);
        }
        if (m < w.BottomSteam) {
            marks.Port(kSteamColour, port, true);
            marks.End(kSteamColour, e, +1, false);
        }
        if (m > w.BottomExhaust) {
            marks.Port(kExhaustColour, port, false);
            marks.Middle(kExhaustColour, false);
        }
        if (m < w.TopExhaust) {
            marks.Port(kExhaustColour, -port, false);
            marks.Middle(kExhaustColour, false);
        }
    }
}

} // namespace linkwright
