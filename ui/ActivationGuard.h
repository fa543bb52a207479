// Keeps a window that reloads whenever it is activated from reloading again because a message box
// it showed took the focus away and then gave it back (the two would otherwise chase each other).
#pragma once

namespace linkwright {

class ActivationGuard {
public:
    bool Reporting() const { return reporting_; }

    // Shows a box through `report`; an activation that the box's closing causes is skipped.
    template <typename Report> void ReportWith(Report&& report) {
        reporting_ = true;
        deactivatedWhileReporting_ = false;
        try {
            report();
        } catch (...) {
            reporting_ = false;
            throw;
        }
        reporting_ = false;
        if (deactivatedWhileReporting_) skipNextActivation_ = true;
    }

    // The next activation is not to reload (the window has just loaded).
    void SkipNextActivation() { skipNextActivation_ = true; }

    // Call on every activation change; true when this activation should reload the window.
    bool ShouldReload(bool active) {
        if (!active) {
            if (reporting_) deactivatedWhileReporting_ = true;
            return false;
        }
        if (skipNextActivation_) {
            skipNextActivation_ = false;
            return false;
        }
        return true;
    }

private:
    bool reporting_ = false;
    bool deactivatedWhileReporting_ = false;
    bool skipNextActivation_ = false;
};

} // namespace linkwright
