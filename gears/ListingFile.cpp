// The listing is replaced whole at the end of each revolution, so that a full disk keeps the
// previous listing instead of a torso and a link planted at its fixed name is replaced, not
// followed.
#include "gears/ListingFile.h"

#include <stdexcept>
#include <system_error>

namespace linkwright {

ListingFile::ListingFile(std::string name) : name_(std::move(name)) {
    try {
        file_.emplace(name_);
    } catch (const std::system_error&) {
        throw std::runtime_error("Cannot create " + name_);
    }
}

ListingFile::~ListingFile() = default;

void ListingFile::Replace(std::string_view text) {
    try {
        if (!file_) throw std::system_error(std::make_error_code(std::errc::bad_file_descriptor));
        file_->Write(text);
        file_->Commit(Durability::Renamed);
        file_.reset();
    } catch (const std::system_error&) {
        file_.reset();
        throw std::runtime_error("Cannot write " + name_);
    }
}

} // namespace linkwright
