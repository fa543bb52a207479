// The Qt dialogs behind the commands: the file dialogs take the kind's filter, default extension,
// folder and file name; the message boxes answer OK or Cancel; the print dialog confirms.
#include "ui/QtDialogs.h"
#include "tests/support/TestSupport.h"
#include "ui/ErrorGuard.h"
#include "ui/Printing.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <system_error>

namespace linkwright {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScratchDir;

// Runs `answer` on the modal dialog as soon as it is up.
void WhenModal(std::function<void(QWidget*)> answer) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [answer, poll] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            answer(modal);
            return;
        }
        QTimer::singleShot(20, *poll);
    };
    QTimer::singleShot(20, *poll);
}

class QtDialogsTest : public ::testing::Test {
protected:
    ScratchDir dir;
    QPrinter printer;
    QtDialogs dialogs{printer};

    FileDialogRequest Request() const {
        return FileDialogRequest{"Bakers1 (*.L3)", "L3", (dir / "Data").string(), "NoName", ""};
    }
    void SetUp() override { fs::create_directory(dir / "Data"); }
};

TEST_F(QtDialogsTest, SaveDialogOffersTheKindAndAddsItsExtension) {
    QStringList filters;
    QString suffix;
    QString folder;
    QString shownName;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        folder = dialog->directory().absolutePath();
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        shownName = name->text();
        name->setText(QStringLiteral("gear"));   // typed without an extension
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept, as the Save button does
    });
    const auto chosen = dialogs.SaveFile(Request());
    EXPECT_EQ(filters, (QStringList{"Bakers1 (*.L3)", "All files (*)"}));
    EXPECT_EQ(suffix, "L3");
    EXPECT_EQ(fs::path(folder.toStdString()), dir / "Data");
    EXPECT_EQ(shownName, "NoName");
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(fs::path(*chosen), dir / "Data" / "gear.L3");
}

// A cancelled dialog chooses nothing; its caption is the request's, or what it does.
TEST_F(QtDialogsTest, CancelledOpenDialogChoosesNothing) {
    FileDialogRequest compare = Request();
    compare.title = "Compare with";
    for (const auto& [request, caption] :
         {std::pair{Request(), "Open"}, std::pair{compare, "Compare with"}}) {
        QString shown;
        WhenModal([&shown](QWidget* modal) {
            shown = modal->windowTitle();
            static_cast<QDialog*>(modal)->reject();
        });
        EXPECT_FALSE(dialogs.OpenFile(request).has_value());
        EXPECT_EQ(shown, caption);
    }
}

TEST_F(QtDialogsTest, WarningAnswersOkOrCancel) {
    WhenModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), "Do you really want to overwrite gear.L1?");
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_TRUE(dialogs.WarningOkCancel("Do you really want to overwrite gear.L1?"));
    WhenModal(
        [](QWidget* modal) { qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Cancel)->click(); });
    EXPECT_FALSE(dialogs.WarningOkCancel("Do you really want to overwrite gear.L1?"));
}

TEST_F(QtDialogsTest, PrintDialogConfirmsOrCancels) {
    WhenModal([](QWidget* modal) {
        EXPECT_NE(qobject_cast<QPrintDialog*>(modal), nullptr);
        static_cast<QDialog*>(modal)->reject();
    });
    EXPECT_FALSE(dialogs.ConfirmPrint());
}

TEST_F(QtDialogsTest, ErrorsOfACommandAreShownAndStopThere) {
    QString shown;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->accept();
    });
    const bool finished = RunGuarded(dialogs, [] {
        throw std::system_error(std::make_error_code(std::errc::no_space_on_device), "Cannot write gear.L1");
    });
    EXPECT_FALSE(finished);
    EXPECT_TRUE(shown.startsWith("Cannot write gear.L1"));
    EXPECT_TRUE(shown.contains(
        QString::fromStdString(std::make_error_code(std::errc::no_space_on_device).message())));
}

TEST(Printing, ImageIsScaledOntoOnePdfPage) {
    ScratchDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString((dir / "picture.pdf").string()));
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(Qt::red);
    PrintImage(printer, picture);
    const auto bytes = ReadBytes(dir / "picture.pdf");
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "%PDF");
    EXPECT_THROW(PrintImage(printer, QImage()), std::runtime_error);
}

TEST(Printing, ClipboardGetsTheImage) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    CopyImageToClipboard(picture);
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), picture);
}

} // namespace
} // namespace linkwright
