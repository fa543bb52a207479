// linkwright-cli tune: the search meets the Walschaerts 1 example's cut-off target and saves the
// design it evaluated, repeats itself for a seed, stops at once when the start meets the targets,
// and refuses a problem it cannot pose.
#include "tests/cli/CliRun.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <string>

namespace linkwright::testing {
namespace {

using nlohmann::json;

constexpr const char* ThreeControls = "tune --vary ARx --vary PXx --vary PXy ";

TEST(TuneCommand, EqualCutOffsAtWorkingGearAndTheSavedFileIsTheDesignEvaluated) {
    ScratchDir dir;
    const CliResult run = RunCliIn(dir.path(), std::string(ThreeControls) +
                                                   "--target equal-cutoff@0.25 --out tuned.L1 --json -");
    ASSERT_EQ(run.status, 0) << run.err;
    const json tuned = json::parse(run.out);
    EXPECT_EQ(tuned.at("kind"), "Walschaerts1");
    EXPECT_EQ(tuned.at("problem").at("targets"), json::array({"equal-cutoff@0.25"}));
    EXPECT_DOUBLE_EQ(tuned.at("problem").at("vary").at(0).at("low").get<double>(), 2.125 - 0.2125);
    const json& before = tuned.at("before").at("readings").at(0);
    const json& after = tuned.at("after").at("readings").at(0);
    // 0.25 as written, not the nearest double of its Single.
    EXPECT_EQ(before.at("setting").get<double>(), 0.25);
    EXPECT_EQ(tuned.at("after").at("events").at(0).at("setting").get<double>(), 0.25);
    EXPECT_GT(before.at("shortfall").get<double>(), 0.5);
    EXPECT_LE(after.at("shortfall").get<double>(), 0.5);
    EXPECT_DOUBLE_EQ(after.at("shortfall").get<double>(),
                     std::fabs(after.at("front").get<double>() - after.at("rear").get<double>()));
    EXPECT_GT(tuned.at("result").at("evaluations").get<int>(), 1);

    // The file holds the typed texts, and its analysis the cut-offs the tuner read.
    const CliResult analysed =
        RunCliIn(dir.path(), "analyse --file tuned.L1 --setting 0.25 --out a --json -");
    ASSERT_EQ(analysed.status, 0) << analysed.err;
    const json events = json::parse(analysed.out);
    EXPECT_EQ(events.at("front").at("cutoff_pct"), after.at("front"));
    EXPECT_EQ(events.at("rear").at("cutoff_pct"), after.at("rear"));
    // Figures that move with every dimension, not only from step to step.
    const json& point = tuned.at("after").at("events").at(0);
    for (const char* end : {"front", "rear"}) {
        EXPECT_EQ(events.at(end).at("cutoff").at("stroke_pct"), point.at(end).at("cutoff_interpolated_pct"))
            << end;
        EXPECT_EQ(events.at(end).at("lead").at("opening"), point.at(end).at("lead")) << end;
    }
    EXPECT_EQ(events.at("valve").at("travel"), point.at("valve_travel"));
    const CliResult fields = RunCliIn(dir.path(), "fields --file tuned.L1");
    for (const json& best : tuned.at("result").at("best")) {
        const std::string line = best.at("control").get<std::string>() + "\t";
        const std::size_t at = fields.out.find("\n" + line);
        ASSERT_NE(at, std::string::npos) << line;
        const std::string row = fields.out.substr(at + 1, fields.out.find('\n', at + 1) - at - 1);
        EXPECT_EQ(row.substr(row.rfind('\t') + 1), best.at("typed").get<std::string>()) << row;
    }
}

TEST(TuneCommand, TheSameSeedGivesTheSameJsonAndAMetTargetStopsAtTheStart) {
    ScratchDir dir;
    const std::string arguments = std::string(ThreeControls) +
                                  "--target equal-cutoff@0.25,0.5,1 --target equal-lead@1 --seed 5 "
                                  "--max-evals 300 --direction both --json -";
    const CliResult first = RunCliIn(dir.path(), arguments);
    const CliResult second = RunCliIn(dir.path(), arguments);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, second.out);
    const json tuned = json::parse(first.out);
    EXPECT_LE(tuned.at("result").at("evaluations").get<int>(), 300);
    // Three settings both ways and full gear both ways again: eight readings, six points solved.
    EXPECT_EQ(tuned.at("after").at("readings").size(), 8u);
    EXPECT_EQ(tuned.at("after").at("events").size(), 6u);
    EXPECT_EQ(tuned.at("after").at("events").at(1).at("direction"), "backward");

    // The example's travel at full gear is below 0.9 already.
    const CliResult met = RunCliIn(dir.path(), "tune --vary GC --target max-travel=0.9 --out same.L1");
    ASSERT_EQ(met.status, 0) << met.err;
    EXPECT_NE(met.out.find("Evaluations 1 in "), std::string::npos) << met.out;
    EXPECT_NE(met.out.find("every target is met"), std::string::npos) << met.out;
    EXPECT_NE(met.out.find("\nGC=7.25\n"), std::string::npos) << met.out;
}

TEST(TuneCommand, AProblemThatCannotBePosedIsRefused) {
    ScratchDir dir;
    const struct {
        const char* arguments;
        const char* message;
    } cases[] = {
        {"--vary Bogus --target equal-lead", "no control \"Bogus\""},
        {"--vary Descr --target equal-lead", "\"Descr\" is not a dimension"},
        {"--vary GC:9:8 --target equal-lead", "the low one below the high one"},
        {"--vary GC:7:nan --target equal-lead", "are not numbers"},
        {"--vary GC --target equal-leed", "Unknown target \"equal-leed\""},
        {"--vary GC --target cutoff@1", "needs a value"},
        {"--vary GC --target equal-lead@1,x", "\"x\" where a gear setting should be a number"},
        {"--target equal-lead", "There is no control to vary"},
        {"--vary GC", "There is no target to tune for"},
        {"--vary GC --target equal-lead --max-evals 0", "--max-evals must be 1 or more"},
    };
    for (const auto& c : cases) {
        const CliResult run = RunCliIn(dir.path(), std::string("tune ") + c.arguments + " --out refused.L1");
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "refused.L1")) << c.arguments;
    }
    // A file that cannot be written is refused before the search, with the reason: there is no
    // report.
    std::ofstream(dir / "plain.txt") << "a file, not a folder";
    const struct {
        const char* out;
        const char* message;
    } unwritable[] = {
        {"none/t.L1", R"(Cannot create "none/t.L1": No such file or directory)"},
        {"plain.txt/t.L1", R"(Cannot create "plain.txt/t.L1": Not a directory)"},
    };
    for (const auto& c : unwritable) {
        const CliResult run =
            RunCliIn(dir.path(), std::string("tune --vary GC --target equal-lead --out ") + c.out);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("Evaluations"), std::string::npos) << run.out;
    }
}

} // namespace
} // namespace linkwright::testing
