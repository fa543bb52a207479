// The built-in Stephenson 2 example that the program starts with.
#include "gears/ste2/Ste2Record.h"

namespace linkwright {

Ste2Record Ste2ExampleRecord() {
    Ste2Record r{};
    r.Descr.Assign("Stephensons example, valve through rocker");
    r.CrankRadius = 1.125f;
    r.GC = 7.438f;
    r.AE = 0.235f;
    r.EF = 4.437f;
    r.CAE = 1.0836730f; // 62.0899 degrees
    r.BobbinSpacing = 0.5f;
    r.BobbinWidth = 0.225f;
    r.PortSpacing = 0.5f;
    r.PortWidth = 0.125f;
    r.SteamChestPressure = 600.0f;
    r.ExhaustPressure = 120.0f;
    r.Clearance = 7.0f;
    r.Gamma = 1.3f;
    r.PressureLimit = 700.0f; // not 1.1 x 600: an editor OK first makes it so
    r.elEccRodX = -4.4099f;
    r.elEccRodY = 0.4901f;
    r.elHangX = -4.6458f;
    r.elHangY = 0.042f;
    r.ARx = -3.625f;
    r.ARy = 1.313f;
    r.MaxelLiftArmAng = 0.43633231f; // 25 degrees
    r.MidelLiftArmAng = 0.0f;
    r.LR = -1.063f; // negative: the arm's end lies on the far side of the shaft from its angle
    r.LM = 1.272f;
    r.elRadius = 4.688f;
    r.elchord = 2.0f;
    r.ATx = -4.68f;
    r.ATy = 10.0f;
    r.TU = 10.0f;
    r.UV = 2.128f;
    r.BU = 0.0f;
    r.AdjValveX = 0.01f;
    r.GearSlant = 0.0f;
    r.AXx = -6.808f;
    r.AXy = 0.67f;
    r.VX = 0.675f;
    r.WX = 0.675f;
    r.WY = 1.75f;
    r.AYy = 1.3f;
    r.aVXW = 0.0f; // a straight rocker
    r.ViewWindow[0] = -1.0f;
    r.ViewWindow[1] = 10.0f;
    r.ViewWindow[2] = -2.0f;
    r.ViewWindow[3] = 5.0f;
    r.ViewWindow[4] = 2.0f;
    r.FwdCopy = 0;
    r.Inside = 0; // outside admission
    return r;
}

} // namespace linkwright
