// The pipeline's steps follow what a user does in the desktop program; the checks look at every
// output the step produced.
#include "fuzz/GearPipeline.h"

#include "analysis/Comparison.h"
#include "app/Simulation.h"
#include "common/NumberFormat.h"
#include "gears/GearKinds.h"
#include "plot/Canvas.h"
#include "plot/Glib1.h"
#include "tuning/EventsTable.h"
#include "tuning/Tuner.h"
#include "windows/Dialogs.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

namespace linkwright::fuzzing {

namespace {

[[noreturn]] void Breach(const char* what) {
    std::fprintf(stderr, "gear pipeline: %s\n", what);
    std::abort();
}

// Every question is answered OK, no file is chosen in a dialog.
class AnsweringDialogs final : public Dialogs {
public:
    bool WarningOkCancel(const std::string&) override { return true; }
    void Information(const std::string&) override {}
    std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
    bool ConfirmPrint() override { return false; }
};

// A canvas that draws nothing and checks what it is given: a pixel far outside any picture means
// a coordinate that was no number or ran away on its way to the canvas.
class CheckingCanvas final : public Canvas {
public:
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Resize(int width, int height) override {
        Check(width, height);
        width_ = width;
        height_ = height;
    }
    void SetPenColour(std::uint32_t rgb) override { colour_ = rgb; }
    std::uint32_t PenColour() const override { return colour_; }
    void SetPenStyle(PenStyle) override {}
    void SetBrushStyle(BrushStyle) override {}
    void Rectangle(int x1, int y1, int x2, int y2) override {
        Check(x1, y1);
        Check(x2, y2);
    }
    void MoveTo(int x, int y) override {
        Check(x, y);
        x_ = x;
        y_ = y;
    }
    void LineTo(int x, int y) override { MoveTo(x, y); }
    int PenX() const override { return x_; }
    int PenY() const override { return y_; }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override {
        Check(x1, y1);
        Check(x2, y2);
        Check(x3, y3);
        Check(x4, y4);
    }
    void SetPixel(int x, int y, std::uint32_t) override { Check(x, y); }
    void TextOut(int x, int y, const std::string& text) override {
        Check(x, y);
        CheckText(text);
    }
    int TextWidth(const std::string& text) const override { return 7 * static_cast<int>(text.size()); }
    int TextHeight(const std::string&) const override { return 13; }
    int FontHeight() const override { return -13; }
    int PixelsPerInchX() const override { return 96; }
    int PixelsPerInchY() const override { return 96; }

    // Text drawn on a picture, like the listings, must not show a value that is no number: "nan" or
    // "inf" standing as a word of its own, in either case.
    static void CheckText(std::string_view text) {
        const auto lower = [&](std::size_t i) {
            return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        };
        const auto letter = [&](std::size_t i) {
            return i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])) != 0;
        };
        for (std::size_t at = 0; at + 3 <= text.size(); ++at) {
            const char first = lower(at);
            if (first != 'n' && first != 'i') continue;
            const bool word = first == 'n' ? lower(at + 1) == 'a' && lower(at + 2) == 'n'
                                           : lower(at + 1) == 'n' && lower(at + 2) == 'f';
            if (!word || (at > 0 && letter(at - 1)) || letter(at + 3)) continue;
            const std::size_t start = text.rfind('\n', at);
            const std::size_t end = text.find('\n', at);
            const std::size_t from = start == std::string_view::npos ? 0 : start + 1;
            const std::string line(text.substr(from, end == std::string_view::npos ? end : end - from));
            std::fprintf(stderr, "gear pipeline: \"%s\"\n", line.c_str());
            Breach("a text shows a value that is no number");
        }
    }

private:
    static void Check(int x, int y) {
        // The plot library hands on circles of up to a billion pixels and holds everything else to
        // the 16-bit range; a coordinate beyond means one that was infinite or no number.
        constexpr int Far = 1'100'000'000;
        if (x < -Far || x > Far || y < -Far || y > Far) Breach("a drawing coordinate is not a sane pixel");
    }
    int width_ = 800;
    int height_ = 600;
    int x_ = 0;
    int y_ = 0;
    std::uint32_t colour_ = 0;
};

void CheckFileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CheckingCanvas::CheckText(text);
}

void CheckSteps(const Simulation& sim) {
    for (int i = 0; i <= sim.State.Nsteps && i <= MaxSteps; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (!std::isfinite(sim.Steps.StepCrankAngle[k]) || !std::isfinite(sim.Steps.StepPistonPct[k]) ||
            !std::isfinite(sim.Steps.StepValvePos[k]))
            Breach("a step of the revolution is no number");
    }
}

} // namespace

std::vector<std::uint8_t> ExampleInput(int kind) {
    AnsweringDialogs dialogs;
    Simulation sim(dialogs);
    CheckingCanvas canvas;
    sim.Plot.AttachCanvas(canvas);
    GearSetup setup;
    setup.kindIndex = kind;
    sim.PrepareAsUser(setup);
    const std::filesystem::path file = "example-input";
    sim.CurrentModel().SaveGearFile(file.string());
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(kind)};
    bytes.insert(bytes.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::filesystem::remove(file);
    return bytes;
}

