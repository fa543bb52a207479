// The one place where the errors of a command are caught: a file or other input/output error is
// shown in a message box with the system's error text, and the program goes on with its data intact.
#pragma once

#include "windows/Dialogs.h"

#include <QApplication>
#include <exception>
#include <string>

namespace linkwright {

// The text shown for an exception: its message, which for system errors carries the system's text.
std::string ErrorText(const std::exception& error);

// Shows the error of a command that could not finish.
void ReportError(Dialogs& dialogs, const std::string& text);

// Runs a command; an exception it throws is reported through `dialogs` and goes no further.
// Returns true when the command finished.
template <typename Command> bool RunGuarded(Dialogs& dialogs, Command&& command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        ReportError(dialogs, ErrorText(error));
    } catch (...) {
        ReportError(dialogs, "The command failed with an unknown error.");
    }
    return false;
}

// The application object: an exception that a handler lets through is reported here instead of
// reaching the event loop (Qt cannot unwind through it).
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    // The dialogs that report errors; without them a plain message box is used.
    void SetReporter(Dialogs* dialogs) { reporter_ = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    Dialogs* reporter_ = nullptr;
};

} // namespace linkwright
