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

} // namespace linkwright
