#include "postload/PostLoadOptionsDialog.h"

#include "PostLoadWindowHost.h"

#include "host/DataLoad.h"
#include "host/StringList.h"
#include "kernel/ApplicationModel.h"
#include "kernel/MatchVariables.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

namespace {

using qelmar::dialogs::io::PostLoadOptionsDialog;
using qelmar::standin::ApplicationModel;
using qelmar::toolbox::StringList;
using Texts = std::vector<std::string>;

// The registration and the window outlive every test, as in an application.
QWidget& host() {
    return qelmar::testing::postLoadWindowHost();
}

template <typename T = QPushButton> T* child(QWidget& dialog, const char* name) {
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

// Additions and the remembered aliases file are process-wide; each test leaves them as found.
class HostSettings {
public:
    explicit HostSettings(const PostLoadOptionsDialog::Additions& additions)
        : m_additions(PostLoadOptionsDialog::additions())
        , m_aliases(PostLoadOptionsDialog::aliasesFilePath()) {
        PostLoadOptionsDialog::setAdditions(additions);
    }
    HostSettings(const HostSettings&) = delete;
    HostSettings& operator=(const HostSettings&) = delete;
    ~HostSettings() {
        PostLoadOptionsDialog::setAdditions(m_additions);
        PostLoadOptionsDialog::setAliasesFilePath(m_aliases);
    }

private:
    PostLoadOptionsDialog::Additions m_additions;
    std::string m_aliases;
};

// Runs `whileShown` inside the window's modal run, then rejects it if the step left it open.
void whenShown(std::function<void(QDialog&)> whileShown) {
    QTimer::singleShot(0, [whileShown] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            whileShown(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        }
    });
}

void pressOk(QDialog& dialog) {
    QTest::mouseClick(
        child<QDialogButtonBox>(dialog, "PostLoadOptions_buttonBox")->button(QDialogButtonBox::Ok),
        Qt::LeftButton);
}

QStringList namedWidgets(QWidget& dialog, bool visibleOnly) {
    QStringList names;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")) &&
            (!visibleOnly || widget->isVisibleTo(&dialog)))
            names.append(name);
    }
    names.sort();
    return names;
}

// Every widget the form itself holds; the Uncombine button is there, hidden.
const QStringList formWidgets = [] {
    QStringList names{"info_label",
                      "label",
                      "label_2",
                      "incomingVarList",
                      "varsToLoadList",
                      "addVariable_pushButton",
                      "addVariable_pushButton_2",
                      "combine_pushButton",
                      "combine_pushButton_2",
                      "remove_pushButton",
                      "label_5",
                      "label_3",
                      "aliasFile_LineEdit",
                      "apply_Button",
                      "PostLoadOptions_buttonBox"};
    names.sort();
    return names;
}();

class PostLoadAdditionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        PostLoadOptionsDialog::registerCallback(host());
        ASSERT_TRUE(folder.isValid());
    }
    std::string aliasesFile(const std::string& lines) const {
        const QString path = folder.filePath(QStringLiteral("aliases.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(("#!QELMAR VA 1\n" + lines).c_str());
        return path.toStdString();
    }

    qelmar::standin::testing::KernelTestControl kernel;
    QTemporaryDir folder;
};

TEST_F(PostLoadAdditionsDialogTest, WithTheAdditionsOffTheWindowHoldsExactlyTheForm) {
    const HostSettings plain({});
    QWidget parent;
    PostLoadOptionsDialog dialog(parent);
    EXPECT_EQ(namedWidgets(dialog, false), formWidgets);

    // Switched on and off again, whatever was added is out of sight and the option is off.
    PostLoadOptionsDialog* window = PostLoadOptionsDialog::getInstance(host());
    PostLoadOptionsDialog::setAdditions({false, true, true, true});
    ASSERT_NE(child<QCheckBox>(*window, "aliasNewVariables_CheckBox"), nullptr);
    child<QCheckBox>(*window, "aliasNewVariables_CheckBox")->setChecked(true);
    ASSERT_NE(child(*window, "saveAliases_Button"), nullptr);
    ASSERT_NE(child<QListWidget>(*window, "suggestions_ListView"), nullptr);
    PostLoadOptionsDialog::setAdditions({});
    QStringList visibleForm = formWidgets;
    visibleForm.removeOne(QStringLiteral("combine_pushButton_2"));
    EXPECT_EQ(namedWidgets(*window, true), visibleForm);
    EXPECT_FALSE(child<QCheckBox>(*window, "aliasNewVariables_CheckBox")->isChecked());
}

// The window offers the suggestion, accepting it combines the pair, and OK loads it.
TEST_F(PostLoadAdditionsDialogTest, AnAcceptedSuggestionIsCombinedIntoTheVariable) {
    const HostSettings all({false, true, true, true});
    PostLoadOptionsDialog::setAliasesFilePath(aliasesFile("T;temp;temperature\n"));
    std::optional<int> suggestionsShown;
    whenShown([&](QDialog& dialog) {
        auto* list = child<QListWidget>(dialog, "suggestions_ListView");
        ASSERT_NE(list, nullptr);
        ASSERT_NE(child<QSplitter>(dialog, "postLoadAdditions_Splitter"), nullptr);
        EXPECT_TRUE(list->isVisibleTo(&dialog));
        suggestionsShown = list->count();
        ASSERT_EQ(list->count(), 1);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("temperature [K] -> T (same alias group)"));
        QTest::mouseClick(child(dialog, "suggestions_Accept_Button"), Qt::LeftButton);
        pressOk(dialog);
    });
    const StringList existing{"X", "T"};
    const std::vector<StringList> files{{"X", "temperature [K]"}};
    std::vector<StringList_s*> handles{files[0].getRef()};
    StringList_s* answer = qelmar::standin::matchVariables(existing.getRef(), handles.data(), 1);
    EXPECT_EQ(suggestionsShown, 1);
    ASSERT_NE(answer, nullptr);
    const StringList loaded(answer);
    EXPECT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded.get(1), "T\ntemperature [K]");
}

