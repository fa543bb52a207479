// The editor rows both Stephenson kinds share: the common head as the Stephenson forms word it, the
// connecting rod, the link's drive, the reversing gear, the rod from the die block with its hanger,
// and the expansion link with its note; and the drawing window an editor OK recomputes.
#pragma once

#include "gears/EditorFields.h"

#include <string>
#include <vector>

namespace linkwright {

inline constexpr const char* StephensonLinkGroup = "Expansion Link";

// The record fields of the shared geometry rows.
struct StephensonEditorFields {
    float* GC = nullptr;
    float* AE = nullptr;
    float* CAE = nullptr;
    float* EF = nullptr;
    float* MaxelLiftArmAng = nullptr;
    float* MidelLiftArmAng = nullptr;
    float* ARx = nullptr;
    float* ARy = nullptr;
    float* LR = nullptr;
    float* LM = nullptr;
    float* ATx = nullptr;
    float* ATy = nullptr;
    float* TU = nullptr;
    float* UV = nullptr;
    float* BU = nullptr;
    float* elEccRodX = nullptr;
    float* elEccRodY = nullptr;
    float* elHangX = nullptr;
    float* elHangY = nullptr;
    float* elRadius = nullptr;
    float* elchord = nullptr;
};

// The shared rows' fields of a record, under the names both Stephenson records give them.
template <typename Record> StephensonEditorFields StephensonEditorFieldsOf(Record& g) {
    StephensonEditorFields f;
    f.GC = &g.GC;
    f.AE = &g.AE;
    f.CAE = &g.CAE;
    f.EF = &g.EF;
    f.MaxelLiftArmAng = &g.MaxelLiftArmAng;
    f.MidelLiftArmAng = &g.MidelLiftArmAng;
    f.ARx = &g.ARx;
    f.ARy = &g.ARy;
    f.LR = &g.LR;
    f.LM = &g.LM;
    f.ATx = &g.ATx;
    f.ATy = &g.ATy;
    f.TU = &g.TU;
    f.UV = &g.UV;
    f.BU = &g.BU;
    f.elEccRodX = &g.elEccRodX;
    f.elEccRodY = &g.elEccRodY;
    f.elHangX = &g.elHangX;
    f.elHangY = &g.elHangY;
    f.elRadius = &g.elRadius;
    f.elchord = &g.elchord;
    return f;
}

// What the two forms word differently: the die block's rod (a valve rod, or a rocker rod) and the
// lines of the link's note.
struct StephensonEditorTexts {
    std::string rodGroup; // "Valve Rod and Hanger"
    std::string tuLabel;  // "TU Valve Rod Hanger length"
    std::string uvLabel;  // "UV Valve  clevis to hanger pin"
    std::vector<std::string> linkNote;
};

// The table of a Stephenson kind's form up to elchord, in the order its OK button stores the
// fields: the common head, GC, AE, CAE, EF, the lifting arm's angles, ARx, ARy, LR, LM, ATx, ATy,
// TU, UV, BU, the link pins, elRadius and elchord; the link's note is the note Memo1.
EditorTable StartStephensonEditor(GearKind kind, GearModel& model, SimulationState& state,
                                  const CommonRecordFields& common, const StephensonEditorFields& g,
                                  const StephensonEditorTexts& texts);

// What an OK recomputes besides PressureLimit: the first four ViewWindow values from the new crank
// radius and connecting rod; the fifth, the valve panel's half width, keeps its value.
template <typename Record> void DeriveStephensonViewWindow(Record& g) {
    const double stroke = 2.0 * static_cast<double>(g.CrankRadius);
    const double length = stroke + static_cast<double>(g.GC);
    g.ViewWindow[0] = static_cast<float>(-stroke);
    g.ViewWindow[1] = static_cast<float>(length);
    g.ViewWindow[2] = static_cast<float>(-stroke);
    g.ViewWindow[3] = static_cast<float>(length / 2.0);
}

} // namespace linkwright
