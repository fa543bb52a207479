// Each output is handed to its replacement file whole.
#include "cli/OutputFile.h"

#include <stdexcept>
#include <string>
#include <system_error>

namespace linkwright {

void OutputFile::Put(std::string_view bytes) {
    file_.Write(bytes);
    file_.Commit(Durability::Renamed);
}

namespace {

// Whether two paths name one file: the same file where both exist (links and hard links too), else
// the same absolute name with every link that exists followed.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) return true;
    std::error_code errorA;
    std::error_code errorB;
    const std::filesystem::path fullA =
        std::filesystem::weakly_canonical(std::filesystem::absolute(a), errorA);
    const std::filesystem::path fullB =
        std::filesystem::weakly_canonical(std::filesystem::absolute(b), errorB);
    return !errorA && !errorB && fullA == fullB;
}

} // namespace

void RefuseSharedFiles(std::span<const CommandFile> files) {
    const auto named = [](const CommandFile& file) { return !file.path.empty() && file.path != "-"; };
    for (std::size_t j = 0; j < files.size(); ++j) {
        for (std::size_t i = 0; i < j; ++i) {
            const CommandFile& first = files[i];
            const CommandFile& second = files[j];
            if (!named(first) || !named(second) || !(first.written || second.written)) continue;
            if (first.mayShare > 0 && first.mayShare == second.mayShare) continue;
            if (!SameFile(first.path, second.path)) continue;
            const CommandFile& output = second.written ? second : first;
            const CommandFile& other = second.written ? first : second;
            throw std::invalid_argument(output.what + " \"" + output.path.string() + "\" is also " +
                                        other.what + (other.written ? "" : ", which would be lost") +
                                        ": give each output a file of its own");
        }
    }
}

void CreateOutputFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw std::system_error(error, "Cannot create the folder \"" + folder.string() + "\"");
}

} // namespace linkwright
