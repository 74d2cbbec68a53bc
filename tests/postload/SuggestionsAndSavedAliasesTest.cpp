#include "postload/PostLoadOptionsPropertiesManager.h"
#include "postload/SuggestionsPanel.h"

#include "host/StringList.h"
#include "kernel/KernelState.h"
#include "kernel/testing/KernelTestControl.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <algorithm>

namespace {

using qelmar::sdk::ui::postload::NameSuggestion;
using qelmar::sdk::ui::postload::SuggestionsPanel;
using qelmar::sdk::ui::propertymanager::PostLoadOptionsPropertiesManager;
using qelmar::toolbox::StringList;
using Texts = std::vector<std::string>;

const char cannotCombine[] = "Variables that were already auto-combined or variables that belong to the same "
                             "dataset cannot be combined.";

Texts textsOf(StringList_s* adopted) {
    const StringList list(adopted);
    Texts texts;
    for (long i = 0; i < list.size(); ++i)
        texts.push_back(list.get(i));
    return texts;
}

// One load of the manager, over lists that live as long as it does.
class Load {
public:
    Load(StringList existing, std::vector<StringList> files)
        : m_existing(std::move(existing))
        , m_files(std::move(files)) {
        std::vector<StringList_s*> handles;
        for (const StringList& file : m_files)
            handles.push_back(file.getRef());
        manager.initializeManager(m_existing.getRef(), handles.data(), static_cast<long>(handles.size()));
    }
    Texts available() const { return textsOf(manager.availableVarNames()); }
    Texts toLoad() const { return textsOf(manager.varNamesToLoad()); }
    void select(std::set<int> available, std::set<int> toLoad) {
        manager.selectedVarsAvailable()->setValue(available);
        manager.selectedVarsToLoad()->setValue(toLoad);
    }
    void applyAliases(const std::string& path, bool matchNewVariables = false) {
        manager.filePath()->setValue(path);
        manager.matchNewVariables()->setValue(matchNewVariables);
        manager.applyVarAliases();
    }

    StringList m_existing;
    std::vector<StringList> m_files;
    PostLoadOptionsPropertiesManager manager;
};

std::string readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(unreadable)");
}

void writeFile(const QString& path, const std::string& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.data(), static_cast<qint64>(text.size()));
}

class SuggestionsAndSavedAliasesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    std::string path(const char* name) const {
        return folder.filePath(QString::fromLatin1(name)).toStdString();
    }
    std::string aliasesFile(const char* name, const std::string& lines) {
        const std::string file = path(name);
        writeFile(QString::fromStdString(file), "#!QELMAR VA 1\n" + lines);
        return file;
    }
    Texts messages(int type) const {
        Texts texts;
        for (const auto& message : kernel.messagesOfType(type))
            texts.push_back(message.text);
        return texts;
    }

    qelmar::standin::testing::KernelTestControl kernel;
    QTemporaryDir folder;
};

Texts describe(const std::vector<NameSuggestion>& suggestions) {
    Texts texts;
    for (const NameSuggestion& suggestion : suggestions)
        texts.push_back(suggestion.availableName + " -> " + suggestion.variableName);
    return texts;
}

// The first file fills T itself, so its "temp" may not be combined into T; the second file's
// "temperature [K]" may.
TEST_F(SuggestionsAndSavedAliasesTest, NoSuggestionForAVariableTheNamesFileFillsAlready) {
    Load load({"X", "T"}, {{"X", "T", "temp"}, {"X", "temperature [K]"}});
    load.manager.filePath()->setValue(aliasesFile("groups.txt", "T;temp;temperature\n"));
    EXPECT_EQ(describe(load.manager.suggestions()), (Texts{"temperature [K] -> T"}));

    // A missing aliases file is checked quietly: suggestions are asked for after every command.
    load.manager.filePath()->setValue(path("missing.txt"));
    EXPECT_TRUE(describe(load.manager.suggestions()).empty());
    EXPECT_TRUE(kernel.messages().empty());
}

