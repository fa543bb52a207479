// analyse --json and family --json: the events the JSON gives are the ones the listings in
// Messages.txt print, figure for figure at the listings' precision, for every kind and both
// directions; a family's member at full gear is the single analysis at full gear.
#include "common/NumberFormat.h"
#include "gears/GearKinds.h"
#include "tests/cli/CliRun.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace linkwright::testing {
namespace {

using nlohmann::json;

json ReadJson(const std::filesystem::path& file) {
    std::ifstream in(file);
    return json::parse(in);
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A figure as the listings print it.
std::string Shown(double value, int decimals) {
    return Trimmed(F(value, 8, decimals));
}

// The index of the first line of `lines` that starts with `prefix`.
std::size_t LineStarting(const std::vector<std::string>& lines, const std::string& prefix,
                         std::size_t from = 0) {
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i].rfind(prefix, 0) == 0) return i;
    ADD_FAILURE() << "no line starts with \"" << prefix << "\"";
    return lines.size() - 1;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::stringstream stream(text);
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

// The number right after `label` on the first line that starts with it.
std::string After(const std::vector<std::string>& lines, const std::string& label) {
    const std::string& line = lines[LineStarting(lines, label)];
    return Words(line.substr(label.size())).at(0);
}

// The detailed listing's row of a step: step, crank angle, piston percent, valve position, markers.
std::vector<std::string> StepRow(const std::vector<std::string>& lines, int step) {
    const std::size_t head = LineStarting(lines, "Step   Crankangle");
    return Words(lines.at(head + 1 + static_cast<std::size_t>(step)));
}

void ExpectEventsAsListed(const json& j, const std::vector<std::string>& lines) {
    const char* const labels[] = {"Steam on   ", "Steam off  ", "Exhaust on ", "Exhaust off"};
    const char* const events[] = {"admission", "cutoff", "release", "compression"};
    // The markers of the detailed listing, for the front and the rear end, in the same order.
    const char* const markers[2][4] = {{"top stm on", "top stm off", "top exh on", "top exh off"},
                                       {"bot stm on", "bot stm off", "bot exh on", "bot exh off"}};
    const char* const interpolated[2][4] = {
        {"Admission FP    ", "Cutoff FP       ", "Release FP      ", "Compression FP  "},
        {"Admission BP    ", "Cutoff BP       ", "Release BP      ", "Compression BP  "}};
    const char* const ends[] = {"front", "rear"};
    const std::size_t heads[] = {LineStarting(lines, "Top End"), LineStarting(lines, "Bottom End")};
    for (int e = 0; e < 2; ++e) {
        const json& end = j.at(ends[e]);
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE(std::string(ends[e]) + " " + events[k]);
            const json& event = end.at(events[k]);
            const std::string row = lines.at(heads[e] + 1 + static_cast<std::size_t>(k));
            ASSERT_EQ(row.rfind(labels[k], 0), 0u) << row;
            EXPECT_EQ(Words(row.substr(11)), (std::vector<std::string>{Shown(event.at("piston_pct"), 1),
                                                                       Shown(event.at("crank_angle_deg"), 1),
                                                                       Shown(event.at("valve_pos"), 4)}));
            EXPECT_EQ(After(lines, interpolated[e][k]), Shown(event.at("stroke_pct"), 2));
            // The detailed listing marks the event on the step the JSON names.
            const std::string marked =
                "\n" +
                lines.at(LineStarting(lines, "Step   Crankangle") + 1 + event.at("step").get<std::size_t>()) +
                " ";
            EXPECT_NE(marked.find(std::string(" ") + markers[e][k] + " "), std::string::npos) << marked;
        }
    }
    const std::vector<std::string> angles = Words(lines[LineStarting(lines, "Admission angles, Top")]);
    EXPECT_EQ(angles.at(3), Shown(j["front"]["admission_angle_deg"], 1));
    EXPECT_EQ(angles.at(5), Shown(j["rear"]["admission_angle_deg"], 1));
    const std::vector<std::string> cutoffs = Words(lines[LineStarting(lines, "Cutoff          , Top")]);
    EXPECT_EQ(cutoffs.at(3), Shown(j["front"]["cutoff_pct"], 1));
    EXPECT_EQ(cutoffs.at(5), Shown(j["rear"]["cutoff_pct"], 1));
}

