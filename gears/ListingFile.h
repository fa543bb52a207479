// The per-revolution listing a gear kind writes in the working folder: its replacement is created
// before the solve, so that a folder that cannot take it stops the revolution before anything
// changed, then given the whole text at once.
#pragma once

#include "common/ReplacementFile.h"

#include <optional>
#include <string>
#include <string_view>

namespace linkwright {

class ListingFile {
public:
    // Creates the replacement beside the file; throws std::runtime_error "Cannot create <name>" when it
    // cannot.
    explicit ListingFile(std::string name);
    ~ListingFile();
    ListingFile(const ListingFile&) = delete;
    ListingFile& operator=(const ListingFile&) = delete;

    // Makes `text` the file's whole content and closes it; throws std::runtime_error
    // "Cannot write <name>" when any of that fails.
    void Replace(std::string_view text);

private:
    std::string name_;
    std::optional<ReplacementFile> file_;
};

} // namespace linkwright
