// The messages window: a fixed-pitch memo over the messages file, with the Edit menu's cut, copy
// and paste. Edits typed into the memo are never written back; the next reload replaces them.
#include "ui/TMessages.h"

#include "windows/Dialogs.h"
#include "windows/MessagesFile.h"

#include <QAction>
#include <QEvent>
#include <QFont>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextCursor>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace linkwright {

namespace {

// "Courier New" at 13 pixels; Liberation Mono has the same metrics and stands in for it on Linux.
QFont MessagesFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    return font;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TMessages::TMessages(MessagesFile& messages, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent, Qt::Window), messages_(messages), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Messages"));
    setWindowTitle(QStringLiteral("Messages"));
    // Closing only hides the window; it must not keep the program alive after the main window.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("MessagesClient"));
    setCentralWidget(client);

    Memo1 = new QPlainTextEdit(client);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(MessagesFont());
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->move(5, 5);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    Cut1 = edit->addAction(QStringLiteral("Cu&t"), this, &TMessages::Cut1Click);
    Cut1->setObjectName(QStringLiteral("Cut1"));
    Cut1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    Copy1 = edit->addAction(QStringLiteral("&Copy"), this, &TMessages::Copy1Click);
    Copy1->setObjectName(QStringLiteral("Copy1"));
    Copy1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    Paste1 = edit->addAction(QStringLiteral("&Paste"), this, &TMessages::Paste1Click);
    Paste1->setObjectName(QStringLiteral("Paste1"));
    Paste1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));

    resize(689, 411);
}

void TMessages::ShowMessages() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TMessages::FormPaint() {
    if (guard_.Reporting()) return;
    try {
        if (!std::filesystem::exists(messages_.Path())) {
            guard_.ReportWith([&] { dialogs_.Information("No message file?"); });
            return;
        }
        messages_.Close();
        const std::string text = ReadWholeFile(messages_.Path());
        messages_.Reopen();
        // A file that has not changed keeps the place the user scrolled to; a changed one shows its
        // newest line.
        const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        if (shown != Memo1->toPlainText()) {
            Memo1->setPlainText(shown);
            Memo1->moveCursor(QTextCursor::End);
            Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
            Memo1->horizontalScrollBar()->setValue(0);
        }
    } catch (const std::exception& error) {
        // A file that cannot be closed or reopened ends the reload with the system's report.
        guard_.ReportWith([&] { dialogs_.Information(error.what()); });
    }
}

void TMessages::Cut1Click() {
    Memo1->cut();
}
void TMessages::Copy1Click() {
    Memo1->copy();
}
void TMessages::Paste1Click() {
    Memo1->paste();
}

void TMessages::FormResize() {
    const QWidget* client = centralWidget();
    Memo1->resize(std::max(0, client->width() - 10), std::max(0, client->height() - 10));
}

void TMessages::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMessages::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormResize();
    FormPaint();
}

void TMessages::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    if (guard_.ShouldReload(isActiveWindow())) FormPaint();
}

} // namespace linkwright
