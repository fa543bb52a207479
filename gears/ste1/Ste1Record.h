// The Stephenson 1 parameter record: its exact byte layout is also the first 424 bytes of the
// kind's data file, so every offset is checked at compile time.
#pragma once

#include "gears/EditorFields.h"

#include <cstddef>
#include <cstdint>

namespace linkwright {

inline constexpr std::size_t Ste1RecordSize = 424;

#pragma pack(push, 1)
struct Ste1Record {
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
    float ATx;             // axle to valve rod hanger pivot, horizontal
    float ATy;             // axle to valve rod hanger pivot, vertical
    float TU;              // valve rod hanger
    float UV;              // valve rod, clevis V to hanger pin U
    float BU;              // valve rod, hanger pin U to die block B (negative: overhung)
    float AdjValveX;
    float Reserved392[2];
    float ViewWindow[5];  // xmin, xmax, ymin, ymax, valve panel half width
    std::uint8_t FwdCopy; // the main state's fwd as the last revolution read it
    std::uint8_t Inside;  // 1 = inside admission
    std::uint8_t Padding[2];
};
#pragma pack(pop)

static_assert(sizeof(Ste1Record) == Ste1RecordSize);
static_assert(offsetof(Ste1Record, Version) == 0);
static_assert(offsetof(Ste1Record, Descr) == 4);
static_assert(offsetof(Ste1Record, Reserved260) == 260);
static_assert(offsetof(Ste1Record, CrankRadius) == 264);
static_assert(offsetof(Ste1Record, GC) == 268);
static_assert(offsetof(Ste1Record, AE) == 272);
static_assert(offsetof(Ste1Record, EF) == 276);
static_assert(offsetof(Ste1Record, CAE) == 280);
static_assert(offsetof(Ste1Record, BobbinSpacing) == 284);
static_assert(offsetof(Ste1Record, BobbinWidth) == 288);
static_assert(offsetof(Ste1Record, PortSpacing) == 292);
static_assert(offsetof(Ste1Record, PortWidth) == 296);
static_assert(offsetof(Ste1Record, SteamChestPressure) == 300);
static_assert(offsetof(Ste1Record, ExhaustPressure) == 304);
static_assert(offsetof(Ste1Record, Clearance) == 308);
static_assert(offsetof(Ste1Record, Gamma) == 312);
static_assert(offsetof(Ste1Record, PressureLimit) == 316);
static_assert(offsetof(Ste1Record, elEccRodX) == 320);
static_assert(offsetof(Ste1Record, elEccRodY) == 324);
static_assert(offsetof(Ste1Record, elHangX) == 328);
static_assert(offsetof(Ste1Record, elHangY) == 332);
static_assert(offsetof(Ste1Record, ARx) == 336);
static_assert(offsetof(Ste1Record, ARy) == 340);
static_assert(offsetof(Ste1Record, MaxelLiftArmAng) == 344);
static_assert(offsetof(Ste1Record, MidelLiftArmAng) == 348);
static_assert(offsetof(Ste1Record, LR) == 352);
static_assert(offsetof(Ste1Record, LM) == 356);
static_assert(offsetof(Ste1Record, elRadius) == 360);
static_assert(offsetof(Ste1Record, elchord) == 364);
static_assert(offsetof(Ste1Record, ATx) == 368);
static_assert(offsetof(Ste1Record, ATy) == 372);
static_assert(offsetof(Ste1Record, TU) == 376);
static_assert(offsetof(Ste1Record, UV) == 380);
static_assert(offsetof(Ste1Record, BU) == 384);
static_assert(offsetof(Ste1Record, AdjValveX) == 388);
static_assert(offsetof(Ste1Record, Reserved392) == 392);
static_assert(offsetof(Ste1Record, ViewWindow) == 400);
static_assert(offsetof(Ste1Record, FwdCopy) == 420);
static_assert(offsetof(Ste1Record, Inside) == 421);
static_assert(offsetof(Ste1Record, Padding) == 422);

// The built-in example: every field of the example column, all other bytes zero.
Ste1Record Ste1ExampleRecord();

} // namespace linkwright
