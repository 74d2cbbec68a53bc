#include "postload/PostLoadOptionsPropertiesManager.h"

#include "host/StringList.h"
#include "kernel/testing/KernelTestControl.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using qelmar::toolbox::StringList;
using Texts = std::vector<std::string>;

const char equalSelections[] = "Must have equal numbers of selections in both lists.";
const char cannotCombine[] = "Variables that were already auto-combined or variables that belong to the same "
                             "dataset cannot be combined.";

Texts textsOf(StringList_s* adopted) {
    const StringList list(adopted);
    Texts texts;
    for (long i = 0; i < list.size(); ++i)
        texts.push_back(list.get(i));
    return texts;
}

class PostLoadOptionsPropertiesManagerTest : public ::testing::Test {
protected:
    // By default the data set has X and Y; the first file calls X "x_coord" and brings P, the
    // second fills X and Y itself and brings P and T.
    void load(StringList existing = {"X", "Y"},
              std::vector<StringList> files = {{"x_coord", "Y", "P"}, {"X", "Y", "P", "T"}}) {
        m_existing = std::move(existing);
        m_files = std::move(files);
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
    Texts messages(int type) const {
        Texts texts;
        for (const auto& message : kernel.messagesOfType(type))
            texts.push_back(message.text);
        return texts;
    }

    qelmar::standin::testing::KernelTestControl kernel;
    StringList m_existing;
    std::vector<StringList> m_files;
    qelmar::sdk::ui::propertymanager::PostLoadOptionsPropertiesManager manager;
};

// The second file brings nothing new; V comes from two files but is one variable.
TEST_F(PostLoadOptionsPropertiesManagerTest, NewNamesAreOfferedOnceAndMoveBetweenTheLists) {
    load({"X", "Y", "X"}, {{"X", "y", "V"}, {"X"}, {"V", "W"}});
    EXPECT_EQ(available(), (Texts{"V", "W"}));
    EXPECT_EQ(toLoad(), (Texts{"X", "Y"}));
    EXPECT_FALSE(manager.addRelevance()->isRelevant());

    select({0}, {});
    manager.add();
    EXPECT_EQ(toLoad(), (Texts{"X", "Y", "V"}));
    EXPECT_EQ(available(), (Texts{"W"}));
    manager.addAll();
    EXPECT_EQ(toLoad(), (Texts{"X", "Y", "V", "W"}));
    EXPECT_FALSE(manager.addAllRelevance()->isRelevant());

    select({}, {2, 3});
    manager.remove();
    EXPECT_EQ(toLoad(), (Texts{"X", "Y"}));
    EXPECT_EQ(available(), (Texts{"V", "W"}));
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(PostLoadOptionsPropertiesManagerTest, RemoveKeepsTheDataSetsVariableButFreesItsCombinedName) {
    load();
    select({0}, {0});
    manager.combine();
    EXPECT_EQ(toLoad(), (Texts{"X\nx_coord", "Y"}));
    select({0}, {});
    manager.add();
    ASSERT_EQ(available(), (Texts{"T"}));

    select({}, {0, 2});
    manager.remove();
    EXPECT_EQ(toLoad(), (Texts{"X", "Y"}));
    EXPECT_EQ(available(), (Texts{"x_coord", "P", "T"}));
    EXPECT_EQ(messages(2),
              (Texts{"Variables belonging to the existing dataset cannot be removed from the "
                     "'Variables to load' list. Variables that do not yet belong to the existing "
                     "dataset have been moved back to the 'Available variables' list."}));
    // The first file no longer fills X: the name combines again.
    select({0}, {0});
    manager.combine();
    EXPECT_EQ(toLoad(), (Texts{"X\nx_coord", "Y"}));
}

TEST_F(PostLoadOptionsPropertiesManagerTest, CombineRefusesUnequalSelectionsAndVariablesAFileFillsAlready) {
    load();
    manager.combine();
    select({0, 1}, {0});
    manager.combine();
    // T comes from the second file, which fills Y. P comes from both files and only the second
    // fills X: checking the first file alone would let the second fill X twice.
    select({2}, {1});
    manager.combine();
    select({1}, {0});
    manager.combine();
    EXPECT_EQ(messages(2), (Texts{equalSelections, equalSelections, cannotCombine, cannotCombine}));
    EXPECT_EQ(toLoad(), (Texts{"X", "Y"}));
    EXPECT_EQ(available(), (Texts{"x_coord", "P", "T"}));
}

TEST_F(PostLoadOptionsPropertiesManagerTest, AppliesTheAliasesFileOrReportsOneThatCannotBeOpened) {
    load();
    manager.filePath()->setValue("/nonexistent/variable_aliases.txt");
    manager.applyVarAliases();
    EXPECT_EQ(messages(0),
              (Texts{"File /nonexistent/variable_aliases.txt could not be opened or is invalid."}));
    EXPECT_EQ(available(), (Texts{"x_coord", "P", "T"}));

    kernel.clearMessages();
    const QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("variable_aliases.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!QELMAR VA 1\n# coordinates\nX;x_coord\nPressure;P\n");
    file.close();
    manager.filePath()->setValue(file.fileName().toStdString());
    manager.applyVarAliases();
    EXPECT_TRUE(kernel.messages().empty());
    EXPECT_EQ(toLoad(), (Texts{"X\nx_coord", "Y"}));
    EXPECT_EQ(available(), (Texts{"P", "T"}));
}

// The number and the first name's class of each to-load row, e.g. "  2: new-variable".
Texts numbersAndClasses(const qelmar::sdk::ui::propertymanager::PostLoadOptionsPropertiesManager& manager) {
    Texts rows;
    const auto model = manager.varsToLoadModel();
    for (int row = 0; row < model->size(); ++row) {
        const std::string html = model->getStr(row);
        const std::size_t prefix = html.find("</style>") + 8;
        const std::size_t klass = html.find("class='") + 7;
        rows.push_back(html.substr(prefix, 5) + html.substr(klass, html.find('\'', klass) - klass));
    }
    return rows;
}

// Time "t" and temperature "T" are two variables: each keeps its own number, status and entry,
// whether the data set, one file or two files spell them.
TEST_F(PostLoadOptionsPropertiesManagerTest, NamesDifferingOnlyInCaseAreNeverMixed) {
    load({"t", "T"}, {{"t", "T", "x"}});
    EXPECT_EQ(numbersAndClasses(manager), (Texts{"  1: auto-combined", "  2: auto-combined"}));

    load({"x"}, {{"x", "t"}, {"x", "T"}});
    EXPECT_EQ(available(), (Texts{"t", "T"}));
    select({0}, {});
    manager.add();
    EXPECT_EQ(available(), (Texts{"T"}));
    manager.addAll();
    EXPECT_EQ(toLoad(), (Texts{"x", "t", "T"}));
    EXPECT_EQ(numbersAndClasses(manager),
              (Texts{"  1: auto-combined", "  2: new-variable", "  3: new-variable"}));
    select({}, {1});
    manager.remove();
    EXPECT_EQ(toLoad(), (Texts{"x", "T"}));
    EXPECT_EQ(available(), (Texts{"t"}));

    // Adding the file's "T" must not make the data set's "t" new, and so removable.
    load({"t"}, {{"t", "T"}});
    EXPECT_EQ(available(), (Texts{"T"}));
    manager.addAll();
    select({}, {0, 1});
    manager.remove();
    EXPECT_EQ(toLoad(), (Texts{"t"}));
    EXPECT_EQ(available(), (Texts{"T"}));
    EXPECT_EQ(messages(2).size(), 1u);
}

// Another spelling of a data set's variable is still matched and shown as auto-combined.
TEST_F(PostLoadOptionsPropertiesManagerTest, AnotherCaseOfAnExistingNameIsAutoCombined) {
    load({"Temp", "x"}, {{"TEMP", "x"}});
    EXPECT_TRUE(available().empty());
    EXPECT_EQ(numbersAndClasses(manager), (Texts{"  1: auto-combined", "  2: auto-combined"}));
}

// A variable added by one append belongs to the data set at the next: it can no longer be
// removed, even when the next files do not have it.
TEST_F(PostLoadOptionsPropertiesManagerTest, AVariableAddedByAnEarlierLoadStaysAtTheNext) {
    load({"X"}, {{"X", "V"}});
    manager.addAll();
    ASSERT_EQ(toLoad(), (Texts{"X", "V"}));

    load({"X", "V"}, {{"X", "W"}});
    EXPECT_EQ(numbersAndClasses(manager), (Texts{"  1: auto-combined", "  2: not-combined"}));
    select({}, {1});
    manager.remove();
    EXPECT_EQ(toLoad(), (Texts{"X", "V"}));
    EXPECT_EQ(available(), (Texts{"W"}));
}

// P, pressure and Press are one variable: the entry already carrying two names takes a third.
TEST_F(PostLoadOptionsPropertiesManagerTest, CombineAddsAThirdNameToAnEntryThatHasTwo) {
    load({"X", "P"}, {{"X", "pressure"}, {"X", "Press"}});
    ASSERT_EQ(available(), (Texts{"pressure", "Press"}));
    select({0}, {1});
    manager.combine();
    ASSERT_EQ(toLoad(), (Texts{"X", "P\npressure"}));
    select({0}, {1});
    manager.combine();
    EXPECT_EQ(toLoad(), (Texts{"X", "P\npressure\nPress"}));
    EXPECT_TRUE(available().empty());
    EXPECT_TRUE(kernel.messages().empty());
}

} // namespace
