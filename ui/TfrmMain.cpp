// The main window: its controls, menus and handlers. The handlers are thin: each calls the
// Simulation method of the same name, then shows the caption, texts and picture it produced.
#include "ui/TfrmMain.h"

#include "analysis/Indicplt.h"
#include "app/ResultTables.h"
#include "app/Simulation.h"
#include "common/ReplacementFile.h"
#include "gears/GearKinds.h"
#include "tuning/GearDesign.h"
#include "ui/CompareWindow.h"
#include "ui/DiagramWindow.h"
#include "ui/EditorForm.h"
#include "ui/ErrorGuard.h"
#include "ui/PictureFiles.h"
#include "ui/Printing.h"
#include "ui/QtCanvas.h"
#include "ui/ScreenFit.h"
#include "ui/TAboutBox.h"
#include "ui/TMessages.h"
#include "ui/TfrmIndic.h"
#include "ui/TfrmInfo.h"
#include "ui/TfrmOval.h"
#include "ui/TuneDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDate>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include <cctype>
#include <filesystem>
#include <optional>
#include <string_view>

namespace linkwright {

namespace {

// The font of the texts written on the picture: the one the drawings use.
QFont PictureTextFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// Places a top-level window by its outer frame, as the layout of the first activation gives it.
void PlaceWindow(QWidget& window, const WindowRect& rect, QSize frameExtra) {
    window.move(rect.left, rect.top);
    window.resize(std::max(1, rect.width - frameExtra.width()),
                  std::max(1, rect.height - frameExtra.height()));
}

} // namespace

// ---- PictureBox ----------------------------------------------------------------------------------

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void PictureBox::SetPicture(const QImage& picture) {
    picture_ = picture;
    surfaceText_.clear();
    const QSize size = picture_.isNull() ? QSize(1, 1) : picture_.deviceIndependentSize().toSize();
    if (this->size() != size) resize(size);
    update();
}

void PictureBox::DrawMeasureMarks(bool line, int fromX, int fromY, int toX, int toY,
                                  const std::string& text) {
    if (picture_.isNull()) return;
    QPainter painter(&picture_);
    if (line) {
        painter.setPen(QPen(QColor(192, 192, 192), 1.0));
        painter.drawLine(QPointF(fromX + 0.5, fromY + 0.5), QPointF(toX + 0.5, toY + 0.5));
    }
    if (!text.empty()) {
        painter.setFont(PictureTextFont());
        painter.setPen(Qt::black);
        painter.drawText(QRect(toX, toY, 10000, 10000), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromStdString(text));
    }
    painter.end();
    update();
}

void PictureBox::SetSurfaceText(const QString& text) {
    surfaceText_ = text;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!picture_.isNull()) painter.drawImage(QPointF(0, 0), picture_);
    if (!surfaceText_.isEmpty()) {
        painter.setFont(PictureTextFont());
        painter.setPen(Qt::black);
        painter.drawText(QRect(CutoffCaptionX, CutoffCaptionY, 10000, 10000),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, surfaceText_);
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit mouseDown(at.x(), at.y());
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (rect().contains(event->position().toPoint())) emit clicked();
    event->accept();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    emit doubleClicked();
    event->accept();
}

// ---- TfrmMain: construction ----------------------------------------------------------------------

TfrmMain::TfrmMain(Simulation& simulation, Dialogs& dialogs, QPrinter& printer, QWidget* parent)
    : QMainWindow(parent), sim_(simulation), dialogs_(dialogs), printer_(printer) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Linkwright"));
    setWindowIcon(QIcon(ProgramIconPixmap(64)));
    // Every window of the program opens wholly on the screen.
    QApplication::instance()->installEventFilter(new ScreenKeeper(this));

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    client_->installEventFilter(this);
    setCentralWidget(client_);

    Image1 = new PictureBox(client_);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->move(0, 0);
    connect(Image1, &PictureBox::mouseDown, this, &TfrmMain::Image1MouseDown);
    connect(Image1, &PictureBox::clicked, this, &TfrmMain::FormClick);
    connect(Image1, &PictureBox::doubleClicked, this, &TfrmMain::FormDblClick);

    ListBox1 = new QListWidget(client_);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->hide();
    connect(ListBox1, &QListWidget::itemClicked, this, [this] { ComboBox1Change(); });
    connect(ListBox1, &QListWidget::itemActivated, this, [this] { ComboBox1Change(); });

    BuildPanel();
    BuildMenus();

    canvas_ = std::make_unique<QtCanvas>(1, 1, devicePixelRatioF());
    sim_.Plot.AttachCanvas(*canvas_);

    CreateWindows();
    ConnectSimulation();
    qApp->installEventFilter(this);
    resize(640, 480);
}

TfrmMain::~TfrmMain() {
    qApp->removeEventFilter(this);
    sim_.CloseDiagramWindows = nullptr;
    sim_.SetBusyCursor = nullptr;
    sim_.ShowDiagram = nullptr;
    sim_.ShowCutoffCaption = nullptr;
    // The plot library must not keep the picture's canvas, which is about to go.
    sim_.Plot.DetachCanvas();
}

