// Glib1: viewport, world mapping with aspect correction, clipped lines, circles, arcs, marks, text,
// pen palette and automatic axes, all drawn on the attached canvas.
#include "plot/Glib1.h"

#include "common/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace linkwright {

namespace {

constexpr double kTwo31 = 2147483648.0;
constexpr std::uint32_t kBlack = 0x000000;

// Nearest integer, halves to even (the default rounding mode); callers pass finite values.
double RoundEven(double v) {
    return std::nearbyint(v);
}

std::int16_t SaturateInt16(std::int64_t v) {
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int16_t>::min(),
                                                              std::numeric_limits<std::int16_t>::max()));
}

// A double to Int32, saturating; NaN reads as 0 so that bad data can never reach an undefined
// conversion.
std::int32_t SaturateInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

// The 16-bit pixel coordinate: capped at 2^31 and raised to 0 when negative, as the mapping has
// always done, and then held in the 16-bit range instead of wrapping around (a point far right
// or above the picture must stay at the far edge, not reappear somewhere inside it).
std::int16_t ClampedPixel(double sum) {
    if (!(sum > 0)) return 0; // negative, and NaN
    if (sum > kTwo31) sum = kTwo31;
    if (sum >= 32767.0) return 32767;
    return static_cast<std::int16_t>(sum);
}

// The y (or x) shift of a clipped end along the line, with the product held in its historic
// range before truncation.
std::int64_t ClipShift(std::int64_t along, std::int64_t across, std::int64_t distance) {
    double product = static_cast<double>(along) / static_cast<double>(across) * static_cast<double>(distance);
    if (std::isnan(product)) return 0; // an empty viewport leaves no run to divide by
    if (product > kTwo31) product = kTwo31;
    if (product < -32767.0) product = -32767.0;
    return static_cast<std::int64_t>(std::trunc(product));
}

int RangeCode(std::int64_t v, int low, int high) {
    if (v < low) return -1;
    if (v > high) return 1;
    return 0;
}

bool Finite(float a, float b) {
    return std::isfinite(a) && std::isfinite(b);
}

} // namespace

std::uint32_t PaletteColour(int index) {
    static constexpr std::uint32_t kPalette[9] = {0x000000, 0x000000, 0x008000, 0x800000, 0x808000,
                                                  0x000080, 0xFF0000, 0x808080, 0x00FF00};
    return kPalette[((index % 9) + 9) % 9];
}

void Glib1::AttachCanvas(Canvas& canvas) {
    canvas_ = &canvas;
    bitmapCreated_ = false;
}

void Glib1::DetachCanvas() {
    canvas_ = nullptr;
    bitmapCreated_ = false;
}

void Glib1::InitPlot(int width, int height, bool opaque, float left, float bottom, float right, float top) {
    // A bitmap needs at least one pixel; a zero-sized drawing area still gets a valid picture.
    width = std::max(width, 1);
    height = std::max(height, 1);
    int W = width;
    int H = height;
    if (canvas_ != nullptr) {
        if (!bitmapCreated_ || canvas_->Width() != width || canvas_->Height() != height) {
            canvas_->Resize(width, height);
            canvas_->Rectangle(0, 0, width, height);
            bitmapCreated_ = true;
        }
        W = canvas_->Width();
        H = canvas_->Height();
    }

    auto percent = [](int size, double pct) {
        const double v = static_cast<double>(size) * pct / 100.0;
        return std::isfinite(v) ? SaturateInt32(RoundEven(v)) : 0;
    };
    VpLeft_ = percent(W, left);
    VpRight_ = percent(W, right);
    VpBottom_ = percent(H, 100.0 - static_cast<double>(bottom));
    VpTop_ = percent(H, 100.0 - static_cast<double>(top));

    if (canvas_ != nullptr) {
        canvas_->SetBrushStyle(opaque ? BrushStyle::Solid : BrushStyle::Clear);
        canvas_->Rectangle(0, 0, W, H);
        canvas_->Rectangle(VpLeft_, VpBottom_, VpRight_, VpTop_);
    }

    CurX_ = SaturateInt16(VpLeft_);
    CurY_ = SaturateInt16(VpBottom_);
    Clipping_ = true;
    ColourIndex_ = 0;
}

