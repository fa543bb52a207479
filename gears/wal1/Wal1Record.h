// The Walschaerts 1 parameter record: its exact byte layout is also the first 432 bytes of the
// kind's data file, so every offset is checked at compile time.
#pragma once

#include "gears/EditorFields.h"

#include <cstddef>
#include <cstdint>

namespace linkwright {

inline constexpr std::size_t Wal1RecordSize = 432;

#pragma pack(push, 1)
struct Wal1Record {
    std::int32_t Version;
    ShortString Descr;
    float Reserved260;
    float PistStroke;    // piston stroke = twice the crank radius
    float GVy;           // valve-rod axis height above the piston-rod axis
    float TV;            // combination lever, radius-rod pin T to valve-rod pin V (signed)
    float UV;            // combination lever, valve-rod pin V to union-link pin U
    float GC;            // connecting rod
    float CE;            // return crank: crank pin to eccentric pin
    float DGy;           // droplink, gudgeon pin to union-link pin, vertical
    float DGx;           // droplink, horizontal
    float PXx;           // trunnion to tail pin along the link's own x axis
    float PXy;           // trunnion to tail pin across it
    float DieBlockChord; // chord of the drawn expansion link
    float APx;           // axle to trunnion, horizontal
    float BT;            // radius rod = link radius
    float LR;            // lifting arm
    float ARx;           // trunnion to reversing shaft, horizontal
    float FLAA;          // lifting arm swing each side of mid gear, radians
    float MLAA;          // lifting arm angle in mid gear, radians
    float BobbinSpacing;
    float BobbinWidth;
    float PortSpacing;
    float PortWidth;
    float SteamChestPressure;
    float ExhaustPressure;
    float Clearance; // percent of swept volume
    float Gamma;
    float PressureLimit;
    float AE;            // eccentric pin radius
    float EX;            // eccentric rod
    float ViewWindow[5]; // xmin, xmax, ymin, ymax, spare
    float ARy;           // reversing shaft height above the axle line
    float APy;           // axle to trunnion, vertical
    float AdjValveX;
    float DU; // union link (signed)
    float Reserved412[3];
    std::uint8_t EccLeads;
    std::uint8_t LastForward;
    std::uint8_t Inside;
    std::uint8_t AutoDU;
    std::uint8_t AutoARy;
    std::uint8_t Reserved429[3];
};
#pragma pack(pop)

static_assert(sizeof(Wal1Record) == Wal1RecordSize);
static_assert(offsetof(Wal1Record, Version) == 0);
static_assert(offsetof(Wal1Record, Descr) == 4);
static_assert(offsetof(Wal1Record, Reserved260) == 260);
static_assert(offsetof(Wal1Record, PistStroke) == 264);
static_assert(offsetof(Wal1Record, GVy) == 268);
static_assert(offsetof(Wal1Record, TV) == 272);
static_assert(offsetof(Wal1Record, UV) == 276);
static_assert(offsetof(Wal1Record, GC) == 280);
static_assert(offsetof(Wal1Record, CE) == 284);
static_assert(offsetof(Wal1Record, DGy) == 288);
static_assert(offsetof(Wal1Record, DGx) == 292);
static_assert(offsetof(Wal1Record, PXx) == 296);
static_assert(offsetof(Wal1Record, PXy) == 300);
static_assert(offsetof(Wal1Record, DieBlockChord) == 304);
static_assert(offsetof(Wal1Record, APx) == 308);
static_assert(offsetof(Wal1Record, BT) == 312);
static_assert(offsetof(Wal1Record, LR) == 316);
static_assert(offsetof(Wal1Record, ARx) == 320);
static_assert(offsetof(Wal1Record, FLAA) == 324);
static_assert(offsetof(Wal1Record, MLAA) == 328);
static_assert(offsetof(Wal1Record, BobbinSpacing) == 332);
static_assert(offsetof(Wal1Record, BobbinWidth) == 336);
static_assert(offsetof(Wal1Record, PortSpacing) == 340);
static_assert(offsetof(Wal1Record, PortWidth) == 344);
static_assert(offsetof(Wal1Record, SteamChestPressure) == 348);
static_assert(offsetof(Wal1Record, ExhaustPressure) == 352);
static_assert(offsetof(Wal1Record, Clearance) == 356);
static_assert(offsetof(Wal1Record, Gamma) == 360);
static_assert(offsetof(Wal1Record, PressureLimit) == 364);
static_assert(offsetof(Wal1Record, AE) == 368);
static_assert(offsetof(Wal1Record, EX) == 372);
static_assert(offsetof(Wal1Record, ViewWindow) == 376);
static_assert(offsetof(Wal1Record, ARy) == 396);
static_assert(offsetof(Wal1Record, APy) == 400);
static_assert(offsetof(Wal1Record, AdjValveX) == 404);
static_assert(offsetof(Wal1Record, DU) == 408);
static_assert(offsetof(Wal1Record, Reserved412) == 412);
static_assert(offsetof(Wal1Record, EccLeads) == 424);
static_assert(offsetof(Wal1Record, LastForward) == 425);
static_assert(offsetof(Wal1Record, Inside) == 426);
static_assert(offsetof(Wal1Record, AutoDU) == 427);
static_assert(offsetof(Wal1Record, AutoARy) == 428);
static_assert(offsetof(Wal1Record, Reserved429) == 429);

// The built-in example: every field of the example column, all other bytes zero.
Wal1Record Wal1ExampleRecord();

} // namespace linkwright
