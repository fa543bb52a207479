// The files the commands write: each is replaced whole (a full disk or a failed drawing keeps what
// was there, a link at the name is replaced, not followed), and each is created before the work that
// fills it, so that a path that cannot be written is refused before anything is solved or drawn.
#pragma once

#include "common/ReplacementFile.h"
#include "ui/PictureFiles.h"

#include <QByteArray>

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace linkwright {

class OutputFile {
public:
    explicit OutputFile(const std::filesystem::path& path) : file_(path) {}
    // The whole content; the file is complete once this returns.
    void Put(std::string_view bytes);
    void Put(const QByteArray& bytes) { Put(std::string_view(bytes.constData(), std::size_t(bytes.size()))); }

private:
    ReplacementFile file_;
};

// A file a command reads or writes, for RefuseSharedFiles.
struct CommandFile {
    std::string what;           // how the user named it: "--csv", "the messages file"
    std::filesystem::path path; // nothing for an empty path or "-" (standard output)
    bool written = true;
    // Files with the same number above 0 may be one: an output that is its own source, or a file
    // read and replaced by one of its own sort (a data file saved over the one opened).
    int mayShare = 0;
};

// Refuses, before anything is written, two of a command's files that are one file while at least
// one of them is written, where they may not share it: one output would replace another, or the
// data file or fields file the command read.
void RefuseSharedFiles(std::span<const CommandFile> files);

// The folder of a command's --out, made with its parents where missing; one that cannot be made
// (a file or a device in its place) is refused with the reason, as "Cannot create the folder
// \"NAME\": Not a directory".
void CreateOutputFolder(const std::filesystem::path& folder);

} // namespace linkwright
