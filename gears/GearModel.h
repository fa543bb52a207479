// The contract every gear kind fulfils, and what all kinds share: the unit variables, the backlash
// rule, the revolution loop with its index rule, the valving words and the common data file.
#pragma once

#include "gears/EditorFields.h"
#include "geometry/Geomlib0.h"
#include "state/SimulationState.h"

#include <algorithm>
#include <cstdint>
#include <numbers>
#include <span>
#include <string>
#include <vector>

namespace linkwright {

class Dialogs;
class Glib1;
class MessagesFile;

// What a model needs from outside; the Simulation passes it in and owns all of it.
struct GearEnvironment {
    SimulationState& state;
    MessagesFile& messages;
    Dialogs& dialogs;
};

// The common valving and cylinder fields, read out of a kind's record for the EventRecord words
// 12..20 and byte 84 and for the valve panel drawing.
struct Valving {
    float PortSpacing = 0;
    float PortWidth = 0;
    float BobbinSpacing = 0;
    float BobbinWidth = 0;
    float PressureLimit = 0;
    float SteamChestPressure = 0;
    float Gamma = 0;
    float Clearance = 0;
    float ExhaustPressure = 0;
    std::uint8_t Inside = 0;
};

// A path without its folders; both "/" and "\" separate them.
std::string FileNameWithoutFolder(const std::string& path);

// The positions of a revolution: the crank angles k / n * 2 pi for k = 0..n and the crank's
// direction at each (in every kind the crank pin stands at angle + pi from the axle). n is Nsteps
// held to 1..MaxSteps: a count outside could only come from a damaged state and must not write
// past the arrays or divide by zero.
struct RevolutionPositions {
    int n = 0;
    std::vector<float> angles;
    std::vector<Direction2> cranks;
};

// What a kind that solves all positions of a revolution at once hands the loop for position k.
struct SolvedStep {
    float rawValve = 0;  // the linkage's valve displacement with AdjValveX, before the backlash
    float pistonPct = 0; // the piston's position in percent of the stroke
};

// A pin of the linkage under the letter the annotated drawing writes beside it.
struct NamedPin {
    const char* name;
    Point2 at;
};

// Each pin's letter written at the pin, in the order given: the labels of an annotated drawing.
void DrawPinLabels(Glib1& plot, std::span<const NamedPin> pins);

enum class LoadResult : std::uint8_t { Loaded, Refused };
enum class SaveResult : std::uint8_t { Saved, Abandoned };

class GearModel {
public:
    explicit GearModel(GearEnvironment environment) : env_(environment) {}
    virtual ~GearModel() = default;
    GearModel(const GearModel&) = delete;
    GearModel& operator=(const GearModel&) = delete;

    virtual GearKind Kind() const = 0;

    // Built-in example: fills the record and the unit variables.
    virtual void SetExample() = 0;
    // Derives the fixed points (and the report of the Walschaerts kinds) and copies the record's
    // five ViewWindow values into the main state. Runs after every change of the record.
    virtual void InitialiseGear() = 0;
    // Solves every pin at one position and sets the output valve position (backlash included).
    virtual void CalcGear(float crankAngle, float gearSetting) = 0;
    // The common loop (SolveRevolutionLoop) plus the kind's listing, if any.
    virtual void SolveRevolution(StepArrays& steps, int Nsteps, EventRecord& events, float gearSetting) = 0;
    // CalcGear, then the drawing through Glib1 at the given pixel size.
    virtual void DrawGear(Glib1& plot, int width, int height, bool annotate, float crankAngle,
                          float gearSetting) = 0;

    // The kind's editor: its field table, and the derived fields an OK recomputes (PressureLimit,
    // ViewWindow, ...) after the fields were stored.
    virtual const EditorTable& Editor() = 0;
    virtual void AfterEditorOk() = 0;

    // The record as stored in the data file, and the file version of the kind (its row in the kinds
    // table).
    virtual std::span<std::uint8_t> RecordBytes() = 0;
    std::int32_t FileVersion() const;
    // The kind's per-revolution listing in the working folder, or nullptr for a kind without one.
    const char* ListingFileName() const;
    virtual Valving CurrentValving() const = 0;
    // Whether every Single of the record that the model reads (its editor's fields, the view
    // window, PressureLimit) is a finite number.
    virtual bool RecordHoldsNumbers() = 0;
    // Piston position (percent of stroke) and output valve position of the last CalcGear.
    virtual float PistonPct() const = 0;
    // The pins of the last CalcGear under their letters, in the order the annotated drawing labels
    // them: every pin it labels, the fixed ones included.
    virtual std::vector<NamedPin> NamedPins() const = 0;
    float ValvePos() const { return ValvePos_; }
    float LinkValvePos() const { return LinkValvePos_; }
    // How often a pin of the last SolveRevolution could not be placed (an intersection that failed,
    // an iteration that gave up or did not settle) and kept its place of the position before: 0 for
    // a revolution solved at every position.
    int UnsolvedPlacings() const { return unsolved_; }

