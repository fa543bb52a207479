// linkwright-cli render: the main view's picture of a gear, written as PNG, SVG or PDF.
#include "cli/GearOptions.h"

#include "ui/QtCanvas.h"

#include <QPageSize>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>

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

void Render(const GearOptions& options, const std::string& out, HeadlessDialogs& dialogs) {
    const std::string extension = LowerExtension(out);
    if (extension != "png" && extension != "svg" && extension != "pdf")
        throw std::invalid_argument("--out must end in .png, .svg or .pdf: \"" + out + "\"");
    int width = 0;
    int height = 0;
    if (!ParseSize(options.size, width, height))
        throw std::invalid_argument("--size must be WxH in pixels, such as 800x600, not \"" + options.size +
                                    "\"");

    QtCanvas picture(width, height);
    std::unique_ptr<Simulation> sim = PrepareGear(options, dialogs, picture);
    const QString name = QString::fromStdString(out);

    if (extension == "png") {
        if (!picture.Image().save(name, "PNG")) throw std::runtime_error("Cannot write \"" + out + "\"");
        return;
    }
    // Vector output: the last picture drawn once more on the file's device. Drawing the same
    // position again leaves the backlash where it was, so the picture is the same.
    if (extension == "svg") {
        QSvgGenerator generator;
        generator.setFileName(name);
        generator.setSize(QSize(width, height));
        generator.setViewBox(QRect(0, 0, width, height));
        generator.setTitle("Linkwright");
        {
            QtCanvas canvas(generator);
            sim->Plot.AttachCanvas(canvas);
            sim->Redraw();
            canvas.End();
            sim->Plot.AttachCanvas(picture);
        }
    } else {
        QPdfWriter writer(name);
        writer.setResolution(72);
        writer.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        {
            QtCanvas canvas(writer);
            sim->Plot.AttachCanvas(canvas);
            sim->Redraw();
            canvas.End();
            sim->Plot.AttachCanvas(picture);
        }
    }
    std::error_code error;
    if (!std::filesystem::exists(out, error) || std::filesystem::file_size(out, error) == 0)
        throw std::runtime_error("Cannot write \"" + out + "\"");
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
