#include "postload/PostLoadOptionsPropertiesManager.h"

#include "host/StringList.h"
#include "kernel/testing/KernelTestControl.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using qelmar::sdk::ui::propertymanager::PostLoadOptionsPropertiesManager;
using qelmar::standin::testing::KernelTestControl;
using qelmar::toolbox::StringList;
using Texts = std::vector<std::string>;
using Selection = PostLoadOptionsPropertiesManager::Selection;

const char equalSelections[] = "Must have equal numbers of selections in both lists.";
const char cannotCombine[] = "Variables that were already auto-combined or variables that belong to the same "
                             "dataset cannot be combined.";
const char keptExisting[] =
    "Variables belonging to the existing dataset cannot be removed from the 'Variables to load' list. "
    "Variables "
    "that do not yet belong to the existing dataset have been moved back to the 'Available variables' list.";

Texts textsOf(StringList_s* adopted) {
    const StringList list(adopted);
    Texts texts;
    for (long i = 0; i < list.size(); ++i)
        texts.push_back(list.get(i));
    return texts;
}

class PostLoadOptionsPropertiesManagerTest : public ::testing::Test {
protected:
    void load(StringList existing, std::vector<StringList> files) {
        m_existing = std::move(existing);
        m_files = std::move(files);
        m_handles.clear();
        for (const StringList& file : m_files)
            m_handles.push_back(file.getRef());
        manager.initializeManager(m_existing.getRef(), m_handles.data(), static_cast<long>(m_handles.size()));
    }

    // The data set has X and Y; the first file calls X "x_coord" and brings pressure, the second
    // shares Y and brings pressure and temperature.
    void loadTwoFiles() { load({"X", "Y"}, {{"x_coord", "Y", "P"}, {"X", "Y", "P", "T"}}); }

    Texts available() const { return textsOf(manager.availableVarNames()); }
    Texts toLoad() const { return textsOf(manager.varNamesToLoad()); }
    void select(Selection available, Selection toLoad) {
        manager.selectedVarsAvailable()->setValue(available);
        manager.selectedVarsToLoad()->setValue(toLoad);
    }
    Texts messages(int type) const {
        Texts texts;
        for (const auto& message : kernel.messagesOfType(type))
            texts.push_back(message.text);
        return texts;
    }

    KernelTestControl kernel;
    StringList m_existing;
    std::vector<StringList> m_files;
    std::vector<StringList_s*> m_handles;
    PostLoadOptionsPropertiesManager manager;
};

TEST_F(PostLoadOptionsPropertiesManagerTest, InitialisationOffersEachUnmatchedNameOnceAndKeepsTheDataSet) {
    load({"X", "Y", "X"}, {{"X", "y", "V"}, {"X"}, {"V", "W"}});

    EXPECT_EQ(available(), (Texts{"V", "W"}));
    // Duplicates of the data set leave the list; accepting unchanged loads exactly this.
    EXPECT_EQ(toLoad(), (Texts{"X", "Y"}));
    EXPECT_TRUE(manager.unmatchedVarNamesAvailable());
    EXPECT_TRUE(manager.addAllRelevance()->isRelevant());
    EXPECT_FALSE(manager.addRelevance()->isRelevant());
    EXPECT_FALSE(manager.removeRelevance()->isRelevant());

    load({"X"}, {{"x"}, {" X "}});
    EXPECT_FALSE(manager.unmatchedVarNamesAvailable());
    EXPECT_FALSE(manager.addAllRelevance()->isRelevant());
}

