// The built-in Stephenson 1 example that the program starts with.
#include "gears/ste1/Ste1Record.h"

namespace linkwright {

Ste1Record Ste1ExampleRecord() {
    Ste1Record r{};
    r.Descr.Assign("Stephensons example");
    r.CrankRadius = 1.5f;
    r.GC = 8.875f;
    r.AE = 0.3645f;
    r.EF = 5.749f;
    r.CAE = 1.7683135f; // 101.3169 degrees
    r.BobbinSpacing = 2.0f;
    r.BobbinWidth = 0.297f;
    r.PortSpacing = 2.0f;
    r.PortWidth = 0.1875f;
    r.SteamChestPressure = 600.0f;
    r.ExhaustPressure = 120.0f;
    r.Clearance = 10.0f;
    r.Gamma = 1.3f;
    r.PressureLimit = 700.0f; // not 1.1 x 600: an editor OK first makes it so
    r.elEccRodX = -5.654f;
    r.elEccRodY = -1.0625f;
    r.elHangX = -5.779f;
    r.elHangY = 0.0f;
    r.ARx = -7.1625f;
    r.ARy = 2.0f;
    r.MaxelLiftArmAng = -0.36651915f; // -21 degrees
    r.MidelLiftArmAng = 0.0f;
    r.LR = 1.5625f;
    r.LM = 2.0f;
    r.elRadius = 5.734f;
    r.elchord = 2.0f;
    r.ATx = -5.6f;
    r.ATy = 9.0f;
    r.TU = 9.0f;
    r.UV = 9.0f;
    r.BU = 0.0f;
    r.AdjValveX = -4.344f;
    r.ViewWindow[0] = -5.0f;
    r.ViewWindow[1] = 11.0f;
    r.ViewWindow[2] = -2.0f;
    r.ViewWindow[3] = 10.0f;
    r.ViewWindow[4] = 2.0f;
    r.FwdCopy = 1;
    r.Inside = 0; // outside admission
    return r;
}

} // namespace linkwright