    // Common data file: the record, then the first 4580 bytes of the main state.
    SaveResult SaveGearFile(const std::string& fileName);
    LoadResult LoadGearFile(const std::string& fileName);

    // Whether SolveRevolution writes the kind's listing (the shown gear does; a design solved apart
    // from it does not).
    bool WritesListing = true;

    // Unit variables: not saved in files, kept across loads.
    float WheelLift = 0;
    float WheelDisp = 0;
    float Slack = 0;
    std::uint8_t AutoSetting = 0; // the kinds with an auto-setting only
    bool HasAutoSetting() const;

protected:
    // Backlash at the end of CalcGear: raw is the linkage's valve displacement with AdjValveX applied
    // (the Walschaerts kinds add it, the Baker and Stephenson kinds subtract it). Sets LinkValvePos_
    // and ValvePos_ (which is also the previous position of the next call).
    void ApplyBacklash(float raw);
    // Steps 1 and 2 of SolveRevolution: fwd read once, k = 0..Nsteps, the index rule. After each
    // CalcGear, `eachStep(k, angle)` runs (for a listing line) before the entries are stored.
    template <typename EachStep>
    void SolveRevolutionLoop(StepArrays& steps, int Nsteps, float gearSetting, EachStep&& eachStep);
    // The same loop for a kind that solves all positions of a revolution at once: fwd read once,
    // then `solveAll(positions)` solves every position of Revolution(Nsteps); then for k = 0..n in
    // turn `stepOf(k)` hands over position k as a SolvedStep, the backlash carries the valve on
    // from position k - 1, `eachStep(k, angle)` runs (for a listing line), and the entries are
    // stored under the index rule. The valve leaves the revolution where CalcGear position after
    // position would leave it.
    template <typename SolveAll, typename StepOf, typename EachStep>
    void SolveRevolutionBatched(StepArrays& steps, int Nsteps, SolveAll&& solveAll, StepOf&& stepOf,
                                EachStep&& eachStep);
    // The positions of a revolution of Nsteps steps, kept for the next revolution with as many.
    const RevolutionPositions& Revolution(int Nsteps);
    // The crank's direction at a crank angle: the crank pin stands at angle + pi from the axle.
    static Direction2 CrankDirection(float crankAngle);
    // Entry k under the index rule (forward: k; backward: n - k).
    static void StoreStep(StepArrays& steps, bool forward, int n, int k, float angle, float pistonPct,
                          float valvePos);
    // Step 3: EventRecord words 12..20 and byte 84 from the record.
    void FillValvingWords(EventRecord& events) const;

    GearEnvironment env_;
    float LinkValvePos_ = 0;
    float ValvePos_ = 0;
    // Set to 0 by the revolution loops; each kind adds the placings it could not make.
    int unsolved_ = 0;

private:
    RevolutionPositions revolution_;
};

template <typename EachStep>
void GearModel::SolveRevolutionLoop(StepArrays& steps, int Nsteps, float gearSetting, EachStep&& eachStep) {
    const bool forward = env_.state.fwd != 0;
    const RevolutionPositions& revolution = Revolution(Nsteps);
    const int n = revolution.n;
    unsolved_ = 0;
    for (int k = 0; k <= n; ++k) {
        const float angle = revolution.angles[static_cast<std::size_t>(k)];
        CalcGear(angle, gearSetting);
        eachStep(k, angle);
        StoreStep(steps, forward, n, k, angle, PistonPct(), ValvePos_);
    }
}

template <typename SolveAll, typename StepOf, typename EachStep>
void GearModel::SolveRevolutionBatched(StepArrays& steps, int Nsteps, SolveAll&& solveAll, StepOf&& stepOf,
                                       EachStep&& eachStep) {
    const bool forward = env_.state.fwd != 0;
    const RevolutionPositions& revolution = Revolution(Nsteps);
    unsolved_ = 0;
    solveAll(revolution);
    const int n = revolution.n;
    for (int k = 0; k <= n; ++k) {
        const float angle = revolution.angles[static_cast<std::size_t>(k)];
        const SolvedStep solved = stepOf(k);
        ApplyBacklash(solved.rawValve);
        eachStep(k, angle);
        StoreStep(steps, forward, n, k, angle, solved.pistonPct, ValvePos_);
    }
}

inline Direction2 GearModel::CrankDirection(float crankAngle) {
    return DirectionAt(static_cast<double>(crankAngle) + std::numbers::pi);
}

inline void GearModel::StoreStep(StepArrays& steps, bool forward, int n, int k, float angle, float pistonPct,
                                 float valvePos) {
    const auto i = static_cast<std::size_t>(forward ? k : n - k);
    steps.StepCrankAngle[i] = angle;
    steps.StepPistonPct[i] = pistonPct;
    steps.StepValvePos[i] = valvePos;
}

} // namespace linkwright
