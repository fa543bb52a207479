// The diagram windows' shared behaviour: every redraw reads the simulation's stored arrays, so a
// resize or click never recomputes anything.
#include "ui/DiagramWindow.h"

#include "ui/ErrorGuard.h"
#include "ui/Printing.h"
#include "windows/Dialogs.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDate>
#include <QHideEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPrinter>
#include <QShowEvent>

#include <algorithm>
#include <stdexcept>

namespace linkwright {

DiagramWindow::DiagramWindow(Simulation& simulation, const QString& formName, const QString& caption,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), simulation_(simulation), shown_(DiagramPlot::Indicator) {
    setObjectName(formName);
    setWindowTitle(caption);
    setAttribute(Qt::WA_QuitOnClose, false);
    setAutoFillBackground(true);
    canvas_ = std::make_unique<QtCanvas>();
    plot_.AttachCanvas(*canvas_);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->move(0, 0);
    // Clicks go through the picture to the window, which redraws on a click.
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    CopyToClipboard1 =
        PopupMenu1->addAction(QStringLiteral("CopyToClipboard"), this, &DiagramWindow::CopyToClipboard1Click);
    CopyToClipboard1->setObjectName(QStringLiteral("CopyToClipboard1"));
    resize(560, 400);
}

void DiagramWindow::ShowDiagram(DiagramPlot plot) {
    if (!simulation_.DiagramDrawable(plot)) return;
    setWindowTitle(QString::fromUtf8(Simulation::DiagramCaption(plot)));
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    Draw(plot);
}

void DiagramWindow::Redraw() {
    if (!isVisible()) return;
    const DiagramPlot plot = CurrentPlot();
    if (!simulation_.DiagramDrawable(plot)) return;
    setWindowTitle(QString::fromUtf8(Simulation::DiagramCaption(plot)));
    Draw(plot);
}

void DiagramWindow::Draw(DiagramPlot plot) {
    const int width = std::max(1, this->width() - 3);
    const int height = std::max(1, this->height() - 3);
    const double ratio = devicePixelRatioF();
    if (canvas_->DevicePixelRatio() != ratio) {
        // A screen with another pixel ratio needs a canvas of its own, so the picture stays sharp.
        canvas_ = std::make_unique<QtCanvas>(width, height, ratio);
        plot_.AttachCanvas(*canvas_);
    }
    if (!simulation_.DrawDiagram(plot, plot_, width, height)) return;
    shown_ = plot;
    picture_ = canvas_->Image().copy();
    Image1->setPixmap(QPixmap::fromImage(picture_));
    Image1->resize(width, height);
}

bool DiagramWindow::PrintDiagram(Dialogs& dialogs, QPrinter& printer) {
    bool printed = false;
    RunGuarded(dialogs, [&] {
        if (!dialogs.ConfirmPrint()) return;
        const DiagramPlot plot = CurrentPlot();
        if (!simulation_.DiagramDrawable(plot)) throw std::runtime_error("There is no diagram to print.");
        Draw(plot);
        const int width = std::max(1, this->width() - 3);
        const int height = std::max(1, this->height() - 3);
        const QString heading = QString::fromStdString(simulation_.PrintHeading(
            Simulation::DiagramCaption(plot), QDate::currentDate().toString(Qt::ISODate).toStdString()));
        PrintDrawing(printer, width, height, heading, [&](QtCanvas& canvas) {
            Glib1 plotOnPaper(canvas);
            simulation_.DrawDiagram(plot, plotOnPaper, width, height);
        });
        printed = true;
    });
    return printed;
}

void DiagramWindow::CopyToClipboard1Click() {
    if (!picture_.isNull()) CopyImageToClipboard(picture_);
}

void DiagramWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Redraw();
}

void DiagramWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Redraw();
    QWidget::mouseReleaseEvent(event);
}

void DiagramWindow::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->popup(event->globalPos());
}

void DiagramWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!announcedShown_) {
        announcedShown_ = true;
        emit Shown();
    }
}

void DiagramWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // A minimised window is still open; only a real close or hide takes its print item away.
    if (event->spontaneous() || isVisible()) return;
    if (announcedShown_) {
        announcedShown_ = false;
        emit Closed();
    }
}

} // namespace linkwright
