// File > Compare with: two designs of one kind side by side, the shown gear and a data file, each
// solved on a design of its own: their events at the settings typed, their oval diagrams overlaid
// at one of them and their events diagrams overlaid, in the two designs' colours.
#pragma once

#include "tuning/GearDesign.h"

#include <QWidget>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;

namespace linkwright {

class Dialogs;
class DrawingView;

class CompareWindow : public QWidget {
    Q_OBJECT
public:
    // `names` head the designs' columns and keys. `forward` is the direction first shown.
    CompareWindow(std::array<std::unique_ptr<GearDesign>, 2> designs, std::array<std::string, 2> names,
                  bool forward, Dialogs& dialogs, QWidget* parent = nullptr);
    ~CompareWindow() override;

    const std::array<std::string, 2>& Names() const { return names_; }
    // Reads the settings line and the direction and shows everything again; a settings text that
    // is not a list of gear settings is refused with a message and the window left as it was.
    bool SettingsChanged();
    // The setting chosen for the oval diagrams (an index into the settings shown).
    void OvalSettingChanged();

private:
    void SolveOval();

    std::array<std::unique_ptr<GearDesign>, 2> designs_;
    std::array<std::string, 2> names_;
    Dialogs& dialogs_;

    QLineEdit* settings_ = nullptr;
    QCheckBox* forward_ = nullptr;
    QComboBox* ovalSetting_ = nullptr;
    QTableWidget* events_ = nullptr;
    DrawingView* oval_ = nullptr;
    DrawingView* family_ = nullptr;

    std::vector<float> shown_; // the settings the table shows
    std::array<SolvedRevolution, 2> solved_;
    std::array<FamilyEvents, 2> families_;
};

} // namespace linkwright
