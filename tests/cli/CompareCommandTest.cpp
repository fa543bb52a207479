// linkwright-cli compare: the table of two designs holds what analyse says of each, and designs of
// two kinds are refused.
#include "common/NumberFormat.h"
#include "tests/cli/CliRun.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace linkwright::testing {
namespace {

std::vector<std::string> CsvFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
        fields.push_back(line.substr(start, comma - start));
    fields.push_back(line.substr(start));
    return fields;
}

// events.csv as one map of column to text per row.
std::vector<std::map<std::string, std::string>> ReadTable(const std::filesystem::path& file) {
    const std::vector<std::string> lines = ReadLines(file);
    std::vector<std::map<std::string, std::string>> rows;
    if (lines.empty()) return rows;
    const std::vector<std::string> columns = CsvFields(lines[0]);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = CsvFields(lines[i]);
        EXPECT_EQ(fields.size(), columns.size()) << lines[i];
        std::map<std::string, std::string>& row = rows.emplace_back();
        for (std::size_t c = 0; c < std::min(fields.size(), columns.size()); ++c)
            row[columns[c]] = fields[c];
    }
    return rows;
}

class CompareCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RunCliIn(dir.path(), "save --out example.L1").status, 0);
        ASSERT_EQ(RunCliIn(dir.path(), "save --set GC=8.5 --set CE=1.4 --out changed.L1").status, 0);
    }
    ScratchDir dir;
};

TEST_F(CompareCommand, ADesignAgainstItselfGivesTwoEqualColumnsAtTheThreeDefaultSettings) {
    const CliResult run = RunCliIn(dir.path(), "compare example.L1 example.L1 --out same");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Setting  Direction  End  ", 0), 0u) << run.out;
    const auto rows = ReadTable(dir / "same" / "events.csv");
    ASSERT_EQ(rows.size(), 6u); // front and rear at 1, 0.5 and 0.25
    EXPECT_EQ(rows[0].at("Setting"), "1.00");
    EXPECT_EQ(rows[5].at("Setting"), "0.25");
    EXPECT_EQ(rows[5].at("End"), "rear");
    for (const auto& row : rows) {
        int pairs = 0;
        for (const auto& [column, text] : row) {
            const std::size_t at = column.rfind(" example.L1 (1)");
            if (at == std::string::npos) continue;
            ++pairs;
            EXPECT_EQ(text, row.at(column.substr(0, at) + " example.L1 (2)")) << column;
        }
        EXPECT_EQ(pairs, 7);
        EXPECT_EQ(row.at("Events example.L1 (1)"), "proper");
    }
    for (const char* picture : {"oval-1.svg", "oval-0.5.svg", "oval-0.25.svg", "events.svg"})
        EXPECT_TRUE(std::filesystem::is_regular_file(dir / "same" / picture)) << picture;
}

TEST_F(CompareCommand, EachDesignsCutOffsAndLeadsAreWhatAnalyseSaysOfItsFile) {
    // A design is named by its file's name without the folder.
    std::filesystem::create_directory(dir / "designs");
    std::filesystem::copy_file(dir / "changed.L1", dir / "designs" / "changed.L1");
    const CliResult run =
        RunCliIn(dir.path(), "compare example.L1 designs/changed.L1 --setting 0.25 --setting=-0.5,1 "
                             "--backward --out compared");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = ReadTable(dir / "compared" / "events.csv");
    ASSERT_EQ(rows.size(), 6u);
    const char* settings[] = {"0.25", "-0.5", "1"};
    bool differ = false;
    for (std::size_t s = 0; s < 3; ++s) {
        for (const char* file : {"example.L1", "changed.L1"}) {
            const CliResult analysed =
                RunCliIn(dir.path(), std::string("analyse --file ") + file + " --setting " + settings[s] +
                                         " --backward --out a --json -");
            ASSERT_EQ(analysed.status, 0) << analysed.err;
            const nlohmann::json json = nlohmann::json::parse(analysed.out);
            for (std::size_t end = 0; end < 2; ++end) {
                const auto& row = rows[2 * s + end];
                const auto& figures = json.at(end == 0 ? "front" : "rear");
                EXPECT_EQ(row.at("Direction"), "backward");
                EXPECT_EQ(row.at(std::string("Cut-off % ") + file),
                          F(figures.at("cutoff_pct").get<double>(), 1, 1))
                    << settings[s] << " " << file << " end " << end;
                EXPECT_EQ(row.at(std::string("Lead ") + file),
                          F(figures.at("lead").at("opening").get<double>(), 1, 4))
                    << settings[s] << " " << file << " end " << end;
            }
        }
        differ = differ || rows[2 * s].at("Cut-off % example.L1") != rows[2 * s].at("Cut-off % changed.L1");
    }
    EXPECT_TRUE(differ); // the changed rods move the events
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "compared" / "oval--0.5.svg"));
}

TEST_F(CompareCommand, DesignsOfTwoKindsAFileRefusedAndSettingsNotNumbersAreErrors) {
    ASSERT_EQ(RunCliIn(dir.path(), "save --kind Bakers1 --out other.L3").status, 0);
    WriteBytes(dir / "short.L1", std::vector<unsigned char>(100, 0));
    WriteBytes(dir / "notes.txt", std::vector<unsigned char>(100, 0));
    const struct {
        const char* arguments;
        const char* message;
    } cases[] = {
        {"example.L1 other.L3", "\"example.L1\" is a Walschaerts1 file and \"other.L3\" a Bakers1 file: only "
                                "designs of one kind are compared"},
        {"example.L1 short.L1", "\"short.L1\" is refused as a Walschaerts1 data file: 100 bytes, where a "
                                "Walschaerts1 file has 5012"},
        {"notes.txt example.L1", "\"notes.txt\": the extension .txt names no gear kind's data file"},
        {"example.L1 changed.L1 --setting 1,,0.5", "--setting must be gear settings such as 1,0.5,0.25, not "
                                                   "\"1,,0.5\""},
        {"example.L1 changed.L1 --setting inf", "not \"inf\""},
    };
    for (const auto& c : cases) {
        const CliResult run = RunCliIn(dir.path(), std::string("compare ") + c.arguments + " --out refused");
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "refused")) << c.arguments;
    }
}

} // namespace
} // namespace linkwright::testing