// A file chosen in the window is the one Apply reads, and the host learns of it to remember it.
TEST_F(PostLoadAdditionsDialogTest, AChosenAliasesFileIsAppliedAndRememberedForTheHost) {
    const HostSettings all({false, false, false, true});
    const std::string chosen = aliasesFile("T;temp\n");
    whenShown([&chosen](QDialog& dialog) {
        QTimer::singleShot(0, [&chosen] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(files, nullptr);
            files->selectFile(QString::fromStdString(chosen));
            static_cast<QDialog*>(files)->accept(); // QFileDialog hides it; the dialog checks the file
        });
        QTest::mouseClick(child(dialog, "chooseAliases_Button"), Qt::LeftButton);
        QTest::mouseClick(child(dialog, "apply_Button"), Qt::LeftButton);
        pressOk(dialog);
    });
    const StringList existing{"X", "T"};
    const std::vector<StringList> files{{"X", "temp"}};
    std::vector<StringList_s*> handles{files[0].getRef()};
    StringList_s* answer = qelmar::standin::matchVariables(existing.getRef(), handles.data(), 1);
    ASSERT_NE(answer, nullptr);
    const StringList loaded(answer);
    ASSERT_EQ(loaded.size(), 2);
    EXPECT_EQ(loaded.get(1), "T\ntemp");
    EXPECT_EQ(PostLoadOptionsDialog::aliasesFilePath(), chosen);
}

// Two stations call one variable "temp" and "Temperature"; the first file has neither. With
// "Also match new variables", Apply makes them one variable, and the kernel fills it in each
// file's zone from that file's own column.
TEST_F(PostLoadAdditionsDialogTest, ANewVariableJoinedByAliasesLoadsEachFilesOwnColumn) {
    const HostSettings all({false, false, true, true});
    PostLoadOptionsDialog::setAliasesFilePath(aliasesFile("temp;Temperature\n"));
    qelmar::standin::testing::ApplicationTestControl app;
    const int frame = app.addFrame(app.addPage("Page"), "Frame");
    app.attachDataSet(frame, {"old", {"x"}, {{1.0}}}, true);

    whenShown([](QDialog& dialog) {
        auto* option = child<QCheckBox>(dialog, "aliasNewVariables_CheckBox");
        ASSERT_NE(option, nullptr);
        EXPECT_FALSE(option->isChecked());
        QTest::mouseClick(option, Qt::LeftButton);
        QTest::mouseClick(child(dialog, "apply_Button"), Qt::LeftButton);
        EXPECT_EQ(child<QListView>(dialog, "incomingVarList")->model()->rowCount(), 0);
        pressOk(dialog);
    });
    qelmar::sdk::DataLoad load;
    const auto file = [&load](const std::string& name, const std::string& variable, double value) {
        return load.beginFile(name) && load.beginZone(name) && load.addVariable("X", {1, 2}) &&
               (variable.empty() || load.addVariable(variable, {value, value + 1}));
    };
    ASSERT_TRUE(file("/data/a.dat", "", 0) && file("/data/b.dat", "temp", 10) &&
                file("/data/c.dat", "Temperature", 20));
    ASSERT_TRUE(load.apply(qelmar::dataload::ReplaceAndRetainStyle));

    const auto& dataSet = *ApplicationModel::instance().frame(frame).dataSet;
    EXPECT_EQ(dataSet.contents.variableNames, (Texts{"X", "temp"}));
    ASSERT_EQ(dataSet.laterZones.size(), 2u);
    EXPECT_TRUE(std::isnan(dataSet.contents.values.at(1).at(0)));
    EXPECT_EQ(dataSet.laterZones[0].values.at(1), (std::vector<double>{10, 11}));
    EXPECT_EQ(dataSet.laterZones[1].values.at(1), (std::vector<double>{20, 21}));
}

} // namespace
