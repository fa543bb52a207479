// Pictures are drawn into memory, so that a file gets them whole.
#include "ui/PictureFiles.h"

#include "ui/QtCanvas.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>

#include <stdexcept>

namespace linkwright {

QByteArray SvgBytes(int width, int height, const QString& title, const PictureDrawing& draw) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(width, height));
        generator.setViewBox(QRect(0, 0, width, height));
        generator.setTitle(title);
        QtCanvas canvas(generator);
        draw(canvas);
        canvas.End();
    }
    return buffer.data();
}

QByteArray PdfBytes(int width, int height, const PictureDrawing& draw) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QtCanvas canvas(writer);
        draw(canvas);
        canvas.End();
    }
    return buffer.data();
}

QByteArray PngBytes(QtCanvas& canvas) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!canvas.Image().save(&buffer, "PNG")) throw std::runtime_error("Cannot make the PNG picture");
    return buffer.data();
}

} // namespace linkwright
