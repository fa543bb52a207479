// The analysis record of one solved revolution: port-opening displacements, event steps, and the
// gear's valving and pressure data. Stored raw inside SimulationState, so its layout is binding.
#pragma once

#include <cstddef>
#include <cstdint>

namespace linkwright {

#pragma pack(push, 1)
struct EventRecord {
    // Words 0..3: valve displacements at which a port edge opens (written by the analysis).
    float TopSteam;      // word 0: front port starts to take steam
    float BottomSteam;   // word 1: rear port starts to take steam
    float TopExhaust;    // word 2: front port starts to exhaust
    float BottomExhaust; // word 3: rear port starts to exhaust
    // Words 4..11: event step indices 0..Nsteps, or -1 when not found (written by the analysis).
    std::int32_t tson;  // front steam on (admission)
    std::int32_t tsoff; // front steam off (cut-off)
    std::int32_t bson;  // rear steam on
    std::int32_t bsoff; // rear steam off
    std::int32_t teon;  // front exhaust on (release)
    std::int32_t teoff; // front exhaust off (compression)
    std::int32_t beon;  // rear exhaust on
    std::int32_t beoff; // rear exhaust off
    // Words 12..20 and byte 84: the gear's valving and pressure data (written by SolveRevolution).
    float PortSpacing;
    float PortWidth;
    float BobbinSpacing;
    float BobbinWidth;
    float PressureLimit;
    float SteamChestPressure;
    float Gamma;
    float Clearance;
    float ExhaustPressure;
    std::uint8_t Inside; // 1 = inside admission
    std::uint8_t Padding[3];
};
#pragma pack(pop)

static_assert(sizeof(EventRecord) == 88);
static_assert(offsetof(EventRecord, TopSteam) == 0);
static_assert(offsetof(EventRecord, BottomSteam) == 4);
static_assert(offsetof(EventRecord, TopExhaust) == 8);
static_assert(offsetof(EventRecord, BottomExhaust) == 12);
static_assert(offsetof(EventRecord, tson) == 16);
static_assert(offsetof(EventRecord, tsoff) == 20);
static_assert(offsetof(EventRecord, bson) == 24);
static_assert(offsetof(EventRecord, bsoff) == 28);
static_assert(offsetof(EventRecord, teon) == 32);
static_assert(offsetof(EventRecord, teoff) == 36);
static_assert(offsetof(EventRecord, beon) == 40);
static_assert(offsetof(EventRecord, beoff) == 44);
static_assert(offsetof(EventRecord, PortSpacing) == 48);
static_assert(offsetof(EventRecord, PortWidth) == 52);
static_assert(offsetof(EventRecord, BobbinSpacing) == 56);
static_assert(offsetof(EventRecord, BobbinWidth) == 60);
static_assert(offsetof(EventRecord, PressureLimit) == 64);
static_assert(offsetof(EventRecord, SteamChestPressure) == 68);
static_assert(offsetof(EventRecord, Gamma) == 72);
static_assert(offsetof(EventRecord, Clearance) == 76);
static_assert(offsetof(EventRecord, ExhaustPressure) == 80);
static_assert(offsetof(EventRecord, Inside) == 84);

} // namespace linkwright
