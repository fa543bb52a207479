// Window placement on the available area of the screen a window is on.
#include "ui/ScreenFit.h"

#include "app/Simulation.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace linkwright {

namespace {

WindowRect Rect(const QRect& r) {
    return {r.left(), r.top(), r.width(), r.height()};
}

const QScreen* ScreenOf(const QWidget& window) {
    return window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
}

// Gives the window the frame `frame` (its client being the frame less `extra`), keeping at least
// the window's minimum size.
void SetFrame(QWidget& window, const WindowRect& frame, QSize extra) {
    const QSize client(std::max(frame.width - extra.width(), window.minimumWidth()),
                       std::max(frame.height - extra.height(), window.minimumHeight()));
    if (window.size() != client) window.resize(client);
    window.move(frame.left, frame.top);
}

} // namespace

QSize ShownFrameExtra(const QWidget& window) {
    if (!window.isVisible()) return {0, 0};
    const QSize extra = window.frameGeometry().size() - window.geometry().size();
    return {std::max(0, extra.width()), std::max(0, extra.height())};
}

QSize FrameExtraOf(const QWidget& window) {
    const QSize own = ShownFrameExtra(window);
    if (!own.isEmpty()) return own;
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        const QSize extra = ShownFrameExtra(*other);
        if (!extra.isEmpty()) return extra;
    }
    return {0, 0};
}

void FitOnScreen(QWidget& window) {
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr) return;
    const QSize extra = FrameExtraOf(window);
    const WindowRect frame{window.x(), window.y(), window.width() + extra.width(),
                           window.height() + extra.height()};
    const WindowRect fitted = FitWindowInto(frame, Rect(screen->availableGeometry()));
    if (fitted.left != frame.left || fitted.top != frame.top || fitted.width != frame.width ||
        fitted.height != frame.height)
        SetFrame(window, fitted, extra);
}

void PlaceBesideOwner(QWidget& window, const QWidget& owner) {
    const QScreen* screen = ScreenOf(owner);
    if (screen == nullptr) return;
    const QSize extra = FrameExtraOf(window);
    const QSize size = window.size().expandedTo(window.sizeHint()) + extra;
    SetFrame(window,
             PlaceBeside(Rect(owner.frameGeometry()), size.width(), size.height(),
                         Rect(screen->availableGeometry())),
             extra);
}

bool ScreenKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        static const char* const Fitted = "linkwrightFittedOnScreen";
        if (window->isWindow() && !window->property(Fitted).toBool()) {
            window->setProperty(Fitted, true);
            FitOnScreen(*window);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace linkwright
