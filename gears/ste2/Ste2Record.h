// The Stephenson 2 parameter record: its exact byte layout is also the first 452 bytes of the
// kind's data file, so every offset is checked at compile time. Up to offset 392 it is the
// Stephenson 1 record; the slant and the rocker follow.
#pragma once

#include "gears/EditorFields.h"

#include <cstddef>
#include <cstdint>

namespace linkwright {

inline constexpr std::size_t Ste2RecordSize = 452;

#pragma pack(push, 1)
struct Ste2Record {
    std::int32_t Version;
    ShortString Descr;
    float Reserved260; // never read or written by the model; a loaded file's bytes are saved again
    float CrankRadius; // r; the editor shows the piston stroke 2r
    float GC;          // connecting rod, gudgeon pin to crank pin
    float AE;          // eccentric throw
    float EF;          // both eccentric rods, E-F and J-K
    float CAE;         // crank to eccentrics, radians; the eccentrics sit at + and - this angle
    float BobbinSpacing;
    float BobbinWidth;
    float PortSpacing;
    float PortWidth;
    float SteamChestPressure;
    float ExhaustPressure;
    float Clearance; // percent of swept volume
    float Gamma;
    float PressureLimit;
    float elEccRodX;       // link frame x of the rod pins F and K
    float elEccRodY;       // link frame y of F (K at minus it); its sign crosses the rods
    float elHangX;         // link frame x of the hanger pin M
    float elHangY;         // link frame y of the hanger pin M
    float ARx;             // axle to reversing shaft, horizontal
    float ARy;             // axle to reversing shaft, vertical
    float MaxelLiftArmAng; // lifting arm swing each side of mid gear, radians
    float MidelLiftArmAng; // lifting arm angle in mid gear, radians
    float LR;              // lifting arm R-L
    float LM;              // link hanger L-M
    float elRadius;        // radius of curvature of the link slot
    float elchord;         // approximate slot length, drawn only
    float ATx;             // axle to rocker rod hanger pivot, horizontal
    float ATy;             // axle to rocker rod hanger pivot, vertical
    float TU;              // rocker rod hanger
    float UV;              // rocker rod, rocker arm end V to hanger pin U
    float BU;              // rocker rod, hanger pin U to die block B (negative: overhung)
    float AdjValveX;
    float GearSlant;      // slant of the gear, radians: turns the eccentrics' reference
    float Reserved396;    // never read or written by the model
    float AXx;            // axle to rocker pivot X, horizontal
    float AXy;            // axle to rocker pivot X, vertical
    float VX;             // rocker arm X-V, to the rocker rod
    float WX;             // rocker arm X-W, to the valve rod; its sign counts in the rocker's correction
    float WY;             // valve rod W-Y
    float AYy;            // height of the valve spindle line above the axle
    float aVXW;           // bend of the rocker, radians: 0 straight, pi folded back
    float ViewWindow[5];  // xmin, xmax, ymin, ymax, valve panel half width
    std::uint8_t FwdCopy; // the main state's fwd as the last revolution read it
    std::uint8_t Inside;  // 1 = inside admission
    std::uint8_t Padding[2];
};
#pragma pack(pop)

static_assert(sizeof(Ste2Record) == Ste2RecordSize);
static_assert(offsetof(Ste2Record, Version) == 0);
static_assert(offsetof(Ste2Record, Descr) == 4);
static_assert(offsetof(Ste2Record, Reserved260) == 260);
static_assert(offsetof(Ste2Record, CrankRadius) == 264);
static_assert(offsetof(Ste2Record, GC) == 268);
static_assert(offsetof(Ste2Record, AE) == 272);
static_assert(offsetof(Ste2Record, EF) == 276);
static_assert(offsetof(Ste2Record, CAE) == 280);
static_assert(offsetof(Ste2Record, BobbinSpacing) == 284);
static_assert(offsetof(Ste2Record, BobbinWidth) == 288);
static_assert(offsetof(Ste2Record, PortSpacing) == 292);
static_assert(offsetof(Ste2Record, PortWidth) == 296);
static_assert(offsetof(Ste2Record, SteamChestPressure) == 300);
static_assert(offsetof(Ste2Record, ExhaustPressure) == 304);
static_assert(offsetof(Ste2Record, Clearance) == 308);
static_assert(offsetof(Ste2Record, Gamma) == 312);
static_assert(offsetof(Ste2Record, PressureLimit) == 316);
static_assert(offsetof(Ste2Record, elEccRodX) == 320);
static_assert(offsetof(Ste2Record, elEccRodY) == 324);
static_assert(offsetof(Ste2Record, elHangX) == 328);
static_assert(offsetof(Ste2Record, elHangY) == 332);
static_assert(offsetof(Ste2Record, ARx) == 336);
static_assert(offsetof(Ste2Record, ARy) == 340);
static_assert(offsetof(Ste2Record, MaxelLiftArmAng) == 344);
static_assert(offsetof(Ste2Record, MidelLiftArmAng) == 348);
static_assert(offsetof(Ste2Record, LR) == 352);
static_assert(offsetof(Ste2Record, LM) == 356);
static_assert(offsetof(Ste2Record, elRadius) == 360);
static_assert(offsetof(Ste2Record, elchord) == 364);
static_assert(offsetof(Ste2Record, ATx) == 368);
static_assert(offsetof(Ste2Record, ATy) == 372);
static_assert(offsetof(Ste2Record, TU) == 376);
static_assert(offsetof(Ste2Record, UV) == 380);
static_assert(offsetof(Ste2Record, BU) == 384);
static_assert(offsetof(Ste2Record, AdjValveX) == 388);
static_assert(offsetof(Ste2Record, GearSlant) == 392);
static_assert(offsetof(Ste2Record, Reserved396) == 396);
static_assert(offsetof(Ste2Record, AXx) == 400);
static_assert(offsetof(Ste2Record, AXy) == 404);
static_assert(offsetof(Ste2Record, VX) == 408);
static_assert(offsetof(Ste2Record, WX) == 412);
static_assert(offsetof(Ste2Record, WY) == 416);
static_assert(offsetof(Ste2Record, AYy) == 420);
static_assert(offsetof(Ste2Record, aVXW) == 424);
static_assert(offsetof(Ste2Record, ViewWindow) == 428);
static_assert(offsetof(Ste2Record, FwdCopy) == 448);
static_assert(offsetof(Ste2Record, Inside) == 449);
static_assert(offsetof(Ste2Record, Padding) == 450);

// The built-in example: every field of the example column, all other bytes zero.
Ste2Record Ste2ExampleRecord();

} // namespace linkwright
