#pragma once

// The export dialog with the host's additions switched on, for the suites of the preview panel.

#include "ExportDialogSteps.h"

#include "export/ExportPreviewPanel.h"
#include "export/ExportPreviewPropertiesManager.h"

#include <QFile>
#include <QLabel>

namespace qelmar::exporting::test {

using dialogs::io::ExportPreviewPanel;

inline const standin::StylePath usePhysicalSizePath{"ExportSetup", "UsePhysicalSize"};
inline const standin::StylePath transparentPath{"ExportSetup", "TransparentBackground"};

// Switches the additions on for one test and off again after it, whatever the test did.
class AdditionsSwitch {
public:
    explicit AdditionsSwitch(const ExportDialog::Additions& additions) {
        ExportDialog::setAdditions(additions);
    }
    ~AdditionsSwitch() { ExportDialog::setAdditions({}); }
    AdditionsSwitch(const AdditionsSwitch&) = delete;
    AdditionsSwitch& operator=(const AdditionsSwitch&) = delete;
};

// The panel and the extra formats on, and a startup folder of the test's own without a presets
// file.
class ExportPreviewTest : public ExportDialogTest {
protected:
    void SetUp() override {
        ExportDialogTest::SetUp();
        ASSERT_TRUE(QDir(directory.path()).mkpath(QStringLiteral("startup")));
        ApplicationTestControl::setStartupFolder(startupFolder().toStdString());
    }

    QString startupFolder() const { return directory.filePath(QStringLiteral("startup")); }
    QString presetsFile() const { return startupFolder() + QStringLiteral("/export_presets.txt"); }

    QByteArray presetsFileContents() const {
        QFile file(presetsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void writePresetsFile(const QByteArray& contents) const {
        QFile file(presetsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
    }

    ExportPreviewPanel& panelOf(ExportDialog& dialog) {
        auto* panel = dialog.findChild<ExportPreviewPanel*>();
        EXPECT_NE(panel, nullptr);
        return *panel;
    }

    // Lets the coalescing timer run out and the preview render.
    static void waitForPreview(ExportPreviewPanel& panel) {
        EXPECT_TRUE(QTest::qWaitFor([&panel] { return !panel.renderPending(); }, 5000));
        QCoreApplication::processEvents();
    }

    std::vector<std::string> errorTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : kernel.messagesOfType(0))
            texts.push_back(message.text);
        return texts;
    }

    AdditionsSwitch additions{{true, true, false}};
};

} // namespace qelmar::exporting::test