void TfrmMain::BuildPanel() {
    Panel1 = new QFrame(client_);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setAutoFillBackground(true);

    auto label = [this](const char* name, const char* caption) {
        auto* l = new QLabel(QString::fromUtf8(caption), Panel1);
        l->setObjectName(QString::fromUtf8(name));
        return l;
    };
    auto button = [this](QPushButton*& target, const char* name, const char* caption,
                         void (TfrmMain::*handler)()) {
        target = new QPushButton(QString::fromUtf8(caption), Panel1);
        target->setObjectName(QString::fromUtf8(name));
        target->setFixedSize(28, 24);
        target->setFocusPolicy(Qt::TabFocus);
        connect(target, &QPushButton::clicked, this, handler);
    };

    ScrollCrank = new QScrollBar(Qt::Horizontal, Panel1);
    ScrollCrank->setObjectName(QStringLiteral("ScrollCrank"));
    ScrollCrank->setRange(0, 360);
    ScrollCrank->setSingleStep(1);
    ScrollCrank->setPageStep(15);
    ScrollCrank->setValue(0);
    ScrollCrank->setMinimumWidth(100);
    connect(ScrollCrank, &QScrollBar::valueChanged, this, &TfrmMain::ScrollCrankChange);

    EdCrankAngle = new QLineEdit(Panel1);
    EdCrankAngle->setObjectName(QStringLiteral("EdCrankAngle"));
    EdCrankAngle->setReadOnly(true);
    EdCrankAngle->setFixedWidth(52);
    EdCrankAngle->setAlignment(Qt::AlignRight);

    ScrollGear = new QScrollBar(Qt::Horizontal, Panel1);
    ScrollGear->setObjectName(QStringLiteral("ScrollGear"));
    ScrollGear->setRange(-100, 100);
    ScrollGear->setSingleStep(1);
    ScrollGear->setPageStep(10);
    ScrollGear->setValue(100);
    ScrollGear->setMinimumWidth(100);
    connect(ScrollGear, &QScrollBar::valueChanged, this, &TfrmMain::ScrollGearChange);

    EdGear = new QLineEdit(Panel1);
    EdGear->setObjectName(QStringLiteral("EdGear"));
    EdGear->setFixedWidth(52);
    EdGear->setAlignment(Qt::AlignRight);
    EdGear->installEventFilter(this);
    connect(EdGear, &QLineEdit::returnPressed, this, &TfrmMain::EdGearExit);

    fwd = new QCheckBox(QStringLiteral("Forward"), Panel1);
    fwd->setObjectName(QStringLiteral("fwd"));
    fwd->setToolTip(
        QStringLiteral("Set the direction of rotation. Important for correct Indicator Diagram!"));
    fwd->setChecked(true);
    connect(fwd, &QCheckBox::toggled, this, &TfrmMain::fwdClick);

    button(ZoomIn, "ZoomIn", "+", &TfrmMain::ZoomInClick);
    button(ZoomOut, "ZoomOut", "-", &TfrmMain::ZoomOutClick);
    button(PanL, "PanL", "<", &TfrmMain::PanLClick);
    button(PanD, "PanD", "v", &TfrmMain::PanDClick);
    button(PanR, "PanR", ">", &TfrmMain::PanRClick);
    button(PanU, "PanU", "^", &TfrmMain::PanUClick);
    button(Annot, "Annot", "A", &TfrmMain::AnnotClick);

    // What each control does, for a user who has not read the help yet.
    const std::pair<QWidget*, const char*> hints[] = {
        {ScrollCrank, "Turn the crank: crank angle in degrees, 0 to 360"},
        {EdCrankAngle, "The crank angle the picture shows, in degrees"},
        {ScrollGear, "Gear setting (reverser): -1 full backward, 0 mid gear, +1 full forward"},
        {EdGear, "Type a gear setting from -1 (full backward) to +1 (full forward) and press Enter"},
        {ZoomIn, "Zoom in: the picture a tenth larger"},
        {ZoomOut, "Zoom out: the picture a tenth smaller"},
        {PanL, "Move the picture left"},
        {PanD, "Move the picture down"},
        {PanR, "Move the picture right"},
        {PanU, "Move the picture up"},
        {Annot, "Annotate: label the pins with their letters until the crank or gear is moved"}};
    for (const auto& [control, hint] : hints)
        control->setToolTip(QString::fromUtf8(hint));

    auto* grid = new QGridLayout(Panel1);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    grid->addWidget(label("Label1", "Crank Angle"), 0, 0);
    grid->addWidget(ScrollCrank, 0, 1);
    grid->addWidget(EdCrankAngle, 0, 2);
    grid->addWidget(label("Label2", "Expansion Gear"), 1, 0);
    grid->addWidget(ScrollGear, 1, 1);
    grid->addWidget(EdGear, 1, 2);
    grid->addWidget(fwd, 1, 3);
    grid->addWidget(label("Label3", "Zoom"), 0, 4, Qt::AlignRight);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->setSpacing(2);
    zoomRow->addWidget(ZoomIn);
    zoomRow->addWidget(ZoomOut);
    zoomRow->addStretch(1);
    grid->addLayout(zoomRow, 0, 5);
    grid->addWidget(label("Label4", "Pan"), 1, 4, Qt::AlignRight);
    auto* panRow = new QHBoxLayout;
    panRow->setSpacing(2);
    panRow->addWidget(PanL);
    panRow->addWidget(PanD);
    panRow->addWidget(PanR);
    panRow->addWidget(PanU);
    grid->addLayout(panRow, 1, 5);
    grid->addWidget(label("Label5", "Annotate"), 0, 6, Qt::AlignHCenter);
    grid->addWidget(Annot, 1, 6, Qt::AlignHCenter);
    grid->setColumnStretch(1, 1);
    Panel1->setFixedHeight(Panel1->sizeHint().height());
}

