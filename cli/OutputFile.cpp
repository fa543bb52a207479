// Each output is handed to its replacement file whole.
#include "cli/OutputFile.h"

namespace linkwright {

void OutputFile::Put(std::string_view bytes) {
    file_.Write(bytes);
    file_.Commit(Durability::Renamed);
}

} // namespace linkwright
