// The built-in Baker example that the program starts with.
#include "gears/bak1/Bak1Record.h"

#include <numbers>

namespace linkwright {

namespace {

float Radians(double degrees) {
    return static_cast<float>(degrees * std::numbers::pi / 180.0);
}

} // namespace

Bak1Record Bak1ExampleRecord() {
    Bak1Record r{};
    r.Descr.Assign("Program Example");
    r.GVy = 2.3f;
    r.UV = 2.8f;
    r.TV = 0.3f;
    r.DU = 1.0f;
    r.DGx = 0.0f;
    r.DGy = 0.5f;
    r.GC = 11.5f;
    r.CrankRadius = 1.233f;
    r.APx = 8.797f;
    r.APy = 3.552f;
    r.ALx = 7.8f;
    r.ALy = 2.1f;
    r.AE = 0.95f;
    r.CAE = Radians(-93.9);
    r.BP = 1.592f;
    r.PZ = 1.118f;
    r.BPZ = Radians(69.77);
    r.EX = 7.801f;
    r.RY = 1.24f;
    r.BT = 3.552f;
    r.LR = 1.24f;
    r.XYx = 0.178f;
    r.XYy = 1.565f;
    r.YZ = 1.135f;
    r.AdjValveX = -12.22f;
    r.FRYA = Radians(20.0);
    r.MRYA = Radians(86.5);
    // The valve and the ports both span an outer width of 1.5.
    r.BobbinSpacing = 1.1f;
    r.BobbinWidth = static_cast<float>((1.5 - static_cast<double>(r.BobbinSpacing)) / 2.0);
    r.PortSpacing = 1.25f;
    r.PortWidth = static_cast<float>((1.5 - static_cast<double>(r.PortSpacing)) / 2.0);
    r.SteamChestPressure = 600.0f;
    r.ExhaustPressure = 100.0f;
    r.Clearance = 10.0f;
    r.Gamma = 1.3f;
    r.PressureLimit = 800.0f; // not 1.1 x 600: an editor OK first makes it so
    r.ViewWindow[0] = -15.0f;
    r.ViewWindow[1] = 5.0f;
    r.ViewWindow[2] = -2.0f;
    r.ViewWindow[3] = 7.0f;
    r.ViewWindow[4] = 2.0f;
    r.Inside = 1;
    r.LastForward = 1;
    return r;
}

} // namespace linkwright
