// The summary and detailed listings, line by line, for hand-worked revolutions: inside admission,
// outside admission with events at step 0, and improper events.
#include "analysis/Listings.h"
#include "analysis/Events.h"
#include "tests/analysis/Revolution.h"
#include "tests/support/TestSupport.h"
#include "windows/MessagesFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace linkwright {
namespace {

using testing::Revolution;

// clang-format off
const std::vector<std::string> SummaryA = {
    "*************************************************",
    "*************************************************",
    "*************************************************",
    "This is a summary listing from the last time the ",
    "valve events were calculated.                    ",
    "For more accuracy, use a higher number of solution",
    "steps.      ",
    "Note that events are detected on the solution step ",
    "following the event. For high accuracy, interpolate",
    "from the detailed listing below.",
    "",
    "Valve events :",
    "Event     %PistDispl          CrankAngle          ValveDisp",
    "Top End",
    "Steam on      100.0               180.0               0.0500",
    "Steam off      14.6                45.0               0.4500",
    "Exhaust on     14.6                45.0               0.4500",
    "Exhaust off   100.0               180.0               0.0500",
    "Bottom End",
    "Steam on        0.0               360.0               0.0500",
    "Steam off      85.4               225.0              -0.3500",
    "Exhaust on     85.4               225.0              -0.3500",
    "Exhaust off    14.6               315.0              -0.2500",
    "",
    "Admission angles, Top    225.0   Bottom    135.0   degrees of wheel rotation",
    "Cutoff          , Top     14.6   Bottom     14.6   % stroke from dead centre",
    "(For more accurate interpolated cutoffs, scroll to bottom of this listing.)",
};

const std::vector<std::string> DetailedA = {
    "*************************************************",
    "*************************************************",
    "*************************************************",
    "This is a detailed listing from the last time the",
    "valve events were calculated.                    ",
    "*************************************************",
    "Top stm   0.2000 Top exh   0.3000 Bot stm  -0.2000 Bot exh  -0.3000",
    "Step   Crankangle       %PistDispl        Valvedisp",
    "   0        0.0            0.0          0.0500",
    "   1       45.0           14.6          0.4500 top exh on top stm off",
    "   2       90.0           50.0          0.6000",
    "   3      135.0           85.4          0.4000",
    "   4      180.0          100.0          0.0500 top stm on top exh off",
    "   5      225.0           85.4         -0.3500 bot exh on bot stm off",
    "   6      270.0           50.0         -0.5000",
    "   7      315.0           14.6         -0.2500 bot exh off",
    "   8      360.0            0.0          0.0500 bot stm on",
    "*************************************************",
    "The following summary of valve motion is useful  ",
    "for setting the valve motion to be symmetrical.  ",
    "Valve motion min, mean, max= -0.5000  0.0500  0.6000",
    "Valve travel =    1.1000",
    "The following piston displacements % have been interpolated for accuracy",
    "Cutoff FP           5.48",
    "Cutoff BP           9.13",
    "Release FP          9.13",
    "Release BP         12.78",
    "Compression FP     10.43",
    "Compression BP     21.68",
    "Admission FP        6.26",
    "Admission BP       12.17",
    "Following information applies to inside admission only",
    "Valve openings to...",
    "inlet FP          0.7000",
    "inlet BP          0.7000",
    "exhaust FP        0.3000",
    "exhaust BP        0.2000",
    "Valve travel      1.1000",
};

const std::vector<std::string> SummaryTailB = {
    "Top End",
    "Steam on        0.0                 0.0               0.5000",
    "Steam off      75.0               120.0               0.1000",
    "Exhaust on     75.0               120.0               0.1000",
    "Exhaust off     0.0                 0.0               0.5000",
    "Bottom End",
    "Steam on      100.0               180.0              -0.5000",
    "Steam off      25.0               300.0              -0.1000",
    "Exhaust on     25.0               300.0              -0.1000",
    "Exhaust off   100.0               180.0              -0.5000",
    "",
    "Admission angles, Top    120.0   Bottom    120.0   degrees of wheel rotation",
    "Cutoff          , Top     75.0   Bottom     75.0   % stroke from dead centre",
    "(For more accurate interpolated cutoffs, scroll to bottom of this listing.)",
};

const std::vector<std::string> DetailedTailB = {
    "Top stm   0.3000 Top exh   0.2000 Bot stm  -0.3000 Bot exh  -0.2000",
    "Step   Crankangle       %PistDispl        Valvedisp",
    "   0        0.0            0.0          0.5000 top stm on top exh off",
    "   1       60.0           25.0          0.6000",
    "   2      120.0           75.0          0.1000 top exh on top stm off",
    "   3      180.0          100.0         -0.5000 bot stm on bot exh off",
    "   4      240.0           75.0         -0.6000",
    "   5      300.0           25.0         -0.1000 bot exh on bot stm off",
    "   6      360.0            4.0          0.1000",
    "*************************************************",
    "The following summary of valve motion is useful  ",
    "for setting the valve motion to be symmetrical.  ",
    "Valve motion min, mean, max= -0.6000  0.0000  0.6000",
    "Valve travel =    1.2000",
    "The following piston displacements % have been interpolated for accuracy",
    "Cutoff FP          55.00",
    "Cutoff BP          55.00",
    "Release FP         65.00",
    "Release BP         65.00",
    "Compression FP     97.00",
    "Compression BP     87.50",
    "Admission FP       98.00",
    "Admission BP       91.67",
    "Following information applies to inside admission only",
    "Valve openings to...",
    "inlet FP          0.7000",
    "inlet BP          0.7000",
    "exhaust FP        0.4000",
    "exhaust BP        0.4000",
    "Valve travel      1.2000",
};

const std::vector<std::string> SummaryTailC = {
    "Top End",
    "Steam on       25.0                60.0               0.1000",
    "Steam off      25.0                60.0               0.1000",
    "Exhaust on     25.0                60.0               0.1000",
    "Exhaust off    25.0                60.0               0.1000",
    "Bottom End",
    "Steam on       25.0                60.0               0.1000",
    "Steam off      25.0                60.0               0.1000",
    "Exhaust on     25.0                60.0               0.1000",
    "Exhaust off    25.0                60.0               0.1000",
    "",
    "Admission angles, Top    120.0   Bottom      0.0   degrees of wheel rotation",
    "Cutoff          , Top     25.0   Bottom     75.0   % stroke from dead centre",
    "(For more accurate interpolated cutoffs, scroll to bottom of this listing.)",
};

const std::vector<std::string> DetailedTailC = {
    "Top stm   0.2000 Top exh   0.3000 Bot stm  -0.2000 Bot exh  -0.3000",
    "Step   Crankangle       %PistDispl        Valvedisp",
    "   0        0.0            0.0          0.1000",
    "   1       60.0           25.0          0.1000 top stm on top exh on top stm off top exh off bot stm on bot exh on bot stm off bot exh off",
    "   2      120.0           75.0          0.1500",
    "   3      180.0          100.0          0.1000",
    "   4      240.0           75.0          0.0500",
    "   5      300.0           25.0          0.0000",
    "   6      360.0            0.0          0.1000",
    "*************************************************",
    "The following summary of valve motion is useful  ",
    "for setting the valve motion to be symmetrical.  ",
    "Valve motion min, mean, max=  0.0000  0.0750  0.1500",
    "Valve travel =    0.1500",
    "The following piston displacements % have been interpolated for accuracy",
    "Cutoff FP          25.00",
    "Cutoff BP          75.00",
    "Release FP         25.00",
    "Release BP         75.00",
    "Compression FP     75.00",
    "Compression BP     25.00",
    "Admission FP       75.00",
    "Admission BP       25.00",
    "Following information applies to inside admission only",
    "Valve openings to...",
    "inlet FP          0.2000",
    "inlet BP          0.3500",
    "exhaust FP       -0.1500",
    "exhaust BP       -0.3000",
    "Valve travel      0.1500",
};
// clang-format on

struct Listings {
    std::vector<std::string> summary;
    std::vector<std::string> detailed;
};

// Runs the event search, then writes each listing into a messages file of its own.
Listings Write(Revolution& r) {
    FindEvents(r.piston, r.valve, r.front, r.rear, r.events, r.n, r.improper);
    testing::ScratchDir dir;
    MessagesFile summary(dir / "summary.txt");
    summary.Create();
    WriteSummaryListing(summary, r.events, r.crank, r.piston, r.valve, r.n);
    summary.Close();
    MessagesFile detailed(dir / "detailed.txt");
    detailed.Create();
    WriteDetailedListing(detailed, r.events, r.crank, r.piston, r.valve, r.n);
    detailed.Close();
    return {testing::ReadLines(dir / "summary.txt"), testing::ReadLines(dir / "detailed.txt")};
}

std::vector<std::string> From(const std::vector<std::string>& lines, const std::string& first) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind(first, 0) == 0) return {lines.begin() + static_cast<long>(i), lines.end()};
    }
    return {};
}

void ExpectLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
}

TEST(Listings, InsideAdmissionSummaryAndDetailedListingLineByLine) {
    Revolution r = testing::InsideRevolution();
    const Listings listings = Write(r);
    ExpectLines(listings.summary, SummaryA);
    ExpectLines(listings.detailed, DetailedA);
}

TEST(Listings, OutsideAdmissionWithEventsAtStepZeroInterpolatesAgainstTheLastStep) {
    Revolution r = testing::OutsideRevolution();
    const Listings listings = Write(r);
    ExpectLines(From(listings.summary, "Top End"), SummaryTailB);
    ExpectLines(From(listings.detailed, "Top stm"), DetailedTailB);
}

TEST(Listings, ImproperEventsListStepOneAndEqualValvePositionsPrintThatStepsPiston) {
    Revolution r = testing::ImproperRevolution();
    const Listings listings = Write(r);
    ASSERT_EQ(r.improper, 1);
    ExpectLines(From(listings.summary, "Top End"), SummaryTailC);
    ExpectLines(From(listings.detailed, "Top stm"), DetailedTailC);
}

TEST(Listings, TheListingsDoNotChangeTheirInputs) {
    Revolution r = testing::InsideRevolution();
    FindEvents(r.piston, r.valve, r.front, r.rear, r.events, r.n, r.improper);
    const Revolution before = r;
    Write(r);
    EXPECT_EQ(r.piston, before.piston);
    EXPECT_EQ(r.valve, before.valve);
    EXPECT_EQ(r.crank, before.crank);
    EXPECT_EQ(r.Steps(), before.Steps());
}

