#include "GenericFileLoaderTestLoaders.h"

#include "common/FileDialogSteps.h"
#include "dataload/GenericFileLoaderDialog.h"
#include "dataload/GenericFileLoaderQtDialog.h"
#include "host/KernelMessages.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/ModalDialogAnswerer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace qelmar::dataload::test {

using dialogs::io::GenericFileLoaderDialog;
using dialogs::io::GenericFileLoaderQtDialog;
using testsupport::chooseFileType;

namespace {

template <class Widget> Widget* withText(QWidget& dialog, const QString& text) {
    for (Widget* widget : dialog.findChildren<Widget*>()) {
        if (widget->text() == text)
            return widget;
    }
    return nullptr;
}

QCheckBox* advancedOptions(QWidget& dialog) {
    return withText<QCheckBox>(dialog, "Ad&vanced options");
}
QPushButton* button(QWidget& dialog, const char* text) {
    return withText<QPushButton>(dialog, text);
}
QListView* additionalFiles(QWidget& dialog) {
    return dialog.findChild<QListView*>("additionalFilesView");
}
QStringList listed(QWidget& dialog) {
    QStringList rows;
    const QAbstractItemModel* model = additionalFiles(dialog)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        rows.append(model->index(row, 0).data().toString());
    return rows;
}

// The open buttons currently in the button box, custom or standard, by text.
QStringList openButtons(GenericFileLoaderQtDialog& dialog) {
    QStringList found;
    for (QAbstractButton* candidate : dialog.buttonBox()->buttons()) {
        if (dialog.buttonBox()->buttonRole(candidate) == QDialogButtonBox::AcceptRole)
            found.append(candidate->objectName() == "customOpenButton" ? "custom " + candidate->text()
                                                                       : "standard " + candidate->text());
    }
    return found;
}

QWidget* nextTabStop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

struct GridCell {
    int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
    bool operator==(const GridCell& other) const {
        return std::tie(row, column, rowSpan, columnSpan) ==
               std::tie(other.row, other.column, other.rowSpan, other.columnSpan);
    }
};
GridCell cellOf(GenericFileLoaderQtDialog& dialog, QWidget* widget) {
    GridCell cell;
    QGridLayout* grid = dialog.gridLayout();
    grid->getItemPosition(grid->indexOf(widget), &cell.row, &cell.column, &cell.rowSpan, &cell.columnSpan);
    return cell;
}

// Relevances reach the widgets at the next idle moment.
void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void addToList(QWidget& dialog) {
    settle();
    QPushButton* add = button(dialog, "&Add to List");
    ASSERT_TRUE(add->isEnabled());
    add->click();
}

} // namespace

class FileLoaderDialogTest : public LoaderRepositoryTest {
protected:
    void SetUp() override {
        LoaderRepositoryTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir(folder.path()).mkpath("second"));
        ASSERT_TRUE(QDir(folder.path()).mkpath("folder.csv"));
        for (const char* name : {"a.csv", "b.csv", "second/c.csv", "second/d.csv"}) {
            QFile file(path(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("x,y\n1,2\n");
        }
    }
    QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }
    std::string native(const QString& name) const {
        return QDir::toNativeSeparators(path(name)).toStdString();
    }
    std::unique_ptr<GenericFileLoaderQtDialog> open(const std::string& loaderName = "Delimited Text",
                                                    const QString& start = QString()) {
        return std::make_unique<GenericFileLoaderQtDialog>(
            host, loaderName, (start.isEmpty() ? folder.path() : start).toStdString());
    }

    QTemporaryDir folder;
    QWidget host;
};

