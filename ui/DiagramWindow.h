// What the indicator and oval windows share: a picture drawn from the simulation's stored results,
// redrawn on every resize and click, printed, copied, and announced to the main window when it is
// shown and when it is closed (so the main window enables and disables its print items).
#pragma once

#include "app/Simulation.h"
#include "ui/QtCanvas.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPrinter;

namespace linkwright {

class Dialogs;

class DiagramWindow : public QWidget {
    Q_OBJECT
public:
    using DiagramPlot = Simulation::DiagramPlot;

    // Shows the window and draws `plot` (what RunAnalysis and FamilySweep ask for).
    void ShowDiagram(DiagramPlot plot);
    // FormResize: draws what the window shows in the simulation's current mode.
    void Redraw();
    // Asks for confirmation through the print dialog; when confirmed, redraws and prints the
    // window's client image. True when it printed.
    bool PrintDiagram(Dialogs& dialogs, QPrinter& printer);
    // The picture of Image1 onto the clipboard.
    void CopyToClipboard1Click();
    // Closed by the main window (kind change, new gear setting, editor, Open ...).
    void CloseDiagram() { close(); }

    // The last picture drawn (null before the first one) and what it shows.
    QImage Picture() const { return picture_; }
    DiagramPlot ShownPlot() const { return shown_; }

signals:
    void Shown();
    void Closed();

protected:
    DiagramWindow(Simulation& simulation, const QString& formName, const QString& caption, QWidget* parent);
    // The plot a resize or click draws in the simulation's current mode.
    virtual DiagramPlot CurrentPlot() const = 0;

    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Draw(DiagramPlot plot);

    Simulation& simulation_;
    std::unique_ptr<QtCanvas> canvas_;
    Glib1 plot_;
    QLabel* Image1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* CopyToClipboard1 = nullptr;
    QImage picture_;
    DiagramPlot shown_;
    bool announcedShown_ = false;
};

} // namespace linkwright
