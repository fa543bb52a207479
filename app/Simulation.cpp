// The simulation driver: start-up, the redraw of the main view and the core of every main-window
// command (kind choice, scroll bars, zoom and pan, the editor, File > Open and Save, the file named
// on the command line).
#include "app/Simulation.h"

#include "common/NumberFormat.h"
#include "gears/GearKinds.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <system_error>

namespace linkwright {

Simulation::Simulation(Dialogs& dialogs, std::filesystem::path messagesPath)
    : Messages(std::move(messagesPath)), dialogs_(dialogs) {
    Messages.Create();
    const GearEnvironment environment{State, Messages, dialogs_};
    for (const GearKindRow& row : GearKinds())
        if (row.Built()) models_[static_cast<std::size_t>(row.kind)] = row.makeModel(environment);
    for (const std::unique_ptr<GearModel>& model : models_)
        if (model) model->SetExample();
    ResetDefaults();
    CurrentKind = GearKind::Walschaerts1;
    CurrentModel().InitialiseGear();
}

Simulation::~Simulation() = default;

void Simulation::CloseDiagrams() {
    if (CloseDiagramWindows) CloseDiagramWindows();
}

void Simulation::ResetDefaults() {
    ResetStateDefaults(State);
}

void Simulation::Redraw(int clientWidth, int clientHeight, int panelHeight) {
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    panelHeight_ = panelHeight;
    Redraw();
}

void Simulation::Redraw() {
    // A window too small for a picture still gets a one-pixel one; the size is a 16-bit value.
    DrawHeight = static_cast<std::int16_t>(std::clamp(clientHeight_ - panelHeight_ - 3, 1, 32767));
    DrawWidth = static_cast<std::int16_t>(std::clamp(clientWidth_ - 3, 1, 32767));
    Caption = std::string("Linkwright > ") + KindRow(CurrentKind).name + "  " + CurrentFileName;
    // The degrees pass through a Single, as the angle itself is one; halves round to even.
    const float degrees = static_cast<float>(static_cast<double>(CrankAngle) * 180.0 / std::numbers::pi);
    EdCrankAngleText = std::isfinite(degrees) ? std::to_string(RoundHalfEven(degrees)) : "0";
    EdGearText = F(State.GearSetting, 4, 3);
    FwdChecked = State.fwd != 0;
    double crankDegrees = std::isfinite(degrees) ? static_cast<double>(degrees) : 0.0;
    if (crankDegrees < 0.0 || crankDegrees > 360.0) crankDegrees -= 360.0 * std::floor(crankDegrees / 360.0);
    CrankScrollPosition = static_cast<int>(std::clamp<std::int64_t>(RoundHalfEven(crankDegrees), 0, 360));
    const double setting = static_cast<double>(State.GearSetting) * 100.0;
    GearScrollPosition = std::isfinite(setting)
                             ? static_cast<int>(std::clamp<std::int64_t>(RoundHalfEven(setting), -100, 100))
                             : 0;
    CurrentModel().DrawGear(Plot, DrawWidth, DrawHeight, Annotate != 0, CrankAngle, State.GearSetting);
    Mapping = Plot.GetMapping();
}

std::string Simulation::PrintHeading(const std::string& what, const std::string& date) {
    const auto trimmed = [](std::string text) {
        const std::size_t first = text.find_first_not_of(' ');
        const std::size_t last = text.find_last_not_of(' ');
        return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    };
    std::string description;
    for (const EditorField& field : CurrentModel().Editor().fields)
        if (field.component == "Descr") description = trimmed(field.storage.ReadText());
    if (description.empty()) description = trimmed(CurrentFileName);
    std::string heading = what.empty() ? std::string() : what + " \u2014 ";
    heading += KindRow(CurrentKind).name;
    if (!description.empty()) heading += " \u2014 " + description;
    heading += " \u2014 Gear setting " + trimmed(EdGearText) + " \u2014 Crank angle " + EdCrankAngleText +
               "\u00b0 \u2014 " + date;
    return heading;
}

void Simulation::ValveGear2Click() {
    ListBoxVisible = true;
    ListBoxItems.clear();
    for (const GearKindRow& row : GearKinds())
        ListBoxItems.emplace_back(row.name);
    ListBoxSelection = static_cast<int>(CurrentKind);
    CurrentFileName = " Program example";
}

bool Simulation::ComboBox1Change(int index) {
    if (index < 0) index = 0;
    if (index >= GearKindCount || !GearKinds()[static_cast<std::size_t>(index)].Built()) return false;
    CurrentKind = static_cast<GearKind>(index);
    ListBoxVisible = false;
    ResetDefaults();
    CurrentModel().InitialiseGear();
    CloseDiagrams();
    Annotate = 0;
    Redraw();
    return true;
}

void Simulation::ScrollCrankChange(int position) {
    Annotate = 0;
    CrankAngle = static_cast<float>(position / 180.0 * std::numbers::pi);
    Redraw();
}

void Simulation::ScrollGearChange(int position) {
    CloseDiagrams();
    Annotate = 0;
    State.GearSetting = static_cast<float>(position / 100.0);
    Redraw();
    State.AnalysisValid = 0;
}

void Simulation::EdGearExit(const std::string& text) {
    // Blanks around the number are accepted, as a typed field often carries them.
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == ' ')
        trimmed.pop_back();
    State.GearSetting = static_cast<float>(ParseReal(trimmed).value_or(1.0));
    Redraw();
    State.AnalysisValid = 0;
}