TEST(InterpolatedPiston, InterpolatesBetweenAStepAndTheOneBeforeIt) {
    Revolution r({0, 20, 60, 100, 60, 20, 10}, {0.0f, 0.4f, 0.8f, 0.4f, 0.0f, -0.4f, -0.2f}, true);
    // Between steps 1 and 2: 20 + (0.6 - 0.4) / 0.4 * 40 = 40.
    EXPECT_NEAR(InterpolatedPiston(r.piston, r.valve, r.n, 2, 0.6f), 40.0, 1e-4);
    // Step 0 interpolates against step Nsteps: 10 + (-0.1 + 0.2) / 0.2 * (0 - 10) = 5.
    EXPECT_NEAR(InterpolatedPiston(r.piston, r.valve, r.n, 0, -0.1f), 5.0, 1e-4);
}

TEST(InterpolatedPiston, EqualValvePositionsGiveTheStepsOwnPistonPosition) {
    Revolution r({0, 20, 60, 100, 60, 20, 10}, {0.4f, 0.4f, 0.8f, 0.4f, 0.0f, -0.4f, 0.4f}, true);
    EXPECT_EQ(InterpolatedPiston(r.piston, r.valve, r.n, 1, 0.6f), 20.0);
    EXPECT_EQ(InterpolatedPiston(r.piston, r.valve, r.n, 0, 0.6f), 0.0);
}

} // namespace
} // namespace linkwright
