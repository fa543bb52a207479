// The Canvas on a QPainter: bitmap-style rectangles, lines without their end pixel, arcs given by
// box and rays, and a fixed font so that pictures come out the same on every machine.
#include "ui/QtCanvas.h"

#include <QPaintDevice>
#include <QString>

#include <algorithm>
#include <cmath>
#include <utility>

namespace linkwright {

namespace {

constexpr int kFontPixelSize = 12;
constexpr double kPi = 3.14159265358979323846;

QFont PictureFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(kFontPixelSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QColor Rgb(std::uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QImage WhiteImage(int width, int height, double ratio) {
    QImage image(std::max(1, static_cast<int>(std::lround(width * ratio))),
                 std::max(1, static_cast<int>(std::lround(height * ratio))), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    return image;
}

} // namespace

QtCanvas::QtCanvas(int width, int height, double devicePixelRatio)
    : devicePixelRatio_(std::isfinite(devicePixelRatio) && devicePixelRatio >= 1.0 ? devicePixelRatio : 1.0),
      width_(std::max(1, width)), height_(std::max(1, height)), font_(PictureFont()), metrics_(font_) {
    image_ = WhiteImage(width_, height_, devicePixelRatio_);
    // Width 1 rather than cosmetic, so that scaled devices (HiDPI, printers) get proportionate
    // lines; flat caps leave out a line's end pixel, as a bitmap canvas does.
    pen_ = QPen(QColor(Qt::black), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

QtCanvas::QtCanvas(QPaintDevice& device)
    : device_(&device), width_(std::max(1, device.width())), height_(std::max(1, device.height())),
      font_(PictureFont()), metrics_(font_, &device) {
    pen_ = QPen(QColor(Qt::black), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

QtCanvas::QtCanvas(QPaintDevice& device, const QRect& area) : QtCanvas(device) {
    area_ = area;
    width_ = std::max(1, area.width());
    height_ = std::max(1, area.height());
    deviceOffset_ = area.topLeft();
}

void QtCanvas::DeviceText(const QRect& rect, const QString& text, int pixelSize) {
    QPainter& painter = Painter();
    painter.save();
    painter.resetTransform();
    QFont font = font_;
    font.setPixelSize(std::max(1, pixelSize));
    painter.setFont(font);
    painter.setPen(QColor(Qt::black));
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter.restore();
}

QtCanvas::~QtCanvas() {
    End();
}

const QImage& QtCanvas::Image() const {
    End();
    return image_;
}

void QtCanvas::End() const {
    if (painter_.isActive()) painter_.end();
}

QPainter& QtCanvas::Painter() {
    if (!painter_.isActive()) {
        if (device_ != nullptr)
            painter_.begin(device_);
        else
            painter_.begin(&image_);
        ApplyState();
    }
    return painter_;
}

void QtCanvas::ApplyState() {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    if (device_ != nullptr) painter_.setTransform(DeviceTransform());
    painter_.setFont(font_);
    painter_.setPen(pen_);
    painter_.setBrush(brushSolid_ ? QBrush(Qt::white) : QBrush(Qt::NoBrush));
    painter_.setBackgroundMode(Qt::TransparentMode);
}

QTransform QtCanvas::DeviceTransform() const {
    QTransform transform;
    transform.translate(deviceOffset_.x(), deviceOffset_.y());
    transform.scale(deviceScale_, deviceScale_);
    return transform;
}

void QtCanvas::TakeFreeImage() {
    if (image_.isDetached()) return; // nobody else holds it: painting on it copies nothing
    std::swap(image_, spare_);
    std::swap(ink_, spareInk_);
    std::swap(inkKnown_, spareInkKnown_);
    if (image_.isNull() || !image_.isDetached() || image_.size() != spare_.size() ||
        image_.devicePixelRatio() != spare_.devicePixelRatio()) {
        image_ = QImage(spare_.size(), spare_.format());
        image_.setDevicePixelRatio(spare_.devicePixelRatio());
        inkKnown_ = false;
    }
}

void QtCanvas::Ink(qint64 left, qint64 top, qint64 right, qint64 bottom) {
    if (device_ != nullptr || !inkKnown_) return;
    constexpr qint64 Margin = 2; // the pen's half width, scaled and rounded, and the text's edges
    const qint64 l = std::clamp<qint64>(std::min(left, right) - Margin, 0, width_);
    const qint64 r = std::clamp<qint64>(std::max(left, right) + Margin, 0, width_);
    const qint64 t = std::clamp<qint64>(std::min(top, bottom) - Margin, 0, height_);
    const qint64 b = std::clamp<qint64>(std::max(top, bottom) + Margin, 0, height_);
    if (r <= l || b <= t) return;
    ink_.emplace_back(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
                      static_cast<int>(b - t));
    // A picture of very many pieces is kept as the box around them.
    constexpr std::size_t MaxPieces = 4096;
    if (ink_.size() > MaxPieces) {
        QRect all;
        for (const QRect& piece : ink_)
            all = all.united(piece);
        ink_.assign(1, all);
    }
}

void QtCanvas::InkArc(double cx, double cy, double a, double b, double startDegrees, double spanDegrees) {
    if (device_ != nullptr || !inkKnown_) return;
    // A large arc crosses the picture in a thin band: its pieces, each a chord's box widened by the
    // arc's bulge over it.
    const double radius = std::max(a, b);
    const int pieces = static_cast<int>(std::clamp(std::ceil(spanDegrees / 360.0 * 64.0), 1.0, 64.0));
    const double step = spanDegrees / pieces * kPi / 180.0;
    const double bulge = radius * (1.0 - std::cos(step / 2.0)) + 1.0;
    auto point = [&](int i) {
        const double t = startDegrees * kPi / 180.0 + i * step;
        return QPointF(cx + a * std::cos(t), cy - b * std::sin(t));
    };
    QPointF from = point(0);
    for (int i = 1; i <= pieces; ++i) {
        const QPointF to = point(i);
        const auto far = [](double v) { return static_cast<qint64>(std::clamp(v, -1e9, 1e9)); };
        Ink(far(std::min(from.x(), to.x()) - bulge), far(std::min(from.y(), to.y()) - bulge),
            far(std::max(from.x(), to.x()) + bulge), far(std::max(from.y(), to.y()) + bulge));
        from = to;
    }
}

bool QtCanvas::KnownWhite(const QRect& box) const {
    if (device_ != nullptr || !inkKnown_) return false;
    return std::none_of(ink_.begin(), ink_.end(), [&](const QRect& piece) { return piece.intersects(box); });
}

void QtCanvas::Whiten() {
    if (!inkKnown_) {
        // The image's own fill is much quicker than a painter's on a large image.
        if (painter_.isActive())
            painter_.fillRect(QRect(0, 0, width_, height_), Qt::white);
        else
            image_.fill(Qt::white);
    } else if (!ink_.empty()) {
        QPainter& p = Painter();
        for (const QRect& piece : ink_)
            p.fillRect(piece, Qt::white);
    }
    ink_.clear();
    inkKnown_ = true;
}

void QtCanvas::Resize(int width, int height) {
    width = std::max(1, width);
    height = std::max(1, height);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    if (device_ != nullptr) {
        const QRect area = area_.isEmpty() ? QRect(0, 0, device_->width(), device_->height()) : area_;
        deviceScale_ = std::min(static_cast<double>(area.width()) / width_,
                                static_cast<double>(area.height()) / height_);
        // Centred in an area of its own; from the top-left corner on a whole device.
        deviceOffset_ = area_.isEmpty()
                            ? QPointF()
                            : QPointF(area.left() + (area.width() - deviceScale_ * width_) / 2.0,
                                      area.top() + (area.height() - deviceScale_ * height_) / 2.0);
        if (painter_.isActive()) painter_.setTransform(DeviceTransform());
        return;
    }
    End();
    image_ = WhiteImage(width_, height_, devicePixelRatio_);
    ink_.clear();
    inkKnown_ = true;
    spare_ = QImage();
    spareInk_.clear();
    spareInkKnown_ = false;
}

void QtCanvas::SetPenColour(std::uint32_t rgb) {
    rgb &= 0xFFFFFF;
    if (rgb == penColour_) return;
    penColour_ = rgb;
    pen_.setColor(Rgb(rgb));
    if (painter_.isActive()) painter_.setPen(pen_);
}

void QtCanvas::SetPenStyle(PenStyle style) {
    const Qt::PenStyle wanted = style == PenStyle::Dashed ? Qt::CustomDashLine : Qt::SolidLine;
    if (pen_.style() == wanted) return;
    if (style == PenStyle::Dashed)
        pen_.setDashPattern({5.0, 3.0});
    else
        pen_.setStyle(Qt::SolidLine);
    if (painter_.isActive()) painter_.setPen(pen_);
}

void QtCanvas::SetBrushStyle(BrushStyle style) {
    const bool solid = style == BrushStyle::Solid;
    if (solid == brushSolid_) return;
    brushSolid_ = solid;
    if (painter_.isActive()) painter_.setBrush(solid ? QBrush(Qt::white) : QBrush(Qt::NoBrush));
}

bool QtCanvas::OutsideDevice(qint64 left, qint64 top, qint64 right, qint64 bottom) const {
    return right < 0 || bottom < 0 || left > width_ || top > height_;
}

void QtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    const int left = std::min(x1, x2), right = std::max(x1, x2);
    const int top = std::min(y1, y2), bottom = std::max(y1, y2);
    if (right - left < 1 || bottom - top < 1) return;
    const bool wholePicture =
        device_ == nullptr && brushSolid_ && left <= 0 && top <= 0 && right >= width_ && bottom >= height_;
    if (wholePicture) {
        // A new picture need not copy the one the window still shows, nor fill what is white.
        if (!painter_.isActive()) TakeFreeImage();
        Whiten();
    }
    QPainter& p = Painter();
    // The fill covers the box without its right and bottom edges; the outline runs on its
    // outermost pixels inside that.
    const QRect fill(left, top, right - left, bottom - top);
    if (brushSolid_ && !wholePicture && !KnownWhite(fill)) p.fillRect(fill, Qt::white);
    // The fill is white, the background's colour, so only the outline can leave ink.
    Ink(left, top, right, top + 1);
    Ink(left, bottom - 1, right, bottom);
    Ink(left, top, left + 1, bottom);
    Ink(right - 1, top, right, bottom);
    if (pen_.style() == Qt::SolidLine && right - left >= 2 && bottom - top >= 2) {
        // Four runs with flat caps cover the pixels left .. right - 1 and top .. bottom - 1.
        const QLineF lines[4] = {QLineF(left, top + 0.5, right, top + 0.5),
                                 QLineF(left, bottom - 0.5, right, bottom - 0.5),
                                 QLineF(left + 0.5, top + 1, left + 0.5, bottom - 1),
                                 QLineF(right - 0.5, top + 1, right - 0.5, bottom - 1)};
        p.drawLines(lines, 4);
    } else {
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
        if (brushSolid_) p.setBrush(QBrush(Qt::white));
    }
}

void QtCanvas::MoveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
}

void QtCanvas::LineTo(int x, int y) {
    const int x0 = penX_, y0 = penY_;
    penX_ = x;
    penY_ = y;
    if (x0 == x && y0 == y) return;
    Ink(x0, y0, x, y);
    // With flat caps the run covers the start pixel and stops short of the end one. On a scaled
    // device the line runs through the pixel centres instead, so that it covers the scaled pixels.
    if (Scaled())
        Painter().drawLine(QPointF(x0 + 0.5, y0 + 0.5), QPointF(x + 0.5, y + 0.5));
    else
        Painter().drawLine(QPoint(x0, y0), QPoint(x, y));
}

void QtCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    const qint64 left = std::min(x1, x2), right = std::max(x1, x2);
    const qint64 top = std::min(y1, y2), bottom = std::max(y1, y2);
    if (right - left < 1 || bottom - top < 1 || OutsideDevice(left, top, right, bottom)) return;
    const double a = (right - left) / 2.0, b = (bottom - top) / 2.0;
    const double cx = left + a, cy = top + b;
    // A ray's direction becomes the ellipse's parametric angle, counter-clockwise as seen on the
    // picture (pixel rows grow downwards), in degrees.
    auto angle = [&](int x, int y) {
        const double dx = x - cx, dy = cy - y;
        if (dx == 0 && dy == 0) return 0.0;
        return std::atan2(dy / b, dx / a) * 180.0 / kPi;
    };
    const double start = angle(x3, y3);
    double span = angle(x4, y4) - start;
    while (span <= 0)
        span += 360.0;
    if (x3 == x4 && y3 == y4) span = 360.0;
    // The outline runs through the pixel centres of the box without its right and bottom edges.
    const QRectF box(left + 0.5, top + 0.5, right - left - 1.0, bottom - top - 1.0);
    InkArc(cx, cy, a, b, start, span);
    Painter().drawArc(box, static_cast<int>(std::lround(start * 16.0)),
                      static_cast<int>(std::lround(span * 16.0)));
}

void QtCanvas::SetPixel(int x, int y, std::uint32_t rgb) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Ink(x, y, x + 1, y + 1);
    Painter().fillRect(QRect(x, y, 1, 1), Rgb(rgb));
}

void QtCanvas::TextOut(int x, int y, const std::string& text) {
    if (text.empty()) return;
    const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QRect bounds = metrics_.boundingRect(shown);
    Ink(static_cast<qint64>(x) + std::min(0, bounds.left()), y,
        static_cast<qint64>(x) + std::max(bounds.right() + 1, metrics_.horizontalAdvance(shown)),
        static_cast<qint64>(y) + metrics_.height());
    Painter().drawText(QPoint(x, y + metrics_.ascent()), shown);
}

int QtCanvas::TextWidth(const std::string& text) const {
    return metrics_.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

int QtCanvas::TextHeight(const std::string& /*text*/) const {
    return metrics_.height();
}

int QtCanvas::FontHeight() const {
    return -font_.pixelSize();
}

int QtCanvas::PixelsPerInchX() const {
    return device_ != nullptr ? device_->logicalDpiX() : image_.logicalDpiX();
}

int QtCanvas::PixelsPerInchY() const {
    return device_ != nullptr ? device_->logicalDpiY() : image_.logicalDpiY();
}

} // namespace linkwright
