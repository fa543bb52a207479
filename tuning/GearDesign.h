// A gear apart from the one the windows show: a model of its own kind with its own state, messages
// and dialogs, whose fields are typed into the editor and stored with its OK, and which is solved
// and analysed at any gear setting and direction by the same code as View > Indicator Diagram.
// The tuner evaluates its candidates on one, and the comparison of two designs solves both on one
// each; the gear the user edits is never touched.
#pragma once

#include "analysis/Listings.h"
#include "gears/EditorFields.h"
#include "gears/GearModel.h"
#include "state/EventRecord.h"
#include "state/SimulationState.h"
#include "windows/Dialogs.h"
#include "windows/MessagesFile.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace linkwright {

// Where a gear is looked at: a gear setting (negative in back gear) and the direction of running.
struct OperatingPoint {
    float setting = 1.0f;
    bool forward = true;

    bool operator==(const OperatingPoint&) const = default;
};

// A list of gear settings separated by commas ("1,0.5, 0.25"), each a number a Single holds with
// blanks around it allowed. Answers false, with the first item that is not one in `bad`, when an
// item is not such a number.
bool ParseGearSettings(std::string_view list, std::vector<float>& settings, std::string& bad);

// One cylinder end's events as the listings give them, in percent of the stroke from the dead
// centre each counts from, and its openings in the gear's length unit.
struct EndEvents {
    double cutoffPct = 0;      // the summary listing's cut-off (at the step after it)
    double cutoffExactPct = 0; // the detailed listing's cut-off, interpolated between the steps
    double admissionPct = 0;   // interpolated, as the detailed listing
    double releasePct = 0;
    double compressionPct = 0;
    double lead = 0; // the port's opening to steam at the end's dead centre, negative while covered
    double inletOpening = 0;
    double exhaustOpening = 0;
};

// The events of one revolution at one operating point.
struct PointEvents {
    OperatingPoint point;
    // Every position was solved and every event found; otherwise the figures below are not to be
    // trusted and `problem` says why.
    bool proper = false;
    std::string problem;
    EndEvents front;
    EndEvents rear;
    double valveTravel = 0;
};

// A solved revolution with what its diagrams need.
struct SolvedRevolution {
    PointEvents events;
    int Nsteps = 0;
    StepArrays steps;
    EventRecord record{};
    std::array<float, StepArraySize> frontPressure{}; // when the solve was asked for them
    std::array<float, StepArraySize> rearPressure{};
};

// Ten revolutions at the settings the family sweep takes (0.1 .. 1, or -0.1 .. -1), as the events
// diagram plots them.
struct FamilyEvents {
    SimulationState state{}; // FamilyGearFrom, FamilyGearTo, FamilyCount and Nsteps as the sweep sets them
    FamilyBlocks blocks;     // the events of each member (the pressures are not kept)
    std::array<float, StepArraySize> piston{}; // of the last member, as the sweep leaves it
    std::vector<PointEvents> members;
};

// Answers every message box without a word and keeps the last text shown.
class QuietDialogs final : public Dialogs {
public:
    bool WarningOkCancel(const std::string& text) override;
    void Information(const std::string& text) override;
    std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
    bool ConfirmPrint() override { return false; }
    std::string lastShown;
};

class GearDesign {
public:
    // The kind's built-in example with the main window's defaults (550 steps). Throws
    // std::invalid_argument for a kind that is not built.
    explicit GearDesign(GearKind kind);
    // A copy of `model`'s gear (its record and unit variables) and of the state's solution steps.
    GearDesign(GearModel& model, const SimulationState& state);
    ~GearDesign();
    GearDesign(const GearDesign&) = delete;
    GearDesign& operator=(const GearDesign&) = delete;

    GearKind Kind() const { return kind_; }
    GearModel& Model() { return *model_; }
    SimulationState& State() { return state_; }
    QuietDialogs& Dialogs() { return dialogs_; }

    // Makes this design a copy of `model`'s gear and of the state's solution steps.
    void CopyFrom(GearModel& model, const SimulationState& state);
    // Opens a data file of the design's kind as File > Open does (the settings back to the main
    // window's defaults, then InitialiseGear). A refused file changes nothing.
    LoadResult Load(const std::string& file);
    // Saves the design as File > Save saves the current gear. Throws std::system_error when the file
    // cannot be written.
    void Save(const std::string& file);

    // The editor's controls as the form fills them for this design, but every edit holding exactly
    // its field's value (HoldExactValues): typing only some of them changes only those.
    std::vector<ControlValue> EditorValues();
    // Presses the editor's OK with these controls: the fields stored with the editor's conversions,
    // the derived fields recomputed, InitialiseGear run. Answers the refused fields (the design is
    // then as it was before), or an empty list when the editor would close.
    std::vector<EditorSession::Refusal> Ok(const std::vector<ControlValue>& values);

    // One revolution solved at `point` with the design's solution steps, its events found and the
    // listings' figures taken, without writing any listing; the cylinder pressures too when asked.
    const SolvedRevolution& Solve(OperatingPoint point, bool pressures = false);
    // The family sweep's ten revolutions, of the sign of `setting` (forward running unless not).
    FamilyEvents Family(float setting, bool forward);

private:
    void Make();
    GearKind kind_;
    QuietDialogs dialogs_;
    MessagesFile messages_;
    SimulationState state_{};
    std::unique_ptr<GearModel> model_;
    SolvedRevolution solved_;
};

// The figures of PointEvents from a solved revolution: the listing figures of `figures`, and whether
// the revolution is one to trust. `valve` and `piston` are its steps, `n` its step count, `slack`
// the backlash of the valve drive.
PointEvents EventsOf(OperatingPoint point, const ListingFigures& figures, std::span<const float> piston,
                     std::span<const float> valve, int n, bool eventsImproper, double slack);

} // namespace linkwright
