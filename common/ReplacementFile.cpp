// A replacement is written to "<target>.<random>.new" in the target's folder and renamed over the
// target. The random part comes from the system's random source, so another user cannot plant a
// link under the name beforehand; O_EXCL and O_NOFOLLOW refuse one that is there all the same.
#include "common/ReplacementFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linkwright {

namespace {

// Twelve letters and digits from 64 random bits: two draws of the system's random source, which
// costs a system call each.
std::string RandomPart() {
    static constexpr char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::random_device source;
    std::uint64_t bits = (static_cast<std::uint64_t>(source()) << 32) ^ source();
    std::string text(12, '0');
    for (char& c : text) {
        c = digits[bits % 36];
        bits /= 36;
    }
    return text;
}

[[noreturn]] void Throw(int error, const char* what, const std::filesystem::path& target) {
    if (error == 0) error = EIO;
    throw std::system_error(error, std::generic_category(),
                            std::string(what) + " \"" + target.string() + "\"");
}

// The permission bits a new file loses: the process's umask, read once (reading it means setting
// it, so it is set straight back).
mode_t CreationMask() {
    static const mode_t mask = [] {
        const mode_t current = ::umask(022);
        ::umask(current);
        return current;
    }();
    return mask;
}

// The folder a path's file lives in, "." for a bare name.
std::filesystem::path FolderOf(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

} // namespace

ReplacementFile::ReplacementFile(std::filesystem::path target) : target_(std::move(target)) {
    // A device or a pipe (/dev/null, /dev/stdout, a FIFO) is a stream, not a file to keep whole:
    // it is written as it is. A folder cannot be replaced.
    struct stat reached {};
    if (::stat(target_.c_str(), &reached) == 0 && !S_ISREG(reached.st_mode)) {
        if (S_ISDIR(reached.st_mode)) Throw(EISDIR, "Cannot create", target_);
        descriptor_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (descriptor_ < 0) Throw(errno, "Cannot create", target_);
        return;
    }
    for (int attempt = 0; attempt < 16 && descriptor_ < 0; ++attempt) {
        temporary_ = target_;
        temporary_ += ".";
        temporary_ += RandomPart();
        temporary_ += ".new";
        // 0666 less the user's umask, as any new file of the program gets.
        descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor_ < 0 && errno != EEXIST) break;
    }
    if (descriptor_ < 0) {
        const int error = errno;
        temporary_.clear();
        Throw(error, "Cannot create", target_);
    }
    // An existing file keeps its permission bits; a link or anything else at the name is replaced
    // by a plain file with the usual ones.
    struct stat existing {};
    if (::lstat(target_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        (existing.st_mode & 07777) != (0666 & ~CreationMask()))
        ::fchmod(descriptor_, existing.st_mode & 07777);
}

ReplacementFile::~ReplacementFile() {
    Discard();
}

void ReplacementFile::Discard() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

void ReplacementFile::Fail(int error) {
    Discard();
    Throw(error, "Cannot write", target_);
}

void ReplacementFile::Write(std::string_view bytes) {
    if (descriptor_ < 0) Throw(EBADF, "Cannot write", target_);
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) Fail(written < 0 ? errno : ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void ReplacementFile::Commit(Durability durability) {
    if (descriptor_ < 0) Throw(EBADF, "Cannot write", target_);
    if (temporary_.empty()) {
        // Written straight to a device or a pipe.
        const int descriptor = descriptor_;
        descriptor_ = -1;
        if (::close(descriptor) != 0) Throw(errno, "Cannot write", target_);
        return;
    }
    if (durability == Durability::Synced && ::fsync(descriptor_) != 0) Fail(errno);
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0) Fail(errno);
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) Fail(errno);
    temporary_.clear();
    if (durability == Durability::Synced) {
        // The rename itself lasts once the folder is on the disk.
        const int folder = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            const bool synced = ::fsync(folder) == 0 || errno == EINVAL;
            const int error = errno;
            ::close(folder);
            if (!synced) Throw(error, "Cannot write", target_);
        }
    }
}

void ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes, Durability durability) {
    ReplacementFile file(target);
    file.Write(bytes);
    file.Commit(durability);
}

} // namespace linkwright