void TfrmMain::BuildMenus() {
    auto action = [this](QMenu* menu, const char* name, const char* caption, void (TfrmMain::*handler)()) {
        QAction* a = menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromUtf8(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    File1->menuAction()->setObjectName(QStringLiteral("File1Item"));
    action(File1, "ValveGear2", "&ValveGear...", &TfrmMain::ValveGear2Click);
    action(File1, "Open1", "&Open...", &TfrmMain::Open1Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    action(File1, "Save1", "&Save...", &TfrmMain::Save1Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    action(File1, "Export1", "E&xport...", &TfrmMain::Export1Click);
    action(File1, "Compare1", "&Compare with...", &TfrmMain::Compare1Click);
    Print1 = File1->addMenu(QStringLiteral("&Print..."));
    Print1->setObjectName(QStringLiteral("Print1"));
    Print1->menuAction()->setObjectName(QStringLiteral("Print1Item"));
    action(Print1, "Main1", "&Main", &TfrmMain::Main1Click)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Indicator1 = action(Print1, "Indicator1", "&Indicator", &TfrmMain::Indicator1Click);
    Oval1 = action(Print1, "Oval1", "&Oval", &TfrmMain::Oval1Click);
    Indicator1->setEnabled(false);
    Oval1->setEnabled(false);
    action(File1, "Exit2", "&Exit", &TfrmMain::Exit2Click)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    View1 = menuBar()->addMenu(QStringLiteral("&View"));
    View1->setObjectName(QStringLiteral("View1"));
    View1->menuAction()->setObjectName(QStringLiteral("View1Item"));
    action(View1, "Movie1", "&Movie", &TfrmMain::Movie1Click);
    action(View1, "IndicatorDiag", "&Indicator Diagram", &TfrmMain::IndicatorDiagClick);
    action(View1, "Edit1", "&Edit", &TfrmMain::Edit1Click);
    action(View1, "Messages1", "M&essages", &TfrmMain::Message);
    action(View1, "Family1", "&Family", &TfrmMain::Family1Click);
    action(View1, "Tune1", "&Tune...", &TfrmMain::Tune1Click);

    Measure1 = menuBar()->addMenu(QStringLiteral("&Measure"));
    Measure1->setObjectName(QStringLiteral("Measure1"));
    Measure1->menuAction()->setObjectName(QStringLiteral("Measure1Item"));
    auto* modes = new QActionGroup(this);
    modes->setObjectName(QStringLiteral("MeasureModes"));
    modes->setExclusive(true);
    for (QAction* mode : {action(Measure1, "Distance1", "&Distance", &TfrmMain::Distance1Click),
                          action(Measure1, "dXdY1", "d&X,dY", &TfrmMain::dXdY1Click),
                          action(Measure1, "XY1", "X,&Y", &TfrmMain::XY1Click),
                          action(Measure1, "Off1", "&Off", &TfrmMain::Off1Click)}) {
        mode->setCheckable(true);
        modes->addAction(mode);
        Off1 = mode;
    }
    Off1->setChecked(true);
    Measure1->addSeparator();
    action(Measure1, "Help2", "&Help", &TfrmMain::Help2Click);

    Help1 = menuBar()->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Help1->menuAction()->setObjectName(QStringLiteral("Help1Item"));
    action(Help1, "Hints1", "&Info", &TfrmMain::Hints1Click)->setShortcut(QKeySequence(Qt::Key_F1));
    About1 = action(Help1, "About1", "&About", &TfrmMain::About1Click);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    action(PopupMenu1, "CopyToClipboard1", "CopyToClipboard", &TfrmMain::CopyToClipboard1Click);
}

void TfrmMain::CreateWindows() {
    // The program's start-up order: about box, indicator window, oval window, the messages window
    // (visible from the start), the information window. The editors are built for each showing.
    AboutBox_ = std::make_unique<TAboutBox>();
    frmIndic_ = std::make_unique<TfrmIndic>(sim_);
    frmOval_ = std::make_unique<TfrmOval>(sim_);
    Messages_ = std::make_unique<TMessages>(sim_.Messages, dialogs_);
    frmInfo_ = std::make_unique<TfrmInfo>(dialogs_);

    // The print items for the diagram windows are enabled only while those windows are open.
    connect(frmIndic_.get(), &DiagramWindow::Shown, this, [this] { Indicator1->setEnabled(true); });
    connect(frmIndic_.get(), &DiagramWindow::Closed, this, [this] { Indicator1->setEnabled(false); });
    connect(frmOval_.get(), &DiagramWindow::Shown, this, [this] { Oval1->setEnabled(true); });
    connect(frmOval_.get(), &DiagramWindow::Closed, this, [this] { Oval1->setEnabled(false); });
}

void TfrmMain::ConnectSimulation() {
    sim_.CloseDiagramWindows = [this] { CloseDiagramWindows(); };
    sim_.SetBusyCursor = [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else if (QApplication::overrideCursor() != nullptr)
            QApplication::restoreOverrideCursor();
    };
    sim_.ShowDiagram = [this](Simulation::DiagramPlot plot) {
        if (plot == Simulation::DiagramPlot::Indicator || plot == Simulation::DiagramPlot::IndicatorFamily)
            frmIndic_->ShowDiagram(plot);
        else
            frmOval_->ShowDiagram(plot);
    };
    sim_.ShowCutoffCaption = [this](const std::string& text) {
        Image1->SetSurfaceText(QString::fromStdString(text));
    };
}

template <typename Command> void TfrmMain::Guard(Command&& command) {
    RunGuarded(dialogs_, std::forward<Command>(command));
}

// ---- showing what the simulation produced ------------------------------------------------------------

void TfrmMain::UpdateCanvasRatio() {
    const double ratio = devicePixelRatioF();
    if (canvas_ && std::abs(canvas_->DevicePixelRatio() - ratio) < 1e-9) return;
    canvas_ = std::make_unique<QtCanvas>(1, 1, ratio);
    sim_.Plot.AttachCanvas(*canvas_);
}

void TfrmMain::ShowPicture() {
    Image1->SetPicture(canvas_->Image());
}

void TfrmMain::ShowRedraw() {
    setWindowTitle(QString::fromStdString(sim_.Caption));
    EdCrankAngle->setText(QString::fromStdString(sim_.EdCrankAngleText));
    EdGear->setText(QString::fromStdString(sim_.EdGearText));
    // The scroll bars follow the angle and setting the picture shows, without moving the gear.
    {
        const QSignalBlocker quietCrank(ScrollCrank);
        const QSignalBlocker quietGear(ScrollGear);
        ScrollCrank->setValue(sim_.CrankScrollPosition);
        ScrollGear->setValue(sim_.GearScrollPosition);
    }
    // Setting the box to the state's direction is a click on it when the state differs.
    if (fwd->isChecked() != sim_.FwdChecked) fwd->setChecked(sim_.FwdChecked);
    ShowPicture();
}

void TfrmMain::LayoutClient() {
    const int width = client_->width();
    const int height = client_->height();
    const int panelHeight = Panel1->height();
    Panel1->setGeometry(0, height - panelHeight, width, panelHeight);
    ListBox1->setGeometry(0, 0, std::min(width, 160), std::min(std::max(40, height - panelHeight), 110));
}

void TfrmMain::CloseDiagramWindows() {
    if (frmIndic_) frmIndic_->CloseDiagram();
    if (frmOval_) frmOval_->CloseDiagram();
}

// ---- window events ---------------------------------------------------------------------------------------

bool TfrmMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(event);
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        // A window system without a window manager may never activate the window; the first
        // showing then stands for the first activation.
        QTimer::singleShot(0, this, [this] {
            if (sim_.FirstActivation != 0 && !activating_) FormActivate();
        });
    }
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        // A key pressed anywhere in this window stops an animation.
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) FormKeyPress();
        break;
    case QEvent::FocusOut:
        if (watched == EdGear) EdGearExit();
        break;
    case QEvent::Resize:
        if (watched == client_) FormResize();
        break;
    case QEvent::MouseButtonRelease:
        if (watched == client_) FormClick();
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == client_) FormDblClick();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // An animation must end before the program can.
    sim_.MovieStopped = 1;
    CloseDiagramWindows();
    if (Messages_) Messages_->close();
    if (frmInfo_) frmInfo_->close();
    if (AboutBox_) AboutBox_->close();
    // A search still running stops before the program ends.
    if (tuneDialog_) tuneDialog_->close();
    if (compareWindow_) compareWindow_->close();
    event->accept();
}

