#include "host/SaveFileQtDialog.h"
#include "host/FilenameStrategy.h"
#include "host/KernelMessages.h"
#include "host/QExtendedFileDialog.h"
#include "host/QtDialogAbstract.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/ModalDialogAnswerer.h"
#include "kernel/testing/ReadOnlyFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

namespace qelmar::framework::test {

using sdk::ui::FilenameStrategy;
using sdk::ui::dialogs::QExtendedFileDialog;
using sdk::ui::dialogs::QtDialogAbstract;
using sdk::ui::dialogs::SaveFileQtDialog;

namespace {

const std::vector<std::string> layoutAndData{"Linked Data (*.lay)", "Binary Data Files (*.plt *.dat)"};

QLineEdit* nameEdit(QFileDialog& dialog) {
    return dynamic_cast<QExtendedFileDialog&>(dialog).fileNameEdit();
}
void pressSave(QFileDialog& dialog) {
    dynamic_cast<QExtendedFileDialog&>(dialog).buttonBox()->button(QDialogButtonBox::Save)->click();
}
// Types over the name with the focus in the name field, as a user does, and presses Save.
void typeNameAndSave(QFileDialog& dialog, const QString& name) {
    QApplication::setActiveWindow(&dialog);
    nameEdit(dialog)->setFocus();
    nameEdit(dialog)->selectAll();
    QTest::keyClicks(nameEdit(dialog), name);
    pressSave(dialog);
}
std::string canonical(const QString& path) {
    return QFileInfo(path).canonicalFilePath().toStdString();
}

// Runs the step inside the dialog's event loop; a dialog the step left open is rejected, so no
// test waits for a user.
bool launchWith(SaveFileQtDialog& dialog, std::function<void(QFileDialog&)> step) {
    QFileDialog* files = dialog.dialog();
    QTimer::singleShot(0, files, [files, step = std::move(step)] {
        step(*files);
        if (files->isVisible()) {
            ADD_FAILURE() << "the step left the file dialog open";
            files->reject();
        }
    });
    return dialog.launch();
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

} // namespace

// A temporary folder and settings; the kernel answers its own questions, and any message box
// of the toolkit is a failure.
class SaveFileDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid() && settingsFolder.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
        toolkitBoxes.setFailureHandler([](const std::string& failure) { ADD_FAILURE() << failure; });
    }
    std::string path(const QString& name) const { return folder.filePath(name).toStdString(); }
    std::unique_ptr<SaveFileQtDialog> open(const std::string& start, const std::string& name, int filter,
                                           const QString& help = "") {
        return std::make_unique<SaveFileQtDialog>(nullptr, "Write", start, name, layoutAndData, filter, help);
    }

    QTemporaryDir folder, settingsFolder;
    standin::testing::KernelTestControl kernel;
    standin::testing::ModalDialogAnswerer toolkitBoxes{2000};
};

