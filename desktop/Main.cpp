// The desktop program: the simulation starts (messages file, examples, defaults, Walschaerts 1),
// the windows are created with the main window first and the messages window visible, then the
// event loop runs until the main window closes.
#include "app/Simulation.h"
#include "ui/ErrorGuard.h"
#include "ui/QtDialogs.h"
#include "ui/TMessages.h"
#include "ui/TfrmMain.h"

#include <QMessageBox>
#include <QPrinter>

#include <exception>
#include <memory>

int main(int argc, char** argv) {
    linkwright::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Linkwright"));
    QApplication::setApplicationVersion(QStringLiteral("2.12"));

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
    const int result = QApplication::exec();
    simulation->Messages.Close();
    return result;
}