void TfrmMain::contextMenuEvent(QContextMenuEvent* event) {
    if (movieRunning_) return;
    PopupMenu1->popup(event->globalPos());
    event->accept();
}

void TfrmMain::FormResize() {
    LayoutClient();
    Guard([&] {
        UpdateCanvasRatio();
        sim_.Redraw(client_->width(), client_->height(), Panel1->height());
        // During an animation the panel texts stay as they were; the next frame shows the picture.
        if (movieRunning_)
            ShowPicture();
        else
            ShowRedraw();
    });
}

void TfrmMain::ApplyFirstActivationLayout(int screenWidth, int screenHeight) {
    const WindowLayout layout = Simulation::FirstActivationLayout(screenWidth, screenHeight);
    const QSize extra = ShownFrameExtra(*this);
    PlaceWindow(*this, layout.main, extra);
    if (frmIndic_)
        PlaceWindow(*frmIndic_, layout.indicator,
                    frmIndic_->isVisible() ? ShownFrameExtra(*frmIndic_) : extra);
    if (frmOval_)
        PlaceWindow(*frmOval_, layout.oval, frmOval_->isVisible() ? ShownFrameExtra(*frmOval_) : extra);
}

void TfrmMain::FormActivate() {
    if (sim_.FirstActivation == 0 || activating_) return;
    if (ignoreNextActivation_) {
        ignoreNextActivation_ = false;
        return;
    }
    activating_ = true;
    QScreen* shownOn = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (shownOn != nullptr) {
        const QRect area = shownOn->geometry();
        ApplyFirstActivationLayout(area.width(), area.height());
        if (area.topLeft() != QPoint(0, 0)) {
            move(pos() + area.topLeft());
            if (frmIndic_) frmIndic_->move(frmIndic_->pos() + area.topLeft());
            if (frmOval_) frmOval_->move(frmOval_->pos() + area.topLeft());
        }
        // The layout follows the screen's size; what it gives is kept within the part of the
        // screen that windows may take (a small or scaled screen, a panel at an edge).
        FitOnScreen(*this);
        if (frmIndic_) FitOnScreen(*frmIndic_);
        if (frmOval_) FitOnScreen(*frmOval_);
    }
    // The main window comes to the front, over the messages window created after it.
    raise();
    const bool done = RunGuarded(dialogs_, [&] { sim_.FormActivate(); });
    // After a failure the error box has taken the focus; the activation its closing brings back
    // is not a new one. When it is already back, the next activation is a real one.
    if (!done) ignoreNextActivation_ = !isActiveWindow();
    activating_ = false;
}

