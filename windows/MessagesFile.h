// The messages file: the shared text log that the gear models, the geometry library and the
// analysis append to, and that the messages window shows.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace linkwright {

class MessagesFile {
public:
    // The file is "Messages.txt" in the working directory unless another path is given.
    explicit MessagesFile(std::filesystem::path path = "Messages.txt");
    ~MessagesFile();
    MessagesFile(const MessagesFile&) = delete;
    MessagesFile& operator=(const MessagesFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    void SetPath(std::filesystem::path path); // closes the current file; Create opens the new one

    void Create();                            // create empty (truncating) and keep open for writing
    void AppendLine(const std::string& line); // text and a line end
    void Append(const std::string& text);     // text without a line end
    void EndLine();
    void Flush();
    void RewriteEmpty(); // the analysis empties the log before a new solve
    void Close();        // writes out everything buffered
    void Reopen();       // opens again for appending (after the window read it)
    bool IsOpen() const { return file_ != nullptr; }

    // Line ends written since this object was made.
    long LinesWritten() const { return lines_; }

    // Everything written so far (flushes first). Empty when the file does not exist.
    std::string Contents();

private:
    void EnsureOpen();
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
    long lines_ = 0;
};

} // namespace linkwright
