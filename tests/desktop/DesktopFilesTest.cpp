// The desktop integration files against the kinds table and the project's version: the file manager
// knows every kind's data files, the desktop entry and the metainfo name the same types, and the
// metainfo's newest release is the version the programs print.
#include "common/BuildConfig.h"
#include "gears/GearKinds.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace linkwright {
namespace {

const std::filesystem::path Desktop = std::filesystem::path(LINKWRIGHT_SOURCE_DIR) / "desktop";

// Each match of the pattern's first group, in order.
std::vector<std::string> Matches(const std::string& text, const std::string& pattern) {
    const std::regex expression(pattern);
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression); it != std::sregex_iterator();
         ++it)
        found.push_back((*it)[1].str());
    return found;
}

// The shared-mime-info package: each type with the extensions its globs name.
std::map<std::string, std::vector<std::string>> MimeTypes() {
    const std::string package = testing::ReadTextFile(Desktop / "linkwright.xml");
    std::map<std::string, std::vector<std::string>> types;
    for (const std::string& block : Matches(package, R"(<mime-type ([\s\S]*?)</mime-type>)")) {
        const std::vector<std::string> names = Matches(block, R"re(^type="([^"]+)")re");
        EXPECT_EQ(names.size(), 1u) << block;
        if (names.size() == 1) types[names[0]] = Matches(block, R"re(<glob pattern="\*\.([^"]+)"/>)re");
    }
    return types;
}

TEST(DesktopFiles, EveryKindsDataFilesHaveATypeOfTheirOwn) {
    const auto types = MimeTypes();
    std::map<std::string, std::string> typeOfExtension;
    for (const auto& [type, extensions] : types) {
        EXPECT_EQ(extensions.size(), 1u) << type;
        for (const std::string& extension : extensions) {
            EXPECT_TRUE(FindGearKindByExtension(extension).has_value()) << type << " names *." << extension;
            typeOfExtension[extension] = type;
        }
    }
    for (const GearKindRow& row : GearKinds())
        EXPECT_TRUE(typeOfExtension.contains(row.extension))
            << row.name << " files (*." << row.extension << ") have no type";
}

TEST(DesktopFiles, TheDesktopEntryAndTheMetainfoNameTheTypesOfThePackage) {
    std::set<std::string> types;
    for (const auto& [type, extensions] : MimeTypes())
        types.insert(type);
    ASSERT_FALSE(types.empty());

    const std::string entry = testing::ReadTextFile(Desktop / "org.linkwright.Linkwright.desktop");
    const std::vector<std::string> lines = Matches(entry, R"((?:^|\n)MimeType=([^\n]*))");
    ASSERT_EQ(lines.size(), 1u);
    std::set<std::string> opened;
    std::istringstream list(lines[0]);
    for (std::string type; std::getline(list, type, ';');)
        if (!type.empty()) opened.insert(type);
    EXPECT_EQ(opened, types);

    const std::string metainfo = testing::ReadTextFile(Desktop / "org.linkwright.Linkwright.metainfo.xml");
    const std::vector<std::string> provided = Matches(metainfo, R"(<mediatype>([^<]+)</mediatype>)");
    EXPECT_EQ(std::set<std::string>(provided.begin(), provided.end()), types);
}

TEST(DesktopFiles, TheNewestReleaseIsTheProgramsVersion) {
    const std::string metainfo = testing::ReadTextFile(Desktop / "org.linkwright.Linkwright.metainfo.xml");
    const std::vector<std::string> releases = Matches(metainfo, R"re(<release version="([^"]+)")re");
    ASSERT_FALSE(releases.empty());
    EXPECT_EQ(releases.front(), ProgramVersion);
}

} // namespace
} // namespace linkwright
