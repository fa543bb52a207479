// The messages file: created empty at start-up, appended to by every writer, closed and reopened
// around each read by the messages window. Write failures are exceptions carrying the system's text.
#include "windows/MessagesFile.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <system_error>
#include <utility>

namespace linkwright {

namespace {

[[noreturn]] void ThrowFileError(int error, const std::string& what, const std::filesystem::path& path) {
    // Some C libraries leave errno at 0 for a failed buffered write; the report still needs a cause.
    if (error == 0) error = EIO;
    throw std::system_error(error, std::generic_category(), what + " \"" + path.string() + "\"");
}

} // namespace

MessagesFile::MessagesFile(std::filesystem::path path) : path_(std::move(path)) {}

MessagesFile::~MessagesFile() {
    // Nothing can be reported from here; Close() is the place where errors are seen.
    if (file_ != nullptr) std::fclose(file_);
}

void MessagesFile::SetPath(std::filesystem::path path) {
    Close();
    path_ = std::move(path);
}

void MessagesFile::Create() {
    if (file_ != nullptr) Close();
    errno = 0;
    file_ = std::fopen(path_.c_str(), "w");
    if (file_ == nullptr) ThrowFileError(errno, "Cannot create the messages file", path_);
}

void MessagesFile::AppendLine(const std::string& line) {
    Append(line);
    EndLine();
}

void MessagesFile::Append(const std::string& text) {
    EnsureOpen();
    if (text.empty()) return;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
        ThrowFileError(errno, "Cannot write to the messages file", path_);
}

void MessagesFile::EndLine() {
    EnsureOpen();
    errno = 0;
    if (std::fputc('\n', file_) == EOF) ThrowFileError(errno, "Cannot write to the messages file", path_);
    ++lines_;
}

void MessagesFile::Flush() {
    if (file_ == nullptr) return;
    errno = 0;
    if (std::fflush(file_) != 0) ThrowFileError(errno, "Cannot write to the messages file", path_);
}

void MessagesFile::RewriteEmpty() {
    Create();
}

void MessagesFile::Close() {
    if (file_ == nullptr) return;
    std::FILE* file = std::exchange(file_, nullptr);
    errno = 0;
    // fclose writes out the buffer; a failure there means lines were lost, which must be said.
    const bool flushed = std::fflush(file) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!flushed) ThrowFileError(flushError, "Cannot write to the messages file", path_);
    if (!closed) ThrowFileError(errno, "Cannot close the messages file", path_);
}

void MessagesFile::Reopen() {
    if (file_ != nullptr) Close();
    errno = 0;
    file_ = std::fopen(path_.c_str(), "a");
    if (file_ == nullptr) ThrowFileError(errno, "Cannot reopen the messages file", path_);
}

std::string MessagesFile::Contents() {
    Flush();
    std::ifstream in(path_, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void MessagesFile::EnsureOpen() {
    // A writer after Close() (or before Create()) must not crash: append to what is there.
    if (file_ == nullptr) Reopen();
}

} // namespace linkwright
