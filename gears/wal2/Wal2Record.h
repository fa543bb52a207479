// The Walschaerts 2 parameter record: its exact byte layout is also the first 440 bytes of the
// kind's data file, so every offset is checked at compile time.
#pragma once

#include "gears/EditorFields.h"

#include <cstddef>
#include <cstdint>

namespace linkwright {

inline constexpr std::size_t Wal2RecordSize = 440;

#pragma pack(push, 1)
struct Wal2Record {
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
    float LM;            // radius-rod hanger, lifting arm end to M
    float BM;            // die block to the radius-rod hanger pin M
    float SV;            // double hanger, pivot S to valve-rod pin V
    float VW;            // pivoted valve rod, V to the valve spindle pin W
    float ARx;           // axle to reversing shaft, horizontal
    float ARy;           // axle to reversing shaft, vertical
    float ASy;           // axle line to the double hanger's pivot, vertical
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
    float Reserved420;
    float APy; // axle to trunnion, vertical
    float AdjValveX;
    float DU; // union link (signed: negative when left of the droplink)
    std::uint8_t EccLeads;
    std::uint8_t LastForward;
    std::uint8_t Inside;
    std::uint8_t AutoDU;
};
#pragma pack(pop)

static_assert(sizeof(Wal2Record) == Wal2RecordSize);
static_assert(offsetof(Wal2Record, Version) == 0);
static_assert(offsetof(Wal2Record, Descr) == 4);
static_assert(offsetof(Wal2Record, Reserved260) == 260);
static_assert(offsetof(Wal2Record, PistStroke) == 264);
static_assert(offsetof(Wal2Record, GVy) == 268);
static_assert(offsetof(Wal2Record, TV) == 272);
static_assert(offsetof(Wal2Record, UV) == 276);
static_assert(offsetof(Wal2Record, GC) == 280);
static_assert(offsetof(Wal2Record, CE) == 284);
static_assert(offsetof(Wal2Record, DGy) == 288);
static_assert(offsetof(Wal2Record, DGx) == 292);
static_assert(offsetof(Wal2Record, PXx) == 296);
static_assert(offsetof(Wal2Record, PXy) == 300);
static_assert(offsetof(Wal2Record, DieBlockChord) == 304);
static_assert(offsetof(Wal2Record, APx) == 308);
static_assert(offsetof(Wal2Record, BT) == 312);
static_assert(offsetof(Wal2Record, LR) == 316);
static_assert(offsetof(Wal2Record, LM) == 320);
static_assert(offsetof(Wal2Record, BM) == 324);
static_assert(offsetof(Wal2Record, SV) == 328);
static_assert(offsetof(Wal2Record, VW) == 332);
static_assert(offsetof(Wal2Record, ARx) == 336);
static_assert(offsetof(Wal2Record, ARy) == 340);
static_assert(offsetof(Wal2Record, ASy) == 344);
static_assert(offsetof(Wal2Record, FLAA) == 348);
static_assert(offsetof(Wal2Record, MLAA) == 352);
static_assert(offsetof(Wal2Record, BobbinSpacing) == 356);
static_assert(offsetof(Wal2Record, BobbinWidth) == 360);
static_assert(offsetof(Wal2Record, PortSpacing) == 364);
static_assert(offsetof(Wal2Record, PortWidth) == 368);
static_assert(offsetof(Wal2Record, SteamChestPressure) == 372);
static_assert(offsetof(Wal2Record, ExhaustPressure) == 376);
static_assert(offsetof(Wal2Record, Clearance) == 380);
static_assert(offsetof(Wal2Record, Gamma) == 384);
static_assert(offsetof(Wal2Record, PressureLimit) == 388);
static_assert(offsetof(Wal2Record, AE) == 392);
static_assert(offsetof(Wal2Record, EX) == 396);
static_assert(offsetof(Wal2Record, ViewWindow) == 400);
static_assert(offsetof(Wal2Record, Reserved420) == 420);
static_assert(offsetof(Wal2Record, APy) == 424);
static_assert(offsetof(Wal2Record, AdjValveX) == 428);
static_assert(offsetof(Wal2Record, DU) == 432);
static_assert(offsetof(Wal2Record, EccLeads) == 436);
static_assert(offsetof(Wal2Record, LastForward) == 437);
static_assert(offsetof(Wal2Record, Inside) == 438);
static_assert(offsetof(Wal2Record, AutoDU) == 439);

// The built-in example: every field of the example column, all other bytes zero.
Wal2Record Wal2ExampleRecord();

} // namespace linkwright