void Simulation::fwdClick(bool checked) {
    State.fwd = checked ? 1 : 0;
    if (FirstActivation == 0) CloseDiagrams();
    State.AnalysisValid = 0;
}

void Simulation::AnnotClick() {
    Annotate = 1;
    Redraw();
}

void Simulation::PanLClick() {
    const double d = (static_cast<double>(State.ViewXMax) - State.ViewXMin) / 10.0;
    State.ViewXMin = static_cast<float>(State.ViewXMin + d);
    State.ViewXMax = static_cast<float>(State.ViewXMax + d);
    Redraw();
}

void Simulation::PanRClick() {
    const double d = (static_cast<double>(State.ViewXMax) - State.ViewXMin) / 10.0;
    State.ViewXMin = static_cast<float>(State.ViewXMin - d);
    State.ViewXMax = static_cast<float>(State.ViewXMax - d);
    Redraw();
}

void Simulation::PanUClick() {
    const double d = (static_cast<double>(State.ViewYMax) - State.ViewYMin) / 10.0;
    State.ViewYMin = static_cast<float>(State.ViewYMin - d);
    State.ViewYMax = static_cast<float>(State.ViewYMax - d);
    Redraw();
}

void Simulation::PanDClick() {
    const double d = (static_cast<double>(State.ViewYMax) - State.ViewYMin) / 10.0;
    State.ViewYMin = static_cast<float>(State.ViewYMin + d);
    State.ViewYMax = static_cast<float>(State.ViewYMax + d);
    Redraw();
}

namespace {

// Scales the range about its centre: the half width is divided by `divisor`.
void ScaleRange(float& min, float& max, double factor, bool divide) {
    const double centre = (static_cast<double>(min) + max) / 2.0;
    const double halfWidth = (static_cast<double>(max) - min) / 2.0;
    const double half = divide ? halfWidth / factor : halfWidth * factor;
    min = static_cast<float>(centre - half);
    max = static_cast<float>(centre + half);
}

} // namespace

void Simulation::ZoomInClick() {
    ScaleRange(State.ViewXMin, State.ViewXMax, 1.1, true);
    ScaleRange(State.ViewYMin, State.ViewYMax, 1.1, true);
    Redraw();
}

void Simulation::ZoomOutClick() {
    ScaleRange(State.ViewXMin, State.ViewXMax, 1.1, false);
    ScaleRange(State.ViewYMin, State.ViewYMax, 1.1, false);
    Redraw();
}

void Simulation::Edit1Click(const std::function<void(EditorSession& session)>& runEditorForm) {
    CloseDiagrams();
    EditorSession session(CurrentModel(), State, dialogs_);
    if (runEditorForm) runEditorForm(session);
    if (State.Nsteps > MaxSteps) State.Nsteps = MaxSteps;
    if (State.Nsteps < MinSteps) State.Nsteps = MinSteps;
    Redraw();
}

bool Simulation::ApplyTyped(const std::vector<TunedField>& typed) {
    bool stored = true;
    Edit1Click([&](EditorSession& session) {
        std::vector<ControlValue> values = session.Fill();
        // The other edits hold exactly what they did, as the tuner typed them for its candidates,
        // so that the gear is the design it evaluated.
        HoldExactValues(session.Table(), values, State.Decimals);
        TypeTuned(session.Table(), values, typed);
        if (session.Ok(values) == EditorOutcome::StayOpen) {
            // The fields the OK stored before it stopped go back, as the form's Cancel takes them back.
            session.Cancel();
            stored = false;
        }
    });
    return stored;
}

