// Keeps top-level windows wholly on the screen's available area, whatever its size and scale.
#pragma once

#include <QObject>
#include <QSize>

class QWidget;

namespace linkwright {

// What the window manager adds around a shown window's client (nothing for a hidden one).
QSize ShownFrameExtra(const QWidget& window);

// What the window manager adds around a window's client: the window's own when it is shown with a
// frame, else that of another shown top-level window, else nothing.
QSize FrameExtraOf(const QWidget& window);

// Moves, and if need be shrinks, the window so that its frame lies within the available area of
// its screen.
void FitOnScreen(QWidget& window);

// Places a window about to open beside `owner` (see PlaceBeside) on the owner's screen.
void PlaceBesideOwner(QWidget& window, const QWidget& owner);

// Installed on the application, fits every top-level window onto its screen when it is first shown:
// the program's windows, its dialogs and its message boxes alike.
class ScreenKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace linkwright