void ExpectValveAsListed(const json& j, const std::vector<std::string>& lines) {
    const json& levels = j["port_opening_levels"];
    EXPECT_EQ(Words(lines[LineStarting(lines, "Top stm ")]),
              (std::vector<std::string>{"Top", "stm", Shown(levels["top_steam"], 4), "Top", "exh",
                                        Shown(levels["top_exhaust"], 4), "Bot", "stm",
                                        Shown(levels["bottom_steam"], 4), "Bot", "exh",
                                        Shown(levels["bottom_exhaust"], 4)}));
    const std::string motion = lines[LineStarting(lines, "Valve motion min, mean, max=")].substr(28);
    EXPECT_EQ(motion, F(j["valve"]["min"], 8, 4) + F(j["valve"]["mean"], 8, 4) + F(j["valve"]["max"], 8, 4));
    EXPECT_EQ(After(lines, "Valve travel =  "), Shown(j["valve"]["travel"], 4));
    EXPECT_EQ(After(lines, "inlet FP        "), Shown(j["front"]["inlet_opening"], 4));
    EXPECT_EQ(After(lines, "inlet BP        "), Shown(j["rear"]["inlet_opening"], 4));
    EXPECT_EQ(After(lines, "exhaust FP      "), Shown(j["front"]["exhaust_opening"], 4));
    EXPECT_EQ(After(lines, "exhaust BP      "), Shown(j["rear"]["exhaust_opening"], 4));

    // The lead is taken at the end's dead centre, the step of the least (front) or greatest (rear)
    // piston position of the detailed listing, as the opening of the port to steam there.
    const bool inside = j["admission"] == "inside";
    const int steps = j["steps"];
    for (const char* name : {"front", "rear"}) {
        SCOPED_TRACE(name);
        const bool front = std::string(name) == "front";
        const json& lead = j[name]["lead"];
        const std::vector<std::string> row = StepRow(lines, lead["step"]);
        EXPECT_EQ(row.at(2), Shown(lead["piston_pct"], 1));
        EXPECT_EQ(row.at(3), Shown(lead["valve_pos"], 4));
        for (int i = 0; i <= steps; ++i) {
            const double piston = std::stod(StepRow(lines, i).at(2));
            EXPECT_TRUE(front ? piston >= std::stod(row.at(2)) : piston <= std::stod(row.at(2))) << i;
        }
        const double level = static_cast<float>(levels[front ? "top_steam" : "bottom_steam"].get<double>());
        const double valve = lead["valve_pos"];
        const bool opensBelow = front == inside;
        EXPECT_DOUBLE_EQ(lead["opening"].get<double>(), opensBelow ? level - valve : valve - level);
    }
}

TEST(AnalysisJson, GivesTheFiguresOfTheListingsForEveryKindAndDirection) {
    ScratchDir dir;
    for (const GearKindRow& row : GearKinds()) {
        if (!row.Built()) continue;
        for (const bool backward : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (backward ? " backward" : " forward"));
            const std::string how = backward ? " --backward --setting -0.6 --steps 90" : " --setting 0.8";
            const CliResult run = RunCliIn(dir.path(), std::string("analyse --kind ") + row.name + how +
                                                           " --out r --json r.json");
            ASSERT_EQ(run.status, 0) << run.err;
            const json j = ReadJson(dir / "r.json");
            const std::vector<std::string> lines = ReadLines(dir / "r" / "Messages.txt");
            EXPECT_EQ(j["kind"], row.name);
            EXPECT_EQ(j["setting"], backward ? -0.6 : 0.8);
            EXPECT_EQ(j["direction"], backward ? "backward" : "forward");
            EXPECT_EQ(j["steps"], backward ? 90 : 550);
            EXPECT_FALSE(j["events_improper"]);
            ExpectEventsAsListed(j, lines);
            ExpectValveAsListed(j, lines);
            // The caption printed is the one the JSON gives, with its cut-offs.
            const std::string caption = run.out.substr(0, run.out.find('\n'));
            EXPECT_EQ(j["cutoff_caption"]["text"], caption);
            EXPECT_NE(
                caption.find("Front Port Cutoff " + F(j["cutoff_caption"]["front_cutoff_pct"], 3, 1) + "%"),
                std::string::npos);
            EXPECT_NE(
                caption.find("Rear Port Cutoff " + F(j["cutoff_caption"]["rear_cutoff_pct"], 3, 1) + "%"),
                std::string::npos);
        }
    }
}

TEST(AnalysisJson, AFamilyHasOneEntryPerSettingAndItsFullGearIsTheAnalysisAtFullGear) {
    ScratchDir dir;
    for (const GearKindRow& row : GearKinds()) {
        if (!row.Built()) continue;
        SCOPED_TRACE(row.name);
        const std::string kind = std::string(" --kind ") + row.name;
        ASSERT_EQ(RunCliIn(dir.path(), "family" + kind + " --out f --json f.json").status, 0);
        const CliResult single = RunCliIn(dir.path(), "analyse" + kind + " --out a --json -");
        ASSERT_EQ(single.status, 0) << single.err;
        const json family = ReadJson(dir / "f.json");
        ASSERT_TRUE(family.is_array());
        ASSERT_EQ(family.size(), 10u);
        const std::vector<std::string> events = ReadLines(dir / "f" / "events.csv");
        ASSERT_EQ(events.size(), 11u);
        for (std::size_t m = 0; m < family.size(); ++m)
            EXPECT_EQ(Trimmed(F(family[m]["setting"], 0, 1)),
                      Trimmed(F(std::stod(events[m + 1].substr(0, events[m + 1].find(','))), 0, 1)));
        // With --json - the JSON takes the caption's place on stdout.
        EXPECT_EQ(family[9], json::parse(single.out));
    }
}

} // namespace
} // namespace linkwright::testing
