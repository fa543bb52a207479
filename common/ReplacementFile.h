// Replacing a file's whole content safely: the new content goes into a fresh file beside the target,
// created exclusively under a name nobody can foresee and never through a symbolic link, and is
// renamed over the target only when it is complete. The target is its old self or its new self,
// never a torso; a symbolic link at the target's name is replaced, not followed; an existing
// target's permission bits are kept. A device or a pipe at the name (or behind a link there) is
// written as it is, since it cannot be replaced.
#pragma once

#include <filesystem>
#include <string_view>

namespace linkwright {

// How far a replacement is made to last before it counts as done.
enum class Durability : unsigned char {
    Renamed, // the rename is done; the system writes the data out in its own time
    Synced,  // the new file is on the disk before the rename, and the rename after it
};

class ReplacementFile {
public:
    // Creates the new file beside `target`. Throws std::system_error ("Cannot create \"target\"")
    // when the folder cannot take it, before anything has changed.
    explicit ReplacementFile(std::filesystem::path target);
    // A replacement never committed leaves the target as it was and removes its new file.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Appends to the new content; throws std::system_error ("Cannot write \"target\"").
    void Write(std::string_view bytes);
    // Puts the new content in the target's place; throws std::system_error ("Cannot write
    // \"target\"") and leaves the target as it was when any step fails.
    void Commit(Durability durability);

    const std::filesystem::path& Target() const { return target_; }

private:
    [[noreturn]] void Fail(int error);
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int descriptor_ = -1;
};

// The whole replacement at once.
void ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes, Durability durability);

} // namespace linkwright
