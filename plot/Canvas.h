// The drawing device under Glib1: the primitives of an off-screen bitmap's canvas. The Qt layer
// implements it on a QPainter (screen image, printer, SVG, PDF); tests record the calls.
#pragma once

#include <cstdint>
#include <string>

namespace linkwright {

enum class PenStyle : std::uint8_t { Solid, Dashed };
enum class BrushStyle : std::uint8_t { Solid, Clear };

class Canvas {
public:
    virtual ~Canvas() = default;

    // Size of the drawing surface in pixels. Resize re-creates the surface when the size differs
    // (devices of a fixed size, such as a printer page, scale the picture onto themselves instead).
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void Resize(int width, int height) = 0;

    virtual void SetPenColour(std::uint32_t rgb) = 0; // 0xRRGGBB
    virtual std::uint32_t PenColour() const = 0;
    virtual void SetPenStyle(PenStyle style) = 0;
    virtual void SetBrushStyle(BrushStyle style) = 0; // a solid brush fills with white

    // Outline (and fill, with a solid brush) of the rectangle from (x1, y1) to (x2, y2), right and
    // bottom edges exclusive, as a bitmap canvas draws it.
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0; // the end pixel is not drawn; the pen moves to (x, y)
    virtual int PenX() const = 0;
    virtual int PenY() const = 0;
    // Elliptic arc inside the box (x1, y1)-(x2, y2), counter-clockwise from the point where the ray
    // from the centre through (x3, y3) meets the ellipse to the one through (x4, y4). When the two
    // rays coincide the whole ellipse is drawn (the outline of a circle).
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    virtual void SetPixel(int x, int y, std::uint32_t rgb) = 0;
    // Text with its top-left corner at (x, y), in the pen colour, on a clear background.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    virtual int TextWidth(const std::string& text) const = 0;
    virtual int TextHeight(const std::string& text) const = 0;
    virtual int FontHeight() const = 0; // may be negative, as with a font given by pixel height

    virtual int PixelsPerInchX() const = 0;
    virtual int PixelsPerInchY() const = 0;
};

} // namespace linkwright
