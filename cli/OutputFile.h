// The files the commands write: each is replaced whole (a full disk or a failed drawing keeps what
// was there, a link at the name is replaced, not followed), and each is created before the work that
// fills it, so that a path that cannot be written is refused before anything is solved or drawn.
#pragma once

#include "common/ReplacementFile.h"

#include <QByteArray>

#include <filesystem>
#include <functional>
#include <string_view>

class QString;

namespace linkwright {

class QtCanvas;

class OutputFile {
public:
    explicit OutputFile(const std::filesystem::path& path) : file_(path) {}
    // The whole content; the file is complete once this returns.
    void Put(std::string_view bytes);
    void Put(const QByteArray& bytes) { Put(std::string_view(bytes.constData(), std::size_t(bytes.size()))); }

private:
    ReplacementFile file_;
};

// A picture drawn by `draw` on a canvas over an SVG or PDF device of width x height, as the
// file's bytes.
using PictureDrawing = std::function<void(QtCanvas& canvas)>;
QByteArray SvgBytes(int width, int height, const QString& title, const PictureDrawing& draw);
QByteArray PdfBytes(int width, int height, const PictureDrawing& draw);
// A canvas's bitmap as PNG.
QByteArray PngBytes(QtCanvas& canvas);

} // namespace linkwright
