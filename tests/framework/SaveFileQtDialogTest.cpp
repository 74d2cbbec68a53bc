#include "FileDialogTestSupport.h"

#include "host/FilenameStrategy.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFileSystemModel>
#include <QUrl>

namespace qelmar::framework::test {

using sdk::ui::FilenameStrategy;

namespace {

const std::vector<std::string> layoutAndData{"Linked Data (*.lay)", "Binary Data Files (*.plt *.dat)"};

// Picks a file type as the user does, so that the dialog hears of it.
void chooseFileType(QFileDialog& dialog, int index) {
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

} // namespace

using SaveFileDialogChoice = FileDialogTest;

TEST_F(SaveFileDialogChoice, ATypedNameIsCompletedWithTheSelectedFiltersExtension) {
    SaveFileQtDialog dialog(nullptr, "Write", path("start.lay").toStdString(), "", layoutAndData, 1, "");
    EXPECT_EQ(dialog.dialog()->windowTitle(), "Write");
    EXPECT_EQ(canonical(dialog.dialog()->directory().absolutePath()), canonical(folder.path()));
    const bool accepted = launchWith(dialog, [](QFileDialog& files) { typeNameAndSave(files, "run"); });
    ASSERT_TRUE(accepted);
    EXPECT_EQ(dialog.selectedFilename(), path("run.plt").toStdString());
    EXPECT_EQ(dialog.selectedFilter(), "Binary Data Files (*.plt *.dat)");
    EXPECT_EQ(dialog.selectedWriter(), 1);
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(SaveFileDialogChoice, TheExtensionFollowsTheFilterWhetherTheUserOrTheCodePicksIt) {
    SaveFileQtDialog dialog(nullptr, "Write", folder.path().toStdString(), "untitled", layoutAndData, 1, "");
    EXPECT_EQ(fileNameEdit(*dialog.dialog())->text(), "untitled.plt");
    ASSERT_TRUE(launchWith(dialog, [](QFileDialog& files) {
        chooseFileType(files, 0);
        EXPECT_EQ(fileNameEdit(files)->text(), "untitled.lay");
        typeNameAndSave(files, "chosen");
    }));
    EXPECT_EQ(dialog.selectedFilename(), path("chosen.lay").toStdString());
    EXPECT_EQ(dialog.selectedWriter(), 0);

    SaveFileQtDialog coded(nullptr, "Write", folder.path().toStdString(), "", layoutAndData, 0, "");
    coded.dialog()->selectNameFilter("Binary Data Files (*.plt *.dat)");
    ASSERT_TRUE(launchWith(coded, [](QFileDialog& files) { typeNameAndSave(files, "coded"); }));
    EXPECT_EQ(coded.selectedFilename(), path("coded.plt").toStdString());
    EXPECT_EQ(coded.selectedWriter(), 1);
}

TEST_F(SaveFileDialogChoice, ANameWithItsOwnExtensionOrUnderAWildcardFilterGetsNoneAdded) {
    SaveFileQtDialog named(nullptr, "Write", folder.path().toStdString(), "notes.txt", layoutAndData, 0, "");
    EXPECT_EQ(fileNameEdit(*named.dialog())->text(), "notes.txt");
    ASSERT_TRUE(launchWith(named, [](QFileDialog& files) { typeNameAndSave(files, "report"); }));
    EXPECT_EQ(named.selectedFilename(), path("report.lay").toStdString());

    SaveFileQtDialog anyFile(nullptr, "Write", folder.path().toStdString(), "untitled", "All Files (*)", "");
    EXPECT_EQ(fileNameEdit(*anyFile.dialog())->text(), "untitled");
    ASSERT_TRUE(launchWith(anyFile, [](QFileDialog& files) { typeNameAndSave(files, "plain"); }));
    EXPECT_EQ(anyFile.selectedFilename(), path("plain").toStdString());
    EXPECT_EQ(anyFile.selectedWriter(), 0);
}

TEST_F(SaveFileDialogChoice, TheProposedNameIsSavedAsItStands) {
    const auto saveProposed = [this](const std::string& name, int filter) {
        SaveFileQtDialog dialog(nullptr, "Write", folder.path().toStdString(), name, layoutAndData, filter,
                                "");
        const bool accepted = launchWith(
            dialog, [](QFileDialog& files) { dialogButton(files, QDialogButtonBox::Save)->click(); });
        return accepted ? dialog.selectedFilename() : std::string("(not accepted)");
    };
    EXPECT_EQ(saveProposed("untitled", 1), path("untitled.plt").toStdString());
    EXPECT_EQ(saveProposed("notes.txt", 0), path("notes.txt").toStdString());
    EXPECT_EQ(saveProposed("untitled", 1), path("untitled.plt").toStdString());
}

TEST_F(SaveFileDialogChoice, AnInitialFilterOutOfRangeSelectsTheFirst) {
    for (int index : {-1, 2, 7}) {
        SaveFileQtDialog dialog(nullptr, "Write", folder.path().toStdString(), "untitled", layoutAndData,
                                index, "");
        EXPECT_EQ(dialog.selectedWriter(), 0) << index;
        EXPECT_EQ(dialog.selectedFilter(), "Linked Data (*.lay)") << index;
        EXPECT_EQ(fileNameEdit(*dialog.dialog())->text(), "untitled.lay") << index;
    }
}

TEST_F(SaveFileDialogChoice, StartsInTheFolderOfTheStartPathOrElseInTheStrategysFolder) {
    ASSERT_TRUE(QDir(folder.path()).mkdir("sub"));
    const auto startFolder = [](const std::string& startPath, const std::string& name) {
        SaveFileQtDialog dialog(nullptr, "Write", startPath, name, layoutAndData, 0, "");
        return canonical(dialog.dialog()->directory().absolutePath());
    };
    EXPECT_EQ(startFolder(path("sub").toStdString(), "a"), canonical(path("sub")));
    EXPECT_EQ(startFolder(path("sub/missing.lay").toStdString(), "a"), canonical(path("sub")));
    EXPECT_EQ(startFolder("", path("sub/case.lay").toStdString()), canonical(path("sub")));

    FilenameStrategy& strategy = FilenameStrategy::getManager();
    strategy.rememberFile(FilenameStrategy::FileCategory_DataFile, path("earlier.plt").toStdString());
    EXPECT_EQ(startFolder("", "a"), canonical(folder.path()));
    EXPECT_EQ(startFolder(path("gone/case.lay").toStdString(), "a"), canonical(folder.path()));
    strategy.reset();
}

TEST_F(SaveFileDialogChoice, CancelReturnsFalse) {
    SaveFileQtDialog dialog(nullptr, "Write", folder.path().toStdString(), "untitled", layoutAndData, 0, "");
    EXPECT_FALSE(launchWith(
        dialog, [](QFileDialog& files) { dialogButton(files, QDialogButtonBox::Cancel)->click(); }));
    EXPECT_FALSE(QFile::exists(path("untitled.lay")));
}

TEST_F(SaveFileDialogChoice, TypingAFolderOpensItInsteadOfChoosingIt) {
    ASSERT_TRUE(QDir(folder.path()).mkdir("results"));
    SaveFileQtDialog dialog(nullptr, "Write", folder.path().toStdString(), "", layoutAndData, 1, "");
    ASSERT_TRUE(launchWith(dialog, [this](QFileDialog& files) {
        typeNameAndSave(files, "results");
        ASSERT_TRUE(files.isVisible());
        EXPECT_EQ(canonical(files.directory().absolutePath()), canonical(path("results")));
        typeNameAndSave(files, "inside");
    }));
    EXPECT_EQ(dialog.selectedFilename(), path("results/inside.plt").toStdString());
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(SaveFileDialogChoice, TheHelpButtonOpensTheHelpPage) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    SaveFileQtDialog dialog(nullptr, "Write", folder.path().toStdString(), "", layoutAndData, 0,
                            "write_data_file.html");
    launchWith(dialog, [](QFileDialog& files) {
        auto* help = files.findChild<QPushButton*>("helpButton");
        ASSERT_NE(help, nullptr);
        help->click();
        EXPECT_TRUE(files.isVisible());
        files.reject();
    });
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.front().fileName(), "write_data_file.html");

    SaveFileQtDialog withoutHelp(nullptr, "Write", folder.path().toStdString(), "", layoutAndData, 0, "");
    EXPECT_EQ(withoutHelp.dialog()->findChild<QPushButton*>("helpButton"), nullptr);
}

using SaveFileDialogValidation = FileDialogTest;

TEST_F(SaveFileDialogValidation, AnExistingFileIsReplacedOnlyAfterTheUserSaidYesOnce) {
    createFile("existing.plt");
    kernel.answerNextQuestions({false, true});
    SaveFileQtDialog dialog(nullptr, "Write", folder.path().toStdString(), "", layoutAndData, 1, "");
    ASSERT_TRUE(launchWith(dialog, [this](QFileDialog& files) {
        typeNameAndSave(files, "existing");
        EXPECT_TRUE(files.isVisible());
        EXPECT_EQ(kernel.messagesOfType(3).size(), 1u);
        dialogButton(files, QDialogButtonBox::Save)->click();
    }));
    EXPECT_EQ(dialog.selectedFilename(), path("existing.plt").toStdString());
    EXPECT_EQ(messageTexts(3),
              (std::vector<std::string>(2, "existing.plt already exists.\nDo you want to replace it?")));
    EXPECT_TRUE(kernel.unansweredQuestions().empty());
    EXPECT_EQ(toolkitBoxes.answered().size(), 0u);
}

TEST_F(SaveFileDialogValidation, AFolderThatIsNotThereIsRefusedWithAnError) {
    SaveFileQtDialog dialog(nullptr, "Write", folder.path().toStdString(), "", layoutAndData, 1, "");
    EXPECT_FALSE(launchWith(dialog, [](QFileDialog& files) {
        typeNameAndSave(files, "missing/run.plt");
        EXPECT_TRUE(files.isVisible());
        files.reject();
    }));
    const auto errors = messageTexts(0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors.front().find("run.plt"), std::string::npos) << errors.front();
    EXPECT_NE(errors.front().find("does not exist"), std::string::npos) << errors.front();
    EXPECT_FALSE(QDir(path("missing")).exists());
}

TEST_F(SaveFileDialogValidation, AFolderThatCannotBeWrittenIsRefusedWithAnError) {
    ASSERT_TRUE(QDir(folder.path()).mkdir("locked"));
    QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ExeOwner);
    if (QFileInfo(path("locked")).isWritable()) {
        QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "this user may write into read-only folders";
    }
    SaveFileQtDialog dialog(nullptr, "Write", path("locked").toStdString(), "", layoutAndData, 1, "");
    EXPECT_FALSE(launchWith(dialog, [](QFileDialog& files) {
        typeNameAndSave(files, "run");
        EXPECT_TRUE(files.isVisible());
        files.reject();
    }));
    QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto errors = messageTexts(0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors.front().find("not writable"), std::string::npos) << errors.front();
}

TEST_F(SaveFileDialogValidation, OpeningAFileAsksNothing) {
    createFile("existing.plt");
    QExtendedFileDialog dialog(nullptr, "Open", folder.path(), "Binary Data Files (*.plt)");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.selectFile(path("existing.plt"));
    EXPECT_TRUE(dialog.performSelectedFileValidation());
    EXPECT_TRUE(kernel.messages().empty());
}

using ExtendedFileDialog = FileDialogTest;

TEST_F(ExtendedFileDialog, ListsEveryFileWithoutLookingUpIconsOrTypes) {
    // More files than the model's first batch, so that later batches must reach the list too.
    constexpr int files = 450;
    for (int i = 0; i < files; ++i)
        createFile(QStringLiteral("run%1.plt").arg(i, 3, 10, QLatin1Char('0')));
    ASSERT_TRUE(QDir(folder.path()).mkdir("archive"));
    QExtendedFileDialog dialog(nullptr, "Open", folder.path(), "Binary Data Files (*.plt)");
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    bool loaded = false;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog, [&] { loaded = true; });
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded; }));
    const QModelIndex root = model->index(folder.path());
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(root) == files + 1; })) << model->rowCount(root);
    const QModelIndex file = model->index(path("run123.plt"));
    ASSERT_TRUE(file.isValid());
    EXPECT_TRUE(model->fileIcon(file).isNull());
    EXPECT_EQ(model->type(file), "plt File");
    EXPECT_EQ(model->type(model->index(path("archive"))), "Folder");
    dialog.reject();
}

