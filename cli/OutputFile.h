// The files the commands write: each is replaced whole (a full disk or a failed drawing keeps what
// was there, a link at the name is replaced, not followed), and each is created before the work that
// fills it, so that a path that cannot be written is refused before anything is solved or drawn.
#pragma once

#include "common/ReplacementFile.h"
#include "ui/PictureFiles.h"

#include <QByteArray>

#include <filesystem>
#include <functional>
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

// The folder of a command's --out, made with its parents where missing; one that cannot be made
// (a file or a device in its place) is refused with the reason, as "Cannot create the folder
// \"NAME\": Not a directory".
void CreateOutputFolder(const std::filesystem::path& folder);

} // namespace linkwright
