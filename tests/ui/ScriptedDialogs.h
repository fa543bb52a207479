// Dialogs answered from a script for the window tests: every message is recorded, and the answers
// to the questions are set beforehand.
#pragma once

#include "windows/Dialogs.h"

#include <optional>
#include <string>
#include <vector>

namespace linkwright::testing {

class ScriptedDialogs : public Dialogs {
public:
    bool WarningOkCancel(const std::string& text) override {
        warnings.push_back(text);
        return warningAnswer;
    }
    void Information(const std::string& text) override { informations.push_back(text); }
    std::optional<std::string> OpenFile(const FileDialogRequest&) override { return openAnswer; }
    std::optional<std::string> SaveFile(const FileDialogRequest&) override { return saveAnswer; }
    bool ConfirmPrint() override {
        ++printQuestions;
        return printAnswer;
    }

    bool warningAnswer = true;
    bool printAnswer = true;
    std::optional<std::string> openAnswer;
    std::optional<std::string> saveAnswer;
    std::vector<std::string> warnings;
    std::vector<std::string> informations;
    int printQuestions = 0;
};

} // namespace linkwright::testing