void RunGearPipeline(std::span<const std::uint8_t> input) {
    if (input.empty()) return;
    // The first byte chooses the kind and, above it, what the user sets before looking: the
    // solution steps, the direction and the crank angle. The kind's own byte alone (0 .. 4) keeps
    // the program's defaults.
    const int kind = input[0] % GearKindCount;
    const int options = input[0] / GearKindCount;
    constexpr std::int32_t StepChoices[] = {MaxSteps, MinSteps, 90, 181};
    const std::int32_t steps = StepChoices[options % 4];
    const bool backward = (options / 4) % 2 != 0;
    const float crankAngle = static_cast<float>((options / 8) * 60) / 180.0f * std::numbers::pi_v<float>;

    // Nothing of an earlier input is left to be checked again.
    for (const GearKindRow& row : GearKinds())
        if (row.listingFileName != nullptr) std::filesystem::remove(row.listingFileName);
    const std::filesystem::path file = std::string("input.") + KindRow(static_cast<GearKind>(kind)).extension;
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(input.data() + 1),
                  static_cast<std::streamsize>(input.size() - 1));
    }

    AnsweringDialogs dialogs;
    Simulation sim(dialogs);
    CheckingCanvas canvas;
    sim.Plot.AttachCanvas(canvas);
    GearSetup setup;
    setup.kindIndex = kind;
    setup.file = file;
    if (backward) setup.forward = false;
    try {
        sim.PrepareAsUser(setup);
    } catch (const GearFileRefused&) {
        return; // refused and nothing changed: a sound outcome
    } catch (const EditorSyntaxError&) {
        return;
    }
    sim.State.Nsteps = steps;
    sim.CrankAngle = crankAngle;

    // The picture with its labels, then the analysis with its listings and diagrams.
    sim.Annotate = 1;
    sim.Redraw();
    sim.ShowDiagram = [&](Simulation::DiagramPlot plot) {
        Glib1 glib(canvas);
        sim.DrawDiagram(plot, glib, 797, 397);
    };
    sim.RunAnalysis();
    CheckSteps(sim);
    CheckFileText(sim.Messages.Path());
    for (const GearKindRow& row : GearKinds())
        if (row.listingFileName != nullptr && std::filesystem::exists(row.listingFileName))
            CheckFileText(row.listingFileName);

    sim.Family1Click();
    sim.Redraw();

    // A short tune of the first two controls for equal cut-offs where the gear is set, and its
    // events beside the gear's: every figure a number, the shown gear untouched.
    {
        GearModel& model = sim.CurrentModel();
        const std::span<const std::uint8_t> bytes = model.RecordBytes();
        const std::vector<std::uint8_t> record(bytes.begin(), bytes.end());
        try {
            GearDesign design(model, sim.State);
            const std::vector<ControlValue> values = design.EditorValues();
            const EditorTable& table = design.Model().Editor();
            TuningProblem problem;
            for (const std::size_t field : TunableFields(
                     table, values,
                     EditorSession(design.Model(), design.State(), design.Dialogs()).Enabled(values)))
                if (problem.vary.size() < 2)
                    problem.vary.push_back(ParseVaried(table.fields[field].component, table, values));
            problem.targets.push_back(ParseTarget("equal-cutoff@" + ShortestText(sim.State.GearSetting)));
            Tuner tuner(model, sim.State, problem);
            TuningOptions options;
            options.maxEvaluations = 6;
            const TuningResult result = tuner.Run(options);
            if (result.after.feasible)
                for (const TargetReading& reading : result.after.readings)
                    if (!std::isfinite(reading.front) || !std::isfinite(reading.rear) ||
                        !std::isfinite(reading.shortfall))
                        Breach("a feasible design reads a figure that is no number");
            const std::string csv = EventsTableCsv(
                CompareEvents({"before", "after"}, {result.before.events, result.after.events}));
            CheckingCanvas::CheckText(csv);

            // The gear and its tuned design overlaid, as File > Compare with... draws them: the
            // ovals where the gear is set, the events over the sweep the gear has just made.
            GearDesign tuned(model, sim.State);
            std::vector<ControlValue> typed = tuned.EditorValues();
            TypeTuned(tuned.Model().Editor(), typed, result.typed);
            tuned.Ok(typed);
            const OperatingPoint point{sim.State.GearSetting, sim.State.fwd != 0};
            const SolvedRevolution solved[] = {design.Solve(point), tuned.Solve(point)};
            std::vector<OvalDesign> ovals;
            for (int d = 0; d < 2; ++d)
                ovals.push_back({d == 0 ? "before" : "after", solved[d].steps.StepPistonPct,
                                 solved[d].steps.StepValvePos, solved[d].record, solved[d].Nsteps,
                                 d == 0 ? FirstDesignColour : SecondDesignColour});
            Glib1 glib(canvas);
            DrawOvalComparison(glib, 797, 397, ovals);
            std::vector<EventsDesign> sweeps;
            for (int d = 0; d < 2; ++d)
                sweeps.push_back({d == 0 ? "gear" : "again", sim.Steps.StepPistonPct, &sim.Family, sim.State,
                                  d == 0 ? FirstDesignColour : SecondDesignColour});
            DrawEventsComparison(glib, 797, 397, sweeps);
        } catch (const std::invalid_argument&) {
            // No control to vary (a value that is no number), or a start the editor refuses.
        }
        const std::span<const std::uint8_t> after = model.RecordBytes();
        if (!std::equal(after.begin(), after.end(), record.begin(), record.end()))
            Breach("the tuner changed the shown gear");
    }

    // The editor opened and OKed as it stands, then the gear saved and loaded again.
    sim.Edit1Click([](EditorSession& session) { session.Ok(session.Fill()); });
    sim.Redraw();
    const std::string saved = "saved-input";
    std::filesystem::remove(saved);
    if (sim.CurrentModel().SaveGearFile(saved) == SaveResult::Saved) sim.CurrentModel().LoadGearFile(saved);
    sim.Redraw();
}

} // namespace linkwright::fuzzing
