// The simulation driver behind the main window: the whole simulation state, the five gear models and
// one method per main-window command. The window only forwards its events here and shows the results.
#pragma once

#include "analysis/Indicplt.h"
#include "gears/EditorFields.h"
#include "gears/GearModel.h"
#include "plot/Glib1.h"
#include "state/SimulationState.h"
#include "tuning/Tuner.h"
#include "windows/Dialogs.h"
#include "windows/MessagesFile.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace linkwright {

// The text shown when a data file is refused; PrepareAsUser carries it in a GearFileRefused.
inline constexpr const char* GearFileRefusedMessage = "Sorry, old version or corrupted data file";

class GearFileRefused : public std::runtime_error {
public:
    GearFileRefused() : std::runtime_error(GearFileRefusedMessage) {}
};

// The editor form was left open with a syntax error (PrepareAsUser only); it names the fields whose
// text did not convert.
class EditorSyntaxError : public std::runtime_error {
public:
    struct Field {
        std::string component;
        std::string label;
        std::string text;
    };
    explicit EditorSyntaxError(const EditorSession& session) : std::runtime_error(SyntaxErrorMessage) {
        for (const EditorSession::Refusal& refusal : session.Refused()) {
            const EditorField& field = session.Table().fields[refusal.field];
            fields.push_back({field.component, field.label, refusal.text});
        }
    }
    std::vector<Field> fields;
};

// What a user would set up before looking at a gear; every member left empty is left as it is.
struct GearSetup {
    std::optional<std::string> kindName; // a name of the kinds table (takes precedence over kindIndex)
    std::optional<int> kindIndex;        // 0..4
    std::optional<std::filesystem::path> file;
    // Conditions, entered on the editor's Conditions tab.
    std::optional<float> slack;
    std::optional<float> wheelLift;
    std::optional<float> wheelDisp;
    std::optional<bool> autoSetting; // the Walschaerts kinds only
    std::optional<int> steps;        // "Solution Steps", typed as its digits
    // What else the user types into the editor before the same OK, after the conditions: given the
    // editor's table and its controls' values with the conditions typed, it changes the values. It
    // may throw to refuse what it was asked to type; the editor is then cancelled. May be left empty.
    std::function<void(const EditorTable& table, std::vector<ControlValue>& values)> typeIntoEditor;
    // Typed into EdGear, parsed as EdGearExit does (a text that does not parse means 1.0).
    std::optional<std::string> gearSetting;
    std::optional<bool> forward;
    // Pixel size of the gear picture (DrawWidth, DrawHeight).
    int width = 800;
    int height = 600;
};

// Positions of the windows after the main window's first activation.
struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
struct WindowLayout {
    WindowRect main;
    WindowRect indicator;
    WindowRect oval;
};

// A window's outer frame moved, and if need be shrunk, so that it lies wholly within `area` (the
// screen's available area); one that already does is left as it is.
WindowRect FitWindowInto(WindowRect window, const WindowRect& area);
// Where a window of the given frame size opens beside `owner` so as not to hide it: to its right
// where there is room, else to its left, else against the edge of `area` with more room; at the
// owner's top, fitted into `area`.
WindowRect PlaceBeside(const WindowRect& owner, int width, int height, const WindowRect& area);

class Simulation {
public:
    // Start-up: the messages file is created empty, every kind sets its example, the settings are
    // reset, GearKind 0 is selected and its InitialiseGear runs.
    explicit Simulation(Dialogs& dialogs, std::filesystem::path messagesPath = "Messages.txt");
    ~Simulation();
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // ---- state ---------------------------------------------------------------------------------
    SimulationState State{};
    StepArrays Steps;
    FamilyBlocks Family;
    MessagesFile Messages;
    Glib1 Plot; // attach the picture's canvas (Plot.AttachCanvas) before the first Redraw

    GearKind CurrentKind = GearKind::Walschaerts1;
    float CrankAngle = 0;          // radians
    std::uint8_t Annotate = 0;     // the next redraw labels the pins
    std::uint8_t MovieStopped = 1; // 0 while an animation runs
    std::uint8_t FirstActivation = 1;
    std::int16_t DrawWidth = 0;
    std::int16_t DrawHeight = 0;
    std::string CurrentFileName = " Program example";
    std::string DataDir;

