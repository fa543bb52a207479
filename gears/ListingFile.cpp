// The listing is written over the previous one instead of truncating the file first: freeing and
// allocating the file's blocks again on every revolution would cost more than the solve itself.
// Only a longer previous listing is cut to the new length.
#include "gears/ListingFile.h"

#include <cerrno>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linkwright {

ListingFile::ListingFile(std::string name) : name_(std::move(name)) {
    descriptor_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor_ < 0) throw std::runtime_error("Cannot create " + name_);
}

ListingFile::~ListingFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

void ListingFile::Replace(std::string_view text) {
    bool ok = descriptor_ >= 0;
    const char* next = text.data();
    std::size_t left = text.size();
    while (ok && left > 0) {
        const ssize_t written = ::write(descriptor_, next, left);
        if (written < 0 && errno == EINTR) continue;
        ok = written > 0;
        if (ok) {
            next += written;
            left -= static_cast<std::size_t>(written);
        }
    }
    struct stat status {};
    if (ok) ok = ::fstat(descriptor_, &status) == 0;
    if (ok && status.st_size > static_cast<off_t>(text.size()))
        ok = ::ftruncate(descriptor_, static_cast<off_t>(text.size())) == 0;
    if (descriptor_ >= 0 && ::close(descriptor_) != 0) ok = false;
    descriptor_ = -1;
    if (!ok) throw std::runtime_error("Cannot write " + name_);
}

} // namespace linkwright
