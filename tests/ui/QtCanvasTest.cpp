// The Qt canvas: pictures drawn through Glib1 into an image, a PNG file and other paint devices,
// checked pixel by pixel.
#include "ui/QtCanvas.h"
#include "app/Simulation.h"
#include "gears/GearKinds.h"
#include "plot/Glib1.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ScriptedDialogs.h"

#include <QBuffer>
#include <QImage>
#include <QSvgGenerator>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace linkwright {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;

bool IsWhite(const QImage& image, int x, int y) {
    return image.pixel(x, y) == kWhite;
}

int DarkPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) ++count;
    return count;
}

// 200 x 100 bitmap, viewport x 20..180, y 10..90, one pixel per world unit.
class QtPicture : public ::testing::Test {
protected:
    void SetUp() override {
        plot.InitPlot(200, 100, true, 10, 10, 90, 90);
        plot.SetWindow(false, 0, 0, 160, 80);
        plot.SetColour(1);
    }
    QtCanvas canvas;
    Glib1 plot{canvas};
};

TEST_F(QtPicture, LinesFrameAndPixelsLandWhereTheMappingSays) {
    plot.MoveW(10, 40); // pixel (30, 50)
    plot.LineW(150, 40);
    plot.MoveW(-50, 0); // a line through the viewport from far outside, clipped at both edges
    plot.LineW(210, 20);
    canvas.SetPixel(100, 70, 0xFF0000);

    testing::ScratchDir dir;
    const QString file = QString::fromStdString((dir / "picture.png").string());
    ASSERT_TRUE(canvas.Image().save(file, "PNG"));
    const QImage image(file);
    ASSERT_EQ(image.width(), 200);
    ASSERT_EQ(image.height(), 100);

    for (int x = 30; x < 170; ++x)
        EXPECT_EQ(image.pixel(x, 50), kBlack) << x;
    EXPECT_TRUE(IsWhite(image, 29, 50));
    EXPECT_TRUE(IsWhite(image, 170, 50)); // the end pixel is not drawn
    EXPECT_TRUE(IsWhite(image, 100, 49));
    EXPECT_TRUE(IsWhite(image, 100, 51));

    // The viewport frame: right and bottom edges exclusive.
    EXPECT_EQ(image.pixel(20, 30), kBlack);
    EXPECT_EQ(image.pixel(179, 30), kBlack);
    EXPECT_TRUE(IsWhite(image, 180, 30));
    EXPECT_EQ(image.pixel(100, 10), kBlack);
    EXPECT_EQ(image.pixel(100, 89), kBlack);
    EXPECT_TRUE(IsWhite(image, 100, 90));
    EXPECT_TRUE(IsWhite(image, 10, 30));

    // Nothing of the clipped line outside the viewport.
    // (The bitmap's own outline runs round its edge pixels.)
    EXPECT_EQ(DarkPixels(image, QRect(1, 1, 19, 98)), 0);
    EXPECT_EQ(DarkPixels(image, QRect(181, 1, 18, 98)), 0);
    EXPECT_EQ(image.pixel(0, 50), kBlack);
    EXPECT_GT(DarkPixels(image, QRect(21, 11, 158, 78)), 140 + 150);

    EXPECT_EQ(image.pixel(100, 70), kRed);
    EXPECT_TRUE(IsWhite(image, 101, 70));
}

TEST_F(QtPicture, PenColourStyleCirclesArcsAndText) {
    plot.SetColour(6);
    plot.MoveW(5, 5);
    plot.LineW(5, 70); // red vertical at x 25
    EXPECT_EQ(canvas.Image().pixel(25, 50), kRed);

    plot.SetColour(1);
    plot.SetLineStyle(1);
    plot.MoveW(10, 60);
    plot.LineW(150, 60); // dashed at y 30
    int dark = 0;
    for (int x = 30; x < 170; ++x)
        if (canvas.Image().pixel(x, 30) == kBlack) ++dark;
    EXPECT_GT(dark, 40);
    EXPECT_LT(dark, 130);
    plot.SetLineStyle(0);

    plot.CircleW(40, 20, 8); // centre (60, 70), box (52, 62)-(68, 78)
    QImage image = canvas.Image();
    EXPECT_TRUE(IsWhite(image, 60, 70));
    EXPECT_GT(DarkPixels(image, QRect(51, 69, 3, 3)), 0); // left
    EXPECT_GT(DarkPixels(image, QRect(66, 69, 3, 3)), 0); // right
    EXPECT_GT(DarkPixels(image, QRect(59, 61, 3, 3)), 0); // top
    EXPECT_GT(DarkPixels(image, QRect(59, 76, 3, 3)), 0); // bottom

    // Counter-clockwise from angle 0 to pi/2: the upper right quarter.
    plot.ArcW(100, 20, 8, 0, 1.5707964f); // centre (120, 70)
    image = canvas.Image();
    EXPECT_GT(DarkPixels(image, QRect(120, 61, 9, 9)), 5);
    EXPECT_EQ(DarkPixels(image, QRect(111, 70, 9, 9)), 0);
    EXPECT_EQ(DarkPixels(image, QRect(111, 61, 8, 8)), 0);

    plot.MoveW(130, 15); // pixel (150, 75)
    plot.PlotText("Ag");
    image = canvas.Image();
    const QRect textBox(150, 75, canvas.TextWidth("Ag"), canvas.TextHeight("Ag"));
    int inked = 0;
    for (int y = textBox.top(); y <= textBox.bottom() && y < 100; ++y)
        for (int x = textBox.left(); x <= textBox.right(); ++x)
            if (!IsWhite(image, x, y)) ++inked;
    EXPECT_GT(inked, 10);
    EXPECT_TRUE(IsWhite(image, 149, 80));
}