// Accepting is a Combine: the pair is combined, or refused with Combine's own message when an
// earlier acceptance made the file fill the variable.
TEST_F(SuggestionsAndSavedAliasesTest, ThePanelCombinesSuggestionsAndShowsCombinesRefusal) {
    Load load({"X", "P", "air_temp"}, {{"X", "p (hPa)", "P [bar]"}, {"X", "Air Temp"}});
    SuggestionsPanel panel(load.manager, nullptr);
    panel.show();
    auto* list = panel.findChild<QListWidget*>(QStringLiteral("suggestions_ListView"));
    auto* accept = panel.findChild<QPushButton*>(QStringLiteral("suggestions_Accept_Button"));
    auto* acceptAll = panel.findChild<QPushButton*>(QStringLiteral("suggestions_AcceptAll_Button"));
    ASSERT_TRUE(list && accept && acceptAll);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text().toStdString(), "p (hPa) -> P (unit removed)");
    EXPECT_EQ(list->item(2)->text().toStdString(), "Air Temp -> air_temp (same name with other separators)");

    list->setCurrentRow(2);
    QTest::mouseClick(accept, Qt::LeftButton);
    EXPECT_EQ(load.toLoad(), (Texts{"X", "P", "air_temp\nAir Temp"}));
    ASSERT_EQ(list->count(), 2);

    // Both names of the first file mean P; the second to be combined is refused.
    QTest::mouseClick(acceptAll, Qt::LeftButton);
    EXPECT_EQ(load.toLoad(), (Texts{"X", "P\nP [bar]", "air_temp\nAir Temp"}));
    EXPECT_EQ(messages(2), (Texts{cannotCombine}));
    EXPECT_EQ(list->count(), 0) << "the file fills P now";
    EXPECT_FALSE(accept->isEnabled());
    EXPECT_FALSE(acceptAll->isEnabled());

    // The panel follows commands run elsewhere, once the event loop turns.
    load.select({}, {1});
    load.manager.remove();
    QCoreApplication::processEvents();
    EXPECT_EQ(list->count(), 2);
}

// Two files name one variable "temp" and "Temperature", and the data set has neither: with the
// option on, Apply makes them one new variable that each file fills from its own name.
TEST_F(SuggestionsAndSavedAliasesTest, MatchingNewVariablesJoinsNamesOfDifferentFilesInOneVariable) {
    const std::string groups = aliasesFile("groups.txt", "temp;Temperature\nX;x_coord\n");
    Load plain({"X"}, {{"X", "temp"}, {"x_coord", "Temperature"}});
    plain.applyAliases(groups);
    EXPECT_EQ(plain.toLoad(), (Texts{"X\nx_coord"}));
    EXPECT_EQ(plain.available(), (Texts{"temp", "Temperature"}));

    Load load({"X"}, {{"X", "temp"}, {"x_coord", "Temperature"}, {"X", "temp", "Temperature"}});
    load.applyAliases(groups, true);
    EXPECT_EQ(load.toLoad(), (Texts{"X\nx_coord", "temp\nTemperature"}));
    EXPECT_EQ(load.available(), (Texts{"Temperature"})) << "the third file fills the variable through temp";
    // The new variable is filled for every file: nothing more combines into it.
    load.select({0}, {1});
    load.manager.combine();
    EXPECT_EQ(messages(2), (Texts{cannotCombine}));
    EXPECT_EQ(load.manager.combinationsToSave(),
              (PostLoadOptionsPropertiesManager::NameGroups{
                  {"X", "x_coord"}, {"temp", "Temperature"}, {"temp", "Temperature"}, {"X", "x_coord"}}));
}

