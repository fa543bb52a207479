// The typed base of a gear kind's model: what every kind would otherwise repeat around its record
// (its bytes, the valving fields under their common names, the unit variables' reset, the view
// window copy, the cached editor table and the PressureLimit rule of an editor OK).
#pragma once

#include "gears/GearModel.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace linkwright {

template <GearKind K, typename Record> class GearModelOf : public GearModel {
public:
    static_assert(std::is_trivially_copyable_v<Record>, "a record is stored and read as bytes");

    explicit GearModelOf(const GearEnvironment& environment) : GearModel(environment) {}

    GearKind Kind() const final { return K; }

    std::span<std::uint8_t> RecordBytes() final {
        return std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(&GearRecord), sizeof GearRecord);
    }

    Valving CurrentValving() const final {
        const Record& g = GearRecord;
        Valving v;
        v.PortSpacing = g.PortSpacing;
        v.PortWidth = g.PortWidth;
        v.BobbinSpacing = g.BobbinSpacing;
        v.BobbinWidth = g.BobbinWidth;
        v.PressureLimit = g.PressureLimit;
        v.SteamChestPressure = g.SteamChestPressure;
        v.Gamma = g.Gamma;
        v.Clearance = g.Clearance;
        v.ExhaustPressure = g.ExhaustPressure;
        v.Inside = g.Inside;
        return v;
    }

    bool RecordHoldsNumbers() final {
        const Record& g = GearRecord;
        for (const EditorField& field : Editor().fields)
            if (field.storage.Kind() == FieldRef::Type::Float && field.storage.Inside(&g, sizeof g) &&
                !std::isfinite(field.storage.ReadFloat()))
                return false;
        for (const float value : g.ViewWindow)
            if (!std::isfinite(value)) return false;
        return std::isfinite(g.PressureLimit);
    }

    // The table refers to this model's record and unit variables and to the main state, which all
    // stay where they are for the model's life, so it is built once.
    const EditorTable& Editor() final {
        if (!editorBuilt_) {
            editor_ = BuildEditor();
            editorBuilt_ = true;
        }
        return editor_;
    }

    // Every kind hands the analysis 1.1 times the steam chest pressure; the kind's own derived
    // fields follow.
    void AfterEditorOk() final {
        GearRecord.PressureLimit =
            static_cast<float>(static_cast<double>(GearRecord.SteamChestPressure) * 1.1);
        DeriveAfterEditorOk();
    }

    // The record, always resident; the editor, a load and the mechanism change it.
    Record GearRecord{};

protected:
    // The kind's field table, in the order its OK button stores the fields.
    virtual EditorTable BuildEditor() = 0;
    // The fields an editor OK recomputes besides PressureLimit (the view window, say).
    virtual void DeriveAfterEditorOk() {}

    // The unit variables and the backlash state as the built-in example leaves them.
    void ResetUnitVariables() {
        WheelLift = 0;
        WheelDisp = 0;
        Slack = 0;
        AutoSetting = 0;
        ValvePos_ = 0;
        LinkValvePos_ = 0;
    }

    // The record's five ViewWindow values become the main state's drawing window and valve panel.
    void CopyViewWindow() {
        SimulationState& state = env_.state;
        state.ViewXMin = GearRecord.ViewWindow[0];
        state.ViewXMax = GearRecord.ViewWindow[1];
        state.ViewYMin = GearRecord.ViewWindow[2];
        state.ViewYMax = GearRecord.ViewWindow[3];
        state.ValvePanelHalfWidth = GearRecord.ViewWindow[4];
    }

private:
    EditorTable editor_;
    bool editorBuilt_ = false;
};

} // namespace linkwright
