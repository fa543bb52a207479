// Qt file dialogs, print dialog and message boxes behind the Dialogs interface.
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace linkwright {

namespace {

QString ApplicationTitle() {
    return QApplication::applicationName().isEmpty() ? QStringLiteral("Linkwright")
                                                     : QApplication::applicationName();
}

} // namespace

QtDialogs::QtDialogs(QPrinter& printer, QWidget* parent) : printer_(printer), parent_(parent) {}

bool QtDialogs::WarningOkCancel(const std::string& text) {
    const auto answer = QMessageBox::warning(parent_, ApplicationTitle(), QString::fromStdString(text),
                                             QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    return answer == QMessageBox::Ok;
}

void QtDialogs::Information(const std::string& text) {
    QMessageBox::information(parent_, ApplicationTitle(), QString::fromStdString(text), QMessageBox::Ok);
}

std::optional<std::string> QtDialogs::OpenFile(const FileDialogRequest& request) {
    return RunFileDialog(request, false);
}

std::optional<std::string> QtDialogs::SaveFile(const FileDialogRequest& request) {
    return RunFileDialog(request, true);
}

std::optional<std::string> QtDialogs::RunFileDialog(const FileDialogRequest& request, bool save) {
    const QString title = !request.title.empty() ? QString::fromStdString(request.title)
                          : save                 ? QStringLiteral("Save As")
                                                 : QStringLiteral("Open");
    QFileDialog dialog(parent_, title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The gear file's own save asks before it overwrites, so the dialog must not ask as well.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // The kind's own files first; any file can still be chosen, as a gear file may have another name.
    if (!request.filter.empty())
        dialog.setNameFilters({QString::fromStdString(request.filter), QStringLiteral("All files (*)")});
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (!request.initialDirectory.empty() && QDir(QString::fromStdString(request.initialDirectory)).exists())
        dialog.setDirectory(QString::fromStdString(request.initialDirectory));
    if (!request.initialFileName.empty()) dialog.selectFile(QString::fromStdString(request.initialFileName));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen.front()).toStdString();
}

bool QtDialogs::ConfirmPrint() {
    QPrintDialog dialog(&printer_, parent_);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace linkwright