TEST_F(PostLoadOptionsPropertiesManagerTest, AddingANameSharedByTwoFilesMakesOneVariable) {
    load({"X"}, {{"X", "V"}, {"V", "W"}});
    select({0}, {});
    EXPECT_TRUE(manager.addRelevance()->isRelevant());

    manager.add();
    EXPECT_EQ(toLoad(), (Texts{"X", "V"}));
    EXPECT_EQ(available(), (Texts{"W"}));

    manager.addAll();
    EXPECT_EQ(toLoad(), (Texts{"X", "V", "W"}));
    EXPECT_TRUE(available().empty());
    EXPECT_FALSE(manager.addAllRelevance()->isRelevant());
    manager.addAll();
    EXPECT_EQ(toLoad(), (Texts{"X", "V", "W"}));

    // Removing new variables only puts them back, in their files' order, without a word.
    select({}, {1, 2});
    manager.remove();
    EXPECT_EQ(toLoad(), (Texts{"X"}));
    EXPECT_EQ(available(), (Texts{"V", "W"}));
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(PostLoadOptionsPropertiesManagerTest, CombineAttachesANameToTheVariableAndRemoveDetachesIt) {
    loadTwoFiles();
    ASSERT_EQ(available(), (Texts{"x_coord", "P", "T"}));
    select({0}, {0});
    manager.combine();
    EXPECT_EQ(toLoad(), (Texts{"X\nx_coord", "Y"}));
    EXPECT_EQ(available(), (Texts{"P", "T"}));

    select({0}, {});
    manager.add();
    ASSERT_EQ(toLoad(), (Texts{"X\nx_coord", "Y", "P"}));

    // X stays with the data set; its combined name and the new variable go back.
    select({}, {0, 2});
    manager.remove();
    EXPECT_EQ(toLoad(), (Texts{"X", "Y"}));
    EXPECT_EQ(available(), (Texts{"x_coord", "P", "T"}));
    EXPECT_EQ(messages(2), (Texts{keptExisting}));

    // The name is free again: combining it anew works.
    kernel.clearMessages();
    select({0}, {0});
    manager.combine();
    EXPECT_EQ(toLoad(), (Texts{"X\nx_coord", "Y"}));
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(PostLoadOptionsPropertiesManagerTest, CombineRefusesUnequalSelectionsAndVariablesAFileFillsAlready) {
    loadTwoFiles();
    manager.combine();
    select({0, 1}, {0});
    manager.combine();
    EXPECT_EQ(messages(2), (Texts{equalSelections, equalSelections}));

    // The second file fills Y itself.
    kernel.clearMessages();
    select({2}, {1});
    manager.combine();
    EXPECT_EQ(messages(2), (Texts{cannotCombine}));
    EXPECT_EQ(toLoad(), (Texts{"X", "Y"}));
    EXPECT_EQ(available(), (Texts{"x_coord", "P", "T"}));
}

// P comes from both files; only the second fills X. Checking the first file alone would let the
// second file fill X twice.
TEST_F(PostLoadOptionsPropertiesManagerTest, CombineChecksEveryFileThatOffersTheName) {
    loadTwoFiles();
    select({1}, {0});
    manager.combine();
    EXPECT_EQ(messages(2), (Texts{cannotCombine}));
    EXPECT_EQ(toLoad(), (Texts{"X", "Y"}));
}

TEST_F(PostLoadOptionsPropertiesManagerTest, AppliesTheAliasesFileAndReportsOneThatCannotBeOpened) {
    loadTwoFiles();
    const std::string missing = "/nonexistent/variable_aliases.txt";
    manager.filePath()->setValue(missing);
    manager.applyVarAliases();
    EXPECT_EQ(messages(0), (Texts{"File " + missing + " could not be opened or is invalid."}));
    EXPECT_EQ(toLoad(), (Texts{"X", "Y"}));
    EXPECT_EQ(available(), (Texts{"x_coord", "P", "T"}));

    kernel.clearMessages();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("variable_aliases.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!QELMAR VA 1\n# coordinates\nX;x_coord\nPressure;P\n");
    file.close();
    manager.filePath()->setValue(path.toStdString());
    manager.applyVarAliases();
    EXPECT_TRUE(kernel.messages().empty());
    EXPECT_EQ(toLoad(), (Texts{"X\nx_coord", "Y"}));
    EXPECT_EQ(available(), (Texts{"P", "T"}));
}

} // namespace
