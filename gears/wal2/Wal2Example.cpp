// The built-in Walschaerts 2 example, a gear with a double hanger.
#include "gears/wal2/Wal2Record.h"

namespace linkwright {

Wal2Record Wal2ExampleRecord() {
    Wal2Record r{};
    r.Descr.Assign("Walschaerts, double hanger"); // at most 27 characters
    r.PistStroke = 0.8f;
    r.GVy = 0.44f;
    r.TV = 0.1704f;
    r.UV = 0.7761f;
    r.GC = 3.208f;
    r.CE = 0.4481f;
    r.DGy = -0.3003f;
    r.DGx = 0.0f;
    r.PXx = 0.1677f;
    r.PXy = -0.5238f;
    r.DieBlockChord = 0.8f;
    r.APx = -1.6218f;
    r.BT = 1.925f;
    r.LR = 0.75f;
    r.LM = 0.355f;
    r.BM = 0.275f;
    r.SV = 0.65f;
    r.VW = 0.6616f;
    r.ARx = -1.202f;
    r.ARy = 0.89f;
    r.ASy = 1.0875f;
    r.FLAA = 0.43720499f;    // 25.05 degrees
    r.MLAA = -0.0080285147f; // -0.46 degrees
    r.BobbinSpacing = 0.746f;
    r.BobbinWidth = 0.1432f;
    r.PortSpacing = 0.876f;
    r.PortWidth = 0.06f;
    r.SteamChestPressure = 2100.0f;
    r.ExhaustPressure = 150.0f;
    r.Clearance = 12.8f;
    r.Gamma = 1.3f;
    r.PressureLimit = 2200.0f;
    r.AE = 0.2004f;
    r.EX = 1.4846f;
    r.ViewWindow[0] = -1.0f;
    r.ViewWindow[1] = 5.0f;
    r.ViewWindow[2] = -0.6f;
    r.ViewWindow[3] = 2.0f;
    r.ViewWindow[4] = 0.5f;
    r.APy = 0.534f;
    r.AdjValveX = -0.0016f;
    r.DU = 0.0f;
    r.EccLeads = 0;
    r.LastForward = 0;
    r.Inside = 1;
    r.AutoDU = 1;
    return r;
}

} // namespace linkwright
