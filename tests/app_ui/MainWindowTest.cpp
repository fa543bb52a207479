// The main window driven through its real widgets, found by object name, with the dialogs answered
// by a script: menus, panel, kind list, files, printing, clipboard, measuring, layout, animation.
#include "app/Simulation.h"
#include "gears/GearKinds.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"
#include "ui/TAboutBox.h"
#include "ui/TMessages.h"
#include "ui/TfrmIndic.h"
#include "ui/TfrmInfo.h"
#include "ui/TfrmMain.h"
#include "ui/TfrmOval.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDate>
#include <QDialog>
#include <QElapsedTimer>
#include <QFrame>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace linkwright {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::ScriptedDialogs;
using testing::WorkingDirectory;

// The text of a PDF file, pages separated by form feeds.
std::string PdfText(const fs::path& pdf) {
    const fs::path text = pdf.string() + ".txt";
    const std::string command = "pdftotext -layout '" + pdf.string() + "' '" + text.string() + "'";
    if (std::system(command.c_str()) != 0) return "(pdftotext failed)";
    return testing::ReadTextFile(text);
}

void ProcessEvents() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

class MainWindowTest : public ::testing::Test {
protected:
    ScratchDir dir;
    WorkingDirectory workingDirectory{dir.path()};
    ScriptedDialogs dialogs;
    QPrinter printer;
    std::unique_ptr<Simulation> sim;
    std::unique_ptr<TfrmMain> window;

    void SetUp() override {
        printer.setOutputFormat(QPrinter::PdfFormat);
        sim = std::make_unique<Simulation>(dialogs, dir / "Messages.txt");
        window = std::make_unique<TfrmMain>(*sim, dialogs, printer);
        window->resize(800, 600);
        window->show();
        ProcessEvents();
    }

    void TearDown() override {
        window.reset();
        // The simulation outlives the window and must not keep its canvas.
        EXPECT_EQ(sim->Plot.PlotBitmap(), nullptr);
        sim.reset();
    }

