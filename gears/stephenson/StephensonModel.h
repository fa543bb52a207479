// The model both Stephenson kinds are: the fixed points, a position and a revolution solved through
// the kind's valve drive on the shared link motion, the piston, the backlash, the editor's view
// window and the drawing. A kind adds its record, its example, its editor table and its valve drive.
#pragma once

#include "gears/GearModelOf.h"
#include "gears/stephenson/EdStephenson.h"
#include "gears/stephenson/Stephenson.h"
#include "gears/stephenson/StephensonDrawing.h"
#include "geometry/Geomlib0.h"

#include <cstdint>
#include <span>
#include <vector>

namespace linkwright {

// `Pins` holds the link motion as `link` and the die block's rod as U, B and V.
template <GearKind K, typename Record, typename Pins> class StephensonModel : public GearModelOf<K, Record> {
public:
    explicit StephensonModel(const GearEnvironment& environment) : GearModelOf<K, Record>(environment) {}

    void InitialiseGear() final {
        dimensions_ = LinkDimensionsOf(this->GearRecord);
        fixed_ = PlaceStephensonFixedPoints(dimensions_, this->WheelLift, this->WheelDisp);
        this->CopyViewWindow();
    }

    void CalcGear(float crankAngle, float gearSetting) final {
        const Direction2 crank = GearModel::CrankDirection(crankAngle);
        SolvePositions(std::span<const Direction2>(&crank, 1), gearSetting, std::span<Pins>(&pts_, 1));
        this->ApplyBacklash(LinkValveDisplacement(pts_));
    }

    // No listing: every position of the revolution is solved in one pass, then stored in turn.
    void SolveRevolution(StepArrays& steps, int Nsteps, EventRecord& events, float gearSetting) final {
        this->GearRecord.FwdCopy = this->env_.state.fwd;
        this->SolveRevolutionBatched(
            steps, Nsteps,
            [&](const RevolutionPositions& revolution) {
                positions_.resize(revolution.cranks.size());
                SolvePositions(revolution.cranks, gearSetting, positions_);
            },
            [&](int k) {
                const Pins& p = positions_[static_cast<std::size_t>(k)];
                return SolvedStep{LinkValveDisplacement(p), PistonPercent(p)};
            },
            [](int, float) {});
        pts_ = positions_.back();
        this->FillValvingWords(events);
    }

    void DrawGear(Glib1& plot, int width, int height, bool annotate, float crankAngle,
                  float gearSetting) final {
        CalcGear(crankAngle, gearSetting);
        DrawStephensonGear(plot, this->env_.state, width, height, annotate, Picture());
    }

    float PistonPct() const final { return PistonPercent(pts_); }
    std::vector<NamedPin> NamedPins() const final { return StephensonPinLabels(Picture()); }

    // The fixed points and tolerance InitialiseGear derived.
    const StephensonFixedPoints& Fixed() const { return fixed_; }
    // The pins of the last CalcGear; a pin whose intersection fails keeps its previous position.
    const Pins& Points() const { return pts_; }

protected:
    // The drawing window fits the crank and connecting rod of the edited gear.
    void DeriveAfterEditorOk() final { DeriveStephensonViewWindow(this->GearRecord); }

    // The mechanism for a run of positions in order: out[k] receives the pins with the crank
    // pointing along cranks[k], as consecutive CalcGear calls would leave them (the first after the
    // last position solved); `out` may be the last position solved itself.
    virtual void SolvePositions(std::span<const Direction2> cranks, float gearSetting,
                                std::span<Pins> out) = 0;
    // The valve's displacement before the backlash.
    virtual float LinkValveDisplacement(const Pins& p) const = 0;
    // The kind's own parts of the picture.
    virtual void AddToPicture(StephensonPicture&) const {}

    StephensonLinkDimensions dimensions_;
    StephensonFixedPoints fixed_;
    Pins pts_;
    // Kept between solves to save allocations.
    StephensonLinkSolver linkSolver_;
    std::vector<std::uint32_t> active_;

private:
    // What the view shows of the last CalcGear.
    StephensonPicture Picture() const {
        StephensonPicture picture;
        picture.link = pts_.link;
        picture.fixed = fixed_;
        picture.CrankRadius = dimensions_.CrankRadius;
        picture.elRadius = this->GearRecord.elRadius;
        picture.elchord = this->GearRecord.elchord;
        picture.U = pts_.U;
        picture.B = pts_.B;
        picture.V = pts_.V;
        picture.panel.valving = this->CurrentValving();
        picture.panel.ValvePos = this->ValvePos_;
        picture.panel.LinkValvePos = this->LinkValvePos_;
        picture.panel.Slack = this->Slack;
        AddToPicture(picture);
        return picture;
    }

    float PistonPercent(const Pins& p) const {
        const double r = dimensions_.CrankRadius;
        if (r == 0.0) return 0.0f;
        return static_cast<float>((static_cast<double>(p.link.G.x) - fixed_.O.x) / r * 50.0);
    }

    std::vector<Pins> positions_;
};

} // namespace linkwright
