// The main window: the gear picture, the kind list, the control panel with the scroll bars, zoom, pan
// and annotate buttons, the menus and the pop-up menu. Every handler forwards to the Simulation
// method of the same name and then shows what it produced.
#pragma once

#include "gears/EditorFields.h"

#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

class QAction;
class QActionGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPrinter;
class QPushButton;
class QScrollBar;

namespace linkwright {

class Dialogs;
class QtCanvas;
class CompareWindow;
class Simulation;
class TAboutBox;
class TMessages;
class TfrmIndic;
class TfrmInfo;
class TfrmOval;
class TuneDialog;

// Image1: shows the picture handed to it at its own size; the measuring marks are drawn on that
// shown copy, and the cut-off caption is written over it until the next picture arrives.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // The picture of a finished drawing; the widget sizes itself to it and drops the caption.
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    // A silver line and a text (top-left corner at the end of the line) on the shown picture.
    void DrawMeasureMarks(bool line, int fromX, int fromY, int toX, int toY, const std::string& text);
    // Text written over the picture at the caption position until the next SetPicture.
    void SetSurfaceText(const QString& text);
    const QString& SurfaceText() const { return surfaceText_; }

signals:
    void mouseDown(int x, int y);
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    QString surfaceText_;
};

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // The main window over the simulation; creates the other windows in the program's start-up
    // order (about box, indicator window, oval window, messages window shown, information window).
    // The print dialog of `dialogs` sets up `printer`, on which every print command prints.
    TfrmMain(Simulation& simulation, Dialogs& dialogs, QPrinter& printer, QWidget* parent = nullptr);
    ~TfrmMain() override;

    Simulation& Sim() { return sim_; }
    TfrmIndic* IndicatorWindow() const { return frmIndic_.get(); }
    TfrmOval* OvalWindow() const { return frmOval_.get(); }
    TMessages* MessagesWindow() const { return Messages_.get(); }
    TfrmInfo* InfoWindow() const { return frmInfo_.get(); }
    TAboutBox* AboutBox() const { return AboutBox_.get(); }
    // The windows of View > Tune and File > Compare with, once opened (nullptr before).
    TuneDialog* TuneWindow() const { return tuneDialog_.get(); }
    CompareWindow* ComparisonWindow() const { return compareWindow_.get(); }
    PictureBox* Picture() const { return Image1; }
    bool MovieRunning() const { return movieRunning_; }

    // The window layout of the first activation for a screen of the given size (its top-left
    // corner at the origin): the main, indicator and oval windows.
    void ApplyFirstActivationLayout(int screenWidth, int screenHeight);
    // Opens a data file named on the command line (Simulation::OpenNamedFile) and shows it.
    void OpenNamedFile(const QString& path);
    // What File > Export writes: the main picture, the picture of an open diagram window, or the
    // solved revolution's or family's table.
    enum class ExportItem : std::uint8_t { Picture, IndicatorWindow, OvalWindow, Steps, FamilyEvents };
    // Writes `what` to `path` whole: a picture as SVG, PDF or PNG by the extension, drawn at width x
    // height through the canvas the screen uses; a table as CSV. The same files as linkwright-cli's
    // render, analyse and family. Throws std::runtime_error (or std::system_error) when there is
    // nothing of the kind to write or the file cannot be written.
    void ExportTo(ExportItem what, const std::string& path, int width, int height);

public slots:
    // File
    void ValveGear2Click();
    void ComboBox1Change();
    void Open1Click();
    void Save1Click();
    void Export1Click();
    void Compare1Click();
    void Main1Click();

    void Indicator1Click();
    void Oval1Click();
    void Exit2Click();
    // View
    void Movie1Click();
    void IndicatorDiagClick();
    void Edit1Click();
    void Message();
    void Family1Click();
    void Tune1Click();
    // Measure
    void Distance1Click();
    void dXdY1Click();
    void XY1Click();
    void Off1Click();
    void Help2Click();
    // Help
    void Hints1Click();
    void About1Click();
    // Pop-up
    void CopyToClipboard1Click();
    // Panel
    void ScrollCrankChange();
    void ScrollGearChange();
    void EdGearExit();
    void fwdClick();
    void AnnotClick();
    void PanLClick();
    void PanRClick();
    void PanUClick();
    void PanDClick();
    void ZoomInClick();
    void ZoomOutClick();
    // Window
    void FormClick();
    void FormDblClick();
    void FormKeyPress();
    void FormResize();
    void FormActivate();
    void Image1MouseDown(int x, int y);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // While an animation runs the File and View menus, About and their shortcuts are off.
    void LockMenusForMovie(bool locked);
    void BuildMenus();
    void BuildPanel();
    void CreateWindows();
    void ConnectSimulation();
    // Shows what the last Redraw produced: caption, panel texts, the check box and the picture.
    void ShowRedraw();
    void ShowPicture();
    void UpdateCanvasRatio();
    void LayoutClient();
    void CloseDiagramWindows();
    // Runs one command; an error it raises is reported and the program goes on.
    template <typename Command> void Guard(Command&& command);

    Simulation& sim_;
    Dialogs& dialogs_;
    QPrinter& printer_;
    std::unique_ptr<QtCanvas> canvas_;

    QWidget* client_ = nullptr;
    PictureBox* Image1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QFrame* Panel1 = nullptr;
    QScrollBar* ScrollCrank = nullptr;
    QLineEdit* EdCrankAngle = nullptr;
    QScrollBar* ScrollGear = nullptr;
    QLineEdit* EdGear = nullptr;
    QCheckBox* fwd = nullptr;
    QPushButton* ZoomIn = nullptr;
    QPushButton* ZoomOut = nullptr;
    QPushButton* PanL = nullptr;
    QPushButton* PanD = nullptr;
    QPushButton* PanR = nullptr;
    QPushButton* PanU = nullptr;
    QPushButton* Annot = nullptr;

    QMenu* File1 = nullptr;
    QMenu* View1 = nullptr;
    QMenu* Measure1 = nullptr;
    QMenu* Help1 = nullptr;
    QMenu* Print1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Indicator1 = nullptr;
    QAction* Oval1 = nullptr;
    QAction* About1 = nullptr;
    QAction* Off1 = nullptr;

    std::unique_ptr<TAboutBox> AboutBox_;
    std::unique_ptr<TfrmIndic> frmIndic_;
    std::unique_ptr<TfrmOval> frmOval_;
    std::unique_ptr<TMessages> Messages_;
    std::unique_ptr<TfrmInfo> frmInfo_;
    std::unique_ptr<TuneDialog> tuneDialog_;
    std::unique_ptr<CompareWindow> compareWindow_;
    // The page each editor form was left on, so that it opens there again during this run.
    EditorPages editorPages_;

    bool movieRunning_ = false;
    bool shown_ = false;
    // The activation that follows the closing of an error box must not try again at once, or the
    // box and the activation would chase each other.
    bool ignoreNextActivation_ = false;
    bool activating_ = false;
};

} // namespace linkwright