// ---- File ------------------------------------------------------------------------------------------------

void TfrmMain::ValveGear2Click() {
    Guard([&] {
        sim_.ValveGear2Click();
        ListBox1->clear();
        for (std::size_t i = 0; i < sim_.ListBoxItems.size(); ++i) {
            auto* item = new QListWidgetItem(QString::fromStdString(sim_.ListBoxItems[i]), ListBox1);
            // A kind that is not built yet is listed but cannot be chosen.
            if (!GearKinds()[i].Built()) item->setFlags(Qt::NoItemFlags);
        }
        ListBox1->setCurrentRow(sim_.ListBoxSelection);
        ListBox1->setVisible(sim_.ListBoxVisible);
        ListBox1->raise();
        ListBox1->setFocus();
    });
}

void TfrmMain::ComboBox1Change() {
    Guard([&] {
        if (sim_.ComboBox1Change(ListBox1->currentRow())) {
            ListBox1->setVisible(sim_.ListBoxVisible);
            ShowRedraw();
        }
    });
}

void TfrmMain::Open1Click() {
    Guard([&] {
        sim_.Open1Click();
        ShowRedraw();
    });
}

void TfrmMain::OpenNamedFile(const QString& path) {
    Guard([&] {
        sim_.OpenNamedFile(QFile::encodeName(path).toStdString(), [&] { ShowRedraw(); });
        ShowRedraw();
    });
}

void TfrmMain::Save1Click() {
    Guard([&] {
        sim_.Save1Click();
        ShowRedraw();
    });
}

namespace {

std::string LowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

} // namespace