WindowRect FitWindowInto(WindowRect window, const WindowRect& area) {
    window.width = std::clamp(window.width, 1, std::max(1, area.width));
    window.height = std::clamp(window.height, 1, std::max(1, area.height));
    window.left = std::clamp(window.left, area.left, area.left + std::max(0, area.width - window.width));
    window.top = std::clamp(window.top, area.top, area.top + std::max(0, area.height - window.height));
    return window;
}

WindowRect PlaceBeside(const WindowRect& owner, int width, int height, const WindowRect& area) {
    constexpr int Gap = 8;
    const int roomRight = area.left + area.width - (owner.left + owner.width);
    const int roomLeft = owner.left - area.left;
    WindowRect placed{0, owner.top, width, height};
    if (roomRight >= Gap + width)
        placed.left = owner.left + owner.width + Gap;
    else if (roomLeft >= Gap + width)
        placed.left = owner.left - Gap - width;
    else // against the edge with more room, so that it hides as little of the owner as it can
        placed.left = roomRight >= roomLeft ? area.left + area.width - width : area.left;
    return FitWindowInto(placed, area);
}

WindowLayout Simulation::FirstActivationLayout(int screenWidth, int screenHeight) {
    WindowLayout layout;
    const int h20 = screenHeight / 20;
    const int w20 = screenWidth / 20;
    layout.main.top = h20;
    layout.main.height = std::max(h20 * 8, 433);
    layout.main.left = w20;
    layout.main.width = std::max(screenWidth / 2, 559);
    layout.indicator.top = layout.main.top;
    layout.indicator.left = layout.main.left + layout.main.width + 8;
    layout.indicator.width = w20 * 8;
    layout.indicator.height = std::min(layout.main.height, screenHeight / 3);
    layout.oval.top = screenHeight / 2;
    layout.oval.left = layout.indicator.left;
    layout.oval.width = w20 * 8;
    layout.oval.height = layout.indicator.height;
    return layout;
}

void Simulation::FormActivate() {
    if (FirstActivation == 0) return;
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error) / "Data";
    if (error) throw std::system_error(error, "Cannot find the working folder");
    DataDir = folder.string();
    if (!std::filesystem::is_directory(folder, error)) {
        error.clear();
        std::filesystem::create_directory(folder, error);
        if (error) throw std::system_error(error, "Cannot create the folder \"" + DataDir + "\"");
        if (!std::filesystem::is_directory(folder, error))
            throw std::system_error(std::make_error_code(std::errc::not_a_directory),
                                    "Cannot create the folder \"" + DataDir + "\"");
    }
    FirstActivation = 0;
}

FileDialogRequest Simulation::OpenDialogRequest() const {
    FileDialogRequest request;
    const GearKindRow& row = KindRow(CurrentKind);
    request.defaultExtension = row.extension;
    request.filter = row.name;
    request.filter += " (*.";
    request.filter += request.defaultExtension;
    request.filter += ")";
    // The folder last used in this run, the Data folder the first time.
    request.initialDirectory = lastFolder_.empty() ? DataDir : lastFolder_;
    request.initialFileName = openDialogFileName_;
    return request;
}

FileDialogRequest Simulation::SaveDialogRequest() const {
    FileDialogRequest request = OpenDialogRequest();
    request.initialFileName = "NoName";
    return request;
}

std::string Simulation::FileNameWithoutFolder(const std::string& path) {
    return linkwright::FileNameWithoutFolder(path);
}

void Simulation::LoadChosenFile(const std::optional<std::string>& chosen, bool refusalThrows) {
    const std::uint32_t handles[] = {State.StepCrankAngleHandle,     State.StepPistonPctHandle,
                                     State.StepValvePosHandle,       State.FamilyFrontPressureHandle,
                                     State.FamilyRearPressureHandle, State.FamilyEventsHandle};
    if (chosen) {
        // A refused file changes nothing: the gear, its settings, the title and the diagrams stay.
        if (CurrentModel().LoadGearFile(*chosen) == LoadResult::Refused) {
            if (refusalThrows) throw GearFileRefused();
            return;
        }
        openDialogFileName_ = *chosen;
        RememberFolderOf(*chosen);
    }
    CurrentFileName = FileNameWithoutFolder(openDialogFileName_);
    ResetDefaults();
    CurrentModel().InitialiseGear();
    Redraw();
    State.StepCrankAngleHandle = handles[0];
    State.StepPistonPctHandle = handles[1];
    State.StepValvePosHandle = handles[2];
    State.FamilyFrontPressureHandle = handles[3];
    State.FamilyRearPressureHandle = handles[4];
    State.FamilyEventsHandle = handles[5];
    CloseDiagrams();
}

