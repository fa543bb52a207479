// Reporting the errors of commands in a message box.
#include "ui/ErrorGuard.h"

#include <QMessageBox>

namespace linkwright {

std::string ErrorText(const std::exception& error) {
    std::string text = error.what();
    if (text.empty()) text = "The command failed.";
    return text;
}

void ReportError(Dialogs& dialogs, const std::string& text) {
    try {
        dialogs.Information(text);
    } catch (...) {
        // The report itself failed (no display); there is nothing left to tell the user with.
    }
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (reporter_ != nullptr)
            ReportError(*reporter_, ErrorText(error));
        else
            QMessageBox::critical(nullptr, QStringLiteral("Linkwright"),
                                  QString::fromStdString(ErrorText(error)));
    } catch (...) {
        const std::string text = "The command failed with an unknown error.";
        if (reporter_ != nullptr)
            ReportError(*reporter_, text);
        else
            QMessageBox::critical(nullptr, QStringLiteral("Linkwright"), QString::fromStdString(text));
    }
    return false;
}

} // namespace linkwright
