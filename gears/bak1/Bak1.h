// Baker gear: a return crank drives the foot of a sickle hung from a bell crank and held by a radius
// bar from the reverse yoke; the bell crank's lower arm works the valve rod to the top of a
// combination lever, whose foot the crosshead moves through a union link.
#pragma once

#include "gears/BoundedIteration.h"
#include "gears/GearModelOf.h"
#include "gears/bak1/Bak1Record.h"
#include "geometry/Geomlib0.h"

#include <optional>
#include <vector>

namespace linkwright {

// The bell-crank iteration gives up after this many passes: the example needs a handful, and a gear
// whose radius bar can reach the sickle at all converges within a few dozen.
inline constexpr int kBak1BellCrankPasses = 200;

// The pins of the linkage; each letter is also the label drawn beside the pin.
struct Bak1Points {
    Point2 A0;     // nominal axle centre, the origin of the frame
    Point2 A;      // actual axle centre
    Point2 CylRef; // gudgeon pin at crank angle 0
    Point2 P;      // bell-crank pivot
    Point2 L;      // reverse-yoke pivot
    Point2 R;      // radius-bar pin on the reverse yoke
    Point2 C;      // crank pin
    Point2 G;      // gudgeon pin
    Point2 D;      // drop-link pin
    Point2 E;      // eccentric pin
    Point2 Z;      // bell crank upper pin, top of the sickle
    Point2 X;      // eccentric-rod pin at the foot of the sickle
    Point2 Y;      // radius-bar pin on the sickle
    Point2 B;      // bell crank lower pin
    Point2 T;      // top of the combination lever
    Point2 U;      // union-link pin at the foot of the lever
    Point2 V;      // valve-spindle pin
};

class Bak1 : public GearModelOf<GearKind::Bakers1, Bak1Record> {
public:
    explicit Bak1(const GearEnvironment& env);

    void SetExample() override;
    void InitialiseGear() override;
    void CalcGear(float crankAngle, float gearSetting) override;
    void SolveRevolution(StepArrays& steps, int Nsteps, EventRecord& events, float gearSetting) override;
    void DrawGear(Glib1& plot, int width, int height, bool annotate, float crankAngle,
                  float gearSetting) override;

    float PistonPct() const override;
    std::vector<NamedPin> NamedPins() const override;

    // Derived by InitialiseGear.
    float XZ = 0;                 // Z to X across the sickle
    float SickleAngle = 0;        // between the sickle's diagonal Z->X and its line Z->Y
    float RadiusBarTolerance = 0; // of the bell-crank iteration: 0.0025 x RY
    float CrankRadius = 0;        // the size unit of the pin circles

    // The pins of the last CalcGear; a pin that cannot be placed keeps its previous position.
    const Bak1Points& Points() const { return pts_; }
    // How the bell-crank iteration of the last CalcGear ended.
    const IterationResult& BellCrank() const { return bellCrank_; }

protected:
    EditorTable BuildEditor() override;
    // The drawing window from the cylinder reference the last initialisation placed and the new
    // crank radius and connecting rod.
    void DeriveAfterEditorOk() override;

private:
    // What a gear setting fixes for every position: the radius-bar pin on the reverse yoke, and
    // the directions of the eccentric from the crank, of the bell crank's bend and of the sickle.
    struct Drive {
        Point2 R;
        Direction2 eccentric;
        Direction2 bend;
        Direction2 sickle;
    };
    Drive DriveFor(float gearSetting) const;
    // Solves the linkage with the crank pin along `crank` from the axle and answers the valve's
    // displacement before the backlash, or nothing when the valve stays where it was (a message
    // says why).
    std::optional<float> SolvePosition(Direction2 crank, const Drive& drive);

    Bak1Points pts_;
    IterationResult bellCrank_;
    std::vector<SolvedStep> solved_; // of the last revolution, kept to save allocations
};

// The field table of the editor form TEdBak1 for one model, in the order its OK button stores them.
EditorTable BuildEdBak1(Bak1& model, SimulationState& state);

} // namespace linkwright
