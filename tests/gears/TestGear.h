// A small gear model for the tests of what all kinds share: its linkage is a scripted valve
// displacement, its record a few fields of every storage type, its editor a table over them.
#pragma once

#include "gears/EditorFields.h"
#include "gears/GearModelOf.h"
#include "state/SimulationState.h"
#include "tests/support/ScriptedDialogs.h"
#include "windows/MessagesFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace linkwright::testing {

#pragma pack(push, 1)
struct TestGearRecord {
    std::int32_t Version;
    ShortString Descr;
    float CrankRadius;
    float Angle;
    float DU;
    float ARy;
    float MLAA;
    float PortSpacing;
    float PortWidth;
    float BobbinSpacing;
    float BobbinWidth;
    float AdjValveX;
    float SteamChestPressure;
    float ExhaustPressure;
    float Gamma;
    float Clearance;
    float PressureLimit;
    float ViewWindow[5];
    std::uint8_t Inside;
    std::uint8_t AutoDU;
    std::uint8_t AutoARy;
    std::uint8_t Reserved[3];
};
#pragma pack(pop)
static_assert(sizeof(TestGearRecord) == 346);

// It stands in for Walschaerts 1 in the kinds table: file version 2, with an auto-setting.
class TestGear final : public GearModelOf<GearKind::Walschaerts1, TestGearRecord> {
public:
    explicit TestGear(const GearEnvironment& environment) : GearModelOf(environment) {}

    void SetExample() override {
        record = TestGearRecord{};
        record.Descr.Assign("Test gear");
        record.CrankRadius = 1.25f;
        record.PortSpacing = 1.25f;
        record.PortWidth = 0.1875f;
        record.BobbinSpacing = 0.9375f;
        record.BobbinWidth = 0.34375f;
        record.SteamChestPressure = 600;
        record.ExhaustPressure = 120;
        record.Gamma = 1.3f;
        record.Clearance = 10;
        record.PressureLimit = 800;
        record.Inside = 1;
        const float view[5] = {-2, 11, -2, 7, 2};
        std::copy(view, view + 5, record.ViewWindow);
    }
    void InitialiseGear() override {
        ++initialiseCount;
        CopyViewWindow();
    }
    // The "linkage" is the scripted displacement of the crank angle; the backlash follows.
    void CalcGear(float crankAngle, float gearSetting) override {
        calls.push_back(crankAngle);
        if (onCalc) onCalc(crankAngle);
        lastAngle = crankAngle;
        const float raw = linkage ? linkage(crankAngle, gearSetting) : crankAngle;
        ApplyBacklash(static_cast<float>(static_cast<double>(raw) + record.AdjValveX));
    }
    void SolveRevolution(StepArrays& steps, int Nsteps, EventRecord& events, float gearSetting) override {
        SolveRevolutionLoop(steps, Nsteps, gearSetting, [this](int k, float angle) {
            eachStep.push_back({k, angle, calls.empty() ? -1.0f : calls.back()});
        });
        FillValvingWords(events);
    }
    void DrawGear(Glib1&, int, int, bool, float crankAngle, float gearSetting) override {
        CalcGear(crankAngle, gearSetting);
    }
    void DeriveAfterEditorOk() override {
        ++afterOkCount;
        record.ViewWindow[0] = -2 * record.CrankRadius;
    }
    float PistonPct() const override { return lastAngle * 10; }
    std::vector<NamedPin> NamedPins() const override { return {}; }

    using GearModel::ApplyBacklash;
    void SetPreviousValvePos(float value) { ValvePos_ = value; }

    struct StepSeen {
        int k;
        float angle;
        float calcAngle; // the angle of the CalcGear that ran just before
    };

    TestGearRecord& record = GearRecord;
    std::function<float(float, float)> linkage;
    std::function<void(float)> onCalc;
    std::vector<float> calls;
    std::vector<StepSeen> eachStep;
    float lastAngle = 0;
    int initialiseCount = 0;
    int afterOkCount = 0;

private:
    EditorTable BuildEditor() override {
        EditorTable table = StartEditorTable(Kind(), ConditionsTab, PrintPlacement::OnTab, OtherTab);
        AppendCommonHead(table, *this, env_.state, CommonFieldsOf(record), {});
        const FieldPlace geometry{GeometryTab, ""};
        std::vector<EditorField>& f = table.fields;
        f.push_back(EditField(geometry, "FLAAd", "FLAAd", "", &record.Angle, FieldConversion::Degrees));
        f.push_back(EditField(geometry, "DU", "DU", "", &record.DU));
        f.push_back(CheckBoxField(geometry, "cbDU", "Auto", "", &record.AutoDU, {"DU"}));
        f.push_back(EditField(geometry, "MLAAd", "MLAAd", "", &record.MLAA, FieldConversion::DegreesOver180));
        f.push_back(EditField(geometry, "ARy", "ARy", "", &record.ARy));
        f.push_back(CheckBoxField(geometry, "cbARy", "Auto", "", &record.AutoARy, {"ARy", "MLAAd"}));
        return table;
    }
};

// A model with its whole environment, fresh for every test.
struct TestGearSetup {
    SimulationState state{};
    MessagesFile messages{"TestGearMessages.txt"};
    ScriptedDialogs dialogs;
    TestGear gear{GearEnvironment{state, messages, dialogs}};

    TestGearSetup() {
        state.fwd = 1;
        state.Nsteps = 550;
        state.MovieStep = 0.01f;
        state.GearSetting = 1;
        state.Decimals = 4;
        gear.SetExample();
    }
};

} // namespace linkwright::testing