void Glib1::SetWindow(bool keepAspect, float xmin, float ymin, float xmax, float ymax) {
    auto scales = [this](float x0, float y0, float x1, float y1) {
        ScaleX_ = static_cast<float>(static_cast<double>(VpRight_ - VpLeft_) /
                                     (static_cast<double>(x1) - static_cast<double>(x0)));
        ScaleY_ = static_cast<float>(static_cast<double>(VpTop_ - VpBottom_) /
                                     (static_cast<double>(y1) - static_cast<double>(y0)));
    };
    WinXMin_ = xmin;
    WinYMin_ = ymin;
    WinXMax_ = xmax;
    WinYMax_ = ymax;
    OriginX_ = xmin;
    OriginY_ = ymin;
    scales(xmin, ymin, xmax, ymax);
    if (!keepAspect) return;

    int px = canvas_ != nullptr ? canvas_->PixelsPerInchX() : 0;
    int py = canvas_ != nullptr ? canvas_->PixelsPerInchY() : 0;
    if (px <= 0 || py <= 0) px = py = 1; // a device that does not say is taken as square-pixelled
    const float device = static_cast<float>(static_cast<double>(py) / px);
    const float mapping = static_cast<float>(static_cast<double>(ScaleY_) / ScaleX_);
    const float ratio = static_cast<float>(static_cast<double>(device) / mapping);
    const float w = static_cast<float>(std::sqrt(std::fabs(static_cast<double>(ratio))));
    // A degenerate window (zero width or height) has no aspect to correct; it keeps its scales.
    if (!std::isfinite(w) || w == 0.0f) return;
    WinXMax_ = static_cast<float>(static_cast<double>(xmin) +
                                  static_cast<double>(w) * (static_cast<double>(xmax) - xmin));
    WinYMax_ = static_cast<float>(static_cast<double>(ymin) +
                                  (static_cast<double>(ymax) - ymin) / static_cast<double>(w));
    scales(WinXMin_, WinYMin_, WinXMax_, WinYMax_);
}

PlotMapping Glib1::GetMapping() const {
    return PlotMapping{ScaleX_, ScaleY_, OriginX_, OriginY_, VpLeft_, VpBottom_};
}

PixelPoint Glib1::WorldToPixel(float x, float y) const {
    const double dx = (static_cast<double>(x) - OriginX_) * ScaleX_;
    const double dy = (static_cast<double>(y) - OriginY_) * ScaleY_;
    // Infinite offsets keep their sign and land on the matching edge; NaN lands on 0.
    const double sx = std::isfinite(dx) ? RoundEven(dx) + VpLeft_ : dx;
    const double sy = std::isfinite(dy) ? RoundEven(dy) + VpBottom_ : dy;
    return PixelPoint{ClampedPixel(sx), ClampedPixel(sy)};
}

PixelPointWide Glib1::WorldToPixelWide(float x, float y) const {
    const double dx = (static_cast<double>(x) - OriginX_) * ScaleX_;
    const double dy = (static_cast<double>(y) - OriginY_) * ScaleY_;
    const double sx = std::isfinite(dx) ? RoundEven(dx) + VpLeft_ : dx;
    const double sy = std::isfinite(dy) ? RoundEven(dy) + VpBottom_ : dy;
    return PixelPointWide{SaturateInt32(sx), SaturateInt32(sy)};
}

void Glib1::MoveW(float x, float y) {
    const PixelPoint p = WorldToPixel(x, y);
    CurX_ = p.x;
    CurY_ = p.y;
    if (canvas_ != nullptr) canvas_->MoveTo(p.x, p.y);
}

void Glib1::LineW(float x, float y) {
    const PixelPoint p = WorldToPixel(x, y);
    ClippedLine(CurX_, CurY_, p.x, p.y);
    CurX_ = p.x;
    CurY_ = p.y;
}

void Glib1::MoveRelW(float dx, float dy) {
    const double ox = static_cast<double>(dx) * ScaleX_;
    const double oy = static_cast<double>(dy) * ScaleY_;
    if (!std::isfinite(ox) || !std::isfinite(oy)) return;
    CurX_ = SaturateInt16(CurX_ + SaturateInt32(RoundEven(ox)));
    CurY_ = SaturateInt16(CurY_ + SaturateInt32(RoundEven(oy)));
}

void Glib1::LineRelW(float dx, float dy) {
    const double ox = static_cast<double>(dx) * ScaleX_;
    const double oy = static_cast<double>(dy) * ScaleY_;
    if (!std::isfinite(ox) || !std::isfinite(oy)) return;
    const std::int16_t ex = SaturateInt16(CurX_ + static_cast<std::int64_t>(SaturateInt32(RoundEven(ox))));
    const std::int16_t ey = SaturateInt16(CurY_ + static_cast<std::int64_t>(SaturateInt32(RoundEven(oy))));
    ClippedLine(CurX_, CurY_, ex, ey);
    CurX_ = ex;
    CurY_ = ey;
}

