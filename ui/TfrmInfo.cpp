// The information window: a read-only memo filling the window, holding the program's help text.
#include "ui/TfrmInfo.h"

#include "common/BuildConfig.h"
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

TfrmInfo::TfrmInfo(Dialogs& dialogs, QWidget* parent, QString programFolder, QString dataFolder)
    : QWidget(parent, Qt::Window), dialogs_(dialogs),
      programFolder_(programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder),
      dataFolder_(dataFolder.isEmpty() ? QString::fromUtf8(InstalledDataFolder) : dataFolder) {
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
    // An installed program is <prefix>/bin/linkwright with its help text in <prefix>/share/linkwright;
    // the configured installation's data folder comes last, for a program moved away from its own.
    const QStringList places = {
        QDir::current().filePath(HelpFileName), QDir(programFolder_).filePath(HelpFileName),
        QDir(QDir(programFolder_).filePath(QString::fromUtf8(DataFolderFromProgramFolder)))
            .filePath(HelpFileName),
        QDir(dataFolder_).filePath(HelpFileName)};
    QStringList candidates;
    for (const QString& place : places) {
        const QString cleaned = QDir::cleanPath(place);
        if (!candidates.contains(cleaned)) candidates.push_back(cleaned);
    }
    return candidates;
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
    QString text = QStringLiteral("The help text \"%1\" was not found.\nLooked in:").arg(HelpFileName);
    for (const QString& candidate : candidates)
        text += QStringLiteral("\n  ") + QDir::toNativeSeparators(candidate);
    Memo1->setPlainText(text);
    guard_.ReportWith([&] { dialogs_.Information(text.toStdString()); });
}

void TfrmInfo::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    if (guard_.ShouldReload(isActiveWindow())) FormActivate();
}

} // namespace linkwright