    template <typename T> T* Find(const char* name) {
        T* found = window->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* Action(const char* name) { return Find<QAction>(name); }
    void Trigger(const char* name) {
        QAction* action = Action(name);
        ASSERT_NE(action, nullptr);
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
        ProcessEvents();
    }
    void Click(const char* name) {
        auto* button = Find<QPushButton>(name);
        ASSERT_NE(button, nullptr);
        button->click();
        ProcessEvents();
    }
    QString Caption() const { return window->windowTitle(); }
    QString Text(const char* name) { return Find<QLineEdit>(name)->text(); }

    // A mouse press and release on the picture at pixel (x, y).
    void ClickPicture(int x, int y) {
        PictureBox* image = window->Picture();
        const QPointF at(x, y);
        QMouseEvent press(QEvent::MouseButtonPress, at, image->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(image, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, image->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(image, &release);
        ProcessEvents();
    }
    // The picture pixel of a world point under the mapping of the last drawing.
    QPoint PixelOf(double x, double y) const {
        const PlotMapping& m = sim->Mapping;
        return {static_cast<int>(std::lround((x - m.OriginX) * m.ScaleX + m.VpLeft)),
                static_cast<int>(std::lround((y - m.OriginY) * m.ScaleY + m.VpBottom))};
    }
};

// ---- controls, menus, start-up ------------------------------------------------------------------------

TEST_F(MainWindowTest, MenusCarryTheirCaptionsAndStartStates) {
    const std::vector<std::pair<const char*, const char*>> items = {{"ValveGear2", "&ValveGear..."},
                                                                    {"Open1", "&Open..."},
                                                                    {"Save1", "&Save..."},
                                                                    {"Compare1", "&Compare with..."},
                                                                    {"Main1", "&Main"},
                                                                    {"Indicator1", "&Indicator"},
                                                                    {"Oval1", "&Oval"},
                                                                    {"Exit2", "&Exit"},
                                                                    {"Movie1", "&Movie"},
                                                                    {"IndicatorDiag", "&Indicator Diagram"},
                                                                    {"Edit1", "&Edit"},
                                                                    {"Messages1", "M&essages"},
                                                                    {"Family1", "&Family"},
                                                                    {"Tune1", "&Tune..."},
                                                                    {"Distance1", "&Distance"},
                                                                    {"dXdY1", "d&X,dY"},
                                                                    {"XY1", "X,&Y"},
                                                                    {"Off1", "&Off"},
                                                                    {"Help2", "&Help"},
                                                                    {"Hints1", "&Info"},
                                                                    {"About1", "&About"},
                                                                    {"CopyToClipboard1", "CopyToClipboard"}};
    for (const auto& [name, caption] : items) {
        QAction* action = Action(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->text().toStdString(), caption) << name;
    }
    QStringList titles;
    for (QAction* menu : window->menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&View", "&Measure", "&Help"}));
    const std::pair<const char*, const char*> shortcuts[] = {
        {"Open1", "Ctrl+O"}, {"Save1", "Ctrl+S"}, {"Main1", "Ctrl+P"}, {"Exit2", "Ctrl+Q"}, {"Hints1", "F1"}};
    for (const auto& [name, keys] : shortcuts)
        EXPECT_EQ(Action(name)->shortcut().toString(QKeySequence::PortableText), keys) << name;
    EXPECT_EQ(Find<QMenu>("Print1")->title(), "&Print...");

    EXPECT_FALSE(Action("Indicator1")->isEnabled());
    EXPECT_FALSE(Action("Oval1")->isEnabled());
    EXPECT_TRUE(Action("Off1")->isChecked());
    for (const char* mode : {"Distance1", "dXdY1", "XY1"})
        EXPECT_FALSE(Action(mode)->isChecked()) << mode;
}

TEST_F(MainWindowTest, PanelControlsAsTheUserFindsThem) {
    auto* crank = Find<QScrollBar>("ScrollCrank");
    EXPECT_EQ(crank->minimum(), 0);
    EXPECT_EQ(crank->maximum(), 360);
    EXPECT_EQ(crank->pageStep(), 15);
    auto* gear = Find<QScrollBar>("ScrollGear");
    EXPECT_EQ(gear->minimum(), -100);
    EXPECT_EQ(gear->maximum(), 100);
    EXPECT_EQ(gear->value(), 100);
    EXPECT_EQ(gear->pageStep(), 10);
    auto* forward = Find<QCheckBox>("fwd");
    EXPECT_EQ(forward->text(), "Forward");
    EXPECT_EQ(forward->toolTip(), "Set the direction of rotation. Important for correct Indicator Diagram!");
    EXPECT_TRUE(forward->isChecked());
    const std::vector<std::pair<const char*, const char*>> buttons = {
        {"ZoomIn", "+"}, {"ZoomOut", "-"}, {"PanL", "<"}, {"PanD", "v"},
        {"PanR", ">"},   {"PanU", "^"},    {"Annot", "A"}};
    for (const auto& [name, caption] : buttons)
        EXPECT_EQ(Find<QPushButton>(name)->text().toStdString(), caption);
    EXPECT_FALSE(Find<QListWidget>("ListBox1")->isVisible());
    EXPECT_TRUE(Find<QFrame>("Panel1")->isVisible());
    // Every control of the panel says what it does.
    int controls = 0;
    for (QWidget* control : Find<QFrame>("Panel1")->findChildren<QWidget*>()) {
        if (qobject_cast<QLabel*>(control) != nullptr) continue;
        ++controls;
        EXPECT_FALSE(control->toolTip().isEmpty()) << control->objectName().toStdString();
    }
    EXPECT_EQ(controls, 12);
    EXPECT_TRUE(gear->toolTip().contains("-1") && gear->toolTip().contains("+1"));
    EXPECT_TRUE(Find<QPushButton>("Annot")->toolTip().startsWith("Annotate"));
}

TEST_F(MainWindowTest, FirstPictureFillsTheClientAboveThePanel) {
    EXPECT_EQ(Caption(), "Linkwright > Walschaerts1   Program example");
    EXPECT_EQ(Text("EdCrankAngle"), "0");
    EXPECT_EQ(Text("EdGear"), "1.000");
    const QWidget* client = window->centralWidget();
    const int panel = Find<QFrame>("Panel1")->height();
    EXPECT_EQ(sim->DrawWidth, client->width() - 3);
    EXPECT_EQ(sim->DrawHeight, client->height() - panel - 3);
    EXPECT_EQ(window->Picture()->size(), QSize(sim->DrawWidth, sim->DrawHeight));
    EXPECT_EQ(window->Picture()->Picture().deviceIndependentSize().toSize(),
              QSize(sim->DrawWidth, sim->DrawHeight));
    // Resizing draws the picture again at the new size.
    window->resize(700, 500);
    ProcessEvents();
    EXPECT_EQ(sim->DrawWidth, window->centralWidget()->width() - 3);
    EXPECT_EQ(window->Picture()->width(), sim->DrawWidth);
}

TEST_F(MainWindowTest, FirstActivationLayoutFollowsTheScreen) {
    window->ApplyFirstActivationLayout(1280, 800);
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(64, 40));
    EXPECT_EQ(window->frameGeometry().size(), QSize(640, 433)); // 40 x 8 = 320 is raised to 433
    // The hidden diagram windows get the main window's frame until they have one of their own.
    const QSize frame = window->frameGeometry().size() - window->size();
    TfrmIndic* indicator = window->IndicatorWindow();
    EXPECT_EQ(indicator->pos(), QPoint(64 + 640 + 8, 40));
    EXPECT_EQ(indicator->size() + frame, QSize(64 * 8, 800 / 3));
    TfrmOval* oval = window->OvalWindow();
    EXPECT_EQ(oval->pos(), QPoint(712, 400));
    EXPECT_EQ(oval->size() + frame, QSize(512, 266));

    window->ApplyFirstActivationLayout(1920, 1080);
    EXPECT_EQ(window->frameGeometry(), QRect(96, 54, 960, 433)); // 54 x 8 = 432 is raised to 433
}

TEST_F(MainWindowTest, FirstActivationMakesTheDataFolderAndRetriesAfterAFailure) {
    // The test's window may already have been activated; start again from a fresh one.
    window.reset();
    sim.reset();
    fs::remove_all(dir / "Data");
    {
        std::ofstream blocker(dir / "Data");
        blocker << "not a folder";
    }
    sim = std::make_unique<Simulation>(dialogs, dir / "Messages.txt");
    window = std::make_unique<TfrmMain>(*sim, dialogs, printer);
    window->show();
    ProcessEvents();
    window->FormActivate();
    EXPECT_EQ(sim->FirstActivation, 1);
    ASSERT_FALSE(dialogs.informations.empty());
    EXPECT_NE(dialogs.informations.back().find("Data"), std::string::npos);

    fs::remove(dir / "Data");
    window->FormActivate(); // the activation that the error box's closing brings back
    window->FormActivate();
    EXPECT_EQ(sim->FirstActivation, 0);
    EXPECT_TRUE(fs::is_directory(dir / "Data"));
    EXPECT_EQ(fs::path(sim->DataDir), fs::current_path() / "Data");
}

// ---- panel handlers --------------------------------------------------------------------------------------

TEST_F(MainWindowTest, CrankScrollBarTurnsTheCrank) {
    const QImage before = window->Picture()->Picture();
    Find<QScrollBar>("ScrollCrank")->setValue(90);
    ProcessEvents();
    EXPECT_NEAR(sim->CrankAngle, std::numbers::pi / 2, 1e-6);
    EXPECT_EQ(Text("EdCrankAngle"), "90");
    EXPECT_NE(window->Picture()->Picture(), before);
}

TEST_F(MainWindowTest, GearScrollBarSetsTheGearAndInvalidatesTheAnalysis) {
    sim->State.AnalysisValid = 1;
    Find<QScrollBar>("ScrollGear")->setValue(-50);
    ProcessEvents();
    EXPECT_FLOAT_EQ(sim->State.GearSetting, -0.5f);
    EXPECT_EQ(Text("EdGear"), "-0.500");
    EXPECT_EQ(sim->State.AnalysisValid, 0);
}

TEST_F(MainWindowTest, TypedGearSettingTakesEffectWhenTheFieldIsLeft) {
    auto* edit = Find<QLineEdit>("EdGear");
    auto* gear = Find<QScrollBar>("ScrollGear");
    edit->setFocus();
    edit->setText("2.5");
    Find<QCheckBox>("fwd")->setFocus(); // focus leaves the field
    ProcessEvents();
    EXPECT_FLOAT_EQ(sim->State.GearSetting, 2.5f);
    EXPECT_EQ(edit->text(), "2.500");
    EXPECT_EQ(gear->value(), 100);

    edit->setText("abc");
    emit edit->returnPressed();
    ProcessEvents();
    EXPECT_FLOAT_EQ(sim->State.GearSetting, 1.0f);
    EXPECT_EQ(edit->text(), "1.000");
}

TEST_F(MainWindowTest, ZoomAndPanMoveTheViewWindow) {
    const SimulationState start = sim->State;
    Click("ZoomIn");
    EXPECT_LT(sim->State.ViewXMax - sim->State.ViewXMin, start.ViewXMax - start.ViewXMin);
    Click("ZoomOut");
    EXPECT_NEAR(sim->State.ViewXMin, start.ViewXMin, 1e-4);
    EXPECT_NEAR(sim->State.ViewYMax, start.ViewYMax, 1e-4);
    const float width = sim->State.ViewXMax - sim->State.ViewXMin;
    const float height = sim->State.ViewYMax - sim->State.ViewYMin;
    Click("PanL");
    EXPECT_NEAR(sim->State.ViewXMin, start.ViewXMin + width / 10, 1e-4);
    Click("PanR");
    EXPECT_NEAR(sim->State.ViewXMin, start.ViewXMin, 1e-4);
    Click("PanU");
    EXPECT_NEAR(sim->State.ViewYMin, start.ViewYMin - height / 10, 1e-4);
    Click("PanD");
    EXPECT_NEAR(sim->State.ViewYMin, start.ViewYMin, 1e-4);
}

TEST_F(MainWindowTest, AnnotateLabelsThePinsUntilTheNextScroll) {
    const QImage plain = window->Picture()->Picture();
    Click("Annot");
    EXPECT_EQ(sim->Annotate, 1);
    EXPECT_NE(window->Picture()->Picture(), plain);
    Find<QScrollBar>("ScrollCrank")->setValue(1);
    ProcessEvents();
    EXPECT_EQ(sim->Annotate, 0);
}

TEST_F(MainWindowTest, ForwardBoxSetsTheDirection) {
    auto* forward = Find<QCheckBox>("fwd");
    sim->State.AnalysisValid = 1;
    forward->click();
    ProcessEvents();
    EXPECT_EQ(sim->State.fwd, 0);
    EXPECT_EQ(sim->State.AnalysisValid, 0);
    forward->click();
    EXPECT_EQ(sim->State.fwd, 1);
}

// ---- kind list -------------------------------------------------------------------------------------------

TEST_F(MainWindowTest, KindListOffersAllFiveAndOnlyBuiltOnesCanBeChosen) {
    Find<QScrollBar>("ScrollGear")->setValue(-30);
    ProcessEvents();
    Trigger("ValveGear2");
    auto* list = Find<QListWidget>("ListBox1");
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), GearKindCount);
    for (int i = 0; i < GearKindCount; ++i) {
        const GearKindRow& row = GearKinds()[static_cast<std::size_t>(i)];
        EXPECT_EQ(list->item(i)->text().toStdString(), row.name);
        EXPECT_EQ((list->item(i)->flags() & Qt::ItemIsEnabled) != 0, row.Built()) << row.name;
    }
    EXPECT_EQ(list->currentRow(), 0);

    list->setCurrentRow(0);
    emit list->itemClicked(list->item(0));
    ProcessEvents();
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(Caption().endsWith(" Program example"));
    EXPECT_FLOAT_EQ(sim->State.GearSetting, 1.0f);
    EXPECT_EQ(Text("EdGear"), "1.000");
    // The scroll bar stands where the kind's setting is.
    EXPECT_EQ(Find<QScrollBar>("ScrollGear")->value(), 100);
}

// ---- files -----------------------------------------------------------------------------------------------

TEST_F(MainWindowTest, SaveConfirmedWritesTheFileAndNamesItInTheCaption) {
    window->FormActivate();
    dialogs.saveAnswers.push_back((dir / "Data" / "gear").string());
    Trigger("Save1");
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const FileDialogRequest& request = dialogs.saveRequests[0];
    EXPECT_EQ(request.filter, "Walschaerts1 (*.L1)");
    EXPECT_EQ(request.defaultExtension, "L1");
    EXPECT_EQ(request.initialFileName, "NoName");
    EXPECT_EQ(fs::path(request.initialDirectory), dir.path() / "Data");
    EXPECT_EQ(ReadBytes(dir / "Data" / "gear.L1").size(), 5012u);
    EXPECT_EQ(Caption(), "Linkwright > Walschaerts1  gear.L1");
}

TEST_F(MainWindowTest, SaveCancelledLeavesFilesAloneAndShowsNoName) {
    window->FormActivate();
    dialogs.saveAnswers.push_back(std::nullopt);
    Trigger("Save1");
    EXPECT_TRUE(fs::is_empty(dir / "Data"));
    EXPECT_EQ(Caption(), "Linkwright > Walschaerts1  NoName");
}

TEST_F(MainWindowTest, OverwriteQuestionProtectsTheOldFile) {
    window->FormActivate();
    const fs::path file = dir / "Data" / "gear.L1";
    dialogs.saveAnswers.push_back(file.string());
    Trigger("Save1");
    const auto saved = ReadBytes(file);

    Find<QScrollBar>("ScrollGear")->setValue(20); // a change that a second save would store
    ProcessEvents();
    dialogs.saveAnswers.push_back(file.string());
    dialogs.warningAnswers.push_back(false);
    Trigger("Save1");
    ASSERT_EQ(dialogs.warnings.size(), 1u);
    EXPECT_EQ(dialogs.warnings[0], "Do you really want to overwrite gear.L1?");
    EXPECT_EQ(ReadBytes(file), saved);

    dialogs.saveAnswers.push_back(file.string());
    dialogs.warningAnswers.push_back(true);
    Trigger("Save1");
    EXPECT_NE(ReadBytes(file), saved);
}

TEST_F(MainWindowTest, OpenResetsTheSettingsWhetherConfirmedOrNot) {
    window->FormActivate();
    const fs::path file = dir / "Data" / "gear.L1";
    dialogs.saveAnswers.push_back(file.string());
    Trigger("Save1");

    Find<QScrollBar>("ScrollGear")->setValue(-40);
    ProcessEvents();
    dialogs.openAnswers.push_back(file.string());
    Trigger("Open1");
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].filter, "Walschaerts1 (*.L1)");
    EXPECT_EQ(Caption(), "Linkwright > Walschaerts1  gear.L1");
    EXPECT_FLOAT_EQ(sim->State.GearSetting, 1.0f);
    EXPECT_EQ(Text("EdGear"), "1.000");
    EXPECT_EQ(Find<QScrollBar>("ScrollGear")->value(), 100);

    Find<QScrollBar>("ScrollGear")->setValue(-60);
    ProcessEvents();
    dialogs.openAnswers.push_back(std::nullopt);
    Trigger("Open1");
    EXPECT_FLOAT_EQ(sim->State.GearSetting, 1.0f);
    EXPECT_EQ(Caption(), "Linkwright > Walschaerts1  gear.L1");
}