TEST_F(FileLoaderDialogTest, TheCustomControlsSitBesideAndBelowTheFileDialogsOwn) {
    addUsualLoaders();
    auto dialog = open("");
    EXPECT_EQ(dialog->windowTitle(), "Load Data");
    EXPECT_EQ(dialog->nameFilters(), (QStringList{"Binary (*.plt)", "Delimited Text (*.csv *.txt)",
                                                  "NetCDF (*.nc)", "Generator (Open to use) (*.*)"}));
    EXPECT_EQ(dialog->fileNameEdit()->placeholderText(),
              "<Enter file name or custom file extension here (e.g. *.bin)>");
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);

    const GridCell name = cellOf(*dialog, dialog->fileNameEdit());
    const GridCell type = cellOf(*dialog, dialog->fileTypeCombo());
    EXPECT_EQ(cellOf(*dialog, button(*dialog, "&Add to List")), (GridCell{name.row, name.column + 1, 1, 1}));
    EXPECT_EQ(cellOf(*dialog, advancedOptions(*dialog)), (GridCell{type.row, type.column + 1, 1, 1}));
    QLabel* label = withText<QLabel>(*dialog, "A&dditional files");
    EXPECT_EQ(cellOf(*dialog, label), (GridCell{type.row + 1, 0, 1, 1}));
    EXPECT_EQ(cellOf(*dialog, additionalFiles(*dialog)), (GridCell{type.row + 2, 0, 1, 2}));
    EXPECT_EQ(cellOf(*dialog, dialog->buttonBox()), (GridCell{type.row + 2, 2, 1, 1}));
    EXPECT_EQ(dialog->gridLayout()->rowStretch(type.row + 2), 25);
    EXPECT_EQ(dialog->gridLayout()->rowStretch(cellOf(*dialog, dialog->splitter()).row), 75);

    EXPECT_EQ(label->buddy(), additionalFiles(*dialog));
    EXPECT_EQ(dialog->fileTypeLabel()->text(), "Files of &type:");
    EXPECT_EQ(dialog->lookInLabel()->buddy(), dialog->lookInCombo());
    const std::vector<QWidget*> tabOrder{dialog->fileNameEdit(), button(*dialog, "&Add to List"),
                                         dialog->fileTypeCombo(), advancedOptions(*dialog),
                                         additionalFiles(*dialog)};
    for (std::size_t index = 0; index + 1 < tabOrder.size(); ++index)
        EXPECT_EQ(nextTabStop(tabOrder[index]), tabOrder[index + 1]) << index;
}

TEST_F(FileLoaderDialogTest, TheLoaderNameChoosesTheFileTypeAndAnUnknownNameTheSecond) {
    addUsualLoaders();
    EXPECT_EQ(open("NetCDF")->selectedNameFilter(), "NetCDF (*.nc)");
    // The name must begin the text, in the same case.
    EXPECT_EQ(open("CDF")->selectedNameFilter(), "Delimited Text (*.csv *.txt)");
    auto generator = open("Gen");
    EXPECT_EQ(generator->selectedLoader()->properties().name, "Generator");
    settle();
    EXPECT_FALSE(generator->fileNameEdit()->isEnabled());
    EXPECT_FALSE(generator->lookInCombo()->isEnabled());
    EXPECT_TRUE(generator->advancedOptionsSelected());

    DataLoaderRepository::getInstance().clear();
    add(loader("Binary", "*.plt", false, NoOptions));
    auto single = open("Delimited");
    EXPECT_EQ(single->selectedNameFilter(), "Binary (*.plt)");
    EXPECT_EQ(single->fileMode(), QFileDialog::ExistingFile);
}

TEST_F(FileLoaderDialogTest, AdvancedOptionsSwapTheOpenButtonsAndCarryOverToTheNextDialog) {
    addUsualLoaders();
    {
        auto dialog = open();
        settle();
        EXPECT_EQ(openButtons(*dialog), QStringList{"standard &Open"});
        ASSERT_TRUE(advancedOptions(*dialog)->isEnabled());
        advancedOptions(*dialog)->click();
        EXPECT_EQ(openButtons(*dialog), QStringList{"custom &Open"});
        EXPECT_TRUE(dialog->advancedOptionsSelected());

        // These options need no file: Open accepts an empty selection, once.
        QSignalSpy accepted(dialog.get(), &QDialog::accepted);
        dialog->show();
        button(*dialog->buttonBox(), "&Open")->click();
        EXPECT_EQ(accepted.count(), 1);
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_TRUE(dialog->files().empty());
    }
    auto next = open();
    settle();
    EXPECT_TRUE(advancedOptions(*next)->isChecked());
    advancedOptions(*next)->click();
    EXPECT_EQ(openButtons(*next), QStringList{"standard &Open"});

    // A loader that always uses its options has them checked and fixed.
    chooseFileType(*next, 2);
    settle();
    EXPECT_TRUE(advancedOptions(*next)->isChecked());
    EXPECT_FALSE(advancedOptions(*next)->isEnabled());
    EXPECT_EQ(openButtons(*next), QStringList{"custom &Open"});
}

TEST_F(FileLoaderDialogTest, FilesCollectedFromTwoFoldersOpenWithAnEmptyNameField) {
    addUsualLoaders();
    auto dialog = open();
    dialog->show();
    dialog->selectFile("a.csv");
    addToList(*dialog);
    dialog->setDirectory(path("second"));
    dialog->fileNameEdit()->setText("\"c.csv\" \"d.csv\"");
    addToList(*dialog);
    EXPECT_TRUE(dialog->fileNameEdit()->text().isEmpty());
    EXPECT_EQ(listed(*dialog), (QStringList{QString::fromStdString(native("a.csv")),
                                            QString::fromStdString(native("second/c.csv")),
                                            QString::fromStdString(native("second/d.csv"))}));
    settle();
    EXPECT_FALSE(button(*dialog, "&Add to List")->isEnabled());
    EXPECT_TRUE(button(*dialog, "&Remove All")->isEnabled());

    QPushButton* standardOpen = dialog->buttonBox()->button(QDialogButtonBox::Open);
    ASSERT_TRUE(standardOpen->isEnabled());
    standardOpen->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->files(),
              (std::vector<std::string>{native("a.csv"), native("second/c.csv"), native("second/d.csv")}));
}