void Glib1::ClippedLine(int x1, int y1, int x2, int y2) {
    std::int64_t X1 = x1, Y1 = y1, X2 = x2, Y2 = y2;
    bool draw = true;
    if (Clipping_) {
        int cx1 = RangeCode(X1, VpLeft_, VpRight_), cx2 = RangeCode(X2, VpLeft_, VpRight_);
        int cy1 = RangeCode(Y1, VpTop_, VpBottom_), cy2 = RangeCode(Y2, VpTop_, VpBottom_);
        if (cx1 != 0 || cx2 != 0 || cy1 != 0 || cy2 != 0) {
            // Both ends beyond the same edge: nothing can be left, and moving both onto that edge
            // would leave no run to interpolate along.
            bool rejected = (cx1 != 0 && cx1 == cx2) || (cy1 != 0 && cy1 == cy2);
            // Moves the ends outside lo..hi along coordinate a onto the crossed edge and the other
            // coordinate b along the line; the second end uses the already moved first one.
            auto clipAlong = [](std::int64_t& a1, std::int64_t& b1, std::int64_t& a2, std::int64_t& b2,
                                int code1, int code2, int lo, int hi) {
                if (code1 != 0) {
                    const int edge = code1 < 0 ? lo : hi;
                    b1 += ClipShift(b2 - b1, a2 - a1, edge - a1);
                    a1 = edge;
                }
                if (code2 != 0) {
                    const int edge = code2 < 0 ? lo : hi;
                    b2 = b1 + ClipShift(b2 - b1, a2 - a1, edge - a1);
                    a2 = edge;
                }
            };
            if (!rejected && X1 != X2) {
                clipAlong(X1, Y1, X2, Y2, cx1, cx2, VpLeft_, VpRight_);
                cy1 = RangeCode(Y1, VpTop_, VpBottom_);
                cy2 = RangeCode(Y2, VpTop_, VpBottom_);
                rejected = cy1 != 0 && cy1 == cy2;
            }
            if (!rejected && Y1 != Y2) clipAlong(Y1, X1, Y2, X2, cy1, cy2, VpTop_, VpBottom_);
            draw = !rejected && RangeCode(X1, VpLeft_, VpRight_) == 0 &&
                   RangeCode(X2, VpLeft_, VpRight_) == 0 && RangeCode(Y1, VpTop_, VpBottom_) == 0 &&
                   RangeCode(Y2, VpTop_, VpBottom_) == 0;
        }
    }
    if (draw && canvas_ != nullptr) {
        canvas_->MoveTo(static_cast<int>(X1), static_cast<int>(Y1));
        canvas_->LineTo(static_cast<int>(X2), static_cast<int>(Y2));
    }
    CurX_ = SaturateInt16(X2);
    CurY_ = SaturateInt16(Y2);
}

bool Glib1::CircleBox(float cx, float cy, float r, PixelPointWide& corner1, PixelPointWide& corner2) const {
    if (!Finite(cx, cy) || !std::isfinite(r)) return false;
    const float x1 = static_cast<float>(static_cast<double>(cx) - r);
    const float y1 = static_cast<float>(static_cast<double>(cy) + r);
    const float x2 = static_cast<float>(static_cast<double>(cx) + r);
    const float y2 = static_cast<float>(static_cast<double>(cy) - r);
    // Beyond a billion pixels (or non-finite) a box is no drawable circle, and the device's
    // Int32 coordinates would saturate into a wrong one.
    for (double v :
         {(static_cast<double>(x1) - OriginX_) * ScaleX_, (static_cast<double>(y1) - OriginY_) * ScaleY_,
          (static_cast<double>(x2) - OriginX_) * ScaleX_, (static_cast<double>(y2) - OriginY_) * ScaleY_})
        if (!std::isfinite(v) || std::fabs(v) > 1.0e9) return false;
    corner1 = WorldToPixelWide(x1, y1);
    corner2 = WorldToPixelWide(x2, y2);
    return true;
}