TEST_F(MainWindowTest, RefusedFileIsReportedAndTheGearTheTitleAndThePanelStay) {
    window->FormActivate();
    Find<QScrollBar>("ScrollGear")->setValue(-40);
    ProcessEvents();
    const QString caption = Caption();
    const fs::path file = dir / "Data" / "short.L1";
    {
        std::ofstream out(file, std::ios::binary);
        out << "too short";
    }
    const float stroke = sim->State.ViewXMax;
    dialogs.openAnswers.push_back(file.string());
    Trigger("Open1");
    ASSERT_FALSE(dialogs.informations.empty());
    EXPECT_EQ(dialogs.informations.back(), "Sorry, old version or corrupted data file");
    EXPECT_FLOAT_EQ(sim->State.ViewXMax, stroke);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Caption(), caption);
    EXPECT_EQ(Text("EdGear"), "-0.400");
    EXPECT_EQ(Find<QScrollBar>("ScrollGear")->value(), -40);
}

TEST_F(MainWindowTest, AFailedSaveIsReportedWithTheSystemsTextAndTheProgramGoesOn) {
    window->FormActivate();
    dialogs.saveAnswers.push_back((dir / "no such folder" / "gear.L1").string());
    Trigger("Save1");
    ASSERT_EQ(dialogs.informations.size(), 1u);
    EXPECT_FALSE(dialogs.informations[0].empty());
    EXPECT_FALSE(fs::exists(dir / "no such folder"));
    // The window still works.
    Find<QScrollBar>("ScrollCrank")->setValue(45);
    ProcessEvents();
    EXPECT_EQ(Text("EdCrankAngle"), "45");
}