TEST_F(SuggestionsAndSavedAliasesTest, SavingIntoAnExistingFileKeepsItsLinesAndAddsOnlyNewGroups) {
    const std::string before = "#!QELMAR VA 1\n# Stations\n\nX;x_coord;XC   # coordinates\nP;pressure\n";
    const std::string file = path("aliases.txt");
    writeFile(QString::fromStdString(file), before);
    Load load({"X", "Y"}, {{"x_coord", "YC", "P"}});
    load.applyAliases(file);
    load.select({0}, {1});
    load.manager.combine();
    ASSERT_EQ(load.toLoad(), (Texts{"X\nx_coord", "Y\nYC"}));

    ASSERT_TRUE(load.manager.saveAliasesFile(file));
    EXPECT_EQ(readFile(QString::fromStdString(file)), before + "Y;YC\n");
    ASSERT_TRUE(load.manager.saveAliasesFile(file));
    EXPECT_EQ(readFile(QString::fromStdString(file)), before + "Y;YC\n") << "nothing is written twice";
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(SuggestionsAndSavedAliasesTest, AFailedWriteKeepsTheOldFileAndTellsTheUser) {
    const std::string before = "#!QELMAR VA 1\nA;B\n";
    const std::string file = path("aliases.txt");
    writeFile(QString::fromStdString(file), before);
    Load load({"X"}, {{"x_coord", "V"}});
    load.select({0}, {0});
    load.manager.combine();

    kernel.failCall("QelAppStartupFileWrite", qelmar::standin::FailMode::Once);
    EXPECT_FALSE(load.manager.saveAliasesFile(file));
    EXPECT_EQ(readFile(QString::fromStdString(file)), before);
    ASSERT_EQ(messages(0).size(), 1u);
    EXPECT_NE(messages(0).front().find("could not be written"), std::string::npos) << messages(0).front();

    // A file that is not an aliases file is never overwritten.
    const std::string notes = path("notes.txt");
    writeFile(QString::fromStdString(notes), "shopping list\n");
    EXPECT_FALSE(load.manager.saveAliasesFile(notes));
    EXPECT_EQ(readFile(QString::fromStdString(notes)), "shopping list\n");
    EXPECT_EQ(messages(0).size(), 2u);
}

// ";" separates names and "#" starts a comment: such a name would come back as other names.
TEST_F(SuggestionsAndSavedAliasesTest, NamesAnAliasesFileCannotHoldAreRefusedByName) {
    Load load({"X", "Y"}, {{"a;b", "c#d"}});
    load.select({0}, {0});
    load.manager.combine();
    load.select({0}, {1});
    load.manager.combine();
    ASSERT_EQ(load.toLoad(), (Texts{"X\na;b", "Y\nc#d"}));
    const std::string file = path("new.txt");
    EXPECT_FALSE(load.manager.saveAliasesFile(file));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(file)));
    ASSERT_EQ(messages(0).size(), 1u);
    EXPECT_NE(messages(0).front().find("\"a;b\", \"c#d\""), std::string::npos) << messages(0).front();
}

// ---- Saved aliases give the same variables again ------------------------------------------

// Each file offers X and names of its own; the user combines names into Y or into variables
// added from the files.
struct UserStep {
    bool addFirst = false;
    int available = 0;
    int toLoad = 0;
};

std::vector<StringList> filesOf(const std::vector<int>& newNameCounts) {
    std::vector<StringList> files;
    for (std::size_t file = 0; file < newNameCounts.size(); ++file) {
        StringList names{"X"};
        for (int name = 0; name < newNameCounts[file]; ++name)
            names.append("f" + std::to_string(file) + "_v" + std::to_string(name));
        files.push_back(std::move(names));
    }
    return files;
}

// The variables as sets of names, leaving out variables added alone: they combine nothing.
std::vector<std::set<std::string>> variablesOf(const Texts& toLoad) {
    std::vector<std::set<std::string>> variables;
    for (const std::string& entry : toLoad) {
        std::set<std::string> names;
        std::size_t start = 0;
        while (start <= entry.size()) {
            const std::size_t end = std::min(entry.find('\n', start), entry.size());
            names.insert(entry.substr(start, end - start));
            start = end + 1;
        }
        if (names.size() > 1 || names.count("X") || names.count("Y"))
            variables.push_back(std::move(names));
    }
    return variables;
}

RC_GTEST_PROP(SavedAliases, ReappliedToTheSameFilesGiveTheSameVariables, ()) {
    const auto counts =
        *rc::gen::container<std::vector<int>>(*rc::gen::inRange(2, 4), rc::gen::inRange(0, 5));
    const auto steps = *rc::gen::container<std::vector<UserStep>>(rc::gen::build<UserStep>(
        rc::gen::set(&UserStep::addFirst), rc::gen::set(&UserStep::available, rc::gen::inRange(0, 12)),
        rc::gen::set(&UserStep::toLoad, rc::gen::inRange(0, 12))));
    qelmar::standin::testing::KernelTestControl kernel;
    QTemporaryDir folder;
    RC_ASSERT(folder.isValid());
    const std::string file = folder.filePath(QStringLiteral("saved.txt")).toStdString();

    Load first({"X", "Y"}, filesOf(counts));
    for (const UserStep& step : steps) {
        const int available = static_cast<int>(first.available().size());
        if (available == 0)
            break;
        if (step.addFirst) {
            first.select({step.available % available}, {});
            first.manager.add();
            continue;
        }
        const int toLoad = static_cast<int>(first.toLoad().size());
        first.select({step.available % available}, {step.toLoad % toLoad});
        first.manager.combine();
    }
    const auto combined = variablesOf(first.toLoad());
    if (first.manager.combinationsToSave().empty())
        return;
    RC_ASSERT(first.manager.saveAliasesFile(file));

    Load again({"X", "Y"}, filesOf(counts));
    again.applyAliases(file, true);
    RC_ASSERT(variablesOf(again.toLoad()) == combined);
    RC_ASSERT(kernel.messagesOfType(0).empty());
}

} // namespace
