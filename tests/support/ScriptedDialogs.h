// A Dialogs for the tests: answers come from queues filled by the test, and every request is
// recorded (message texts, file-dialog requests, print confirmations) for later checks.
#pragma once

#include "windows/Dialogs.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace linkwright::testing {

class ScriptedDialogs final : public Dialogs {
public:
    // Answers, used first in first out. When a queue is empty the defaults below answer.
    std::deque<bool> warningAnswers;                    // WarningOkCancel
    std::deque<std::optional<std::string>> openAnswers; // OpenFile; nullopt = cancelled
    std::deque<std::optional<std::string>> saveAnswers; // SaveFile; nullopt = cancelled
    std::deque<bool> printAnswers;                      // ConfirmPrint
    bool defaultWarningAnswer = true;
    bool defaultPrintAnswer = false;

    // What was asked, in order.
    std::vector<std::string> warnings;     // texts of WarningOkCancel
    std::vector<std::string> informations; // texts of Information
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    int printRequests = 0;

    // Every message text (warnings and informations) in the order shown.
    std::vector<std::string> messages;

    bool WarningOkCancel(const std::string& text) override;
    void Information(const std::string& text) override;
    std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFile(const FileDialogRequest& request) override;
    bool ConfirmPrint() override;
};

} // namespace linkwright::testing
