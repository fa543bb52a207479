// Printing a window's client image on the printer the print dialog chose, and putting pictures on
// the clipboard. Shared by the main window, the diagram windows and the editors.
#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

class QPrinter;
class QWidget;

namespace linkwright {

// The client area of a window as it is shown now (children included), at the screen's pixel ratio.
QImage ClientImage(QWidget& window);

// Prints the image on one page, scaled to fill the page's printable area with its aspect ratio kept
// and centred. Throws std::runtime_error when the printer cannot be started, so that a failed print
// is never taken for a finished one.
void PrintImage(QPrinter& printer, const QImage& image);

// ClientImage, then PrintImage.
void PrintClientImage(QPrinter& printer, QWidget& window);

class QtCanvas;

// Prints a drawing of width x height pixels on one page, turned to suit the picture's shape: the
// heading line at the top, then the picture drawn by `draw` through a canvas on the printer itself
// (vectors at the printer's resolution, not a screen grab), fitted to the rest of the page and
// centred. Throws std::runtime_error when the printer cannot be started or the job fails.
void PrintDrawing(QPrinter& printer, int width, int height, const QString& heading,
                  const std::function<void(QtCanvas& canvas)>& draw);

// Prints the widgets one after another, one page each under the heading line, each rendered whole
// (also what is scrolled out of sight or on a page not shown) and fitted to the page.
void PrintWidgets(QPrinter& printer, const QString& heading, const std::vector<QWidget*>& pages);

// Places the image on the clipboard as a bitmap.
void CopyImageToClipboard(const QImage& image);

} // namespace linkwright