TEST_F(QtPicture, OpaqueInitPlotClearsAndASecondClearOneKeepsThePicture) {
    plot.MoveW(10, 40);
    plot.LineW(150, 40);
    EXPECT_EQ(canvas.Image().pixel(60, 50), kBlack);

    plot.InitPlot(200, 100, false, 50, 10, 90, 90); // right half, frames only
    EXPECT_EQ(canvas.Image().pixel(60, 50), kBlack);
    EXPECT_EQ(canvas.Image().pixel(100, 30), kBlack); // the new frame's left edge

    plot.InitPlot(200, 100, true, 10, 10, 90, 90);
    EXPECT_TRUE(IsWhite(canvas.Image(), 60, 50));
    EXPECT_TRUE(IsWhite(canvas.Image(), 100, 30));
}

TEST(QtCanvas, ResizeRecreatesAWhiteImageAndDrawingResumesAfterReading) {
    QtCanvas canvas(50, 40);
    canvas.MoveTo(0, 0);
    canvas.LineTo(49, 0);
    const QImage first = canvas.Image();
    canvas.MoveTo(0, 10);
    canvas.LineTo(49, 10);
    EXPECT_TRUE(IsWhite(first, 10, 10)); // a copy taken earlier does not change
    EXPECT_EQ(canvas.Image().pixel(10, 10), kBlack);

    canvas.Resize(80, 30);
    EXPECT_EQ(canvas.Width(), 80);
    EXPECT_EQ(canvas.Image().width(), 80);
    EXPECT_EQ(canvas.Image().height(), 30);
    EXPECT_TRUE(IsWhite(canvas.Image(), 10, 0));
    // One side alone changing is a new size as well.
    canvas.Resize(90, 30);
    EXPECT_EQ(canvas.Image().size(), QSize(90, 30));
    canvas.Resize(90, 35);
    EXPECT_EQ(canvas.Image().size(), QSize(90, 35));
    canvas.Resize(0, -3);
    EXPECT_EQ(canvas.Image().width(), 1);
}

TEST(QtCanvas, DeviceMetricsAndFont) {
    QtCanvas canvas(100, 100);
    EXPECT_GT(canvas.PixelsPerInchX(), 0);
    EXPECT_EQ(canvas.PixelsPerInchX(), canvas.PixelsPerInchY());
    EXPECT_LT(canvas.FontHeight(), 0);
    EXPECT_GE(canvas.TextHeight("A"), -canvas.FontHeight());
    EXPECT_GT(canvas.TextWidth("AAAA"), canvas.TextWidth("A"));
    EXPECT_EQ(canvas.TextWidth(""), 0);
}

TEST(QtCanvas, DevicePixelRatioScalesThePicture) {
    QtCanvas canvas(100, 50, 2.0);
    EXPECT_EQ(canvas.Width(), 100);
    canvas.MoveTo(10, 10);
    canvas.LineTo(50, 10);
    const QImage& image = canvas.Image();
    ASSERT_EQ(image.width(), 200);
    ASSERT_EQ(image.height(), 100);
    EXPECT_EQ(image.pixel(40, 20), kBlack);
    EXPECT_EQ(image.pixel(40, 21), kBlack);
    EXPECT_TRUE(IsWhite(image, 40, 22));
    EXPECT_TRUE(IsWhite(image, 40, 19));
}

