// Walschaerts 1 revolutions checked against positions worked out separately from the gear's
// geometry (in double arithmetic, with the stored values rounded to Single), so that a faster or
// rearranged solver cannot drift from the gear it describes.
#include "tests/gears/wal1/Wal1Fixture.h"

namespace linkwright::testing {
namespace {

struct ReferenceStep {
    int k;
    double pistonPct;
    double valvePos;
};

struct Reference {
    const char* name;
    float gear;
    float slack;
    float wheelLift;
    float wheelDisp;
    bool autoSetting;
    bool outside;
    ReferenceStep steps[6];
};

// 24 steps per revolution, running forward, starting from the example with the valve at rest.
constexpr Reference kReferences[] = {
    {"full forward",
     1.0f,
     0,
     0,
     0,
     false,
     false,
     {{0, 0.00000, -0.181550},
      {3, 16.48151, -0.355584},
      {7, 66.37659, -0.281766},
      {11, 98.54183, 0.081369},
      {16, 77.75900, 0.429918},
      {20, 27.75900, 0.205919}}},
    {"short forward cut-off",
     0.3f,
     0,
     0,
     0,
     false,
     false,
     {{0, 0.00000, -0.176726},
      {3, 16.48151, -0.201849},
      {7, 66.37659, -0.062667},
      {11, 98.54183, 0.139328},
      {16, 77.75900, 0.211975},
      {20, 27.75900, 0.019449}}},
    {"backward",
     -0.7f,
     0,
     0,
     0,
     false,
     false,
     {{0, 0.00000, -0.168603},
      {3, 16.48151, 0.063127},
      {7, 66.37659, 0.330299},
      {11, 98.54183, 0.240028},
      {16, 77.75900, -0.137626},
      {20, 27.75900, -0.289479}}},
    {"backlash and a displaced axle",
     0.6f,
     0.04f,
     0.1f,
     -0.05f,
     false,
     false,
     {{0, -2.32011, -0.158124},
      {3, 13.68618, -0.260767},
      {7, 63.48397, -0.242654},
      {11, 96.07282, 0.040764},
      {16, 75.91219, 0.233016},
      {20, 25.99692, 0.120875}}},
    {"outside admission, return crank set automatically",
     -1.0f,
     0,
     0,
     0,
     true,
     true,
     {{0, 0.00000, 0.270320},
      {3, 16.48151, -0.135781},
      {7, 66.37659, -0.511194},
      {11, 98.54183, -0.474857},
      {16, 77.75900, 0.295482},
      {20, 27.75900, 0.568834}}},
};

TEST_F(Wal1Test, RevolutionsAgreeWithSeparatelyWorkedPositions) {
    for (const Reference& ref : kReferences) {
        SCOPED_TRACE(ref.name);
        model_.SetExample();
        model_.Slack = ref.slack;
        model_.WheelLift = ref.wheelLift;
        model_.WheelDisp = ref.wheelDisp;
        model_.AutoSetting = ref.autoSetting ? 1 : 0;
        if (ref.outside) {
            // The lever's upper arm below the valve rod, the trunnion level with the radius rod.
            model_.GearRecord.Inside = 0;
            model_.GearRecord.TV = -0.469f;
            model_.GearRecord.APy = 1.031f;
        }
        model_.InitialiseGear();
        StepArrays steps;
        EventRecord events{};
        model_.SolveRevolution(steps, 24, events, ref.gear);
        for (const ReferenceStep& step : ref.steps) {
            SCOPED_TRACE(step.k);
            EXPECT_NEAR(steps.StepPistonPct[std::size_t(step.k)], step.pistonPct, 2e-4);
            EXPECT_NEAR(steps.StepValvePos[std::size_t(step.k)], step.valvePos, 2e-5);
        }
    }
}

TEST_F(Wal1Test, InitialisationAgreesWithSeparatelyWorkedReturnCrank) {
    model_.InitialiseGear();
    EXPECT_NEAR(model_.aCAE, -1.6641015, 1e-6); // inside admission: the eccentric follows the crank

    model_.SetExample();
    model_.AutoSetting = 1;
    model_.GearRecord.Inside = 0;
    model_.GearRecord.TV = -0.469f;
    model_.GearRecord.APy = 1.031f;
    model_.InitialiseGear();
    EXPECT_NEAR(model_.GearRecord.AE, 0.6879756, 1e-5);
    EXPECT_NEAR(model_.GearRecord.EX, 4.0977316, 1e-5);
    EXPECT_NEAR(model_.aCAE, 1.7108729, 1e-6);
}

} // namespace
} // namespace linkwright::testing