// ---- printing and clipboard ------------------------------------------------------------------------------

TEST_F(MainWindowTest, PrintingTheMainWindowWritesThePageOnlyWhenConfirmed) {
    const fs::path pdf = dir / "main.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    dialogs.printAnswers.push_back(false);
    Trigger("Main1");
    EXPECT_FALSE(fs::exists(pdf));

    Find<QScrollBar>("ScrollCrank")->setValue(45);
    ProcessEvents();
    Trigger("IndicatorDiag"); // the cut-off line over the picture is printed with it
    dialogs.printAnswers.push_back(true);
    Trigger("Main1");
    EXPECT_FALSE(window->Picture()->SurfaceText().isEmpty()); // and stays on the screen
    ASSERT_TRUE(fs::exists(pdf));
    const auto bytes = ReadBytes(pdf);
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "%PDF");
    EXPECT_EQ(dialogs.printRequests, 2);
    // Drawn on the printer, not a grab of the window: lines and text, no picture in the file; a
    // wide picture on a landscape page, under the line that says what it shows.
    const std::string file(bytes.begin(), bytes.end());
    EXPECT_EQ(file.find("/Subtype /Image"), std::string::npos);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Walschaerts1 \u2014 Walschaerts example gear \u2014 Gear setting 1.000 \u2014 Crank "
                        "angle 45\u00b0 "
                        "\u2014 " +
                        QDate::currentDate().toString(Qt::ISODate).toStdString()),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Front Port Cutoff"), std::string::npos) << text;
}