    // Measuring (the Measure menu).
    std::uint8_t MeasureMode = 3; // 0 Distance, 1 dX,dY, 2 X,Y, 3 Off
    std::uint8_t MeasurePairStart = 1;
    float LastMeasureX = 0;
    float LastMeasureY = 0;
    PlotMapping Mapping; // of the last DrawGear

    // What the last Redraw produced for the window.
    std::string Caption;
    std::string EdCrankAngleText;
    std::string EdGearText;
    bool FwdChecked = true;
    // Where the crank (0 .. 360 degrees) and gear (-100 .. 100) scroll bars stand for the angle and
    // setting the picture shows.
    int CrankScrollPosition = 0;
    int GearScrollPosition = 100;

    // The kind list shown by File > ValveGear.
    bool ListBoxVisible = false;
    std::vector<std::string> ListBoxItems;
    int ListBoxSelection = -1;

    // Hooks into the windows: close the indicator and oval windows; show (true) or end (false) the
    // hourglass cursor. Either may be left empty.
    std::function<void()> CloseDiagramWindows;
    std::function<void(bool)> SetBusyCursor;

    // ---- models ----------------------------------------------------------------------------------
    // nullptr for a kind that is not built (its row in the kinds table has no model factory).
    GearModel* Model(GearKind kind) const { return models_[static_cast<int>(kind)].get(); }
    GearModel& CurrentModel() const { return *Model(CurrentKind); }
    Dialogs& DialogsUsed() const { return dialogs_; }

    // ---- operations ------------------------------------------------------------------------------
    // fwd 1, Nsteps 550, MovieStep 0.01, GearSetting 1.0, Decimals 4, AnalysisValid and EventsKnown 0.
    void ResetDefaults();
    // Caption, panel texts, the fwd check state and DrawGear of the current kind onto the attached
    // canvas; keeps the mapping. The picture is client width - 3 by client height - panel - 3 pixels
    // (at least 1 by 1). The form without arguments uses the last client size.
    void Redraw(int clientWidth, int clientHeight, int panelHeight);
    void Redraw();

    // ---- main-window handlers ---------------------------------------------------------------------
    void ValveGear2Click();
    // Selects the kind of the list entry (index < 0 means entry 0). Returns false, changing nothing,
    // when the index is out of range or that kind's model is not part of the program.
    bool ComboBox1Change(int index);
    void ScrollCrankChange(int position); // 0..360 degrees
    void ScrollGearChange(int position);  // -100..100
    void EdGearExit(const std::string& text);
    // The fwd check box was toggled, by the user or by Redraw setting it; the window shows
    // FwdChecked after each Redraw and calls this only when the state actually changes.
    void fwdClick(bool checked);
    void AnnotClick();
    void PanLClick();
    void PanRClick();
    void PanUClick();
    void PanDClick();
    void ZoomInClick();
    void ZoomOutClick();
    // Closes the diagram windows, runs the kind's editor form (the window shows it modally and ends
    // it with session.Ok or Cancel), clamps Nsteps to 30..550 and redraws.
    void Edit1Click(const std::function<void(EditorSession& session)>& runEditorForm);
    // The editor's OK with these texts typed into its controls (a tuned design applied): Edit1Click
    // with the typing in place of the form, every other edit holding exactly its field's value (so the
    // gear becomes the design the tuner evaluated). Returns false when the editor would stay open with a
    // syntax error; its message has then been shown and the gear, its settings and the state are
    // as they were.
    bool ApplyTyped(const std::vector<TunedField>& typed);
    void FormClick() { MovieStopped = 1; }
    void FormKeyPress() { MovieStopped = 1; }
    // Where the windows go at the first activation, for a screen of the given size.
    static WindowLayout FirstActivationLayout(int screenWidth, int screenHeight);
    // The data-folder part of the first activation: DataDir := working directory + "/Data", created
    // if missing, then FirstActivation := 0. Later calls do nothing. If the folder cannot be made a
    // std::system_error with the system's text is thrown and FirstActivation stays set.
    void FormActivate();
    // File > Open / Save through the dialogs. A failed write throws std::system_error; the previous
    // file is left as it was.
    void Open1Click();
    void Save1Click();
    // A data file named on the desktop program's command line: the kind its extension names is
    // picked as in File > ValveGear (an extension that names no kind keeps the current one), then
    // the file is opened as File > Open opens the chosen file, a refused one with the same message.
    // `kindPicked` runs in between, so that the window can show the kind behind a refusal.
    void OpenNamedFile(const std::string& path, const std::function<void()>& kindPicked = {});
    // The messages file is closed; the window then closes.
    void Exit2Click();

