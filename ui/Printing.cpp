// Printing window images scaled to the page, and copying pictures to the clipboard.
#include "ui/Printing.h"

#include <QApplication>
#include <QClipboard>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>
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

void PrintClientImage(QPrinter& printer, QWidget& window) {
    PrintImage(printer, ClientImage(window));
}

void CopyImageToClipboard(const QImage& image) {
    QClipboard* clipboard = QApplication::clipboard();
    if (clipboard == nullptr) throw std::runtime_error("The clipboard is not available.");
    clipboard->setImage(image);
}

} // namespace linkwright