// File > Export writes what linkwright-cli writes for the same gear: the picture at a size of its
// own (the window keeps its picture), the solved revolution's table; what it cannot write it says.
TEST_F(MainWindowTest, ExportWritesTheFilesTheCommandLineWrites) {
    using Item = TfrmMain::ExportItem;
    const int width = sim->DrawWidth;
    window->ExportTo(Item::Picture, (dir / "gear.svg").string(), 800, 600);
    EXPECT_EQ(sim->DrawWidth, width);
    const std::string cli = "cd '" + dir.path().string() + "' && '" LINKWRIGHT_CLI_PATH "' ";
    ASSERT_EQ(std::system((cli + "render --out cli.svg > /dev/null 2>&1").c_str()), 0);
    EXPECT_EQ(ReadBytes(dir / "gear.svg"), ReadBytes(dir / "cli.svg"));

    window->ExportTo(Item::Picture, (dir / "gear.png").string(), 640, 400);
    EXPECT_EQ(QImage(QString::fromStdString((dir / "gear.png").string())).size(), QSize(640, 400));
    window->ExportTo(Item::Picture, (dir / "gear.pdf").string(), 640, 400);
    EXPECT_EQ(testing::ReadTextFile(dir / "gear.pdf").substr(0, 4), "%PDF");

    EXPECT_THROW(window->ExportTo(Item::Steps, (dir / "steps.csv").string(), 1, 1), std::runtime_error);
    EXPECT_THROW(window->ExportTo(Item::IndicatorWindow, (dir / "i.svg").string(), 9, 9), std::runtime_error);
    EXPECT_THROW(window->ExportTo(Item::Picture, (dir / "gear.txt").string(), 9, 9), std::runtime_error);
    Trigger("IndicatorDiag");
    window->ExportTo(Item::Steps, (dir / "steps.csv").string(), 1, 1);
    ASSERT_EQ(std::system((cli + "analyse --out res > /dev/null 2>&1").c_str()), 0);
    EXPECT_EQ(ReadBytes(dir / "steps.csv"), ReadBytes(dir / "res" / "steps.csv"));
    window->ExportTo(Item::OvalWindow, (dir / "oval.svg").string(), 797, 397);
    EXPECT_EQ(ReadBytes(dir / "oval.svg"), ReadBytes(dir / "res" / "oval.svg"));
    EXPECT_TRUE(Action("Export1")->isEnabled());
}

