// The drawing device on Qt: a QPainter over an image the canvas owns (the screen picture, PNG files,
// the clipboard) or over an external device of fixed size (printer, SVG generator, PDF writer).
#pragma once

#include "plot/Canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <memory>
#include <vector>

class QPaintDevice;

namespace linkwright {

class QtCanvas final : public Canvas {
public:
    // An image canvas of width x height pixels, white. With a device pixel ratio above 1 the image
    // holds that many device pixels per pixel (HiDPI screens); coordinates stay in pixels.
    explicit QtCanvas(int width = 1, int height = 1, double devicePixelRatio = 1.0);
    // A canvas over an external device. Its size starts as the device's; Resize then scales a
    // picture of the given size onto the device, keeping its proportions, from the top-left corner.
    explicit QtCanvas(QPaintDevice& device);
    // The same, with the picture fitted into `area` of the device (device pixels) and centred there.
    QtCanvas(QPaintDevice& device, const QRect& area);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    // The finished picture of an image canvas (a null image for an external device). Painting
    // pauses, so copies of the image never change behind the holder's back; the next drawing call
    // resumes it.
    const QImage& Image() const;
    // Ends painting on the device; an SVG or PDF file is complete only afterwards.
    void End() const;

    double DevicePixelRatio() const { return devicePixelRatio_; }

    // Writes a line of text in device pixels, outside the picture's own coordinates (the heading of a
    // printout); `pixelSize` is the font's height in device pixels.
    void DeviceText(const QRect& rect, const QString& text, int pixelSize);
    // Whether painting on the device has begun (it fails when a printer cannot be started).
    bool Painting() const { return painter_.isActive(); }

    // Canvas
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Resize(int width, int height) override;
    void SetPenColour(std::uint32_t rgb) override;
    std::uint32_t PenColour() const override { return penColour_; }
    void SetPenStyle(PenStyle style) override;
    void SetBrushStyle(BrushStyle style) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    int PenX() const override { return penX_; }
    int PenY() const override { return penY_; }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void SetPixel(int x, int y, std::uint32_t rgb) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) const override;
    int TextHeight(const std::string& text) const override;
    int FontHeight() const override;
    int PixelsPerInchX() const override;
    int PixelsPerInchY() const override;

private:
    QPainter& Painter();
    void ApplyState();
    QTransform DeviceTransform() const;
    bool Scaled() const { return devicePixelRatio_ != 1.0 || deviceScale_ != 1.0; }
    bool OutsideDevice(qint64 left, qint64 top, qint64 right, qint64 bottom) const;

    // A picture about to be painted over whole, while its holders keep the last one: a free image
    // of the picture's size instead of a copy of the held one.
    void TakeFreeImage();
    // Notes that the picture pixels in the box may have been painted (a margin is added), so that
    // a reused image needs only these cleared rather than all of it.
    void Ink(qint64 left, qint64 top, qint64 right, qint64 bottom);
    // The same for an arc of the ellipse (centre, half axes) from `startDegrees` over `spanDegrees`.
    void InkArc(double cx, double cy, double a, double b, double startDegrees, double spanDegrees);
    // Whether no ink can be in the box (of the own image), so that painting it white changes nothing.
    bool KnownWhite(const QRect& box) const;
    // The whole picture white again: only where ink is known to be, else every pixel.
    void Whiten();

    QImage image_;
    QImage spare_;                // the image before, free again once its holders have let it go
    std::vector<QRect> ink_;      // image_: where anything may have been painted since it was white
    std::vector<QRect> spareInk_; // the same for spare_
    bool inkKnown_ = true;        // image_ was white once and every painting since is in ink_
    bool spareInkKnown_ = false;
    QPaintDevice* device_ = nullptr; // external device, or nullptr for the own image
    mutable QPainter painter_;
    double devicePixelRatio_ = 1.0;
    double deviceScale_ = 1.0; // external device: device pixels per picture pixel
    QRect area_;               // external device: where the picture goes (the whole device if empty)
    QPointF deviceOffset_;     // external device: the picture's top-left corner

    int width_ = 1;
    int height_ = 1;
    QFont font_;
    QFontMetrics metrics_;
    QPen pen_;
    std::uint32_t penColour_ = 0x000000;
    bool brushSolid_ = true;
    int penX_ = 0;
    int penY_ = 0;
};

} // namespace linkwright