TEST_F(ExtendedFileDialog, RemembersItsGeometryUnderItsKeyAndOpensWithTheDefaultSizeElse) {
    {
        QExtendedFileDialog dialog(nullptr, "Write");
        dialog.setGeometryPersistenceKey("Tests/SaveGeometry");
        dialog.setDefaultSize(QSize(640, 420));
        dialog.show();
        EXPECT_EQ(dialog.size(), QSize(640, 420));
        dialog.resize(720, 510);
        dialog.reject();
    }
    EXPECT_TRUE(QSettings().contains("Tests/SaveGeometry"));
    {
        QExtendedFileDialog dialog(nullptr, "Write again");
        dialog.setGeometryPersistenceKey("Tests/SaveGeometry");
        dialog.setDefaultSize(QSize(640, 420));
        dialog.show();
        EXPECT_EQ(dialog.size(), QSize(720, 510));
        dialog.reject();
    }
    {
        QExtendedFileDialog other(nullptr, "Other");
        other.setGeometryPersistenceKey("Tests/OtherGeometry");
        other.setDefaultSize(QSize(500, 400));
        other.show();
        EXPECT_EQ(other.size(), QSize(500, 400));
        other.reject();
    }
}

} // namespace qelmar::framework::test

#include "SaveFileQtDialogTest.moc"