void Glib1::CircleW(float cx, float cy, float r) {
    PixelPointWide p1, p2;
    if (canvas_ == nullptr || !CircleBox(cx, cy, r, p1, p2)) return;
    // Both rays through one point: the whole outline.
    const PixelPointWide ray = WorldToPixelWide(static_cast<float>(static_cast<double>(cx) + r), cy);
    canvas_->Arc(p1.x, p1.y, p2.x, p2.y, ray.x, ray.y, ray.x, ray.y);
}

void Glib1::ArcW(float cx, float cy, float r, float a1, float a2) {
    PixelPointWide p1, p2;
    if (canvas_ == nullptr || !Finite(a1, a2) || !CircleBox(cx, cy, r, p1, p2)) return;
    auto onCircle = [&](float a) {
        return WorldToPixelWide(
            static_cast<float>(cx + static_cast<double>(r) * std::cos(static_cast<double>(a))),
            static_cast<float>(cy + static_cast<double>(r) * std::sin(static_cast<double>(a))));
    };
    // The device runs counter-clockwise as seen on the picture, where the world's y axis points
    // up: from a1's point to a2's it draws the world's counter-clockwise arc from a1 to a2 (in
    // the pixel frame, whose y axis points down, the same arc runs counter-clockwise from a2 to a1).
    const PixelPointWide start = onCircle(a1);
    const PixelPointWide end = onCircle(a2);
    canvas_->Arc(p1.x, p1.y, p2.x, p2.y, start.x, start.y, end.x, end.y);
}

void Glib1::CrossW(float cx, float cy, float r) {
    if (canvas_ == nullptr || !Finite(cx, cy) || !std::isfinite(r)) return;
    const PixelPoint p1 = WorldToPixel(static_cast<float>(static_cast<double>(cx) - r),
                                       static_cast<float>(static_cast<double>(cy) + r));
    const PixelPoint p2 = WorldToPixel(static_cast<float>(static_cast<double>(cx) + r),
                                       static_cast<float>(static_cast<double>(cy) - r));
    canvas_->MoveTo(p1.x, p1.y);
    canvas_->LineTo(p2.x, p2.y);
    canvas_->MoveTo(p1.x, p2.y);
    canvas_->LineTo(p2.x, p1.y);
}

void Glib1::PixelW(float x, float y) {
    if (canvas_ == nullptr || !Finite(x, y)) return;
    const PixelPoint p = WorldToPixel(x, y);
    canvas_->SetPixel(p.x, p.y, kBlack);
}

void Glib1::PlotText(const std::string& text) {
    if (canvas_ == nullptr) return;
    canvas_->TextOut(canvas_->PenX(), canvas_->PenY(), text);
}

void Glib1::SetColour(int index) {
    ColourIndex_ = ((index % 9) + 9) % 9;
    if (ColourIndex_ != 0 && canvas_ != nullptr) canvas_->SetPenColour(PaletteColour(ColourIndex_));
}

void Glib1::SetLineStyle(int style) {
    if (canvas_ == nullptr) return;
    if (style == 0) canvas_->SetPenStyle(PenStyle::Solid);
    if (style == 1) canvas_->SetPenStyle(PenStyle::Dashed);
}

void Glib1::PercentToPixel(float xPct, float yPct, int& px, int& py) const {
    const int W = canvas_ != nullptr ? canvas_->Width() : 0;
    const int H = canvas_ != nullptr ? canvas_->Height() : 0;
    const double vx = static_cast<double>(W) * xPct / 100.0;
    const double vy = static_cast<double>(H) * (100.0 - static_cast<double>(yPct)) / 100.0;
    px = std::isfinite(vx) ? SaturateInt32(RoundEven(vx)) : 0;
    py = std::isfinite(vy) ? SaturateInt32(RoundEven(vy)) : 0;
}

void Glib1::MoveToPercent(float xPct, float yPct) {
    if (canvas_ == nullptr) return;
    int px = 0, py = 0;
    PercentToPixel(xPct, yPct, px, py);
    canvas_->MoveTo(px, py);
}

void Glib1::AxisTick(bool vertical, double t) {
    const int length = std::abs(canvas_->FontHeight());
    if (vertical) {
        MoveW(WinXMin_, static_cast<float>(t));
        ClippedLine(CurX_, CurY_, CurX_ + length, CurY_);
    } else {
        MoveW(static_cast<float>(t), WinYMin_);
        ClippedLine(CurX_, CurY_, CurX_, CurY_ - length);
    }
}

