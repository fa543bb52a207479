// linkwright-cli analyse and family, run as a user would: the files they write and what they print.
#include "tests/support/TestSupport.h"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace linkwright {
namespace {

struct CliRun {
    int status = -1;
    std::string output; // stdout
};

// Runs the program in `dir` with the given arguments.
CliRun RunCli(const std::filesystem::path& dir, const std::string& arguments) {
    const std::string command = "cd '" + dir.string() + "' && '" + std::string(LINKWRIGHT_CLI_PATH) + "' " +
                                arguments + " 2>/dev/null";
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, read);
    run.status = pclose(pipe);
    return run;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
        fields.push_back(line.substr(start, comma - start));
    fields.push_back(line.substr(start));
    return fields;
}

// The number after `label` in the first line of `lines` that contains it.
std::string NumberAfter(const std::vector<std::string>& lines, const std::string& label) {
    for (const std::string& line : lines) {
        const std::size_t at = line.find(label);
        if (at == std::string::npos) continue;
        std::size_t begin = line.find_first_not_of(' ', at + label.size());
        std::size_t end = line.find_first_of(" %", begin);
        return line.substr(begin, end - begin);
    }
    return {};
}

TEST(AnalyseCommand, WritesTheMessagesDiagramsAndStepsAndPrintsTheCaption) {
    testing::ScratchDir dir;
    const CliRun run = RunCli(dir.path(), "analyse --out results");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.output.rfind("Gear 1.00    Front Port Cutoff ", 0), 0u) << run.output;

    const std::filesystem::path results = dir / "results";
    const std::vector<std::string> messages = testing::ReadLines(results / "Messages.txt");
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front(), std::string(49, '*'));
    EXPECT_EQ(messages.back().rfind("Valve travel    ", 0), 0u);
    EXPECT_TRUE(std::filesystem::exists(results / "indicator.svg"));
    EXPECT_TRUE(std::filesystem::exists(results / "oval.svg"));
    EXPECT_FALSE(std::filesystem::exists(results / "indicator.png"));

    const std::vector<std::string> steps = testing::ReadLines(results / "steps.csv");
    ASSERT_EQ(steps.size(), 552u); // header and steps 0..550
    EXPECT_EQ(steps[0],
              "step,crank_angle_rad,crank_angle_deg,piston_pct,valve_pos,front_pressure,rear_pressure");
    EXPECT_EQ(Fields(steps[1])[1], "0");

    // The caption's cut-offs are the summary listing's, at the caption's one decimal.
    const std::string caption = run.output.substr(0, run.output.find('\n'));
    EXPECT_EQ(NumberAfter({caption}, "Front Port Cutoff"), NumberAfter(messages, "Cutoff          , Top"));
    std::vector<std::string> cutoffLine;
    for (const std::string& line : messages)
        if (line.rfind("Cutoff          , Top", 0) == 0) cutoffLine.push_back(line);
    EXPECT_EQ(NumberAfter({caption}, "Rear Port Cutoff"), NumberAfter(cutoffLine, "Bottom"));
}

TEST(AnalyseCommand, StepsBackwardRunningAndPictures) {
    testing::ScratchDir dir;
    const CliRun run = RunCli(dir.path(), "analyse --steps 30 --backward --setting 0.5 --png --out out");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.output.rfind("Gear 0.50 ", 0), 0u) << run.output;
    const std::vector<std::string> steps = testing::ReadLines(dir / "out" / "steps.csv");
    ASSERT_EQ(steps.size(), 32u);
    // Running backward stores the revolution in reverse: entry 0 holds the solution at 2 pi.
    EXPECT_EQ(Fields(steps[1])[1], "6.2831855");
    EXPECT_EQ(Fields(steps[31])[1], "0");
    for (const char* name : {"indicator.png", "oval.png"}) {
        QImage image(QString::fromStdString((dir / "out" / name).string()));
        EXPECT_FALSE(image.isNull()) << name;
    }
}

TEST(AnalyseCommand, TooFewStepsAreClampedAsTheEditorDoesAndAMissingFolderIsAnError) {
    testing::ScratchDir dir;
    ASSERT_EQ(RunCli(dir.path(), "analyse --steps 10 --out out").status, 0);
    EXPECT_EQ(testing::ReadLines(dir / "out" / "steps.csv").size(), 32u);
    EXPECT_NE(RunCli(dir.path(), "analyse").status, 0);
}

TEST(FamilyCommand, SweepsTheTenSettingsOfTheCurrentSign) {
    testing::ScratchDir dir;
    const CliRun run = RunCli(dir.path(), "family --setting -0.3 --out family");
    ASSERT_EQ(run.status, 0);
    const std::filesystem::path family = dir / "family";
    EXPECT_TRUE(std::filesystem::exists(family / "indicator.svg"));
    EXPECT_TRUE(std::filesystem::exists(family / "events.svg"));
    EXPECT_FALSE(std::filesystem::exists(family / "oval.svg"));

    const std::vector<std::string> events = testing::ReadLines(family / "events.csv");
    ASSERT_EQ(events.size(), 11u);
    EXPECT_EQ(events[0], "setting,tson,tsoff,bson,bsoff,teon,teoff,beon,beoff");
    EXPECT_EQ(Fields(events[1])[0], "-0.1");
    EXPECT_EQ(Fields(events[10])[0], "-1");
    for (std::size_t k = 1; k < events.size(); ++k) {
        const std::vector<std::string> fields = Fields(events[k]);
        ASSERT_EQ(fields.size(), 9u);
        for (std::size_t i = 1; i < fields.size(); ++i) {
            const double pct = std::stod(fields[i]);
            EXPECT_GE(pct, 0.0);
            EXPECT_LE(pct, 100.0);
        }
    }
}

TEST(FamilyCommand, ASweepAtFullGearMatchesTheAnalysisAtFullGear) {
    testing::ScratchDir dir;
    ASSERT_EQ(RunCli(dir.path(), "family --out family").status, 0);
    ASSERT_EQ(RunCli(dir.path(), "analyse --out single").status, 0);
    const std::vector<std::string> events = testing::ReadLines(dir / "family" / "events.csv");
    const std::vector<std::string> messages = testing::ReadLines(dir / "single" / "Messages.txt");
    ASSERT_EQ(events.size(), 11u);
    // Member 9 is full gear; its front cut-off is the summary's to one decimal.
    const double cutoff = std::stod(Fields(events[10])[2]);
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", cutoff);
    EXPECT_EQ(NumberAfter(messages, "Cutoff          , Top"), text);
}

} // namespace
} // namespace linkwright