TEST_F(SaveFileDialog, ANameWithoutExtensionGetsTheOneOfTheFilterInForceWhoeverPickedIt) {
    auto dialog = open(path("start.lay"), "untitled", 1);
    EXPECT_EQ(nameEdit(*dialog->dialog())->text(), "untitled.plt");
    ASSERT_TRUE(launchWith(*dialog, [](QFileDialog& files) { typeNameAndSave(files, "run"); }));
    EXPECT_EQ(dialog->selectedFilename(), path("run.plt"));
    EXPECT_EQ(dialog->selectedFilter(), "Binary Data Files (*.plt *.dat)");
    EXPECT_EQ(dialog->selectedWriter(), 1);

    dialog = open(folder.path().toStdString(), "untitled", 1);
    ASSERT_TRUE(launchWith(*dialog, [](QFileDialog& files) {
        // As the user picks it: the combo's activation is what the dialog listens to.
        QComboBox* combo = dynamic_cast<QExtendedFileDialog&>(files).fileTypeCombo();
        combo->setCurrentIndex(0);
        Q_EMIT combo->activated(0);
        EXPECT_EQ(nameEdit(files)->text(), "untitled.lay");
        pressSave(files);
    }));
    EXPECT_EQ(dialog->selectedFilename(), path("untitled.lay"));
    EXPECT_EQ(dialog->selectedWriter(), 0);

    dialog = open(folder.path().toStdString(), "", 0);
    dialog->dialog()->selectNameFilter("Binary Data Files (*.plt *.dat)");
    ASSERT_TRUE(launchWith(*dialog, [](QFileDialog& files) { typeNameAndSave(files, "coded"); }));
    EXPECT_EQ(dialog->selectedFilename(), path("coded.plt"));
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(SaveFileDialog, ProposedNamesKeepTheirExtensionAndBadFilterIndexesMeanTheFirst) {
    for (int index : {-1, 2})
        EXPECT_EQ(nameEdit(*open("", "untitled", index)->dialog())->text(), "untitled.lay") << index;
    auto dialog = open(folder.path().toStdString(), "notes.txt", 0);
    ASSERT_TRUE(launchWith(*dialog, pressSave));
    EXPECT_EQ(dialog->selectedFilename(), path("notes.txt"));

    SaveFileQtDialog anyFile(nullptr, "Write", folder.path().toStdString(), "untitled", "All Files (*)", "");
    ASSERT_TRUE(launchWith(anyFile, [](QFileDialog& files) { typeNameAndSave(files, "plain"); }));
    EXPECT_EQ(anyFile.selectedFilename(), path("plain"));
    EXPECT_EQ(anyFile.selectedWriter(), 0);
}

TEST_F(SaveFileDialog, StartsInTheStartPathsFolderOrElseInTheStrategysFolder) {
    ASSERT_TRUE(QDir(folder.path()).mkdir("sub"));
    const auto startFolder = [this](const std::string& start, const std::string& name) {
        return canonical(open(start, name, 0)->dialog()->directory().absolutePath());
    };
    const std::string sub = canonical(folder.filePath("sub"));
    EXPECT_EQ(startFolder(path("sub"), "a"), sub);
    EXPECT_EQ(startFolder(path("sub/new.lay"), "a"), sub);
    EXPECT_EQ(startFolder("", path("sub/case.lay")), sub);
    FilenameStrategy::getManager().rememberFile(FilenameStrategy::FileCategory_DataFile, path("old.plt"));
    EXPECT_EQ(startFolder("", "a"), canonical(folder.path()));
    EXPECT_EQ(startFolder(path("gone/case.lay"), "a"), canonical(folder.path()));
    FilenameStrategy::getManager().reset();
}

TEST_F(SaveFileDialog, TypingAFolderOpensItInsteadOfChoosingIt) {
    ASSERT_TRUE(QDir(folder.path()).mkdir("results"));
    auto dialog = open(folder.path().toStdString(), "", 1);
    ASSERT_TRUE(launchWith(*dialog, [this](QFileDialog& files) {
        typeNameAndSave(files, "results");
        ASSERT_TRUE(files.isVisible());
        EXPECT_EQ(canonical(files.directory().absolutePath()), canonical(folder.filePath("results")));
        typeNameAndSave(files, "inside");
    }));
    EXPECT_EQ(dialog->selectedFilename(), path("results/inside.plt"));
}

TEST_F(SaveFileDialog, AnExistingFileIsReplacedOnlyAfterOneYesFromTheKernelsQuestion) {
    QFile existing(folder.filePath("existing.plt"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    kernel.answerNextQuestions({false, true});
    auto dialog = open(folder.path().toStdString(), "", 1);
    ASSERT_TRUE(launchWith(*dialog, [this](QFileDialog& files) {
        typeNameAndSave(files, "existing");
        EXPECT_TRUE(files.isVisible());
        EXPECT_EQ(kernel.messagesOfType(MessageBox_Question).size(), 1u);
        pressSave(files);
    }));
    EXPECT_EQ(dialog->selectedFilename(), path("existing.plt"));
    ASSERT_EQ(kernel.messages().size(), 2u);
    EXPECT_EQ(kernel.messages().back().text, "existing.plt already exists.\nDo you want to replace it?");
}

TEST_F(SaveFileDialog, AFolderThatIsNotThereIsRefusedWithAnErrorAndCancelReturnsFalse) {
    auto dialog = open(folder.path().toStdString(), "", 1);
    EXPECT_FALSE(launchWith(*dialog, [](QFileDialog& files) {
        typeNameAndSave(files, "missing/run.plt");
        EXPECT_TRUE(files.isVisible());
        dynamic_cast<QExtendedFileDialog&>(files).buttonBox()->button(QDialogButtonBox::Cancel)->click();
    }));
    ASSERT_EQ(kernel.messagesOfType(MessageBox_Error).size(), 1u);
    const std::string error = kernel.messagesOfType(MessageBox_Error).front().text;
    EXPECT_NE(error.find("run.plt"), std::string::npos) << error;
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
}

TEST_F(SaveFileDialog, AFolderOnAReadOnlyFileSystemIsRefusedNamingTheFileSystem) {
    const standin::testing::ReadOnlyFolder medium(folder.filePath("medium"));
    if (!medium.isAvailable())
        GTEST_SKIP() << medium.problem();
    for (const QString name : {"existing", "new"}) {
        auto dialog = open(medium.path().toStdString(), "", 0);
        EXPECT_FALSE(launchWith(*dialog, [name](QFileDialog& files) {
            typeNameAndSave(files, name);
            EXPECT_TRUE(files.isVisible());
            files.reject();
        }));
    }
    ASSERT_EQ(kernel.messagesOfType(0).size(), 2u);
    for (const auto& error : kernel.messagesOfType(0))
        EXPECT_NE(error.text.find(".lay\":\nthe folder " + medium.path().toStdString() +
                                  " cannot be written (Read-only file system)."),
                  std::string::npos)
            << error.text;
    EXPECT_TRUE(kernel.messagesOfType(3).empty()) << "asked to replace a file that cannot be replaced";
}

TEST_F(SaveFileDialog, TheHelpButtonOpensTheHelpPage) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    launchWith(*open("", "", 0, "write_data_file.html"), [](QFileDialog& files) {
        files.findChild<QPushButton*>("helpButton")->click();
        EXPECT_TRUE(files.isVisible());
        files.reject();
    });
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.front().fileName(), "write_data_file.html");
    EXPECT_EQ(open("", "", 0)->dialog()->findChild<QPushButton*>("helpButton"), nullptr);
}

TEST_F(SaveFileDialog, ListsEveryFileOfALargeFolderWithoutLookingUpIcons) {
    // More files than the model's first batch, so that later batches must reach the list too.
    constexpr int files = 450;
    for (int i = 0; i < files; ++i)
        QFile(folder.filePath(QStringLiteral("run%1.plt").arg(i))).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QDir(folder.path()).mkdir("archive"));
    QExtendedFileDialog dialog(nullptr, "Open", folder.path(), "Binary Data Files (*.plt)");
    auto* model = dialog.findChild<QFileSystemModel*>();
    dialog.show();
    const QModelIndex root = model->index(folder.path());
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(root) == files + 1; })) << model->rowCount(root);
    const QModelIndex file = model->index(folder.filePath("run123.plt"));
    EXPECT_TRUE(model->fileIcon(file).isNull());
    EXPECT_EQ(model->type(file), "plt File");
    EXPECT_EQ(model->type(model->index(folder.filePath("archive"))), "Folder");
}

