// Glib1: the immediate-mode plotting library every drawing goes through: one bitmap (the attached
// canvas), a percent viewport, the world-to-pixel mapping with aspect correction, clipped lines,
// circles, arcs, marks, text, the pen palette and automatic axes.
#pragma once

#include "plot/Canvas.h"

#include <cstdint>
#include <string>

namespace linkwright {

// The mapping a caller keeps to turn mouse pixels back into world coordinates:
// pixel = (world - Origin) * Scale + (VpLeft, VpBottom).
struct PlotMapping {
    float ScaleX = 0;
    float ScaleY = 0;
    float OriginX = 0;
    float OriginY = 0;
    int VpLeft = 0;
    int VpBottom = 0;
};

// A mapped point in the library's 16-bit pixel coordinates (always 0..32767).
struct PixelPoint {
    std::int16_t x = 0;
    std::int16_t y = 0;
};

// A mapped point without the 16-bit clamp, for circles and arcs.
struct PixelPointWide {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The pen palette of SetColour, index 1..8 (index 0 leaves the pen as it is).
std::uint32_t PaletteColour(int index);

class Glib1 {
public:
    Glib1() = default;
    explicit Glib1(Canvas& canvas) { AttachCanvas(canvas); }
    Glib1(const Glib1&) = delete;
    Glib1& operator=(const Glib1&) = delete;

    // The canvas is the bitmap: InitPlot sizes it and every primitive draws on it. Attaching a
    // canvas counts as a new bitmap, so the next InitPlot draws its first full rectangle again.
    // Until a canvas is attached the drawing operations only update the state.
    void AttachCanvas(Canvas& canvas);
    // Draws nowhere until a canvas is attached again (the mapping is still kept).
    void DetachCanvas();
    Canvas* PlotBitmap() const { return canvas_; }

    // Prepares the bitmap (re-created when the size differs) and the viewport, given in percent
    // of the bitmap from its left and bottom edges. With opaque set the picture is cleared.
    void InitPlot(int width, int height, bool opaque, float left, float bottom, float right, float top);
    // World window and mapping; keepAspect makes equal world lengths equally long on the device.
    void SetWindow(bool keepAspect, float xmin, float ymin, float xmax, float ymax);
    PlotMapping GetMapping() const;

    // World to pixel; the 16-bit form floors at 0 and saturates at 32767 (non-finite coordinates
    // land on one of these ends, NaN on 0). The wide form saturates only at the Int32 range.
    PixelPoint WorldToPixel(float x, float y) const;
    PixelPointWide WorldToPixelWide(float x, float y) const;

    void MoveW(float x, float y);      // current point and canvas pen := mapped point
    void LineW(float x, float y);      // clipped line; current point := mapped point, even if clipped
    void MoveRelW(float dx, float dy); // current point moves by the scaled offset; the pen stays
    void LineRelW(float dx, float dy); // clipped line by the scaled offset; current point := its end
    // Clips the pixel segment to the viewport (when clipping is on), draws what is left and makes
    // the clipped end the current point.
    void ClippedLine(int x1, int y1, int x2, int y2);

    void CircleW(float cx, float cy, float r); // outline, not clipped
    // Arc of that circle from angle a1 to angle a2 (radians), counter-clockwise in the world as
    // the picture shows it (in pixel coordinates, y down, that is from a2 round to a1); not clipped.
    void ArcW(float cx, float cy, float r, float a1, float a2);
    void CrossW(float cx, float cy, float r); // X mark over the mapped box
    void PixelW(float x, float y);            // the mapped pixel in black
    void PlotText(const std::string& text);   // top-left at the canvas pen

    void SetColour(int index); // index mod 9 from the palette; 0 leaves the pen colour
    int GetColour() const { return ColourIndex_; }
    void SetLineStyle(int style); // 0 solid, 1 dashed; anything else is ignored

    // Percent of the bitmap (y from the bottom edge) to pixels.
    void PercentToPixel(float xPct, float yPct, int& px, int& py) const;
    void MoveToPercent(float xPct, float yPct);

    // Ticks, numeric labels and title of the x axis (along the bottom edge) or the y axis (along
    // the left edge) of the current window. A y axis's title stands left of its numbers where the
    // picture has room, else over the axis; an empty title is left out.
    void Axis(bool vertical, const std::string& title);

    // Clipping of lines to the viewport; InitPlot switches it on.
    void SetClipping(bool on) { Clipping_ = on; }
    bool Clipping() const { return Clipping_; }

    // The unit state, read-only.
    int VpLeft() const { return VpLeft_; }
    int VpBottom() const { return VpBottom_; }
    int VpRight() const { return VpRight_; }
    int VpTop() const { return VpTop_; }
    float WinXMin() const { return WinXMin_; }
    float WinYMin() const { return WinYMin_; }
    float WinXMax() const { return WinXMax_; }
    float WinYMax() const { return WinYMax_; }
    float ScaleX() const { return ScaleX_; }
    float ScaleY() const { return ScaleY_; }
    float OriginX() const { return OriginX_; }
    float OriginY() const { return OriginY_; }
    std::int16_t CurX() const { return CurX_; }
    std::int16_t CurY() const { return CurY_; }

private:
    // The mapped box (cx - r, cy + r)-(cx + r, cy - r); false when it is not drawable.
    bool CircleBox(float cx, float cy, float r, PixelPointWide& corner1, PixelPointWide& corner2) const;
    void AxisTick(bool vertical, double t);
    int AxisLabel(bool vertical, double t, int decimals); // the label's width

    Canvas* canvas_ = nullptr;
    bool bitmapCreated_ = false;

    int VpLeft_ = 0;
    int VpBottom_ = 0;
    int VpRight_ = 0;
    int VpTop_ = 0;
    float WinXMin_ = 0;
    float WinYMin_ = 0;
    float WinXMax_ = 1;
    float WinYMax_ = 1;
    float ScaleX_ = 1;
    float ScaleY_ = -1;
    float OriginX_ = 0;
    float OriginY_ = 0;
    std::int16_t CurX_ = 0;
    std::int16_t CurY_ = 0;
    int ColourIndex_ = 0;
    bool Clipping_ = true;
};

} // namespace linkwright