    // ---- headless use ----------------------------------------------------------------------------
    // Brings the simulation into the state the desktop program shows after a user has, in this
    // order: started it (the constructor) and shown the window with a picture of setup.width by
    // setup.height pixels (the first Redraw); picked the kind in File > ValveGear (ComboBox1Change);
    // opened the file in File > Open (Open1Click with that path); opened the editor, typed the
    // given conditions on its Conditions tab, then whatever typeIntoEditor types, and pressed OK
    // once (Edit1Click: a full editor OK, so the derived fields such as the view window are
    // recomputed as the desktop does; the editor is not opened when nothing is typed); typed the gear
    // setting into EdGear (EdGearExit); set the Forward check box (fwdClick). Throws
    // std::invalid_argument for an unknown kind or an auto setting on a kind without one,
    // GearFileRefused when the file is refused, EditorSyntaxError when the editor would stay open.
    void PrepareAsUser(const GearSetup& setup);

    // The file dialogs' requests for the current kind: filter "Walschaerts1 (*.L1)", extension "L1".
    FileDialogRequest OpenDialogRequest() const;
    FileDialogRequest SaveDialogRequest() const;
    // The file File > Save writes for a name typed into its dialog: a name without an extension
    // gets the kind's.
    std::string SavedFileName(const std::string& typed) const;
    // A path shown without its folders; both "/" and "\" separate them.
    static std::string FileNameWithoutFolder(const std::string& path);

    // ---- valve-event analysis and family sweep (app/SimulationAnalysis.cpp) ------------------------
    // The plots of the two diagram windows: the indicator window shows Indicator or
    // IndicatorFamily, the oval window Oval or Events.
    enum class DiagramPlot : std::uint8_t { Indicator, IndicatorFamily, Oval, Events };
    // The indicator window's drawing unit (its CurveColour).
    Indicplt Indicator;
    // Asks a diagram window to show itself and draw `plot` through DrawDiagram; called by
    // RunAnalysis and FamilySweep only for a plot that DiagramDrawable allows. May be left empty.
    std::function<void(DiagramPlot plot)> ShowDiagram;
    // Writes the cut-off caption onto the main window's surface at (CutoffCaptionX, CutoffCaptionY)
    // (DrawCutoffCaption); called at the end of every RunAnalysis. May be left empty.
    std::function<void(const std::string& text)> ShowCutoffCaption;

    // Solves one revolution of the current kind into the three arrays (the shown cursor is the
    // hourglass meanwhile, also when the solve throws); AnalysisValid := 1, EventsKnown := 1.
    void SolveDispatch(std::span<float> crank, std::span<float> piston, std::span<float> valve,
                       float gearSetting, EventRecord& events, int Nsteps);
    // View > Indicator Diagram: FamilyMode := 0; unless the stored analysis is valid, the messages
    // file is emptied, the revolution solved, the events found and both listings written; then in
    // every case the indicator and oval diagrams and the cut-off caption are shown.
    void RunAnalysis();
    void IndicatorDiagClick() { RunAnalysis(); }
    // View > Family: FamilyMode := 1, then FamilySweep.
    void Family1Click();
    // Ten analyses at settings 0.1 .. 1 of the sign of GearSetting into the family blocks, no
    // listings; AnalysisValid := 0; StepValvePos is left alone; GearSetting is restored. Shows the
    // family of indicator diagrams and the events diagram.
    void FamilySweep();
    // Called, when set, as each member of a family sweep has been analysed, with its index and its
    // valve positions, which the sweep does not keep: its crank and piston positions are then in
    // Steps, its events in Family.FamilyEvents[member], and State's GearSetting and EventsImproper
    // are the member's. May be left empty.
    std::function<void(int member, std::span<const float> valve)> FamilyMemberAnalysed;

