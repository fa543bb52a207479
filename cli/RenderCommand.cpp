// linkwright-cli render: the main view's picture of a gear, written as PNG, SVG or PDF.
#include "cli/GearOptions.h"

#include "cli/OutputFile.h"
#include "ui/QtCanvas.h"

#include <QString>

#include <algorithm>
#include <cctype>

namespace linkwright {

namespace {

std::string LowerExtension(const std::string& file) {
    const std::size_t dot = file.find_last_of('.');
    if (dot == std::string::npos) return {};
    std::string extension = file.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

void Render(GearOptions options, const std::string& out, HeadlessDialogs& dialogs) {
    options.pictureIsOutput = true;
    const std::string extension = LowerExtension(out);
    if (extension != "png" && extension != "svg" && extension != "pdf")
        throw std::invalid_argument("--out must end in .png, .svg or .pdf: \"" + out + "\"");
    const PictureSize size = PictureSizeFor(options);

    // The file is taken before anything is drawn, so a path that cannot be written stops here.
    OutputFile file(out);
    QtCanvas picture(size.width, size.height);
    if (picture.Image().isNull())
        throw std::runtime_error("There is not enough memory for a picture of " + options.size + " pixels");
    std::unique_ptr<Simulation> sim = PrepareGear(options, dialogs, picture);
    std::vector<CommandFile> files = GearCommandFiles(options, *sim, false);
    files.push_back({"--out", out});
    RefuseSharedFiles(files);

    if (extension == "png") {
        file.Put(PngBytes(picture));
        return;
    }
    // Vector output: the last picture drawn once more on the file's device. Drawing the same
    // position again leaves the backlash where it was, so the picture is the same.
    const PictureDrawing redraw = [&](QtCanvas& canvas) {
        sim->Plot.AttachCanvas(canvas);
        sim->Redraw();
        sim->Plot.AttachCanvas(picture);
    };
    file.Put(extension == "svg" ? SvgBytes(size.width, size.height, "Linkwright", redraw)
                                : PdfBytes(size.width, size.height, redraw));
}

} // namespace

void AddRenderCommand(CLI::App& app, std::function<int()>& run) {
    CLI::App* command =
        app.add_subcommand("render", "Draw the gear as the main window does and write the picture");
    auto options = std::make_shared<GearOptions>();
    auto out = std::make_shared<std::string>();
    AddGearOptions(*command, *options);
    command->add_option("--out", *out, "Picture file: .png, .svg or .pdf")->required();
    command->callback([options, out, &run] {
        run = [options, out] {
            HeadlessDialogs dialogs;
            return RunReportingErrors(dialogs, [&] { Render(*options, *out, dialogs); });
        };
    });
}

} // namespace linkwright