// The diagrams print through the same drawing as the screen, the editor every page of its form.
TEST_F(MainWindowTest, DiagramsAndTheEditorPrintAsVectorsAndWhole) {
    Trigger("IndicatorDiag");
    const fs::path diagram = dir / "indicator.pdf";
    printer.setOutputFileName(QString::fromStdString(diagram.string()));
    dialogs.printAnswers.push_back(true);
    Trigger("Indicator1");
    const auto bytes = ReadBytes(diagram);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("/Subtype /Image"), std::string::npos);
    const std::string text = PdfText(diagram);
    EXPECT_NE(text.find("Indicator Diagram \u2014 Walschaerts1"), std::string::npos) << text;
    EXPECT_NE(text.find("Pressure"), std::string::npos) << text;

    const fs::path form = dir / "editor.pdf";
    printer.setOutputFileName(QString::fromStdString(form.string()));
    dialogs.printAnswers.push_back(true);
    QTimer::singleShot(50, window.get(), [&] {
        QWidget* editor = QApplication::activeModalWidget();
        ASSERT_NE(editor, nullptr);
        editor->findChild<QPushButton*>(QStringLiteral("Print1"))->click();
        static_cast<QDialog*>(editor)->reject();
    });
    Trigger("Edit1");
    const std::string pages = PdfText(form);
    // A field of each page: the geometry, the valving and the conditions.
    for (const char* label : {"GC Connecting Rod", "Port Width", "Backlash"})
        EXPECT_NE(pages.find(label), std::string::npos) << label << "\n" << pages;
    EXPECT_GE(std::count(pages.begin(), pages.end(), '\f'), 3);
}

TEST_F(MainWindowTest, APrinterThatCannotStartIsReported) {
    printer.setOutputFileName(QString::fromStdString((dir / "missing folder" / "main.pdf").string()));
    dialogs.printAnswers.push_back(true);
    Trigger("Main1");
    ASSERT_EQ(dialogs.informations.size(), 1u);
    EXPECT_NE(dialogs.informations[0].find("printer"), std::string::npos);
}

TEST_F(MainWindowTest, CopyToClipboardCopiesTheShownPictureWithItsMarks) {
    Trigger("Distance1");
    ClickPicture(PixelOf(0, 0).x(), PixelOf(0, 0).y());
    ClickPicture(PixelOf(3, -4).x(), PixelOf(3, -4).y());
    Trigger("CopyToClipboard1");
    const QImage copied = QApplication::clipboard()->image();
    const QImage shown = window->Picture()->Picture();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), shown.size());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));
}

// ---- measuring -------------------------------------------------------------------------------------------

TEST_F(MainWindowTest, MeasuringMarksTheShownPictureNotThePlotBitmap) {
    Trigger("Distance1");
    EXPECT_TRUE(Action("Distance1")->isChecked());
    EXPECT_FALSE(Action("Off1")->isChecked());
    const QImage before = window->Picture()->Picture();
    const QPoint a = PixelOf(0, 1);
    const QPoint b = PixelOf(3, -3);
    ClickPicture(a.x(), a.y());
    EXPECT_EQ(sim->MeasurePairStart, 0);
    ClickPicture(b.x(), b.y());
    EXPECT_EQ(sim->MeasurePairStart, 1);
    const QImage marked = window->Picture()->Picture();
    EXPECT_NE(marked, before);
    // The silver line runs through the middle of the pair.
    const double ratio = marked.devicePixelRatio();
    const QPoint middle((a.x() + b.x()) / 2, (a.y() + b.y()) / 2);
    bool silver = false;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            silver = silver ||
                     marked.pixelColor(static_cast<int>((middle.x() + dx) * ratio),
                                       static_cast<int>((middle.y() + dy) * ratio)) == QColor(192, 192, 192);
    EXPECT_TRUE(silver);
    // The next redraw removes the marks.
    Click("ZoomIn");
    Click("ZoomOut");
    const QImage redrawn = window->Picture()->Picture();
    EXPECT_EQ(redrawn.pixelColor(static_cast<int>(middle.x() * ratio), static_cast<int>(middle.y() * ratio)),
              before.pixelColor(static_cast<int>(middle.x() * ratio), static_cast<int>(middle.y() * ratio)));
}

TEST_F(MainWindowTest, MeasureOffAndHelp) {
    const QImage before = window->Picture()->Picture();
    ClickPicture(50, 50);
    EXPECT_EQ(window->Picture()->Picture(), before);
    Trigger("XY1");
    ClickPicture(50, 50);
    EXPECT_NE(window->Picture()->Picture(), before);
    Trigger("Off1");
    EXPECT_EQ(sim->MeasureMode, 3);
    Trigger("dXdY1");
    EXPECT_EQ(sim->MeasureMode, 1);
    Trigger("Help2");
    ASSERT_FALSE(dialogs.informations.empty());
    EXPECT_EQ(dialogs.informations.back(), "Choose a mode, then click on the valve gear image.");
}

// ---- animation -------------------------------------------------------------------------------------------

