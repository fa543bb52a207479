// solve --pins: every pin of every kind at every step, under the drawing's letters, with each rod
// between two of them keeping its length from the record through the whole revolution.
#include "app/Simulation.h"
#include "gears/GearKinds.h"
#include "gears/bak1/Bak1Record.h"
#include "gears/ste1/Ste1Record.h"
#include "gears/ste2/Ste2Record.h"
#include "gears/wal1/Wal1Record.h"
#include "gears/wal2/Wal2Record.h"
#include "tests/cli/CliRun.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>

namespace linkwright::testing {
namespace {

struct Rod {
    const char* from;
    const char* to;
    double length;
    double tolerance; // what the kind's solution leaves of a rod: a Single's accuracy, or an iteration's
};

template <typename Record> Record As(const std::vector<std::uint8_t>& bytes) {
    Record record{};
    EXPECT_EQ(bytes.size(), sizeof record);
    std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
    return record;
}

// The rods of each kind whose two pins the drawing labels, with their lengths from the record.
using RodsOf = std::function<std::vector<Rod>(const std::vector<std::uint8_t>& record)>;
const std::map<std::string, RodsOf>& Rods() {
    static const std::map<std::string, RodsOf> rods = {
        {"Walschaerts1",
         [](const std::vector<std::uint8_t>& bytes) {
             const auto g = As<Wal1Record>(bytes);
             const double exact = 2e-5;
             return std::vector<Rod>{{"A", "C", g.PistStroke / 2.0, exact},
                                     {"C", "G", g.GC, exact},
                                     {"A", "E", g.AE, exact},
                                     {"E", "X", g.EX, exact},
                                     {"X", "P", std::hypot(double(g.PXx), double(g.PXy)), exact},
                                     {"B", "T", g.BT, exact},
                                     {"T", "U", double(g.TV) + g.UV, exact},
                                     {"U", "D", std::fabs(g.DU), exact},
                                     {"L", "R", g.LR, exact}};
         }},
        {"Walschaerts2",
         [](const std::vector<std::uint8_t>& bytes) {
             const auto g = As<Wal2Record>(bytes);
             const double exact = 1e-5;
             const double iterated = g.PistStroke / 10000.0 + exact;
             return std::vector<Rod>{{"A", "C", g.PistStroke / 2.0, exact},
                                     {"C", "G", g.GC, exact},
                                     {"A", "E", g.AE, exact},
                                     {"E", "X", g.EX, exact},
                                     {"L", "R", g.LR, exact},
                                     {"M", "L", g.LM, exact},
                                     {"V", "S", g.SV, exact},
                                     {"U", "D", std::fabs(g.DU), exact},
                                     {"W", "V", g.VW, exact},
                                     {"B", "T", g.BT, iterated},
                                     {"U", "V", g.UV, iterated},
                                     {"M", "T", double(g.BT) - g.BM, iterated}};
         }},
        {"Bakers1",
         [](const std::vector<std::uint8_t>& bytes) {
             const auto g = As<Bak1Record>(bytes);
             const double exact = 1e-4;
             return std::vector<Rod>{{"A", "C", g.CrankRadius, exact},
                                     {"C", "G", g.GC, exact},
                                     {"A", "E", g.AE, exact},
                                     {"E", "X", g.EX, exact},
                                     {"P", "Z", g.PZ, exact},
                                     {"Z", "Y", g.YZ, exact},
                                     {"P", "B", g.BP, exact},
                                     {"B", "T", g.BT, exact},
                                     {"T", "U", double(g.UV) + g.TV, exact},
                                     {"U", "D", g.DU, exact},
                                     {"L", "R", g.LR, exact},
                                     {"Y", "R", g.RY, 0.0025 * g.RY}};
         }},
        {"Stephensons1",
         [](const std::vector<std::uint8_t>& bytes) {
             const auto g = As<Ste1Record>(bytes);
             const double exact = 2e-5;
             const double iterated = g.CrankRadius / 500.0;
             return std::vector<Rod>{{"A", "C", g.CrankRadius, exact},
                                     {"C", "G", g.GC, exact},
                                     {"A", "E", g.AE, exact},
                                     {"A", "J", g.AE, exact},
                                     {"E", "F", g.EF, iterated},
                                     {"J", "K", g.EF, iterated},
                                     {"R", "L", std::fabs(g.LR), exact},
                                     {"L", "M", std::fabs(g.LM), exact},
                                     {"T", "U", g.TU, exact},
                                     {"U", "V", g.UV, iterated},
                                     {"B", "V", double(g.UV) + g.BU, exact}};
         }},
        {"Stephensons2",
         [](const std::vector<std::uint8_t>& bytes) {
             const auto g = As<Ste2Record>(bytes);
             const double exact = 2e-5;
             const double iterated = g.CrankRadius / 500.0;
             return std::vector<Rod>{{"A", "C", g.CrankRadius, exact},
                                     {"C", "G", g.GC, exact},
                                     {"A", "E", g.AE, exact},
                                     {"A", "J", g.AE, exact},
                                     {"E", "F", g.EF, iterated},
                                     {"J", "K", g.EF, iterated},
                                     {"R", "L", std::fabs(g.LR), exact},
                                     {"L", "M", std::fabs(g.LM), exact},
                                     {"T", "U", g.TU, exact},
                                     {"U", "V", g.UV, exact},
                                     {"X", "V", g.VX, exact},
                                     {"X", "W", std::fabs(g.WX), exact},
                                     {"W", "Y", g.WY, iterated},
                                     {"B", "V", double(g.UV) + g.BU, 2 * iterated}};
         }},
    };
    return rods;
}

// The record of a kind's example as the program holds it once the kind is picked and drawn.
std::vector<std::uint8_t> ExampleRecord(GearKind kind, const std::filesystem::path& dir) {
    ScriptedDialogs dialogs;
    RecordingCanvas canvas(800, 600);
    Simulation sim(dialogs, dir / "own-Messages.txt");
    sim.Plot.AttachCanvas(canvas);
    sim.Redraw(803, 603, 0);
    sim.ValveGear2Click();
    EXPECT_TRUE(sim.ComboBox1Change(static_cast<int>(kind)));
    const std::span<const std::uint8_t> bytes = sim.CurrentModel().RecordBytes();
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream stream(line);
    for (std::string cell; std::getline(stream, cell, ',');)
        cells.push_back(cell);
    return cells;
}

TEST(SolvePins, EveryRodKeepsItsLengthAtEveryStepOfEveryKind) {
    ScratchDir dir;
    for (const GearKindRow& row : GearKinds()) {
        if (!row.Built()) continue;
        SCOPED_TRACE(row.name);
        const auto rods = Rods().find(row.name);
        ASSERT_NE(rods, Rods().end()) << "no rods listed for this kind";
        const std::vector<Rod> list = rods->second(ExampleRecord(row.kind, dir.path()));

        for (const char* how : {"--setting 1", "--setting -0.45 --backward"}) {
            SCOPED_TRACE(how);
            const CliResult run = RunCliIn(dir.path(), std::string("solve --kind ") + row.name + " " + how +
                                                           " --steps 72 --csv steps.csv --pins pins.csv");
            ASSERT_EQ(run.status, 0) << run.err;
            const std::vector<std::string> lines = ReadLines(dir / "pins.csv");
            const std::vector<std::string> steps = ReadLines(dir / "steps.csv");
            ASSERT_EQ(lines.size(), 1u + 73u);
            ASSERT_EQ(steps.size(), lines.size());

            // The header names each pin once, by its letter, x then y.
            const std::vector<std::string> header = Cells(lines[0]);
            ASSERT_GE(header.size(), 2u);
            EXPECT_EQ(header[0], "step");
            EXPECT_EQ(header[1], "crank_angle_rad");
            std::map<std::string, std::size_t> column;
            for (std::size_t c = 2; c + 1 < header.size(); c += 2) {
                const std::string letter = header[c].substr(0, header[c].size() - 2);
                EXPECT_EQ(header[c], letter + "_x");
                EXPECT_EQ(header[c + 1], letter + "_y");
                EXPECT_TRUE(column.emplace(letter, c).second) << letter;
            }
            EXPECT_EQ(header.size() % 2, 0u);

            for (std::size_t i = 1; i < lines.size(); ++i) {
                const std::vector<std::string> cells = Cells(lines[i]);
                ASSERT_EQ(cells.size(), header.size()) << lines[i];
                EXPECT_EQ(cells[0], std::to_string(i - 1));
                // The same crank angle as the step arrays' entry.
                EXPECT_EQ(cells[1], Cells(steps[i])[1]);
                const auto pin = [&](const char* letter) {
                    const std::size_t c = column.at(letter);
                    return std::pair<double, double>(std::stod(cells[c]), std::stod(cells[c + 1]));
                };
                for (const Rod& rod : list) {
                    SCOPED_TRACE(std::string(rod.from) + rod.to + " at step " + cells[0]);
                    ASSERT_TRUE(column.count(rod.from) && column.count(rod.to));
                    const auto [ax, ay] = pin(rod.from);
                    const auto [bx, by] = pin(rod.to);
                    EXPECT_NEAR(std::hypot(ax - bx, ay - by), rod.length, rod.tolerance);
                }
            }
        }
    }
}

// A gear whose record holds numbers so large that some of its pins overflow: neither the pins'
// table nor the Walschaerts listing shows an infinity; the table leaves those coordinates empty and
// says so.
TEST(SolvePins, PinsThatOverflowAreLeftEmptyAndTheListingShowsNoInfinity) {
    ScratchDir dir;
    std::vector<unsigned char> input =
        ReadBytes(std::filesystem::path(LINKWRIGHT_SOURCE_DIR) /
                  "fuzz/corpus/found-b1a02de596cef87cf196db59872030c8bbe489a9");
    ASSERT_GT(input.size(), 1u);
    ASSERT_EQ(input[0], 0); // a Walschaerts 1 file with the defaults
    WriteBytes(dir / "huge.L1", std::vector<unsigned char>(input.begin() + 1, input.end()));
    const CliResult run = RunCliIn(dir.path(), "solve --file huge.L1 --pins pins.csv");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("their coordinates are left empty"), std::string::npos) << run.err;
    for (const char* file : {"pins.csv", "Wal1Output.txt"}) {
        std::string text = ReadTextFile(dir / file);
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(text.find("inf"), std::string::npos) << file;
        EXPECT_EQ(text.find("nan"), std::string::npos) << file;
    }
    EXPECT_NE(ReadTextFile(dir / "pins.csv").find(",,"), std::string::npos);
}

} // namespace
} // namespace linkwright::testing
