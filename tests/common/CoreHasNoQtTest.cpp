// Keeps the computing core free of the windowing toolkit: no source under the core folders may
// include a Qt header.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

// `#include <QWidget>`, `#include <QtCore/QString>`, `#include "QPainter"` and the like.
bool IncludesQt(const std::string& line) {
    static const std::regex qtInclude(R"(^\s*#\s*include\s*[<"]Q[A-Za-z0-9_/.]*[>"])");
    return std::regex_search(line, qtInclude);
}

TEST(CoreHasNoQt, TheIncludePatternRecognisesQtHeaders) {
    EXPECT_TRUE(IncludesQt("#include <QWidget>"));
    EXPECT_TRUE(IncludesQt("  #  include <QtCore/QString>"));
    EXPECT_TRUE(IncludesQt("#include \"QPainter\""));
    EXPECT_FALSE(IncludesQt("#include <queue>"));
    EXPECT_FALSE(IncludesQt("#include \"plot/Canvas.h\""));
    EXPECT_FALSE(IncludesQt("// #include <QWidget> is not allowed here"));
}

TEST(CoreHasNoQt, NoCoreSourceIncludesAQtHeader) {
    const std::filesystem::path root = LINKWRIGHT_SOURCE_DIR;
    const std::vector<std::string> coreFolders = {"common",   "geometry", "plot", "gears",
                                                  "analysis", "windows",  "app"};
    std::vector<std::string> offenders;
    int filesChecked = 0;
    for (const std::string& folder : coreFolders) {
        if (!std::filesystem::is_directory(root / folder)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
            if (!entry.is_regular_file()) continue;
            const auto extension = entry.path().extension();
            if (extension != ".h" && extension != ".cpp") continue;
            ++filesChecked;
            std::ifstream in(entry.path());
            std::string line;
            int number = 0;
            while (std::getline(in, line)) {
                ++number;
                if (IncludesQt(line))
                    offenders.push_back(entry.path().lexically_relative(root).string() + ":" +
                                        std::to_string(number) + ": " + line);
            }
        }
    }
    // The check means nothing if it found no sources at all (a wrong root, for instance).
    EXPECT_GT(filesChecked, 0);
    std::string report;
    for (const auto& offender : offenders)
        report += offender + "\n";
    EXPECT_TRUE(offenders.empty()) << report;
}

} // namespace
