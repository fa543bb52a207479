// Each output is handed to its replacement file whole.
#include "cli/OutputFile.h"

#include <string>
#include <system_error>

namespace linkwright {

void OutputFile::Put(std::string_view bytes) {
    file_.Write(bytes);
    file_.Commit(Durability::Renamed);
}

void CreateOutputFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw std::system_error(error, "Cannot create the folder \"" + folder.string() + "\"");
}

} // namespace linkwright
