// Pictures as the bytes of SVG, PDF and PNG files, drawn through the same canvas as the screen.
// The command line and the desktop program's export write the same files from them.
#pragma once

#include <QByteArray>

#include <functional>

class QString;

namespace linkwright {

class QtCanvas;

// A picture drawn by `draw` on a canvas over an SVG or PDF device of width x height, as the
// file's bytes.
using PictureDrawing = std::function<void(QtCanvas& canvas)>;
QByteArray SvgBytes(int width, int height, const QString& title, const PictureDrawing& draw);
QByteArray PdfBytes(int width, int height, const PictureDrawing& draw);
// A canvas's bitmap as PNG.
QByteArray PngBytes(QtCanvas& canvas);

} // namespace linkwright