int Glib1::AxisLabel(bool vertical, double t, int decimals) {
    const std::string text = F(t, 0, decimals);
    const int width = canvas_->TextWidth(text);
    const int height = canvas_->TextHeight(text);
    if (vertical) {
        const PixelPoint p = WorldToPixel(WinXMin_, static_cast<float>(t));
        canvas_->TextOut(p.x - SaturateInt32(RoundEven(1.1 * width)), p.y - height / 2, text);
    } else {
        const PixelPoint p = WorldToPixel(static_cast<float>(t), WinYMin_);
        canvas_->TextOut(p.x - width / 2, p.y + SaturateInt32(RoundEven(0.2 * height)), text);
    }
    return width;
}

void Glib1::Axis(bool vertical, const std::string& title) {
    if (canvas_ == nullptr) return;
    const double lo = vertical ? WinYMin_ : WinXMin_;
    const double hi = vertical ? WinYMax_ : WinXMax_;
    const double s = (hi - lo) / 5.0;
    int widestLabel = 0; // of the numbers beside a vertical axis
    const double L = std::log10(std::fabs(s));
    // An empty or non-finite window has no scale to divide; only the title is drawn.
    if (std::isfinite(lo) && std::isfinite(hi) && std::isfinite(L)) {
        const double whole = std::trunc(L);
        const int e = static_cast<int>(L >= 0 ? whole : whole - 1);
        const double f = L >= 0 ? L - whole : L - whole + 1;
        const int decimals = e < 0 ? -e : 0;
        double multiplier = 1;
        if (f > 0.2) multiplier = 2;
        if (f > 0.5) multiplier = 5;
        const double step = multiplier * std::pow(10.0, e); // |step|

        // Every tick is a whole multiple n of the step, computed afresh rather than summed, so
        // that zero is exactly zero and the last tick does not drift past the window's end.
        const bool crossesZero = std::min(lo, hi) < 0 && std::max(lo, hi) > 0;
        std::int64_t n = 0;
        if (crossesZero) {
            n = static_cast<std::int64_t>(RoundEven(std::fabs(lo) / step));
            if (hi > lo) n = -n;
        } else if (hi > lo) {
            n = static_cast<std::int64_t>(std::trunc(lo / step)) + 1;
        } else {
            // A window that runs downwards starts at the first tick below its start.
            n = static_cast<std::int64_t>(std::ceil(lo / step)) - 1;
        }
        // A tick that equals the window's end up to the rounding of a Single still belongs to it.
        const double tolerance = step * 1.0e-3 + std::fabs(hi) * 0x1p-24;
        constexpr int kMaxTicks = 1000;
        if (step < std::fabs(hi - lo)) {
            int count = 0;
            if (hi > lo) {
                do {
                    const double t = static_cast<double>(n) * step;
                    AxisTick(vertical, t);
                    widestLabel = std::max(widestLabel, AxisLabel(vertical, t, decimals));
                    ++n;
                } while (!(static_cast<double>(n) * step > hi + tolerance) && ++count < kMaxTicks);
            } else {
                do {
                    const double t = static_cast<double>(n) * step;
                    AxisTick(vertical, t);
                    widestLabel = std::max(widestLabel, AxisLabel(vertical, t, decimals));
                    --n;
                } while (static_cast<double>(n) * step >= hi - tolerance && ++count < kMaxTicks);
            }
        }
    }

    if (title.empty()) return;
    const int width = canvas_->TextWidth(title);
    const int height = canvas_->TextHeight(title);
    if (vertical) {
        // Left of the numbers where it fits in the picture, else over the axis; never on them.
        const float middle = static_cast<float>((static_cast<double>(WinYMin_) + WinYMax_) / 2.0);
        const PixelPoint p = WorldToPixel(WinXMin_, middle);
        const int gap = std::max(2, height / 3);
        const int beside = p.x - SaturateInt32(RoundEven(1.1 * widestLabel)) - gap - width;
        if (beside >= gap) {
            canvas_->TextOut(beside, p.y - height / 2, title);
        } else {
            const int top = std::min(VpTop_, VpBottom_);
            canvas_->TextOut(std::max(gap, p.x - width / 2), top - height - gap, title);
        }
    } else {
        const float middle = static_cast<float>((static_cast<double>(WinXMin_) + WinXMax_) / 2.0);
        const PixelPoint p = WorldToPixel(middle, WinYMin_);
        canvas_->TextOut(p.x - width / 2, p.y + SaturateInt32(RoundEven(1.2 * height)), title);
    }
}

} // namespace linkwright
