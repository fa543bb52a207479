// A Canvas for the drawing tests: it keeps every call (kind, coordinates, pen colour and style,
// brush, text) in order, with a configurable size, pixels per inch and font metrics.
#pragma once

#include "plot/Canvas.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace linkwright::testing {

enum class CanvasCallKind : std::uint8_t {
    Resize,     // x2, y2: the new width and height
    PenColour,  // colour: the new pen colour
    PenStyle,   // penStyle: the new style
    BrushStyle, // brushStyle: the new style
    Rectangle,  // (x1, y1)-(x2, y2) as passed; brushStyle: the brush in effect
    MoveTo,     // (x2, y2): the new pen position
    LineTo,     // from the pen position (x1, y1) to (x2, y2)
    Arc,        // box (x1, y1)-(x2, y2), start ray through (x3, y3), end ray through (x4, y4)
    Pixel,      // (x1, y1); colour: the pixel's colour
    Text,       // top-left (x1, y1); text
};

struct CanvasCall {
    CanvasCallKind kind = CanvasCallKind::MoveTo;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
    std::uint32_t colour = 0;                  // the pen colour in effect (a pixel's own colour)
    PenStyle penStyle = PenStyle::Solid;       // the pen style in effect
    BrushStyle brushStyle = BrushStyle::Solid; // the brush in effect
    std::string text;

    bool operator==(const CanvasCall&) const = default;
    // An arc whose two rays coincide: the whole ellipse, as CircleW draws it.
    bool IsFullEllipse() const { return kind == CanvasCallKind::Arc && x3 == x4 && y3 == y4; }
};

// Readable failure messages in gtest.
void PrintTo(const CanvasCall& call, std::ostream* out);
std::ostream& operator<<(std::ostream& out, const CanvasCall& call);

class RecordingCanvas final : public Canvas {
public:
    explicit RecordingCanvas(int width = 640, int height = 480) : width_(width), height_(height) {}

    // Configuration. Text is measured as charWidth pixels per character and textHeight pixels
    // high; FontHeight() returns fontHeight (negative, as for a font given by pixel height).
    void SetPixelsPerInch(int x, int y) { ppiX_ = x, ppiY_ = y; }
    void SetFontMetrics(int charWidth, int textHeight, int fontHeight) {
        charWidth_ = charWidth, textHeight_ = textHeight, fontHeight_ = fontHeight;
    }

    std::vector<CanvasCall> calls;
    void Clear() { calls.clear(); }

    // Queries over the recorded calls.
    std::vector<CanvasCall> OfKind(CanvasCallKind kind) const;
    int Count(CanvasCallKind kind) const;
    std::vector<CanvasCall> Lines() const { return OfKind(CanvasCallKind::LineTo); }
    int CountLines(std::uint32_t colour) const; // lines drawn in this pen colour
    int CountLines(std::uint32_t colour, PenStyle style) const;
    int CountCircles() const;                                  // whole-ellipse arcs
    std::vector<std::string> Texts() const;                    // every text, in drawing order
    const CanvasCall* FindText(const std::string& text) const; // the first such text, or nullptr
    bool HasText(const std::string& text) const { return FindText(text) != nullptr; }

    // Canvas
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Resize(int width, int height) override;
    void SetPenColour(std::uint32_t rgb) override;
    std::uint32_t PenColour() const override { return pen_; }
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
    int FontHeight() const override { return fontHeight_; }
    int PixelsPerInchX() const override { return ppiX_; }
    int PixelsPerInchY() const override { return ppiY_; }

private:
    CanvasCall Make(CanvasCallKind kind) const;

    int width_;
    int height_;
    int ppiX_ = 96;
    int ppiY_ = 96;
    int charWidth_ = 7;
    int textHeight_ = 13;
    int fontHeight_ = -11;
    std::uint32_t pen_ = 0x000000;
    PenStyle penStyle_ = PenStyle::Solid;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    int penX_ = 0;
    int penY_ = 0;
};

} // namespace linkwright::testing
