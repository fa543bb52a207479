// The scripted dialogs of the tests: queued answers, recorded requests.
#include "tests/support/ScriptedDialogs.h"

namespace linkwright::testing {

namespace {

template <typename T> T Next(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

} // namespace

bool ScriptedDialogs::WarningOkCancel(const std::string& text) {
    warnings.push_back(text);
    messages.push_back(text);
    return Next(warningAnswers, defaultWarningAnswer);
}

void ScriptedDialogs::Information(const std::string& text) {
    informations.push_back(text);
    messages.push_back(text);
}

std::optional<std::string> ScriptedDialogs::OpenFile(const FileDialogRequest& request) {
    openRequests.push_back(request);
    return Next<std::optional<std::string>>(openAnswers, std::nullopt);
}

std::optional<std::string> ScriptedDialogs::SaveFile(const FileDialogRequest& request) {
    saveRequests.push_back(request);
    return Next<std::optional<std::string>>(saveAnswers, std::nullopt);
}

bool ScriptedDialogs::ConfirmPrint() {
    ++printRequests;
    return Next(printAnswers, defaultPrintAnswer);
}

} // namespace linkwright::testing