TEST_F(FileLoaderDialogTest, FilesLeavesOutMissingFilesFoldersAndWhatIsListedAlready) {
    addUsualLoaders();
    auto dialog = open();
    dialog->selectFile("a.csv");
    addToList(*dialog);
    dialog->fileNameEdit()->setText("\"b.csv\" \"gone.csv\" \"folder.csv\" \"a.csv\"");
    EXPECT_EQ(dialog->files(), (std::vector<std::string>{native("a.csv"), native("b.csv")}));
    QFile::remove(path("b.csv"));
    EXPECT_EQ(dialog->files(), std::vector<std::string>{native("a.csv")});

    // Validation stays on with a name typed: a missing file is refused and the dialog stays.
    standin::testing::ModalDialogAnswerer answerer;
    answerer.setFailureHandler([](const std::string&) {});
    answerer.pressOk();
    auto typed = open();
    typed->show();
    typed->fileNameEdit()->setText("gone.csv");
    typed->openButtonClicked();
    EXPECT_NE(typed->result(), QDialog::Accepted);
    EXPECT_TRUE(typed->isVisible());
}

TEST_F(FileLoaderDialogTest, ADoubleClickCollectsWithSeveralFilesAndOpensWithOne) {
    add(loader("Delimited Text", "*.csv", true, OptionsOnRequest));
    add(loader("Single", "*.csv", false, NoOptions));
    for (const bool several : {true, false}) {
        auto dialog = open(several ? "Delimited" : "Single");
        QSignalSpy accepted(dialog.get(), &QDialog::accepted);
        dialog->show();
        QTreeView* view = dialog->treeView();
        const auto* model = qobject_cast<const QFileSystemModel*>(view->model());
        QModelIndex file;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            file = model->index(path("b.csv"));
            return file.isValid() && view->visualRect(file).isValid();
        }));
        const QPoint where = view->visualRect(file).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, where);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, where);
        if (several) {
            EXPECT_EQ(listed(*dialog), QStringList{QString::fromStdString(native("b.csv"))});
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(accepted.count(), 0);
        } else {
            EXPECT_EQ(accepted.count(), 1);
            EXPECT_EQ(dialog->files(), std::vector<std::string>{native("b.csv")});
        }
    }
}

TEST_F(FileLoaderDialogTest, ChangingTheFileTypeClearsSelectionNameFieldAndList) {
    addUsualLoaders();
    auto dialog = open();
    dialog->selectFile("a.csv");
    addToList(*dialog);
    dialog->selectFile("b.csv");
    ASSERT_FALSE(dialog->fileNameEdit()->text().isEmpty());
    chooseFileType(*dialog, 0);
    EXPECT_TRUE(dialog->fileNameEdit()->text().isEmpty());
    EXPECT_TRUE(listed(*dialog).isEmpty());
    EXPECT_TRUE(dialog->files().empty());
    EXPECT_EQ(dialog->selectedLoader()->properties().name, "Binary");
}

TEST_F(FileLoaderDialogTest, WithoutLoadersTheUserIsToldAndNothingOpens) {
    standin::testing::KernelTestControl kernel;
    GenericFileLoaderDialog dialog(host, "Delimited", folder.path().toStdString());
    EXPECT_EQ(dialog.launch(), QDialog::Rejected);
    ASSERT_EQ(kernel.messagesOfType(MessageBox_Error).size(), 1u);
    EXPECT_EQ(dialog.selectedLoader(), nullptr);
    EXPECT_TRUE(dialog.files().empty());
}

// Choosing a loader clears the selection; the folder the dialog opened on must not end up
// selected in its place, or it hides the name the user types next.
TEST_F(FileLoaderDialogTest, ANameTypedIntoTheStartFolderIsTheOnlySelectedFile) {
    addUsualLoaders();
    auto dialog = open();
    dialog->show();
    EXPECT_TRUE(dialog->selectedFiles().isEmpty());
    dialog->fileNameEdit()->setText("a.csv");
    settle();
    EXPECT_EQ(dialog->selectedFiles(), QStringList{path("a.csv")});
    QPushButton* standardOpen = dialog->buttonBox()->button(QDialogButtonBox::Open);
    ASSERT_TRUE(standardOpen->isEnabled());
    standardOpen->click();
    EXPECT_EQ(dialog->files(), std::vector<std::string>{native("a.csv")});
}

} // namespace qelmar::dataload::test
