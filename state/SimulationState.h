// The main window's settings and analysis block, the gear kind numbers and the step arrays. The first
// 4580 bytes of SimulationState follow the gear record in every data file, so the layout is binding.
#pragma once

#include "state/EventRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace linkwright {

enum class GearKind : std::uint8_t {
    Walschaerts1 = 0,
    Stephensons1 = 1,
    Bakers1 = 2,
    Walschaerts2 = 3,
    Stephensons2 = 4,
};
// What each kind is called, where its files go and how its model is made: gears/GearKinds.h.
inline constexpr int GearKindCount = 5;

inline constexpr int MaxSteps = 550; // the step arrays hold entries 0..MaxSteps
inline constexpr int StepArraySize = 551;
inline constexpr int MinSteps = 30;
inline constexpr int FamilySize = 10; // members of the family sweep

#pragma pack(push, 1)
struct SimulationState {
    float ViewXMin;
    float ViewXMax;
    float ViewYMin;
    float ViewYMax;
    float ValvePanelHalfWidth; // rewritten by every DrawGear
    std::uint8_t fwd;          // 1 = forward running
    std::uint8_t PaddingFwd[3];
    std::int32_t Nsteps; // 30..550
    float MovieStep;     // crank increment per animation frame, radians
    float GearSetting;   // -1..+1 by the scroll bar, any value by typing
    std::int32_t Decimals;
    // Run-time references of the three step arrays; written as zero, ignored when read.
    std::uint32_t StepCrankAngleHandle;
    std::uint32_t StepPistonPctHandle;
    std::uint32_t StepValvePosHandle;
    EventRecord Events;
    float FrontPressure[StepArraySize];
    float RearPressure[StepArraySize];
    std::uint8_t EventsImproper;
    std::uint8_t AnalysisValid;
    std::uint8_t EventsKnown;
    std::uint8_t PaddingFlags;
    std::int32_t FamilyCount;
    // Run-time references of the family blocks; written as zero, ignored when read.
    std::uint32_t FamilyFrontPressureHandle;
    std::uint32_t FamilyRearPressureHandle;
    std::uint32_t FamilyEventsHandle;
    float FamilyGearFrom;
    float FamilyGearTo;
    std::uint8_t FamilyMode;
    std::uint8_t PaddingFamily[3];
};
#pragma pack(pop)

inline constexpr std::size_t StoredStateSize = 4580;

static_assert(sizeof(SimulationState) == StoredStateSize);
static_assert(offsetof(SimulationState, ViewXMin) == 0);
static_assert(offsetof(SimulationState, ViewXMax) == 4);
static_assert(offsetof(SimulationState, ViewYMin) == 8);
static_assert(offsetof(SimulationState, ViewYMax) == 12);
static_assert(offsetof(SimulationState, ValvePanelHalfWidth) == 16);
static_assert(offsetof(SimulationState, fwd) == 20);
static_assert(offsetof(SimulationState, Nsteps) == 24);
static_assert(offsetof(SimulationState, MovieStep) == 28);
static_assert(offsetof(SimulationState, GearSetting) == 32);
static_assert(offsetof(SimulationState, Decimals) == 36);
static_assert(offsetof(SimulationState, StepCrankAngleHandle) == 40);
static_assert(offsetof(SimulationState, StepPistonPctHandle) == 44);
static_assert(offsetof(SimulationState, StepValvePosHandle) == 48);
static_assert(offsetof(SimulationState, Events) == 52);
static_assert(offsetof(SimulationState, FrontPressure) == 140);
static_assert(offsetof(SimulationState, RearPressure) == 2344);
static_assert(offsetof(SimulationState, EventsImproper) == 4548);
static_assert(offsetof(SimulationState, AnalysisValid) == 4549);
static_assert(offsetof(SimulationState, EventsKnown) == 4550);
static_assert(offsetof(SimulationState, FamilyCount) == 4552);
static_assert(offsetof(SimulationState, FamilyFrontPressureHandle) == 4556);
static_assert(offsetof(SimulationState, FamilyRearPressureHandle) == 4560);
static_assert(offsetof(SimulationState, FamilyEventsHandle) == 4564);
static_assert(offsetof(SimulationState, FamilyGearFrom) == 4568);
static_assert(offsetof(SimulationState, FamilyGearTo) == 4572);
static_assert(offsetof(SimulationState, FamilyMode) == 4576);

// The main window's defaults, set at start-up, on a choice of kind and after every load: forward,
// 550 steps, MovieStep 0.01, full gear, 4 decimals, no analysis and no events known.
inline void ResetStateDefaults(SimulationState& state) {
    state.fwd = 1;
    state.Nsteps = MaxSteps;
    state.MovieStep = 0.01f;
    state.GearSetting = 1.0f;
    state.Decimals = 4;
    state.AnalysisValid = 0;
    state.EventsKnown = 0;
}

// The three per-step result arrays of one solved revolution, entries 0..Nsteps.
struct StepArrays {
    std::array<float, StepArraySize> StepCrankAngle{};
    std::array<float, StepArraySize> StepPistonPct{};
    std::array<float, StepArraySize> StepValvePos{};
};

// The family sweep's blocks: member i of the pressures at i * 551.
struct FamilyBlocks {
    std::array<float, FamilySize * StepArraySize> FamilyFrontPressure{};
    std::array<float, FamilySize * StepArraySize> FamilyRearPressure{};
    std::array<EventRecord, FamilySize> FamilyEvents{};
};

} // namespace linkwright
