// Printing window images scaled to the page, and copying pictures to the clipboard.
#include "ui/Printing.h"

#include "ui/QtCanvas.h"

#include <QApplication>
#include <QClipboard>
#include <QPageLayout>
#include <QPainter>
#include <QPicture>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>
#include <algorithm>
#include <stdexcept>

namespace linkwright {

QImage ClientImage(QWidget& window) {
    return window.grab().toImage();
}

void PrintImage(QPrinter& printer, const QImage& image) {
    if (image.isNull()) throw std::runtime_error("There is no picture to print.");
    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString target =
            printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        throw std::runtime_error(("The printer could not be started: " + target).toStdString());
    }
    const QRect page = painter.viewport();
    // The image's own pixel ratio says how large it looks on screen; the page gets the same shape.
    const QSizeF shown = image.deviceIndependentSize();
    QSizeF target = shown.scaled(QSizeF(page.size()), Qt::KeepAspectRatio);
    const QRectF where((page.width() - target.width()) / 2.0, (page.height() - target.height()) / 2.0,
                       target.width(), target.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(where, image);
    if (!painter.end()) throw std::runtime_error("The printout could not be finished.");
}

namespace {

// The heading's font height (10 points) in the printer's pixels, and the band it takes.
int HeadingPixels(const QPrinter& printer) {
    return std::max(1, printer.resolution() * 10 / 72);
}

QRect HeadingBand(const QPrinter& printer, const QRect& page) {
    return {page.left(), page.top(), page.width(), HeadingPixels(printer) * 3 / 2};
}

// Below the heading, with a gap of half a line.
QRect BelowHeading(const QPrinter& printer, const QRect& page) {
    const int top = HeadingBand(printer, page).bottom() + 1 + HeadingPixels(printer) / 2;
    return {page.left(), top, page.width(), std::max(1, page.bottom() + 1 - top)};
}

[[noreturn]] void CannotStart(const QPrinter& printer) {
    const QString target =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    throw std::runtime_error(("The printer could not be started: " + target).toStdString());
}

void CheckFinished(const QPrinter& printer) {
    if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
        throw std::runtime_error("The printout could not be finished.");
}

} // namespace

void PrintDrawing(QPrinter& printer, int width, int height, const QString& heading,
                  const std::function<void(QtCanvas& canvas)>& draw) {
    printer.setPageOrientation(width > height ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QRect page(0, 0, printer.width(), printer.height());
    QtCanvas canvas(printer, BelowHeading(printer, page));
    canvas.DeviceText(HeadingBand(printer, page), heading, HeadingPixels(printer));
    if (!canvas.Painting()) CannotStart(printer);
    canvas.Resize(width, height);
    draw(canvas);
    canvas.End();
    CheckFinished(printer);
}

void PrintWidgets(QPrinter& printer, const QString& heading, const std::vector<QWidget*>& pages) {
    QSize largest(1, 1);
    for (QWidget* widget : pages) {
        widget->ensurePolished();
        const QSize size = widget->size().expandedTo(widget->sizeHint());
        if (widget->size() != size) widget->resize(size);
        largest = largest.expandedTo(size);
    }
    printer.setPageOrientation(largest.width() > largest.height() ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer)) CannotStart(printer);
    const QRect page = painter.viewport();
    QFont font = painter.font();
    font.setPixelSize(HeadingPixels(printer));
    const QRect body = BelowHeading(printer, page);
    // As large as on the screen, but at most the page.
    const double scale =
        std::min({printer.resolution() / 96.0, static_cast<double>(body.width()) / largest.width(),
                  static_cast<double>(body.height()) / largest.height()});
    bool first = true;
    for (QWidget* widget : pages) {
        if (!first && !printer.newPage()) throw std::runtime_error("The printout could not be finished.");
        first = false;
        painter.setFont(font);
        painter.drawText(HeadingBand(printer, page), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         heading);
        // Qt renders a widget straight onto a printer as a bitmap; recorded first, it keeps its
        // text and lines.
        QPicture recorded;
        QPainter recorder(&recorded);
        widget->render(&recorder, QPoint(), QRegion(), QWidget::DrawChildren);
        recorder.end();
        painter.save();
        painter.translate(body.topLeft());
        painter.scale(scale, scale);
        painter.drawPicture(QPoint(), recorded);
        painter.restore();
    }
    if (!painter.end()) throw std::runtime_error("The printout could not be finished.");
    CheckFinished(printer);
}

void PrintClientImage(QPrinter& printer, QWidget& window) {
    PrintImage(printer, ClientImage(window));
}

void CopyImageToClipboard(const QImage& image) {
    QClipboard* clipboard = QApplication::clipboard();
    if (clipboard == nullptr) throw std::runtime_error("The clipboard is not available.");
    clipboard->setImage(image);
}

} // namespace linkwright
