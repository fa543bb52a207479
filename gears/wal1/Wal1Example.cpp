// The built-in Walschaerts 1 example that the program starts with.
#include "gears/wal1/Wal1Record.h"

namespace linkwright {

Wal1Record Wal1ExampleRecord() {
    Wal1Record r{};
    r.Descr.Assign("Walschaerts example gear");
    r.PistStroke = 2.125f;
    r.GVy = 1.5f;
    r.TV = 0.469f;
    r.UV = 2.313f;
    r.GC = 7.25f;
    r.CE = 1.344f;
    r.DGy = -0.75f;
    r.DGx = 0.0f;
    r.PXx = 0.313f;
    r.PXy = -1.595f;
    r.DieBlockChord = 2.0f;
    r.APx = -4.313f;
    r.BT = 4.0f;
    r.LR = 1.563f;
    r.ARx = 2.125f;
    r.FLAA = 0.7f;
    r.MLAA = 0.0f;
    r.BobbinSpacing = 0.938f;
    r.BobbinWidth = 0.344f;
    r.PortSpacing = 1.25f;
    r.PortWidth = 0.188f;
    r.SteamChestPressure = 600.0f;
    r.ExhaustPressure = 120.0f;
    r.Clearance = 10.0f;
    r.Gamma = 1.3f;
    r.PressureLimit = 800.0f;
    r.AE = 0.73f;
    r.EX = 4.083f;
    r.ViewWindow[0] = -2.0f;
    r.ViewWindow[1] = 11.0f;
    r.ViewWindow[2] = -2.0f;
    r.ViewWindow[3] = 7.0f;
    r.ViewWindow[4] = 2.0f;
    r.ARy = 0.0f;
    r.APy = 1.969f; // GVy + TV: the trunnion level with the radius rod in mid gear
    r.AdjValveX = 0.0f;
    r.DU = -1.06f;
    r.EccLeads = 0;
    r.LastForward = 0;
    r.Inside = 1;
    r.AutoDU = 1;
    r.AutoARy = 1;
    return r;
}

} // namespace linkwright
