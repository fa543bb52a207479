// Printing a window's client image on the printer the print dialog chose, and putting pictures on
// the clipboard. Shared by the main window, the diagram windows and the editors.
#pragma once

#include <QImage>

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

// Places the image on the clipboard as a bitmap.
void CopyImageToClipboard(const QImage& image);

} // namespace linkwright