void TfrmMain::ExportTo(ExportItem what, const std::string& path, int width, int height) {
    const std::string extension = LowerExtension(path);
    if (what == ExportItem::Steps || what == ExportItem::FamilyEvents) {
        if (extension != ".csv")
            throw std::runtime_error("A table is exported as CSV: the name must end in .csv");
        if (what == ExportItem::Steps && sim_.State.AnalysisValid == 0)
            throw std::runtime_error(
                "There is no solved revolution to export: run View > Indicator Diagram first");
        if (what == ExportItem::FamilyEvents && !sim_.DiagramDrawable(Simulation::DiagramPlot::Events))
            throw std::runtime_error("There is no family to export: run View > Family first");
        ReplacementFile file(path);
        file.Write(what == ExportItem::Steps ? StepsCsv(sim_) : EventsCsv(sim_));
        file.Commit(Durability::Renamed);
        return;
    }
    if (extension != ".svg" && extension != ".pdf" && extension != ".png")
        throw std::runtime_error(
            "A picture is exported as SVG, PDF or PNG: the name must end in .svg, .pdf or .png");
    if (width < 1 || height < 1 || static_cast<long long>(width) * height > 64LL * 1024 * 1024)
        throw std::runtime_error("The picture size must be between 1 x 1 and 64 million pixels");

    PictureDrawing draw;
    QString title = QStringLiteral("Linkwright");
    std::optional<Simulation::DiagramPlot> diagram;
    if (what == ExportItem::IndicatorWindow || what == ExportItem::OvalWindow) {
        const DiagramWindow* window = what == ExportItem::IndicatorWindow
                                          ? static_cast<DiagramWindow*>(frmIndic_.get())
                                          : static_cast<DiagramWindow*>(frmOval_.get());
        diagram = what == ExportItem::IndicatorWindow ? sim_.IndicatorWindowPlot() : sim_.OvalWindowPlot();
        if (window == nullptr || !window->isVisible() || !sim_.DiagramDrawable(*diagram))
            throw std::runtime_error("That diagram's window is not open: run the analysis first");
        title = QString::fromUtf8(Simulation::DiagramCaption(*diagram));
        draw = [&](QtCanvas& canvas) {
            Glib1 glib(canvas);
            sim_.DrawDiagram(*diagram, glib, width, height);
        };
    } else {
        // The gear drawn at the export's size, as the command line's render draws it; the window's
        // own picture and size come back afterwards.
        draw = [&](QtCanvas& canvas) {
            struct Restore {
                TfrmMain& window;
                ~Restore() {
                    window.sim_.Plot.AttachCanvas(*window.canvas_);
                    window.sim_.Redraw(window.client_->width(), window.client_->height(),
                                       window.Panel1->height());
                    window.ShowRedraw();
                }
            } restore{*this};
            sim_.Plot.AttachCanvas(canvas);
            sim_.Redraw(width + 3, height + 3, 0);
        };
    }
    ReplacementFile file(path); // taken before drawing, so a path that cannot be written stops here
    QByteArray bytes;
    if (extension == ".png") {
        QtCanvas picture(width, height);
        draw(picture);
        bytes = PngBytes(picture);
    } else {
        bytes = extension == ".svg" ? SvgBytes(width, height, title, draw) : PdfBytes(width, height, draw);
    }
    file.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    file.Commit(Durability::Renamed);
}

void TfrmMain::Export1Click() {
    Guard([&] {
        QDialog ask(this);
        ask.setObjectName(QStringLiteral("ExportDialog"));
        ask.setWindowTitle(QStringLiteral("Export"));
        auto* what = new QComboBox(&ask);
        what->setObjectName(QStringLiteral("ExportWhat"));
        what->addItem(QStringLiteral("Main picture (SVG, PDF or PNG)"),
                      static_cast<int>(ExportItem::Picture));
        if (frmIndic_ && frmIndic_->isVisible())
            what->addItem(QStringLiteral("Indicator window's diagram (SVG, PDF or PNG)"),
                          static_cast<int>(ExportItem::IndicatorWindow));
        if (frmOval_ && frmOval_->isVisible())
            what->addItem(QStringLiteral("Oval window's diagram (SVG, PDF or PNG)"),
                          static_cast<int>(ExportItem::OvalWindow));
        if (sim_.State.AnalysisValid != 0)
            what->addItem(QStringLiteral("Solved revolution: steps with pressures (CSV)"),
                          static_cast<int>(ExportItem::Steps));
        if (sim_.DiagramDrawable(Simulation::DiagramPlot::Events))
            what->addItem(QStringLiteral("Family: events per gear setting (CSV)"),
                          static_cast<int>(ExportItem::FamilyEvents));
        auto* width = new QSpinBox(&ask);
        auto* height = new QSpinBox(&ask);
        width->setRange(1, 20000);
        height->setRange(1, 20000);
        // The size of the picture chosen, as its window shows it.
        const auto showSize = [&, this] {
            const auto item = static_cast<ExportItem>(what->currentData().toInt());
            const QWidget* window = item == ExportItem::IndicatorWindow
                                        ? static_cast<QWidget*>(frmIndic_.get())
                                    : item == ExportItem::OvalWindow ? static_cast<QWidget*>(frmOval_.get())
                                                                     : nullptr;
            width->setValue(window != nullptr ? std::max(1, window->width() - 3) : sim_.DrawWidth);
            height->setValue(window != nullptr ? std::max(1, window->height() - 3) : sim_.DrawHeight);
            const bool picture = item != ExportItem::Steps && item != ExportItem::FamilyEvents;
            width->setEnabled(picture);
            height->setEnabled(picture);
        };
        connect(what, &QComboBox::currentIndexChanged, &ask, showSize);
        showSize();
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &ask);
        connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
        auto* form = new QFormLayout(&ask);
        form->addRow(QStringLiteral("Export"), what);
        form->addRow(QStringLiteral("Width (pixels)"), width);
        form->addRow(QStringLiteral("Height (pixels)"), height);
        form->addRow(buttons);
        if (ask.exec() != QDialog::Accepted) return;

        const auto item = static_cast<ExportItem>(what->currentData().toInt());
        const bool table = item == ExportItem::Steps || item == ExportItem::FamilyEvents;
        FileDialogRequest request = sim_.SaveDialogRequest();
        request.filter = table ? "CSV (*.csv)" : "Pictures (*.svg *.pdf *.png)";
        request.defaultExtension = table ? "csv" : "svg";
        request.initialFileName =
            table ? (item == ExportItem::Steps ? "steps.csv" : "events.csv") : "gear.svg";
        const std::optional<std::string> chosen = dialogs_.SaveFile(request);
        if (!chosen) return;
        ExportTo(item, *chosen, width->value(), height->value());
    });
}

