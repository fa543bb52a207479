// The information window: a read-only memo filling the window, holding the program's help text.
#include "ui/TfrmInfo.h"

#include "windows/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>
#include <QVBoxLayout>

namespace linkwright {

namespace {
const QString HelpFileName = QStringLiteral("Linkwright.txt");
}

TfrmInfo::TfrmInfo(Dialogs& dialogs, QWidget* parent, QString programFolder)
    : QWidget(parent, Qt::Window), dialogs_(dialogs),
      programFolder_(programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder) {
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral("Information"));
    setAttribute(Qt::WA_QuitOnClose, false);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(13);
    Memo1->setFont(font);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
    // Wide enough for the help text's 100-character lines.
    const int textWidth = QFontMetrics(font).horizontalAdvance(QString(100, QLatin1Char('M')));
    resize(textWidth + Memo1->verticalScrollBar()->sizeHint().width() + 16, 560);
}

QStringList TfrmInfo::HelpFileCandidates() const {
    return {QDir::current().filePath(HelpFileName), QDir(programFolder_).filePath(HelpFileName)};
}

void TfrmInfo::ShowInfo() {
    FormActivate();
    if (!isActiveWindow()) guard_.SkipNextActivation();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TfrmInfo::FormActivate() {
    if (guard_.Reporting()) return;
    const QStringList candidates = HelpFileCandidates();
    for (const QString& candidate : candidates) {
        QFile file(candidate);
        if (!QFileInfo(candidate).isFile() || !file.open(QIODevice::ReadOnly)) continue;
        Memo1->setPlainText(QString::fromUtf8(file.readAll()));
        loadedFrom_ = candidate;
        return;
    }
    loadedFrom_.clear();
    const QString text = QStringLiteral("The help text \"%1\" was not found.\nLooked in:\n  %2\n  %3")
                             .arg(HelpFileName, QDir::toNativeSeparators(candidates[0]),
                                  QDir::toNativeSeparators(candidates[1]));
    Memo1->setPlainText(text);
    guard_.ReportWith([&] { dialogs_.Information(text.toStdString()); });
}

void TfrmInfo::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    if (guard_.ShouldReload(isActiveWindow())) FormActivate();
}

} // namespace linkwright
