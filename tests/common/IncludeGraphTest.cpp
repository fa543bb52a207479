// The layering of the source folders. A folder may include itself and the folders below it, never
// one above; the files directly in gears/ never include a kind's folder (only the kinds table
// builds the kinds' models); no source reaches itself again through its includes; and Qt headers
// appear only in the folders of the windows, the programs and the benchmarks.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace linkwright {
namespace {

namespace fs = std::filesystem;

// `#include <QWidget>`, `#include <QtCore/QString>`, `#include "QPainter"` and the like.
bool IncludesQt(const std::string& line) {
    static const std::regex qtInclude(R"(^\s*#\s*include\s*[<"]Q[A-Za-z0-9_/.]*[>"])");
    return std::regex_search(line, qtInclude);
}

// The name in a `#include "x/y.h"` line; nothing for any other line.
std::optional<std::string> QuotedInclude(const std::string& line) {
    static const std::regex quoted(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::smatch match;
    if (!std::regex_search(line, match, quoted)) return std::nullopt;
    return match[1].str();
}

struct FolderRule {
    std::string folder;
    std::set<std::string> mayInclude; // besides the folder itself
    bool qt = false;
};

// Lowest first. At the bottom the number formats, the state records and the messages file with the
// dialogs keep to themselves, and the plane geometry uses the number formats and the messages file;
// each folder above may use all of the ones below it.
std::vector<FolderRule> Layering() {
    std::vector<FolderRule> rules = {
        {"common", {}, false},
        {"state", {}, false},
        {"windows", {}, false},
        {"geometry", {"common", "windows"}, false},
    };
    std::set<std::string> below = {"common", "state", "windows", "geometry"};
    for (const char* folder : {"plot", "gears", "analysis", "tuning", "app", "ui"}) {
        rules.push_back({folder, below, std::string(folder) == "ui"});
        below.insert(folder);
    }
    rules.push_back({"cli", below, true});
    std::set<std::string> core = below; // the fuzzer runs the program without its windows
    core.erase("ui");
    rules.push_back({"fuzz", core, false});
    rules.push_back({"desktop", below, true});
    below.insert({"cli", "desktop"});
    rules.push_back({"bench", below, true}); // anything but the tests
    return rules;
}

// The one file directly in gears/ that may include the kinds' folders: it builds their models.
constexpr const char* KindsTableSource = "gears/GearKinds.cpp";

struct Violation {
    std::string where; // file:line, relative to the source root
    std::string text;  // the offending line
    std::string why;
};

std::string Report(const std::vector<Violation>& violations) {
    std::string report;
    for (const Violation& v : violations)
        report += v.where + ": " + v.text + "  -- " + v.why + "\n";
    return report;
}

// Every .h and .cpp under the given folders of `root`, relative to it, in name order.
std::vector<fs::path> SourceFiles(const fs::path& root, const std::vector<FolderRule>& rules) {
    std::vector<fs::path> files;
    for (const FolderRule& rule : rules) {
        if (!fs::is_directory(root / rule.folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / rule.folder)) {
            const auto extension = entry.path().extension();
            if (entry.is_regular_file() && (extension == ".h" || extension == ".cpp"))
                files.push_back(entry.path().lexically_relative(root));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A quoted include as the compiler finds it: beside the including file first, then from the root.
fs::path Resolve(const fs::path& root, const fs::path& file, const std::string& name) {
    const fs::path besideFile = (file.parent_path() / name).lexically_normal();
    if (fs::exists(root / besideFile)) return besideFile;
    return fs::path(name).lexically_normal();
}

std::string TopFolder(const fs::path& relative) {
    auto part = relative.begin();
    if (part == relative.end() || std::next(part) == relative.end()) return {};
    return part->string();
}

// gears/<kind>/..., as opposed to the files directly in gears/.
bool InKindFolder(const fs::path& relative) {
    return TopFolder(relative) == "gears" && std::distance(relative.begin(), relative.end()) > 2;
}

struct Include {
    int line = 0;
    std::string text;
    bool qt = false;
    fs::path target; // resolved, for quoted includes of a file
};

std::vector<Include> IncludesOf(const fs::path& root, const fs::path& file) {
    std::vector<Include> includes;
    std::ifstream in(root / file);
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (IncludesQt(text))
            includes.push_back({number, text, true, {}});
        else if (const auto name = QuotedInclude(text))
            includes.push_back({number, text, false, Resolve(root, file, *name)});
    }
    return includes;
}

std::vector<Violation> LayeringViolations(const fs::path& root, int& filesChecked) {
    const std::vector<FolderRule> rules = Layering();
    std::map<std::string, const FolderRule*> ruleOf;
    for (const FolderRule& rule : rules)
        ruleOf[rule.folder] = &rule;

    std::vector<Violation> violations;
    filesChecked = 0;
    for (const fs::path& file : SourceFiles(root, rules)) {
        ++filesChecked;
        const FolderRule& rule = *ruleOf.at(TopFolder(file));
        for (const Include& include : IncludesOf(root, file)) {
            const std::string where = file.generic_string() + ":" + std::to_string(include.line);
            if (include.qt) {
                if (!rule.qt) violations.push_back({where, include.text, "no Qt header in " + rule.folder});
                continue;
            }
            const std::string target = TopFolder(include.target);
            if (target.empty())
                violations.push_back({where, include.text, "names a file in no source folder"});
            else if (target != rule.folder && !rule.mayInclude.contains(target))
                violations.push_back({where, include.text, rule.folder + " may not include " + target});
            else if (file.parent_path() == "gears" && file != fs::path(KindsTableSource) &&
                     InKindFolder(include.target))
                violations.push_back({where, include.text,
                                      std::string("only ") + KindsTableSource + " includes a kind's folder"});
        }
    }
    return violations;
}

// Each cycle of quoted includes among the layered sources, as "a -> b -> a" from its first file in
// name order, the cycles in name order.
std::vector<std::string> IncludeCycles(const fs::path& root) {
    std::map<fs::path, std::vector<fs::path>> edges;
    for (const fs::path& file : SourceFiles(root, Layering()))
        edges[file];
    for (auto& [file, targets] : edges)
        for (const Include& include : IncludesOf(root, file))
            if (!include.qt && edges.contains(include.target)) targets.push_back(include.target);

    enum class Mark { Unseen, OnPath, Done };
    std::map<fs::path, Mark> marks;
    std::vector<fs::path> path;
    std::vector<std::string> cycles;
    auto visit = [&](auto& self, const fs::path& file) -> void {
        marks[file] = Mark::OnPath;
        path.push_back(file);
        for (const fs::path& target : edges.at(file)) {
            if (marks[target] == Mark::OnPath) {
                std::vector<fs::path> loop(std::find(path.begin(), path.end(), target), path.end());
                std::rotate(loop.begin(), std::min_element(loop.begin(), loop.end()), loop.end());
                std::string cycle;
                for (const fs::path& member : loop)
                    cycle += member.generic_string() + " -> ";
                cycles.push_back(cycle + loop.front().generic_string());
            } else if (marks[target] == Mark::Unseen) {
                self(self, target);
            }
        }
        path.pop_back();
        marks[file] = Mark::Done;
    };
    for (const auto& [file, targets] : edges)
        if (marks[file] == Mark::Unseen) visit(visit, file);
    std::sort(cycles.begin(), cycles.end());
    return cycles;
}

TEST(IncludeGraph, ThePatternsRecogniseQtHeadersAndQuotedIncludes) {
    EXPECT_TRUE(IncludesQt("#include <QWidget>"));
    EXPECT_TRUE(IncludesQt("  #  include <QtCore/QString>"));
    EXPECT_TRUE(IncludesQt("#include \"QPainter\""));
    EXPECT_FALSE(IncludesQt("#include <queue>"));
    EXPECT_FALSE(IncludesQt("#include \"plot/Canvas.h\""));
    EXPECT_FALSE(IncludesQt("// #include <QWidget> is not allowed here"));

    EXPECT_EQ(QuotedInclude("#include \"gears/wal1/Wal1.h\""), "gears/wal1/Wal1.h");
    EXPECT_EQ(QuotedInclude("  #  include \"plot/Glib1.h\" // drawing"), "plot/Glib1.h");
    EXPECT_EQ(QuotedInclude("#include <vector>"), std::nullopt);
    EXPECT_EQ(QuotedInclude("// #include \"ui/QtCanvas.h\""), std::nullopt);
    EXPECT_EQ(QuotedInclude("const char* s = \"#include \\\"x.h\\\"\";"), std::nullopt);
}

// The checks themselves, on a small made-up tree with one fault of each sort beside allowed lines.
TEST(IncludeGraph, ReportsEachFaultOfAMadeUpTreeWithItsLine) {
    testing::ScratchDir dir;
    auto write = [&](const std::string& name, const std::string& text) {
        fs::create_directories((dir.path() / name).parent_path());
        std::ofstream(dir.path() / name) << text;
    };
    write("common/A.h", "#pragma once\n#include \"plot/Glib1.h\"\n");
    write("geometry/G.cpp", "#include \"common/A.h\"\n#include \"windows/W.h\"\n#include \"state/S.h\"\n");
    write("windows/W.h", "#include \"Local.h\"\n#include \"Missing.h\"\n");
    write("windows/Local.h", "#include <cstdio>\n");
    write("state/S.h", "");
    write("plot/P.h", "#include \"state/S.h\"\n#include \"gears/GearModel.h\"\n");
    write("gears/GearModel.h", "#include \"plot/P.h\"\n#include \"gears/wal1/Wal1.h\"\n");
    write("gears/GearKinds.cpp", "#include \"gears/wal1/Wal1.h\"\n");
    write("gears/wal1/Wal1.h", "#include \"gears/GearModel.h\"\n");
    write("app/Simulation.cpp", "#include <QString>\n#include \"analysis/E.h\"\n");
    write("analysis/E.h", "#include \"app/Simulation.h\"\n");
    write("ui/U.cpp", "#include <QWidget>\n#include \"app/Simulation.h\"\n#include \"cli/C.h\"\n");
    write("cli/C.h", "#include \"ui/U.h\"\n#include \"desktop/D.h\"\n");
    write("bench/B.cpp", "#include \"cli/C.h\"\n#include \"tests/support/TestSupport.h\"\n");
    write("app/Notes.txt", "#include <QWidget>\n");

    int filesChecked = 0;
    const std::vector<Violation> violations = LayeringViolations(dir.path(), filesChecked);
    EXPECT_EQ(filesChecked, 14);
    std::vector<std::string> where;
    for (const Violation& v : violations)
        where.push_back(v.where);
    const std::vector<std::string> expected = {
        "analysis/E.h:1",       // upward, to app
        "app/Simulation.cpp:1", // Qt below ui
        "bench/B.cpp:2",        // the tests
        "cli/C.h:2",            // beside, to desktop
        "common/A.h:2",         // upward, to plot
        "gears/GearModel.h:2",  // a kind's folder from gears/
        "geometry/G.cpp:3",     // state is not below geometry
        "plot/P.h:2",           // upward, to gears
        "ui/U.cpp:3",           // upward, to cli
        "windows/W.h:2",        // a file in no folder
    };
    EXPECT_EQ(where, expected) << Report(violations);

    EXPECT_EQ(IncludeCycles(dir.path()),
              (std::vector<std::string>{"gears/GearModel.h -> gears/wal1/Wal1.h -> gears/GearModel.h",
                                        "gears/GearModel.h -> plot/P.h -> gears/GearModel.h"}));
}

TEST(IncludeGraph, EverySourceKeepsToItsLayer) {
    int filesChecked = 0;
    const std::vector<Violation> violations = LayeringViolations(LINKWRIGHT_SOURCE_DIR, filesChecked);
    // The check means nothing if it found no sources at all (a wrong root, for instance).
    EXPECT_GT(filesChecked, 0);
    EXPECT_TRUE(violations.empty()) << Report(violations);
}

TEST(IncludeGraph, NoSourceIncludesItselfThroughOthers) {
    const std::vector<std::string> cycles = IncludeCycles(LINKWRIGHT_SOURCE_DIR);
    std::string report;
    for (const std::string& cycle : cycles)
        report += cycle + "\n";
    EXPECT_TRUE(cycles.empty()) << report;
}

} // namespace
} // namespace linkwright
