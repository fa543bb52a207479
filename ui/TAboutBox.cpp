// The about box: a panel with the program icon, the bold product name and version, and a few words
// on what the program does; OK closes it.
#include "ui/TAboutBox.h"

#include "common/BuildConfig.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

namespace linkwright {

QPixmap ProgramIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    // Driving wheel: tyre, spokes and hub, a little left of centre to leave room for the rod.
    const QPointF centre(26, 34);
    const double radius = 22;
    painter.setPen(QPen(QColor(30, 30, 30), 4));
    painter.setBrush(QColor(150, 20, 20));
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(230, 200, 80), 1.6));
    for (int spoke = 0; spoke < 12; ++spoke) {
        const double angle = spoke * std::numbers::pi / 6;
        painter.drawLine(centre, centre + QPointF(std::cos(angle), std::sin(angle)) * (radius - 2));
    }
    painter.setPen(QPen(QColor(30, 30, 30), 1.5));
    painter.setBrush(QColor(90, 90, 90));
    painter.drawEllipse(centre, 5, 5);

    // Crank pin and the rod running off to the right to the crosshead.
    const QPointF crankPin = centre + QPointF(10, -9);
    const QPointF crosshead(61, 22);
    painter.setPen(QPen(QColor(40, 60, 110), 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(crankPin, crosshead);
    painter.setPen(QPen(QColor(30, 30, 30), 1.5));
    painter.setBrush(QColor(200, 200, 200));
    painter.drawEllipse(crankPin, 3.5, 3.5);
    painter.drawEllipse(crosshead, 2.5, 2.5);
    return pixmap;
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setModal(false);
    setAttribute(Qt::WA_QuitOnClose, false);
    // A fixed dialog border: no resizing, no help button.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);

    ProgramIcon = new QLabel(panel);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(ProgramIconPixmap(64));
    ProgramIcon->setFixedSize(64, 64);

    QFont bold = font();
    bold.setBold(true);
    ProductName = new QLabel(QStringLiteral("Linkwright"), panel);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->setFont(bold);
    Version = new QLabel(QStringLiteral("Version ") + QString::fromUtf8(ProgramVersion), panel);
    Version->setObjectName(QStringLiteral("Version"));
    Version->setFont(bold);
    Copyright = new QLabel(QStringLiteral("A simulator of steam locomotive valve gears"), panel);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    Comments = new QLabel(QStringLiteral("Walschaerts, Stephenson and Baker gears drawn to scale, with\n"
                                         "their valve events, indicator, oval and events diagrams.\n"
                                         "Help > Info explains how to use it."),
                          panel);
    Comments->setObjectName(QStringLiteral("Comments"));

    auto* panelLayout = new QGridLayout(panel);
    panelLayout->setContentsMargins(12, 12, 12, 12);
    panelLayout->setHorizontalSpacing(14);
    panelLayout->addWidget(ProgramIcon, 0, 0, 2, 1, Qt::AlignTop);
    panelLayout->addWidget(ProductName, 0, 1);
    panelLayout->addWidget(Version, 1, 1);
    panelLayout->addWidget(Copyright, 2, 0, 1, 2);
    panelLayout->addWidget(Comments, 3, 0, 1, 2);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::ShowAbout() {
    adjustSize();
    CentreOnScreen();
    show();
    raise();
    activateWindow();
}

void TAboutBox::OKButtonClick() {
    close();
}

void TAboutBox::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace linkwright