// Both dialog bases keep their geometry in one place: what one dialog leaves under a key, the
// next dialog with that key opens with, whichever base it has. Each returns the size it opened with.
TEST_F(SaveFileDialog, TheGeometryUnderAKeyIsSharedByBothDialogBasesElseTheDefaultSizeServes) {
    const auto fileDialog = [](const QString& key, QSize resizeTo, QSize defaultSize = QSize()) {
        QExtendedFileDialog dialog(nullptr, "Write");
        dialog.setGeometryPersistenceKey(key);
        if (defaultSize.isValid())
            dialog.setDefaultSize(defaultSize);
        dialog.show();
        const QSize shown = dialog.size();
        dialog.resize(resizeTo);
        dialog.reject();
        return shown;
    };
    const auto plainDialog = [](const QString& key, QSize resizeTo) {
        QtDialogAbstract dialog(nullptr, nullptr);
        dialog.setPersistSizeAndPosition(key);
        dialog.resize(300, 200);
        dialog.launch();
        const QSize shown = dialog.size();
        dialog.resize(resizeTo);
        dialog.close();
        return shown;
    };
    const QSize defaultSize(640, 420);
    EXPECT_EQ(fileDialog("Tests/Save", QSize(720, 510), defaultSize), defaultSize);
    EXPECT_EQ(fileDialog("Tests/Save", QSize(700, 500), defaultSize), QSize(720, 510));
    EXPECT_EQ(fileDialog("Tests/Other", QSize(700, 500), defaultSize), defaultSize);

    EXPECT_EQ(plainDialog("Tests/Plain", QSize(410, 310)), QSize(300, 200));
    EXPECT_EQ(plainDialog("Tests/Plain", QSize(640, 480)), QSize(410, 310));
    EXPECT_EQ(fileDialog("Tests/Plain", QSize(660, 490)), QSize(640, 480));
    EXPECT_EQ(plainDialog("Tests/Plain", QSize(500, 400)), QSize(660, 490));
    EXPECT_EQ(plainDialog("Tests/Elsewhere", QSize(500, 400)), QSize(300, 200));
}

