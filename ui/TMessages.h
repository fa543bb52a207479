// The messages window: shows the messages file in an editable memo and reloads it whenever the
// window is shown or activated, so it always shows what the program has written so far.
#pragma once

#include "ui/ActivationGuard.h"

#include <QMainWindow>

class QAction;
class QPlainTextEdit;

namespace linkwright {

class Dialogs;
class MessagesFile;

class TMessages : public QMainWindow {
    Q_OBJECT
public:
    TMessages(MessagesFile& messages, Dialogs& dialogs, QWidget* parent = nullptr);

    // View > Messages: back to the normal (not minimised) state, shown and raised.
    void ShowMessages();
    // Closes the messages file (writing out its buffer), loads the whole file into the memo and
    // reopens it for appending; "No message file?" when it does not exist.
    void FormPaint();

    QPlainTextEdit* Memo() const { return Memo1; }

public slots:
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormResize();

    MessagesFile& messages_;
    Dialogs& dialogs_;
    QPlainTextEdit* Memo1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    // The box about a missing file takes the focus away; the activation that follows its closing
    // must not reload (and report) again, or the two would chase each other for ever.
    ActivationGuard guard_;
};

} // namespace linkwright
