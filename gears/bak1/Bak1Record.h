// The Baker parameter record: its exact byte layout is also the first 440 bytes of the kind's data
// file, so every offset is checked at compile time.
#pragma once

#include "gears/EditorFields.h"

#include <cstddef>
#include <cstdint>

namespace linkwright {

inline constexpr std::size_t Bak1RecordSize = 440;

#pragma pack(push, 1)
struct Bak1Record {
    std::int32_t Version;
    ShortString Descr;
    float Reserved260; // never read or written by the model; a loaded file's bytes are saved again
    float GVy;         // valve-rod axis above the piston-rod axis
    float UV;          // combination lever, valve-rod pin V to union-link pin U
    float TV;          // combination lever, top T to valve-rod pin V (negative: outside admission)
    float DU;          // union link
    float DGx;         // drop-link pin right of the gudgeon pin
    float DGy;         // drop-link pin below the gudgeon pin
    float GC;          // connecting rod, gudgeon pin to crank pin
    float CrankRadius; // r; the editor shows the piston stroke 2r
    float APx;         // bell-crank pivot left of the axle
    float APy;         // bell-crank pivot above the axle
    float ALx;         // reverse-yoke pivot left of the axle
    float ALy;         // reverse-yoke pivot above the axle
    float AE;          // eccentric crank radius
    float CAE;         // crank to eccentric pin, counter-clockwise, radians
    float BP;          // bell crank lower arm, P to B
    float PZ;          // bell crank upper arm, P to Z
    float BPZ;         // bend of the bell crank, from arm PZ clockwise to arm PB, radians
    float EX;          // eccentric rod
    float RY;          // radius bar
    float BT;          // valve rod, B to T
    float LR;          // reverse yoke
    float XYx;         // sickle lower part, across the line Z-Y
    float XYy;         // sickle lower part, along the line Z-Y
    float YZ;          // sickle upper part
    float AdjValveX;   // valve-rod pin x at which the valve stands central
    float FRYA;        // reverse yoke swing each side of mid gear, radians
    float MRYA;        // reverse yoke angle in mid gear, radians
    float BobbinSpacing;
    float BobbinWidth;
    float PortSpacing;
    float PortWidth;
    float SteamChestPressure;
    float ExhaustPressure;
    float Clearance; // percent of swept volume
    float Gamma;
    float Reserved404[2]; // never read or written by the model
    float PressureLimit;
    float ViewWindow[5];      // xmin, xmax, ymin, ymax, valve panel half width
    std::uint8_t Inside;      // 1 = inside admission
    std::uint8_t LastForward; // the main state's fwd as the last revolution read it
    std::uint8_t Padding[2];
};
#pragma pack(pop)

static_assert(sizeof(Bak1Record) == Bak1RecordSize);
static_assert(offsetof(Bak1Record, Version) == 0);
static_assert(offsetof(Bak1Record, Descr) == 4);
static_assert(offsetof(Bak1Record, Reserved260) == 260);
static_assert(offsetof(Bak1Record, GVy) == 264);
static_assert(offsetof(Bak1Record, UV) == 268);
static_assert(offsetof(Bak1Record, TV) == 272);
static_assert(offsetof(Bak1Record, DU) == 276);
static_assert(offsetof(Bak1Record, DGx) == 280);
static_assert(offsetof(Bak1Record, DGy) == 284);
static_assert(offsetof(Bak1Record, GC) == 288);
static_assert(offsetof(Bak1Record, CrankRadius) == 292);
static_assert(offsetof(Bak1Record, APx) == 296);
static_assert(offsetof(Bak1Record, APy) == 300);
static_assert(offsetof(Bak1Record, ALx) == 304);
static_assert(offsetof(Bak1Record, ALy) == 308);
static_assert(offsetof(Bak1Record, AE) == 312);
static_assert(offsetof(Bak1Record, CAE) == 316);
static_assert(offsetof(Bak1Record, BP) == 320);
static_assert(offsetof(Bak1Record, PZ) == 324);
static_assert(offsetof(Bak1Record, BPZ) == 328);
static_assert(offsetof(Bak1Record, EX) == 332);
static_assert(offsetof(Bak1Record, RY) == 336);
static_assert(offsetof(Bak1Record, BT) == 340);
static_assert(offsetof(Bak1Record, LR) == 344);
static_assert(offsetof(Bak1Record, XYx) == 348);
static_assert(offsetof(Bak1Record, XYy) == 352);
static_assert(offsetof(Bak1Record, YZ) == 356);
static_assert(offsetof(Bak1Record, AdjValveX) == 360);
static_assert(offsetof(Bak1Record, FRYA) == 364);
static_assert(offsetof(Bak1Record, MRYA) == 368);
static_assert(offsetof(Bak1Record, BobbinSpacing) == 372);
static_assert(offsetof(Bak1Record, BobbinWidth) == 376);
static_assert(offsetof(Bak1Record, PortSpacing) == 380);
static_assert(offsetof(Bak1Record, PortWidth) == 384);
static_assert(offsetof(Bak1Record, SteamChestPressure) == 388);
static_assert(offsetof(Bak1Record, ExhaustPressure) == 392);
static_assert(offsetof(Bak1Record, Clearance) == 396);
static_assert(offsetof(Bak1Record, Gamma) == 400);
static_assert(offsetof(Bak1Record, Reserved404) == 404);
static_assert(offsetof(Bak1Record, PressureLimit) == 412);
static_assert(offsetof(Bak1Record, ViewWindow) == 416);
static_assert(offsetof(Bak1Record, Inside) == 436);
static_assert(offsetof(Bak1Record, LastForward) == 437);
static_assert(offsetof(Bak1Record, Padding) == 438);

// The built-in example: every field of the example column, all other bytes zero.
Bak1Record Bak1ExampleRecord();

} // namespace linkwright