void TfrmMain::Compare1Click() {
    Guard([&] {
        FileDialogRequest request = sim_.OpenDialogRequest();
        request.title = "Compare with";
        const std::optional<std::string> chosen = dialogs_.OpenFile(request);
        if (!chosen) return;
        auto other = std::make_unique<GearDesign>(sim_.CurrentKind);
        // A refused file is answered as File > Open answers it, and nothing opens.
        if (other->Load(*chosen) == LoadResult::Refused) {
            dialogs_.Information(GearFileRefusedMessage);
            return;
        }
        std::string shownName = sim_.CurrentFileName;
        shownName.erase(0, shownName.find_first_not_of(' '));
        std::string otherName = Simulation::FileNameWithoutFolder(*chosen);
        // A gear compared with the file it was saved in: which column is which.
        if (otherName == shownName) {
            shownName += " (shown)";
            otherName += " (file)";
        }
        if (compareWindow_) compareWindow_->close();
        compareWindow_ = std::make_unique<CompareWindow>(
            std::array<std::unique_ptr<GearDesign>, 2>{
                std::make_unique<GearDesign>(sim_.CurrentModel(), sim_.State), std::move(other)},
            std::array<std::string, 2>{shownName, otherName}, sim_.State.fwd != 0, dialogs_);
        PlaceBesideOwner(*compareWindow_, *this);
        compareWindow_->show();
        compareWindow_->raise();
    });
}

void TfrmMain::Main1Click() {
    Guard([&] {
        if (!dialogs_.ConfirmPrint()) return;
        // The picture as shown, its cut-off line included; the window itself stays as it is.
        const QString heading = QString::fromStdString(
            sim_.PrintHeading("", QDate::currentDate().toString(Qt::ISODate).toStdString()));
        const QString caption = Image1->SurfaceText();
        PrintDrawing(printer_, sim_.DrawWidth, sim_.DrawHeight, heading, [&](QtCanvas& canvas) {
            // The same picture once more, on the printer; the window's canvas is back afterwards.
            struct Reattach {
                Simulation& sim;
                QtCanvas& screen;
                ~Reattach() { sim.Plot.AttachCanvas(screen); }
            } reattach{sim_, *canvas_};
            sim_.Plot.AttachCanvas(canvas);
            sim_.Redraw();
            if (!caption.isEmpty()) canvas.TextOut(CutoffCaptionX, CutoffCaptionY, caption.toStdString());
        });
    });
}

void TfrmMain::Indicator1Click() {
    Guard([&] { frmIndic_->PrintDiagram(dialogs_, printer_); });
}

void TfrmMain::Oval1Click() {
    Guard([&] { frmOval_->PrintDiagram(dialogs_, printer_); });
}

void TfrmMain::Exit2Click() {
    Guard([&] { sim_.Exit2Click(); });
    close();
}

// ---- View ------------------------------------------------------------------------------------------------

void TfrmMain::LockMenusForMovie(bool locked) {
    File1->menuAction()->setEnabled(!locked);
    View1->menuAction()->setEnabled(!locked);
    About1->setEnabled(!locked);
    // A locked menu's shortcuts would still reach its items; while locked, the key stops the movie.
    for (const char* name : {"Open1", "Save1", "Main1", "Exit2"})
        if (auto* item = findChild<QAction*>(QString::fromUtf8(name))) item->setEnabled(!locked);
}

void TfrmMain::Movie1Click() {
    if (movieRunning_) return;
    movieRunning_ = true;
    LockMenusForMovie(true);
    Panel1->hide();
    ListBox1->hide();
    // The keys that stop the animation go to the window itself while the panel is away.
    client_->setFocusPolicy(Qt::StrongFocus);
    client_->setFocus();

    // One frame per display refresh: drawing as fast as possible would turn the crank faster than
    // the screen can show it.
    const QScreen* shownOn = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    const double rate = shownOn != nullptr && shownOn->refreshRate() >= 1.0 ? shownOn->refreshRate() : 60.0;
    const qint64 framePeriod = static_cast<qint64>(std::llround(1e9 / rate));
    QElapsedTimer clock;
    clock.start();
    qint64 nextFrame = 0;

    Guard([&] {
        sim_.Movie1Click([&] {
            ShowPicture();
            Image1->repaint();
            nextFrame += framePeriod;
            const qint64 now = clock.nsecsElapsed();
            if (nextFrame < now) nextFrame = now; // a slow frame does not make the next ones hurry
            const int waitMs = static_cast<int>((nextFrame - now) / 1000000);
            if (waitMs > 0 && sim_.MovieStopped == 0) {
                QEventLoop wait;
                QTimer::singleShot(waitMs, Qt::PreciseTimer, &wait, &QEventLoop::quit);
                wait.exec();
            } else {
                QCoreApplication::processEvents(QEventLoop::AllEvents);
            }
        });
    });

    client_->setFocusPolicy(Qt::NoFocus);
    // The panel shows the angle the crank stopped at.
    Guard([&] {
        sim_.Redraw();
        ShowRedraw();
    });
    Panel1->show();
    LockMenusForMovie(false);
    movieRunning_ = false;
}