TEST_F(SaveFileDialog, TheToolkitsWidgetsAreReachedThroughTheirAccessors) {
    QExtendedFileDialog dialog(nullptr, "Open", folder.path(), "Binary Data Files (*.plt)");
    const std::pair<QWidget*, const char*> widgets[] = {
        {dialog.fileNameEdit(), "fileNameEdit"},
        {dialog.fileNameLabel(), "fileNameLabel"},
        {dialog.fileTypeCombo(), "fileTypeCombo"},
        {dialog.fileTypeLabel(), "fileTypeLabel"},
        {dialog.lookInCombo(), "lookInCombo"},
        {dialog.lookInLabel(), "lookInLabel"},
        {dialog.buttonBox(), "buttonBox"},
        {dialog.listView(), "listView"},
        {dialog.treeView(), "treeView"},
        {dialog.sidebar(), "sidebar"},
        {dialog.backButton(), "backButton"},
        {dialog.forwardButton(), "forwardButton"},
        {dialog.toParentButton(), "toParentButton"},
        {dialog.newFolderButton(), "newFolderButton"},
        {dialog.listModeButton(), "listModeButton"},
        {dialog.detailModeButton(), "detailModeButton"},
    };
    for (const auto& [widget, name] : widgets) {
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->objectName(), name);
        EXPECT_EQ(widget->window(), &dialog) << name;
    }
    ASSERT_NE(dialog.gridLayout(), nullptr);
    EXPECT_EQ(static_cast<QLayout*>(dialog.gridLayout()), dialog.layout());
    EXPECT_EQ(dialog.fileTypeCombo()->currentText(), "Binary Data Files (*.plt)");

    // The accessors reach the live widgets: typing into the name field is what the dialog reads.
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.fileNameEdit()->setText("typed.plt");
    EXPECT_TRUE(dialog.buttonBox()->button(QDialogButtonBox::Save)->isEnabled());
}

} // namespace qelmar::framework::test

#include "SaveFileQtDialogTest.moc"