void Simulation::RememberFolderOf(const std::string& file) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    if (!folder.empty()) lastFolder_ = folder.string();
}

void Simulation::Open1Click() {
    LoadChosenFile(dialogs_.OpenFile(OpenDialogRequest()), false);
}

void Simulation::OpenNamedFile(const std::string& path, const std::function<void()>& kindPicked) {
    const std::string extension = std::filesystem::path(path).extension().string();
    const std::optional<GearKind> kind =
        extension.empty() ? std::nullopt : FindGearKindByExtension(std::string_view(extension).substr(1));
    if (kind && KindRow(*kind).Built()) {
        ValveGear2Click();
        ComboBox1Change(static_cast<int>(*kind));
    }
    if (kindPicked) kindPicked();
    LoadChosenFile(path, false);
}

std::string Simulation::SavedFileName(const std::string& typed) const {
    // A name typed without an extension gets the kind's.
    if (FileNameWithoutFolder(typed).find('.') != std::string::npos) return typed;
    return typed + "." + KindRow(CurrentKind).extension;
}

void Simulation::Save1Click() {
    const FileDialogRequest request = SaveDialogRequest();
    std::string dialogFileName = request.initialFileName;
    if (const std::optional<std::string> chosen = dialogs_.SaveFile(request)) {
        dialogFileName = SavedFileName(*chosen);
        if (CurrentModel().SaveGearFile(dialogFileName) == SaveResult::Saved)
            RememberFolderOf(dialogFileName);
    }
    CurrentFileName = FileNameWithoutFolder(dialogFileName);
    Redraw();
}

void Simulation::Exit2Click() {
    Messages.Close();
}

void Simulation::PrepareAsUser(const GearSetup& setup) {
    Redraw(setup.width + 3, setup.height + 3, 0);

    std::optional<int> kind = setup.kindIndex;
    if (setup.kindName) {
        const std::optional<GearKind> found = FindGearKind(*setup.kindName);
        if (!found) throw std::invalid_argument("Unknown gear kind \"" + *setup.kindName + "\"");
        kind = static_cast<int>(*found);
    }
    if (kind) {
        if (*kind < 0 || *kind >= GearKindCount)
            throw std::invalid_argument("Gear kind " + std::to_string(*kind) + " does not exist");
        ValveGear2Click();
        if (!ComboBox1Change(*kind))
            throw std::invalid_argument(std::string("The gear kind ") +
                                        KindRow(static_cast<GearKind>(*kind)).name + " is not available");
    }

    if (setup.file) LoadChosenFile(setup.file->string(), true);

    if (setup.autoSetting && !CurrentModel().HasAutoSetting())
        throw std::invalid_argument(std::string("The gear kind ") + KindRow(CurrentKind).name +
                                    " has no auto setting");
    if (setup.slack || setup.wheelLift || setup.wheelDisp || setup.autoSetting || setup.steps ||
        setup.typeIntoEditor) {
        std::optional<EditorSyntaxError> refused;
        Edit1Click([&](EditorSession& session) {
            std::vector<ControlValue> values = session.Fill();
            const EditorTable& table = session.Table();
            auto set = [&](const char* component, auto&& apply) {
                for (std::size_t i = 0; i < table.fields.size(); ++i)
                    if (table.fields[i].component == component) apply(values[i]);
            };
            if (setup.slack) set("Slack1", [&](ControlValue& v) { v.text = ShortestText(*setup.slack); });
            if (setup.wheelLift)
                set("WheelLift1", [&](ControlValue& v) { v.text = ShortestText(*setup.wheelLift); });
            if (setup.wheelDisp)
                set("WheelDisp1", [&](ControlValue& v) { v.text = ShortestText(*setup.wheelDisp); });
            if (setup.autoSetting)
                set("AutoSetting1", [&](ControlValue& v) { v.checked = *setup.autoSetting; });
            if (setup.steps) set("Nsteps", [&](ControlValue& v) { v.text = std::to_string(*setup.steps); });
            if (setup.typeIntoEditor) {
                try {
                    setup.typeIntoEditor(table, values);
                } catch (...) {
                    session.Cancel();
                    throw;
                }
            }
            if (session.Ok(values) == EditorOutcome::StayOpen) refused.emplace(session);
        });
        if (refused) throw *refused;
    }

    if (setup.gearSetting) EdGearExit(*setup.gearSetting);
    if (setup.forward) {
        fwdClick(*setup.forward);
        // The check box shows the new state; the picture does not depend on the direction.
        FwdChecked = State.fwd != 0;
    }
}

} // namespace linkwright