    // What each diagram window draws on a resize or click (its FormResize) while FamilyMode is as now.
    DiagramPlot IndicatorWindowPlot() const;
    DiagramPlot OvalWindowPlot() const;
    // The indicator diagrams and the oval diagram are not drawn before the main window's first
    // activation; the events diagram always is.
    bool DiagramDrawable(DiagramPlot plot) const;
    // The window caption that goes with a plot.
    static const char* DiagramCaption(DiagramPlot plot);
    // Draws `plot` from the stored results on the canvas attached to `plot` at the given pixel size
    // (the window's client size less 3). Returns false, drawing nothing, when not drawable.
    bool DrawDiagram(DiagramPlot which, Glib1& plot, int width, int height);
    // The text DrawCutoffCaption writes after an analysis.
    std::string CutoffCaption() const;
    // The line over a printout: what is printed (the gear when `what` is empty), the kind, the
    // gear's description or else its file, the gear setting, the crank angle and `date`.
    std::string PrintHeading(const std::string& what, const std::string& date);
    // ---- end of valve-event analysis and family sweep -------------------------------------------

    // ---- animation and measuring (app/SimulationMovie.cpp, app/SimulationMeasure.cpp) --------------
    // View > Movie: Annotate := 0 and MovieStopped := 0, then frame after frame until MovieStopped
    // is 1: the crank turns by MovieStep (backward while fwd is clear), the gear is drawn at the new
    // angle (the mapping kept), and `frame` shows the picture and lets pending window events run;
    // a click or key there stops the animation. The panel texts are not updated. Returns the number
    // of frames drawn.
    long Movie1Click(const std::function<void()>& frame);
    // The crank angle one frame later: angle + step, wrapped into 0..2 pi.
    static float NextMovieAngle(float angle, float step);

    // The Measure menu: the four radio items (the pairing state is kept) and its help.
    void Distance1Click() { MeasureMode = 0; }
    void dXdY1Click() { MeasureMode = 1; }
    void XY1Click() { MeasureMode = 2; }
    void Off1Click() { MeasureMode = 3; }
    static constexpr const char* MeasureHelpText = "Choose a mode, then click on the valve gear image.";
    void Help2Click() { dialogs_.Information(MeasureHelpText); }
    // What one measuring click puts on the picture shown by Image1 (not on the plot bitmap): an
    // optional silver line from where the pen was left to the click, and a text at the click.
    struct MeasureMarks {
        bool line = false;
        int fromX = 0;
        int fromY = 0;
        int toX = 0;
        int toY = 0;
        std::string text; // top-left corner at (toX, toY); may be empty
    };
    static constexpr std::uint32_t MeasureLineColour = 0xC0C0C0; // silver
    // The measuring click at pixel (px, py) of the picture; nothing when MeasureMode is Off.
    std::optional<MeasureMarks> MeasureClick(int px, int py);
    // A mouse-down on the picture: MeasureClick, but only while no animation runs.
    std::optional<MeasureMarks> Image1MouseDown(int px, int py);
    // Where the last measuring click left the pen on the shown picture.
    int MeasurePenX = 0;
    int MeasurePenY = 0;
    // ---- end of animation and measuring -------------------------------------------------------------

private:
    void CloseDiagrams();
    void LoadChosenFile(const std::optional<std::string>& chosen, bool refusalThrows);

    Dialogs& dialogs_;
    std::array<std::unique_ptr<GearModel>, GearKindCount> models_;
    int clientWidth_ = 803;
    int clientHeight_ = 603;
    int panelHeight_ = 0;
    std::string openDialogFileName_; // what the open dialog shows as its file name
    std::string lastFolder_;         // of the last file opened or saved in this run
    void RememberFolderOf(const std::string& file);
};

} // namespace linkwright
