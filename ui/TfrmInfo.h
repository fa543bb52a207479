// The information window: the help text "Linkwright.txt" in a read-only memo, reloaded at every
// activation from the working directory or, failing that, from beside the program or from the data
// folder of the installation the program runs from.
#pragma once

#include "ui/ActivationGuard.h"

#include <QString>
#include <QWidget>

class QPlainTextEdit;

namespace linkwright {

class Dialogs;

class TfrmInfo : public QWidget {
    Q_OBJECT
public:
    // The help text is looked for in the working directory, then in `programFolder` (the folder of
    // the running program when empty), then in <programFolder>/../share/linkwright, where an
    // installation puts it, and last in `dataFolder` (the configured installation's data folder
    // when empty). The installation's folders come from the build's configuration.
    explicit TfrmInfo(Dialogs& dialogs, QWidget* parent = nullptr, QString programFolder = {},
                      QString dataFolder = {});

    // Help > Info: loads the text and shows the window in front.
    void ShowInfo();
    // Loads "Linkwright.txt" into the memo; a clear message, naming each place, when it is in none.
    void FormActivate();
    // The file the last load read, empty when none was found.
    QString LoadedFrom() const { return loadedFrom_; }

    QPlainTextEdit* Memo() const { return Memo1; }

    // Where the help text is looked for, in this order, each place once.
    QStringList HelpFileCandidates() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    Dialogs& dialogs_;
    QPlainTextEdit* Memo1 = nullptr;
    QString programFolder_;
    QString dataFolder_;
    QString loadedFrom_;
    // ShowInfo loads before the window appears (a window system without a window manager may never
    // activate it); the activation that the showing causes need not load a second time.
    ActivationGuard guard_;
};

} // namespace linkwright
