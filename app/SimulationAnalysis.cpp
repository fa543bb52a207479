// The analysis commands of the main window: one revolution solved and analysed with its listings,
// the family sweep over ten gear settings, and what the two diagram windows draw.
#include "analysis/Events.h"
#include "analysis/Indicplt.h"
#include "analysis/Listings.h"
#include "analysis/Ovalplt.h"
#include "app/Simulation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace linkwright {

namespace {

// The hourglass for the lifetime of the object, so that the normal cursor returns on every exit.
class BusyCursor {
public:
    explicit BusyCursor(const std::function<void(bool)>& set) : set_(set) {
        if (set_) set_(true);
    }
    ~BusyCursor() {
        if (set_) set_(false);
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    const std::function<void(bool)>& set_;
};

void CopySteps(std::span<const float> from, std::span<float> to, int n) {
    std::copy(from.begin(), from.begin() + n + 1, to.begin());
}

} // namespace

namespace {

// Entries 0 .. n of `values` that are no number (an overflow on the way) become 0; answers whether
// there were any.
bool ZeroWhatIsNoNumber(std::span<float> values, int n) {
    bool found = false;
    for (int i = 0; i <= n && static_cast<std::size_t>(i) < values.size(); ++i)
        if (float& value = values[static_cast<std::size_t>(i)]; !std::isfinite(value)) {
            value = 0.0f;
            found = true;
        }
    return found;
}

const char* const PortEdgesOverflowMessage =
    "The port edges of this gear lie beyond the numbers the program can "
    "hold: its valve events cannot be found";
const char* const PressureOverflowMessage =
    "The pressures cannot be computed for this gear: they lie beyond the numbers the program can hold";

} // namespace

void Simulation::SolveDispatch(std::span<float> crank, std::span<float> piston, std::span<float> valve,
                               float gearSetting, EventRecord& events, int Nsteps) {
    GearModel* model = Model(CurrentKind);
    if (model == nullptr) throw std::logic_error("no model for the current gear kind");
    const int n = UsableSteps(Nsteps, std::min({crank.size(), piston.size(), valve.size()}));
    BusyCursor busy(SetBusyCursor);
    const bool ownArrays = crank.data() == Steps.StepCrankAngle.data() &&
                           piston.data() == Steps.StepPistonPct.data() &&
                           valve.data() == Steps.StepValvePos.data();
    if (ownArrays) {
        model->SolveRevolution(Steps, n, events, gearSetting);
    } else {
        // The family sweep keeps its valve positions apart from the stored analysis.
        StepArrays solved;
        model->SolveRevolution(solved, n, events, gearSetting);
        CopySteps(solved.StepCrankAngle, crank, n);
        CopySteps(solved.StepPistonPct, piston, n);
        CopySteps(solved.StepValvePos, valve, n);
    }
    // A gear so large that its positions overflow the numbers a step can hold cannot be analysed:
    // this is said in the messages, and the steps that are no number are stored as 0, so that no
    // listing, table or drawing shows them.
    bool overflowed = false;
    for (const std::span<float> values : {crank, piston, valve})
        overflowed = ZeroWhatIsNoNumber(values, n) || overflowed;
    if (overflowed)
        Messages.AppendLine("The positions of this gear lie beyond the numbers the program can hold: the "
                            "revolution cannot be solved");
    State.AnalysisValid = 1;
    State.EventsKnown = 1;
}

void Simulation::RunAnalysis() {
    State.FamilyMode = 0;
    if (State.AnalysisValid == 0) {
        Messages.RewriteEmpty();
        BusyCursor busy(SetBusyCursor);
        SolveDispatch(Steps.StepCrankAngle, Steps.StepPistonPct, Steps.StepValvePos, State.GearSetting,
                      State.Events, State.Nsteps);
        FindEvents(Steps.StepPistonPct, Steps.StepValvePos, State.FrontPressure, State.RearPressure,
                   State.Events, State.Nsteps, State.EventsImproper);
        const bool front = ZeroWhatIsNoNumber(State.FrontPressure, State.Nsteps);
        if (ZeroWhatIsNoNumber(State.RearPressure, State.Nsteps) || front)
            Messages.AppendLine(PressureOverflowMessage);
        // Port edges beyond the numbers a Single holds leave nothing to list but that.
        if (!PortLevelsAreNumbers(State.Events)) {
            Messages.AppendLine(PortEdgesOverflowMessage);
        } else {
            WriteSummaryListing(Messages, State.Events, Steps.StepCrankAngle, Steps.StepPistonPct,
                                Steps.StepValvePos, State.Nsteps);
            WriteDetailedListing(Messages, State.Events, Steps.StepCrankAngle, Steps.StepPistonPct,
                                 Steps.StepValvePos, State.Nsteps);
        }
        Messages.Flush();
    }
    if (ShowDiagram) {
        if (DiagramDrawable(DiagramPlot::Indicator)) ShowDiagram(DiagramPlot::Indicator);
        if (DiagramDrawable(DiagramPlot::Oval)) ShowDiagram(DiagramPlot::Oval);
    }
    if (ShowCutoffCaption) ShowCutoffCaption(CutoffCaption());
}

void Simulation::Family1Click() {
    State.FamilyMode = 1;
    FamilySweep();
}

void Simulation::FamilySweep() {
    const float remembered = State.GearSetting;
    if (State.GearSetting >= 0) {
        State.FamilyGearFrom = 0.1f;
        State.FamilyGearTo = 1.0f;
    } else {
        State.FamilyGearFrom = -0.1f;
        State.FamilyGearTo = -1.0f;
    }
    State.FamilyCount = FamilySize;

    std::array<float, StepArraySize> valve{};
    const std::span<float> front(Family.FamilyFrontPressure);
    const std::span<float> rear(Family.FamilyRearPressure);
    try {
        for (int m = 0; m < State.FamilyCount; ++m) {
            const double from = State.FamilyGearFrom;
            const double to = State.FamilyGearTo;
            State.GearSetting = static_cast<float>(from + (to - from) * m / (State.FamilyCount - 1));
            EventRecord& events = Family.FamilyEvents[m];
            SolveDispatch(Steps.StepCrankAngle, Steps.StepPistonPct, valve, State.GearSetting, events,
                          State.Nsteps);
            FindEvents(Steps.StepPistonPct, valve, front.subspan(m * StepArraySize, StepArraySize),
                       rear.subspan(m * StepArraySize, StepArraySize), events, State.Nsteps,
                       State.EventsImproper);
            const bool overflowed =
                ZeroWhatIsNoNumber(front.subspan(m * StepArraySize, StepArraySize), State.Nsteps);
            if (ZeroWhatIsNoNumber(rear.subspan(m * StepArraySize, StepArraySize), State.Nsteps) ||
                overflowed)
                Messages.AppendLine(PressureOverflowMessage);
            if (FamilyMemberAnalysed) FamilyMemberAnalysed(m, valve);
        }
    } catch (...) {
        // The arrays now mix members; they no longer belong to the setting shown.
        State.AnalysisValid = 0;
        State.GearSetting = remembered;
        throw;
    }
    State.AnalysisValid = 0;

    if (ShowDiagram) {
        if (DiagramDrawable(DiagramPlot::IndicatorFamily)) ShowDiagram(DiagramPlot::IndicatorFamily);
        ShowDiagram(DiagramPlot::Events);
    }
    // Later single diagrams have their own colours, also when no window drew the family.
    Indicator.CurveColour = 0;
    State.GearSetting = remembered;
}

Simulation::DiagramPlot Simulation::IndicatorWindowPlot() const {
    return State.FamilyMode != 0 ? DiagramPlot::IndicatorFamily : DiagramPlot::Indicator;
}

Simulation::DiagramPlot Simulation::OvalWindowPlot() const {
    return State.FamilyMode != 0 ? DiagramPlot::Events : DiagramPlot::Oval;
}

bool Simulation::DiagramDrawable(DiagramPlot plot) const {
    return plot == DiagramPlot::Events || FirstActivation == 0;
}

const char* Simulation::DiagramCaption(DiagramPlot plot) {
    switch (plot) {
    case DiagramPlot::Indicator:
    case DiagramPlot::IndicatorFamily:
        return IndicatorWindowCaption;
    case DiagramPlot::Oval:
        return OvalDiagramCaption;
    case DiagramPlot::Events:
        return EventsDiagramCaption;
    }
    return IndicatorWindowCaption;
}

bool Simulation::DrawDiagram(DiagramPlot which, Glib1& plot, int width, int height) {
    if (!DiagramDrawable(which)) return false;
    switch (which) {
    case DiagramPlot::Indicator:
        Indicator.PlotIndicator(plot, width, height, Steps.StepPistonPct, State.FrontPressure,
                                State.RearPressure, false, State.Nsteps, State.Events);
        break;
    case DiagramPlot::IndicatorFamily: {
        std::array<float, FamilySize> settings{};
        for (int k = 0; k < FamilySize; ++k)
            settings[static_cast<std::size_t>(k)] = FamilyMemberSetting(State, k);
        Indicator.PlotIndicatorFamily(plot, width, height, Steps.StepPistonPct, Family, State.FamilyCount,
                                      State.Nsteps, settings);
    } break;
    case DiagramPlot::Oval:
        DrawOvalDiagram(plot, width, height, Steps.StepPistonPct, Steps.StepValvePos, State.Events,
                        State.Nsteps);
        break;
    case DiagramPlot::Events:
        DrawEventsDiagram(plot, width, height, Steps.StepPistonPct, Family, State);
        break;
    }
    return true;
}

std::string Simulation::CutoffCaption() const {
    return CutoffCaptionText(State.GearSetting, State.EventsImproper, Steps.StepPistonPct, State.Events,
                             State.Nsteps);
}

} // namespace linkwright
