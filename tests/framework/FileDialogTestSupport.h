#pragma once

#include "host/QExtendedFileDialog.h"
#include "host/SaveFileQtDialog.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/ModalDialogAnswerer.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace qelmar::framework::test {

using sdk::ui::dialogs::QExtendedFileDialog;
using sdk::ui::dialogs::SaveFileQtDialog;

inline QLineEdit* fileNameEdit(QFileDialog& dialog) {
    return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

inline QPushButton* dialogButton(QFileDialog& dialog, QDialogButtonBox::StandardButton which) {
    auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    return box ? box->button(which) : nullptr;
}

// Types over the name as a user would, with the focus in the name field, and presses Save.
inline void typeNameAndSave(QFileDialog& dialog, const QString& name) {
    QLineEdit* edit = fileNameEdit(dialog);
    QApplication::setActiveWindow(&dialog);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, name);
    dialogButton(dialog, QDialogButtonBox::Save)->click();
}

inline std::string canonical(const QString& path) {
    return QFileInfo(path).canonicalFilePath().toStdString();
}

// Runs the step inside the dialog's event loop. A step that leaves the dialog open is a
// failure, and the dialog is rejected so that no test waits for a user.
inline bool launchWith(SaveFileQtDialog& dialog, std::function<void(QExtendedFileDialog&)> step) {
    QExtendedFileDialog* fileDialog = dialog.dialog();
    QTimer::singleShot(0, fileDialog, [fileDialog, step = std::move(step)] {
        step(*fileDialog);
        if (fileDialog->isVisible()) {
            ADD_FAILURE() << "the step left the file dialog open";
            fileDialog->reject();
        }
    });
    return dialog.launch();
}

// A temporary folder with settings of its own and the kernel's messages taken over; any
// toolkit message box that appears is a failure.
class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(settingsFolder.isValid());
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
        toolkitBoxes.setFailureHandler([](const std::string& failure) { ADD_FAILURE() << failure; });
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    void createFile(const QString& name) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        file.write("contents");
    }

    std::vector<std::string> messageTexts(int type) const {
        std::vector<std::string> texts;
        for (const auto& message : kernel.messagesOfType(type))
            texts.push_back(message.text);
        return texts;
    }

    QTemporaryDir folder;
    QTemporaryDir settingsFolder;
    standin::testing::KernelTestControl kernel;
    standin::testing::ModalDialogAnswerer toolkitBoxes{2000};
};

} // namespace qelmar::framework::test