TEST_F(MainWindowTest, AnimationRunsUntilAKeyAndLocksTheMenusMeanwhile) {
    bool sawRunning = false;
    bool menusLocked = false;
    bool panelHidden = false;
    float angleWhileRunning = 0;
    QTimer::singleShot(200, window.get(), [&] {
        sawRunning = window->MovieRunning();
        menusLocked = !Find<QMenu>("File1")->menuAction()->isEnabled() && !Action("Open1")->isEnabled() &&
                      !Action("Exit2")->isEnabled() && !Find<QMenu>("View1")->menuAction()->isEnabled() &&
                      !Action("About1")->isEnabled() && Find<QMenu>("Measure1")->menuAction()->isEnabled();
        panelHidden = !Find<QFrame>("Panel1")->isVisible();
        angleWhileRunning = sim->CrankAngle;
        // A measuring click during the animation does not measure.
        sim->Distance1Click();
        ClickPicture(10, 10); // ...and, being a click, stops it; a key stops it as well
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(window.get(), &key);
    });
    Trigger("Movie1");
    EXPECT_TRUE(sawRunning);
    EXPECT_TRUE(menusLocked);
    EXPECT_TRUE(panelHidden);
    EXPECT_GT(angleWhileRunning, 0.0f);
    EXPECT_EQ(sim->MeasurePairStart, 1);
    EXPECT_FALSE(window->MovieRunning());
    EXPECT_TRUE(Find<QFrame>("Panel1")->isVisible());
    EXPECT_TRUE(Find<QMenu>("File1")->menuAction()->isEnabled());
    EXPECT_TRUE(Action("About1")->isEnabled());
    EXPECT_TRUE(Action("Open1")->isEnabled() && Action("Main1")->isEnabled());
    // The panel shows the angle the crank stopped at, in the box and on the scroll bar, and the
    // crank stays there.
    const float stopped = sim->CrankAngle;
    const long degrees = std::lround(stopped * 180.0 / std::numbers::pi);
    ASSERT_GT(degrees, 0);
    EXPECT_EQ(Text("EdCrankAngle"), QString::number(degrees));
    EXPECT_EQ(Find<QScrollBar>("ScrollCrank")->value(), degrees);
    EXPECT_EQ(sim->CrankAngle, stopped);
}

TEST_F(MainWindowTest, AnimationIsPacedByTheDisplay) {
    long frames = 0;
    QElapsedTimer clock;
    QTimer::singleShot(300, window.get(), [&] {
        frames = std::lround(sim->CrankAngle / sim->State.MovieStep);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(window->centralWidget(), &key);
    });
    clock.start();
    Trigger("Movie1");
    const double seconds = clock.elapsed() / 1000.0;
    const double rate = window->screen()->refreshRate() > 0 ? window->screen()->refreshRate() : 60.0;
    // Never more frames than the display can show (unpaced, this small picture runs at thousands).
    EXPECT_LE(frames, static_cast<long>(rate * seconds * 1.5) + 2);
    EXPECT_GT(frames, 0);
}

TEST_F(MainWindowTest, ClosingTheWindowEndsARunningAnimation) {
    QTimer::singleShot(150, window.get(), [&] { window->close(); });
    Trigger("Movie1");
    EXPECT_EQ(sim->MovieStopped, 1);
    EXPECT_FALSE(window->isVisible());
}

// ---- View, Help and the other windows
// ----------------------------------------------------------------------

TEST_F(MainWindowTest, AnalysisShowsBothDiagramsAndEnablesTheirPrintItems) {
    window->FormActivate();
    Trigger("IndicatorDiag");
    EXPECT_TRUE(window->IndicatorWindow()->isVisible());
    EXPECT_TRUE(window->OvalWindow()->isVisible());
    EXPECT_TRUE(Action("Indicator1")->isEnabled());
    EXPECT_TRUE(Action("Oval1")->isEnabled());
    EXPECT_EQ(window->OvalWindow()->windowTitle(), "Oval Diagram");
    EXPECT_EQ(window->Picture()->SurfaceText().toStdString(), sim->CutoffCaption());
    EXPECT_TRUE(window->Picture()->SurfaceText().startsWith("Gear "));

    // Printing either diagram window goes to the printer when confirmed.
    const fs::path pdf = dir / "indicator.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    dialogs.printAnswers.push_back(true);
    Trigger("Indicator1");
    EXPECT_TRUE(fs::exists(pdf));
    const fs::path ovalPdf = dir / "oval.pdf";
    printer.setOutputFileName(QString::fromStdString(ovalPdf.string()));
    dialogs.printAnswers.push_back(true);
    Trigger("Oval1");
    EXPECT_TRUE(fs::exists(ovalPdf));

    // A change of the gear closes them and disables their print items.
    Find<QScrollBar>("ScrollGear")->setValue(50);
    ProcessEvents();
    EXPECT_FALSE(window->IndicatorWindow()->isVisible());
    EXPECT_FALSE(window->OvalWindow()->isVisible());
    EXPECT_FALSE(Action("Indicator1")->isEnabled());
    EXPECT_FALSE(Action("Oval1")->isEnabled());
    EXPECT_TRUE(window->Picture()->SurfaceText().isEmpty());
}