void TfrmMain::IndicatorDiagClick() {
    Guard([&] {
        sim_.IndicatorDiagClick();
        // The analysis rewrote the messages file; an open messages window shows the new listings.
        if (Messages_->isVisible()) Messages_->FormPaint();
    });
}

void TfrmMain::Edit1Click() {
    Guard([&] {
        sim_.Edit1Click(
            [&](EditorSession& session) { RunEditorForm(session, editorPages_, dialogs_, printer_, this); });
        ShowRedraw();
    });
}

void TfrmMain::Message() {
    Messages_->ShowMessages();
}

void TfrmMain::Family1Click() {
    Guard([&] { sim_.Family1Click(); });
}

void TfrmMain::Tune1Click() {
    Guard([&] {
        // Built afresh for the gear shown now; while it is open the gear can only change by Apply.
        tuneDialog_ = std::make_unique<TuneDialog>(sim_, dialogs_, this);
        tuneDialog_->setWindowModality(Qt::ApplicationModal);
        connect(tuneDialog_.get(), &TuneDialog::Applied, this, [this] { ShowRedraw(); });
        PlaceBesideOwner(*tuneDialog_, *this);
        tuneDialog_->show();
    });
}

// ---- Measure ------------------------------------------------------------------------------------------

void TfrmMain::Distance1Click() {
    sim_.Distance1Click();
}
void TfrmMain::dXdY1Click() {
    sim_.dXdY1Click();
}
void TfrmMain::XY1Click() {
    sim_.XY1Click();
}
void TfrmMain::Off1Click() {
    sim_.Off1Click();
}

void TfrmMain::Help2Click() {
    Guard([&] { sim_.Help2Click(); });
}

void TfrmMain::Image1MouseDown(int x, int y) {
    Guard([&] {
        if (const auto marks = sim_.Image1MouseDown(x, y))
            Image1->DrawMeasureMarks(marks->line, marks->fromX, marks->fromY, marks->toX, marks->toY,
                                     marks->text);
    });
}

// ---- Help and pop-up --------------------------------------------------------------------------------------

void TfrmMain::Hints1Click() {
    Guard([&] { frmInfo_->ShowInfo(); });
}

void TfrmMain::About1Click() {
    AboutBox_->ShowAbout();
}

void TfrmMain::CopyToClipboard1Click() {
    Guard([&] { CopyImageToClipboard(Image1->Picture()); });
}

// ---- Panel
// -------------------------------------------------------------------------------------------------

void TfrmMain::ScrollCrankChange() {
    Guard([&] {
        sim_.ScrollCrankChange(ScrollCrank->value());
        ShowRedraw();
    });
}

void TfrmMain::ScrollGearChange() {
    Guard([&] {
        sim_.ScrollGearChange(ScrollGear->value());
        ShowRedraw();
    });
}

void TfrmMain::EdGearExit() {
    Guard([&] {
        sim_.EdGearExit(EdGear->text().toStdString());
        ShowRedraw();
    });
}

void TfrmMain::fwdClick() {
    Guard([&] { sim_.fwdClick(fwd->isChecked()); });
}

void TfrmMain::AnnotClick() {
    Guard([&] {
        sim_.AnnotClick();
        ShowRedraw();
    });
}

void TfrmMain::PanLClick() {
    Guard([&] {
        sim_.PanLClick();
        ShowRedraw();
    });
}

void TfrmMain::PanRClick() {
    Guard([&] {
        sim_.PanRClick();
        ShowRedraw();
    });
}

void TfrmMain::PanUClick() {
    Guard([&] {
        sim_.PanUClick();
        ShowRedraw();
    });
}

void TfrmMain::PanDClick() {
    Guard([&] {
        sim_.PanDClick();
        ShowRedraw();
    });
}

void TfrmMain::ZoomInClick() {
    Guard([&] {
        sim_.ZoomInClick();
        ShowRedraw();
    });
}

void TfrmMain::ZoomOutClick() {
    Guard([&] {
        sim_.ZoomOutClick();
        ShowRedraw();
    });
}

// ---- clicks and keys
// ---------------------------------------------------------------------------------------

void TfrmMain::FormClick() {
    sim_.FormClick();
}

void TfrmMain::FormKeyPress() {
    sim_.FormKeyPress();
}

void TfrmMain::FormDblClick() {
    // A double click that ends an animation is only a click.
    if (movieRunning_) {
        FormClick();
        return;
    }
    Edit1Click();
}

} // namespace linkwright
