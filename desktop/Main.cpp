// The desktop program: the simulation starts (messages file, examples, defaults, Walschaerts 1),
// the windows are created with the main window first and the messages window visible, a data file
// named on the command line is opened, then the event loop runs until the main window closes.
#include "app/Simulation.h"
#include "common/BuildConfig.h"
#include "gears/GearKinds.h"
#include "ui/ErrorGuard.h"
#include "ui/QtDialogs.h"
#include "ui/TMessages.h"
#include "ui/TfrmMain.h"

#include <QMessageBox>
#include <QPrinter>
#include <QStringList>
#include <QTimer>

#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

std::string Usage() {
    std::string kinds;
    for (const linkwright::GearKindRow& row : linkwright::GearKinds())
        kinds += std::string("  *.") + row.extension + "  " + row.name + "\n";
    return "Usage: linkwright [OPTION]... [FILE]\n"
           "Linkwright, a simulator of steam-locomotive valve gears. It starts on FILE, a gear data file\n"
           "opened as the kind its extension names, or on the Walschaerts1 example. Messages.txt, the\n"
           "listings and the Data folder are written into the working folder.\n"
           "\n"
           "Options:\n"
           "  -h, --help     print this help and exit\n"
           "      --version  print the version and exit\n"
           "\n"
           "Qt's own options, such as -platform or -style, are taken as well.\n"
           "\n"
           "Data files:\n" +
           kinds;
}

// --help and --version are answered before Qt starts, so they need no display. Returns the exit
// status when the program is to end at once.
std::optional<int> AnswerWithoutWindow(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") break;
        if (argument == "--version") {
            std::cout << "linkwright " << linkwright::ProgramVersion << "\n";
            return 0;
        }
        if (argument == "--help" || argument == "-h") {
            std::cout << Usage();
            return 0;
        }
    }
    return std::nullopt;
}

// What Qt left of the command line once it took its own options: at most one data file. Returns
// false, having said why, when the arguments ask for something else.
bool DataFileArgument(QStringList arguments, QString& file) {
    arguments.removeFirst();
    bool options = true;
    QStringList files;
    for (const QString& argument : arguments) {
        if (options && argument == QStringLiteral("--"))
            options = false;
        else if (options && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            std::cerr << "linkwright: unknown option " << argument.toStdString() << "\n" << Usage();
            return false;
        } else
            files.push_back(argument);
    }
    if (files.size() > 1) {
        std::cerr << "linkwright: one data file at most\n" << Usage();
        return false;
    }
    if (!files.isEmpty()) file = files.front();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = AnswerWithoutWindow(argc, argv)) return *status;

    linkwright::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Linkwright"));
    QApplication::setApplicationVersion(QString::fromUtf8(linkwright::ProgramVersion));
    QString file;
    if (!DataFileArgument(QApplication::arguments(), file)) return 2;

    QPrinter printer(QPrinter::HighResolution);
    linkwright::QtDialogs dialogs(printer);
    app.SetReporter(&dialogs);

    std::unique_ptr<linkwright::Simulation> simulation;
    try {
        simulation = std::make_unique<linkwright::Simulation>(dialogs);
    } catch (const std::exception& error) {
        // Without its messages file in the working folder the program cannot start.
        QMessageBox::critical(nullptr, QStringLiteral("Linkwright"),
                              QString::fromStdString(linkwright::ErrorText(error)));
        return 1;
    }

    linkwright::TfrmMain frmMain(*simulation, dialogs, printer);
    dialogs.SetParent(&frmMain);
    frmMain.show();
    frmMain.MessagesWindow()->show();
    // Opened once the event loop runs, so that a refusal's message box has the window behind it.
    if (!file.isEmpty()) QTimer::singleShot(0, &frmMain, [&frmMain, file] { frmMain.OpenNamedFile(file); });
    const int result = QApplication::exec();
    simulation->Messages.Close();
    return result;
}
