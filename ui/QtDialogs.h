// The dialogs and message boxes of the commands, on Qt: file dialogs with the kind's filter, default
// extension and initial folder, the print dialog as a confirmation, warning and information boxes.
#pragma once

#include "windows/Dialogs.h"

#include <QPointer>

class QPrinter;
class QWidget;

namespace linkwright {

class QtDialogs : public Dialogs {
public:
    // The print dialog configures `printer`, which the print commands then print on.
    explicit QtDialogs(QPrinter& printer, QWidget* parent = nullptr);

    // The window the dialogs are centred on (the main window once it exists).
    void SetParent(QWidget* parent) { parent_ = parent; }
    QPrinter& Printer() { return printer_; }

    bool WarningOkCancel(const std::string& text) override;
    void Information(const std::string& text) override;
    std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFile(const FileDialogRequest& request) override;
    bool ConfirmPrint() override;

private:
    std::optional<std::string> RunFileDialog(const FileDialogRequest& request, bool save);

    QPrinter& printer_;
    QPointer<QWidget> parent_;
};

} // namespace linkwright