TEST(QtCanvas, FixedSizeDeviceScalesThePictureOntoItself) {
    QImage page(400, 300, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QtCanvas canvas(page);
        EXPECT_EQ(canvas.Width(), 400);
        Glib1 plot(canvas);
        plot.InitPlot(200, 100, true, 0, 0, 100, 100); // scale 2, limited by the width
        EXPECT_EQ(canvas.Width(), 200);
        canvas.MoveTo(10, 10);
        canvas.LineTo(50, 10);
        canvas.End();
    }
    EXPECT_EQ(page.pixel(60, 20), kBlack);
    EXPECT_EQ(page.pixel(60, 21), kBlack);
    EXPECT_TRUE(IsWhite(page, 60, 23));
    EXPECT_EQ(page.pixel(0, 150), kBlack); // the bitmap's frame, scaled
    EXPECT_TRUE(IsWhite(page, 0, 250));    // below the picture the page is untouched
}

TEST(QtCanvas, SvgOutputIsCompleteAfterEnd) {
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(300, 200));
    svg.setViewBox(QRect(0, 0, 300, 200));
    {
        QtCanvas canvas(svg);
        Glib1 plot(canvas);
        plot.InitPlot(300, 200, true, 10, 10, 90, 90);
        plot.SetWindow(true, 0, 0, 10, 10);
        plot.SetColour(6);
        plot.MoveW(1, 1);
        plot.LineW(9, 9);
        plot.Axis(false, "Stroke");
        canvas.End();
    }
    const QByteArray text = buffer.data();
    EXPECT_TRUE(text.contains("<svg"));
    EXPECT_TRUE(text.contains("</svg>"));
    EXPECT_TRUE(text.contains("Stroke"));
    EXPECT_TRUE(text.contains("#ff0000"));
}

TEST(QtCanvas, HugeAndDegenerateShapesAreHarmless) {
    QtCanvas canvas(160, 90);
    canvas.Arc(-1000000000, -1000000000, 1000000000, 1000000000, 0, 0, 0, 0);
    canvas.Arc(-2000000000, 40, 2000000000, 50, 5, 5, 5, 5);
    canvas.Arc(10, 10, 10, 10, 0, 0, 0, 0);
    canvas.SetPenStyle(PenStyle::Dashed);
    canvas.Arc(-1000000000, -1000000000, 1000000000, 1000000000, 0, 0, 1, 1);
    canvas.Rectangle(30, 30, 30, 60);
    canvas.SetPixel(-1, 5, 0);
    canvas.SetPixel(5, 1000, 0);
    canvas.MoveTo(-2000000000, 45);
    canvas.LineTo(2000000000, 45);
    EXPECT_EQ(canvas.Image().pixel(80, 45), kBlack);

    Glib1 plot(canvas);
    plot.InitPlot(160, 90, true, 10, 10, 90, 90);
    plot.SetWindow(true, 0, 0, 1, 1);
    plot.CircleW(0.5f, 0.5f, 1.0e8f);
    plot.ArcW(0.5f, 0.5f, 1.0e7f, 0, 1);
    plot.CircleW(0.5f, 0.5f, std::numeric_limits<float>::infinity());
    EXPECT_EQ(canvas.Image().width(), 160);
}

// A canvas that reuses its images (the window still holding the last picture) and clears only
// where it painted must show exactly what a fresh canvas shows: every kind, labelled and not,
// turning the crank, at pixel ratios 1 and 2.
TEST(QtCanvas, AReusedPictureIsPixelForPixelAFreshOne) {
    testing::ScratchDir dir;
    testing::WorkingDirectory cwd(dir.path());
    testing::ScriptedDialogs dialogs;
    for (const double ratio : {1.0, 2.0}) {
        Simulation sim(dialogs, dir / "Messages.txt");
        QtCanvas reused(1, 1, ratio);
        sim.Plot.AttachCanvas(reused);
        QImage shown;
        for (int kind = 0; kind < GearKindCount; ++kind) {
            ASSERT_TRUE(sim.ComboBox1Change(kind));
            for (int frame = 0; frame < 6; ++frame) {
                SCOPED_TRACE(std::to_string(ratio) + " kind " + std::to_string(kind) + " frame " +
                             std::to_string(frame));
                sim.CrankAngle = static_cast<float>(frame * 1.1);
                sim.Annotate = frame % 2;
                sim.Redraw(643, 403, 0);
                shown = reused.Image(); // held, as the window holds it, while the next one is drawn
                QtCanvas fresh(1, 1, ratio);
                sim.Plot.AttachCanvas(fresh);
                sim.Redraw(643, 403, 0);
                ASSERT_EQ(shown, fresh.Image());
                sim.Plot.AttachCanvas(reused);
            }
        }
    }
}

} // namespace
} // namespace linkwright
