#include "ExportDialogSteps.h"

#include "common/FileBytes.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace qelmar::exporting::test {

namespace {

// Switches the dialog's additions for one test and back.
class AdditionsSwitch {
public:
    explicit AdditionsSwitch(const ExportDialog::Additions& additions)
        : m_previous(ExportDialog::additions()) {
        ExportDialog::setAdditions(additions);
    }
    ~AdditionsSwitch() { ExportDialog::setAdditions(m_previous); }
    AdditionsSwitch(const AdditionsSwitch&) = delete;
    AdditionsSwitch& operator=(const AdditionsSwitch&) = delete;

private:
    ExportDialog::Additions m_previous;
};

ExportDialog::Additions withProgress(bool on) {
    ExportDialog::Additions additions;
    additions.exportProgress = on;
    return additions;
}

// Presses Cancel in the export's progress window as soon as one exists, from inside the event
// handling the export does while it runs.
class CancelWhenProgressShows {
public:
    explicit CancelWhenProgressShows(QWidget& dialog) {
        QObject::connect(&m_poll, &QTimer::timeout, [this, &dialog] {
            auto* progress = dialog.findChild<QProgressDialog*>();
            if (!progress || pressed)
                return;
            title = progress->windowTitle();
            label = progress->labelText();
            auto* cancel = progress->findChild<QPushButton*>();
            ASSERT_NE(cancel, nullptr);
            buttonText = cancel->text();
            pressed = true;
            QTest::mouseClick(cancel, Qt::LeftButton);
        });
        m_poll.start(0);
    }

    bool pressed = false;
    QString title, label, buttonText;

private:
    QTimer m_poll;
};

// Notes at each report whether a progress window is up.
struct ProgressWatch {
    QWidget* dialog = nullptr;
    int reports = 0;
    int windows = 0;

    static bool called(double, void* self) {
        auto* watch = static_cast<ProgressWatch*>(self);
        ++watch->reports;
        watch->windows += watch->dialog->findChildren<QProgressDialog*>().size();
        return true;
    }
};

using ExportProgressDialogTest = ExportDialogTest;

TEST_F(ExportProgressDialogTest, CancelInTheProgressWindowKeepsTheDialogOpenQuietlyAndWritesNothing) {
    const AdditionsSwitch additions(withProgress(true));
    ExportDialog& dialog = open();
    choose(dialog, "export_Format_CmbBox", "PNG");
    files.saveAs(QString::fromStdString(path("plot.png")));
    const CancelWhenProgressShows user(dialog);
    pressOk(dialog);

    EXPECT_TRUE(user.pressed);
    EXPECT_EQ(user.title, "Exporting…");
    EXPECT_EQ(user.label, "Exporting…");
    EXPECT_EQ(user.buttonText, "Cancel");
    EXPECT_TRUE(kernel.wasCalled("QelUtilExport"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(kernel.messagesOfType(0).empty());
    EXPECT_TRUE(QDir(directory.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    // The window is gone with the export, and the next export runs to its end.
    EXPECT_EQ(dialog.findChild<QProgressDialog*>(), nullptr);
    files.saveAs(QString::fromStdString(path("again.png")));
    pressOk(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(testsupport::fileExists(path("again.png")));
}

TEST_F(ExportProgressDialogTest, WithoutTheAdditionNoProgressWindowAppears) {
    const AdditionsSwitch additions(withProgress(false));
    ExportDialog& dialog = open();
    ProgressWatch watch{&dialog};
    QelUtilExportSetProgressCallback(&ProgressWatch::called, &watch);
    choose(dialog, "export_Format_CmbBox", "PNG");
    files.saveAs(QString::fromStdString(path("plain.png")));
    pressOk(dialog);
    QelUtilExportSetProgressCallback(nullptr, nullptr);

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(testsupport::fileExists(path("plain.png")));
    EXPECT_GT(watch.reports, 0); // the host's own callback stays in place
    EXPECT_EQ(watch.windows, 0);
}

} // namespace

} // namespace qelmar::exporting::test
