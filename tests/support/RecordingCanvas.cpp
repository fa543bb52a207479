// The recording canvas of the drawing tests.
#include "tests/support/RecordingCanvas.h"

#include <algorithm>
#include <iomanip>
#include <ostream>

namespace linkwright::testing {

namespace {

const char* KindName(CanvasCallKind kind) {
    switch (kind) {
    case CanvasCallKind::Resize:
        return "Resize";
    case CanvasCallKind::PenColour:
        return "PenColour";
    case CanvasCallKind::PenStyle:
        return "PenStyle";
    case CanvasCallKind::BrushStyle:
        return "BrushStyle";
    case CanvasCallKind::Rectangle:
        return "Rectangle";
    case CanvasCallKind::MoveTo:
        return "MoveTo";
    case CanvasCallKind::LineTo:
        return "LineTo";
    case CanvasCallKind::Arc:
        return "Arc";
    case CanvasCallKind::Pixel:
        return "Pixel";
    case CanvasCallKind::Text:
        return "Text";
    }
    return "?";
}

} // namespace

std::ostream& operator<<(std::ostream& out, const CanvasCall& call) {
    out << KindName(call.kind) << " (" << call.x1 << ", " << call.y1 << ")-(" << call.x2 << ", " << call.y2
        << ")";
    if (call.kind == CanvasCallKind::Arc)
        out << " rays (" << call.x3 << ", " << call.y3 << ") (" << call.x4 << ", " << call.y4 << ")";
    const auto flags = out.flags();
    out << " colour " << std::hex << std::setw(6) << std::setfill('0') << call.colour;
    out.flags(flags);
    out << (call.penStyle == PenStyle::Dashed ? " dashed" : " solid")
        << (call.brushStyle == BrushStyle::Clear ? " clear-brush" : " solid-brush");
    if (!call.text.empty()) out << " \"" << call.text << "\"";
    return out;
}

void PrintTo(const CanvasCall& call, std::ostream* out) {
    *out << call;
}

CanvasCall RecordingCanvas::Make(CanvasCallKind kind) const {
    CanvasCall call;
    call.kind = kind;
    call.colour = pen_;
    call.penStyle = penStyle_;
    call.brushStyle = brushStyle_;
    return call;
}

std::vector<CanvasCall> RecordingCanvas::OfKind(CanvasCallKind kind) const {
    std::vector<CanvasCall> result;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(result),
                 [kind](const CanvasCall& c) { return c.kind == kind; });
    return result;
}

int RecordingCanvas::Count(CanvasCallKind kind) const {
    return static_cast<int>(
        std::count_if(calls.begin(), calls.end(), [kind](const CanvasCall& c) { return c.kind == kind; }));
}

int RecordingCanvas::CountLines(std::uint32_t colour) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [colour](const CanvasCall& c) {
        return c.kind == CanvasCallKind::LineTo && c.colour == colour;
    }));
}

int RecordingCanvas::CountLines(std::uint32_t colour, PenStyle style) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [colour, style](const CanvasCall& c) {
        return c.kind == CanvasCallKind::LineTo && c.colour == colour && c.penStyle == style;
    }));
}

int RecordingCanvas::CountCircles() const {
    return static_cast<int>(
        std::count_if(calls.begin(), calls.end(), [](const CanvasCall& c) { return c.IsFullEllipse(); }));
}

std::vector<std::string> RecordingCanvas::Texts() const {
    std::vector<std::string> result;
    for (const CanvasCall& c : calls)
        if (c.kind == CanvasCallKind::Text) result.push_back(c.text);
    return result;
}

const CanvasCall* RecordingCanvas::FindText(const std::string& text) const {
    for (const CanvasCall& c : calls)
        if (c.kind == CanvasCallKind::Text && c.text == text) return &c;
    return nullptr;
}

void RecordingCanvas::Resize(int width, int height) {
    CanvasCall call = Make(CanvasCallKind::Resize);
    call.x2 = width;
    call.y2 = height;
    calls.push_back(call);
    width_ = width;
    height_ = height;
}

void RecordingCanvas::SetPenColour(std::uint32_t rgb) {
    pen_ = rgb;
    calls.push_back(Make(CanvasCallKind::PenColour));
}

void RecordingCanvas::SetPenStyle(PenStyle style) {
    penStyle_ = style;
    calls.push_back(Make(CanvasCallKind::PenStyle));
}

void RecordingCanvas::SetBrushStyle(BrushStyle style) {
    brushStyle_ = style;
    calls.push_back(Make(CanvasCallKind::BrushStyle));
}

void RecordingCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    CanvasCall call = Make(CanvasCallKind::Rectangle);
    call.x1 = x1, call.y1 = y1, call.x2 = x2, call.y2 = y2;
    calls.push_back(call);
}

void RecordingCanvas::MoveTo(int x, int y) {
    CanvasCall call = Make(CanvasCallKind::MoveTo);
    call.x1 = penX_, call.y1 = penY_, call.x2 = x, call.y2 = y;
    calls.push_back(call);
    penX_ = x;
    penY_ = y;
}

void RecordingCanvas::LineTo(int x, int y) {
    CanvasCall call = Make(CanvasCallKind::LineTo);
    call.x1 = penX_, call.y1 = penY_, call.x2 = x, call.y2 = y;
    calls.push_back(call);
    penX_ = x;
    penY_ = y;
}

void RecordingCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    CanvasCall call = Make(CanvasCallKind::Arc);
    call.x1 = x1, call.y1 = y1, call.x2 = x2, call.y2 = y2;
    call.x3 = x3, call.y3 = y3, call.x4 = x4, call.y4 = y4;
    calls.push_back(call);
}

void RecordingCanvas::SetPixel(int x, int y, std::uint32_t rgb) {
    CanvasCall call = Make(CanvasCallKind::Pixel);
    call.x1 = x, call.y1 = y;
    call.colour = rgb;
    calls.push_back(call);
}

void RecordingCanvas::TextOut(int x, int y, const std::string& text) {
    CanvasCall call = Make(CanvasCallKind::Text);
    call.x1 = x, call.y1 = y;
    call.text = text;
    calls.push_back(call);
}

int RecordingCanvas::TextWidth(const std::string& text) const {
    return charWidth_ * static_cast<int>(text.size());
}

int RecordingCanvas::TextHeight(const std::string& /*text*/) const {
    return textHeight_;
}

} // namespace linkwright::testing