TEST_F(MainWindowTest, OpenClosesTheDiagramWindows) {
    window->FormActivate();
    Trigger("IndicatorDiag");
    ASSERT_TRUE(window->IndicatorWindow()->isVisible());
    dialogs.openAnswers.push_back(std::nullopt);
    Trigger("Open1");
    EXPECT_FALSE(window->IndicatorWindow()->isVisible());
    EXPECT_FALSE(window->OvalWindow()->isVisible());
    EXPECT_FALSE(Action("Indicator1")->isEnabled());
}

TEST_F(MainWindowTest, FamilyShowsTheEventsDiagram) {
    window->FormActivate();
    Find<QScrollBar>("ScrollGear")->setValue(-30);
    ProcessEvents();
    Trigger("Family1");
    EXPECT_EQ(sim->State.FamilyMode, 1);
    EXPECT_FLOAT_EQ(sim->State.GearSetting, -0.3f);
    EXPECT_TRUE(window->IndicatorWindow()->isVisible());
    EXPECT_TRUE(window->OvalWindow()->isVisible());
    EXPECT_EQ(window->OvalWindow()->windowTitle(), "Events Diagram");
}

TEST_F(MainWindowTest, EditorOpensModallyAndKeepsItsFormOnASyntaxError) {
    window->FormActivate();
    Trigger("IndicatorDiag");
    std::string seen;
    QTimer::singleShot(100, window.get(), [&] {
        QWidget* form = QApplication::activeModalWidget();
        if (form == nullptr) return;
        seen = form->windowTitle().toStdString();
        auto* stroke = form->findChild<QLineEdit*>(QStringLiteral("PistStroke"));
        auto* ok = form->findChild<QPushButton*>(QStringLiteral("btnOK"));
        auto* cancel = form->findChild<QPushButton*>(QStringLiteral("btnCancel"));
        if (stroke == nullptr || ok == nullptr || cancel == nullptr) {
            form->close();
            return;
        }
        stroke->setText("x1");
        ok->click();
        seen += form->isVisible() ? " stayed open" : " closed";
        cancel->click();
    });
    Trigger("Edit1");
    EXPECT_EQ(seen, "Edit Walschaert 1 stayed open");
    ASSERT_FALSE(dialogs.informations.empty());
    EXPECT_EQ(dialogs.informations.back(), SyntaxErrorMessage);
    EXPECT_FALSE(window->IndicatorWindow()->isVisible()); // the editor closes the diagrams first
    EXPECT_GE(sim->State.Nsteps, MinSteps);
}

TEST_F(MainWindowTest, TheEditorOpensAgainOnThePageItWasLeftOn) {
    // Each showing notes the page it opened on, turns to `turnTo` and cancels.
    auto edit = [&](const char* turnTo) {
        std::string opened;
        QTimer::singleShot(100, window.get(), [&] {
            QWidget* form = QApplication::activeModalWidget();
            if (form == nullptr) return;
            auto* tabs = form->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
            opened = tabs->currentWidget()->objectName().toStdString();
            tabs->setCurrentWidget(tabs->findChild<QWidget*>(QString::fromUtf8(turnTo)));
            form->findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
        });
        Trigger("Edit1");
        return opened;
    };
    EXPECT_EQ(edit("Valving"), "Conditions");
    EXPECT_EQ(edit("Other"), "Valving");
    EXPECT_EQ(edit("Other"), "Other");
}

TEST_F(MainWindowTest, DoubleClickOnThePictureOpensTheEditor) {
    std::string seen;
    QTimer::singleShot(100, window.get(), [&] {
        if (QWidget* form = QApplication::activeModalWidget()) {
            seen = form->windowTitle().toStdString();
            form->close();
        }
    });
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(20, 20), QPointF(20, 20), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->Picture(), &twice);
    ProcessEvents();
    EXPECT_EQ(seen, "Edit Walschaert 1");
}

TEST_F(MainWindowTest, AnOpenMessagesWindowShowsTheListingsOfAnAnalysis) {
    window->FormActivate();
    Trigger("Messages1");
    const QString before = window->MessagesWindow()->Memo()->toPlainText();
    Trigger("IndicatorDiag");
    const QString after = window->MessagesWindow()->Memo()->toPlainText();
    EXPECT_NE(after, before);
    EXPECT_EQ(after.toStdString(), sim->Messages.Contents());
}

TEST_F(MainWindowTest, HelpAndMessagesShowTheirWindows) {
    window->MessagesWindow()->hide();
    Trigger("Messages1");
    EXPECT_TRUE(window->MessagesWindow()->isVisible());
    Trigger("Hints1");
    EXPECT_TRUE(window->InfoWindow()->isVisible());
    Trigger("About1");
    EXPECT_TRUE(window->AboutBox()->isVisible());
}

TEST_F(MainWindowTest, ExitClosesTheMessagesFileAndTheWindows) {
    Trigger("Messages1");
    Trigger("Exit2");
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->MessagesWindow()->isVisible());
    EXPECT_FALSE(sim->Messages.IsOpen());
}

} // namespace
} // namespace linkwright
