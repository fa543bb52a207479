// The dialogs and message boxes the commands need. The Qt layer implements them with real dialogs;
// tests answer them from a script.
#pragma once

#include <optional>
#include <string>

namespace linkwright {

struct FileDialogRequest {
    std::string filter;           // e.g. "Walschaerts1 (*.L1)"
    std::string defaultExtension; // e.g. "L1"
    std::string initialDirectory;
    std::string initialFileName; // e.g. "NoName"
    std::string title;           // the dialog's caption; "Open" or "Save As" when empty
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Warning box with OK and Cancel; true when the user chose OK.
    virtual bool WarningOkCancel(const std::string& text) = 0;
    // Information box with OK.
    virtual void Information(const std::string& text) = 0;
    // File dialogs; nullopt when cancelled.
    virtual std::optional<std::string> OpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> SaveFile(const FileDialogRequest& request) = 0;
    // The print dialog used as a confirmation; true when the user confirmed.
    virtual bool ConfirmPrint() = 0;
};

} // namespace linkwright
