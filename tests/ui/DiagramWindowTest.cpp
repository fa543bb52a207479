// The indicator and oval windows: shown by the analysis and the family sweep, redrawn from the
// stored results on a resize and a click, announcing their opening and closing, printed to PDF.
#include "app/Simulation.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ScriptedDialogs.h"
#include "ui/TfrmIndic.h"
#include "ui/TfrmOval.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPrinter>

#include <gtest/gtest.h>

#include <algorithm>

namespace linkwright {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::ScriptedDialogs;

// Number of pixels that are not white.
int InkedPixels(const QImage& image) {
    int inked = 0;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if ((rgb.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++inked;
    return inked;
}

void Click(QWidget& window) {
    const QPointF at(20, 20);
    QMouseEvent press(QEvent::MouseButtonPress, at, window.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, window.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&window, &press);
    QApplication::sendEvent(&window, &release);
}

class DiagramWindowTest : public ::testing::Test {
protected:
    DiagramWindowTest() : simulation(dialogs, scratch / "Messages.txt"), indic(simulation), oval(simulation) {
        simulation.FirstActivation = 0;
        simulation.ShowDiagram = [this](Simulation::DiagramPlot plot) {
            if (plot == Simulation::DiagramPlot::Indicator ||
                plot == Simulation::DiagramPlot::IndicatorFamily)
                indic.ShowDiagram(plot);
            else
                oval.ShowDiagram(plot);
        };
        simulation.CloseDiagramWindows = [this] {
            indic.CloseDiagram();
            oval.CloseDiagram();
        };
        QObject::connect(&indic, &DiagramWindow::Shown, [this] { ++indicShown; });
        QObject::connect(&indic, &DiagramWindow::Closed, [this] { ++indicClosed; });
        QObject::connect(&oval, &DiagramWindow::Shown, [this] { ++ovalShown; });
        QObject::connect(&oval, &DiagramWindow::Closed, [this] { ++ovalClosed; });
        indic.resize(500, 320);
        oval.resize(500, 320);
    }

    ScratchDir scratch;
    ScriptedDialogs dialogs;
    Simulation simulation;
    TfrmIndic indic;
    TfrmOval oval;
    int indicShown = 0, indicClosed = 0, ovalShown = 0, ovalClosed = 0;
};

TEST_F(DiagramWindowTest, StayHiddenUntilAnAnalysisShowsThem) {
    EXPECT_EQ(indic.objectName(), "frmIndic");
    EXPECT_EQ(oval.objectName(), "frmOval");
    EXPECT_EQ(indic.windowTitle(), "Indicator Diagram");
    EXPECT_EQ(oval.windowTitle(), "Oval Diagram");
    EXPECT_FALSE(indic.isVisible());
    EXPECT_TRUE(indic.Picture().isNull());

    simulation.RunAnalysis();
    EXPECT_TRUE(indic.isVisible());
    EXPECT_TRUE(oval.isVisible());
    EXPECT_EQ(indicShown, 1);
    EXPECT_EQ(ovalShown, 1);
    EXPECT_EQ(indic.windowTitle(), "Indicator Diagram");
    EXPECT_EQ(oval.windowTitle(), "Oval Diagram");
    // The picture is the client area less 3 pixels each way, with a diagram on it.
    EXPECT_EQ(indic.Picture().deviceIndependentSize().toSize(), QSize(497, 317));
    EXPECT_GT(InkedPixels(indic.Picture()), 1000);
    EXPECT_GT(InkedPixels(oval.Picture()), 1000);
}

TEST_F(DiagramWindowTest, NothingIsShownBeforeTheMainWindowsFirstActivation) {
    simulation.FirstActivation = 1;
    simulation.RunAnalysis();
    EXPECT_FALSE(indic.isVisible());
    EXPECT_FALSE(oval.isVisible());
    EXPECT_EQ(indicShown, 0);
}

TEST_F(DiagramWindowTest, ResizeAndClickRedrawFromTheStoredResults) {
    simulation.RunAnalysis();
    const QImage before = indic.Picture();

    indic.resize(600, 400);
    EXPECT_EQ(indic.Picture().deviceIndependentSize().toSize(), QSize(597, 397));

    // A click redraws what is stored now, without solving again: flattened pressures show.
    std::fill(std::begin(simulation.State.FrontPressure), std::end(simulation.State.FrontPressure), 0.0f);
    std::fill(std::begin(simulation.State.RearPressure), std::end(simulation.State.RearPressure), 0.0f);
    const int inkedBefore = InkedPixels(indic.Picture());
    Click(indic);
    EXPECT_LT(InkedPixels(indic.Picture()), inkedBefore);
    EXPECT_EQ(simulation.State.AnalysisValid, 1);
}

TEST_F(DiagramWindowTest, TheFamilySweepShowsTheEventsDiagramUntilTheNextAnalysis) {
    simulation.RunAnalysis();
    simulation.Family1Click();
    EXPECT_EQ(oval.windowTitle(), "Events Diagram");
    EXPECT_EQ(oval.ShownPlot(), Simulation::DiagramPlot::Events);
    EXPECT_EQ(indic.ShownPlot(), Simulation::DiagramPlot::IndicatorFamily);

    // Resizing keeps the family's plots.
    oval.resize(450, 300);
    indic.resize(450, 300);
    EXPECT_EQ(oval.windowTitle(), "Events Diagram");
    EXPECT_EQ(indic.ShownPlot(), Simulation::DiagramPlot::IndicatorFamily);

    simulation.RunAnalysis();
    EXPECT_EQ(oval.windowTitle(), "Oval Diagram");
    EXPECT_EQ(oval.ShownPlot(), Simulation::DiagramPlot::Oval);
}

TEST_F(DiagramWindowTest, ClosingIsAnnouncedOnceAndShowingAgainAnnouncesAgain) {
    simulation.RunAnalysis();
    simulation.RunAnalysis(); // already shown: no second announcement
    EXPECT_EQ(indicShown, 1);

    simulation.ScrollGearChange(50); // closes both windows
    EXPECT_FALSE(indic.isVisible());
    EXPECT_FALSE(oval.isVisible());
    EXPECT_EQ(indicClosed, 1);
    EXPECT_EQ(ovalClosed, 1);
    indic.CloseDiagram();
    EXPECT_EQ(indicClosed, 1);

    simulation.RunAnalysis();
    EXPECT_EQ(indicShown, 2);
    EXPECT_EQ(ovalShown, 2);
}

TEST_F(DiagramWindowTest, PrintsTheWindowOnlyWhenConfirmed) {
    simulation.RunAnalysis();
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::filesystem::path pdf = scratch / "oval.pdf";
    printer.setOutputFileName(QString::fromStdString(pdf.string()));

    dialogs.printAnswer = false;
    EXPECT_FALSE(oval.PrintDiagram(dialogs, printer));
    EXPECT_FALSE(std::filesystem::exists(pdf));

    dialogs.printAnswer = true;
    EXPECT_TRUE(oval.PrintDiagram(dialogs, printer));
    const std::vector<unsigned char> bytes = ReadBytes(pdf);
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "%PDF");
    EXPECT_TRUE(dialogs.informations.empty());
}

} // namespace
} // namespace linkwright
