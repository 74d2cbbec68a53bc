#include "postload/PostLoadOptionsPropertiesManager.h"
#include "postload/VariableAliasesApplier.h"
#include "postload/VariableAliasesFileParser.h"

#include "host/StringList.h"
#include "kernel/testing/KernelTestControl.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// When the kernel cannot create or extend a string list, every command of the post-load window
// tells the user which command failed and keeps what it had done up to then.

namespace {

using qelmar::sdk::ui::postload::VariableAliasesApplier;
using qelmar::sdk::ui::postload::VariableAliasesFileParser;
using qelmar::standin::FailMode;
using qelmar::standin::testing::KernelTestControl;
using qelmar::toolbox::StringList;
using Texts = std::vector<std::string>;

const std::string outOfMemory = std::bad_alloc().what();

Texts textsOf(const StringList& list) {
    Texts texts;
    for (long i = 0; i < list.size(); ++i)
        texts.push_back(list.get(i));
    return texts;
}

class KernelFailureMessagesTest : public ::testing::Test {
protected:
    // The data set has X and Y; the first file calls X "x_coord" and brings P, the second fills
    // X and Y itself and brings P and T.
    void load() {
        std::vector<StringList_s*> handles;
        for (const StringList& file : files)
            handles.push_back(file.getRef());
        manager.initializeManager(existing.getRef(), handles.data(), static_cast<long>(handles.size()));
    }
    Texts available() const { return textsOf(StringList(manager.availableVarNames())); }
    Texts toLoad() const { return textsOf(StringList(manager.varNamesToLoad())); }
    void select(std::set<int> available, std::set<int> toLoad) {
        manager.selectedVarsAvailable()->setValue(available);
        manager.selectedVarsToLoad()->setValue(toLoad);
    }
    // The error boxes shown; reading them lets the kernel allocate again.
    Texts errors() {
        kernel.clearFailures();
        Texts texts;
        for (const auto& message : kernel.messagesOfType(0))
            texts.push_back(message.text);
        kernel.clearMessages();
        return texts;
    }
    std::string writeAliases(const QByteArray& lines) {
        QFile file(folder.filePath(QStringLiteral("variable_aliases.txt")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!QELMAR VA 1\n" + lines);
        return file.fileName().toStdString();
    }

    KernelTestControl kernel;
    QTemporaryDir folder;
    StringList existing{"X", "Y"};
    std::vector<StringList> files{{"x_coord", "Y", "P"}, {"X", "Y", "P", "T"}};
    qelmar::sdk::ui::propertymanager::PostLoadOptionsPropertiesManager manager;
};

TEST_F(KernelFailureMessagesTest, InitialisingNamesItsCommandAndCanBeRepeated) {
    kernel.failCall("QelUtilStringListAlloc", FailMode::Once);
    load();
    EXPECT_EQ(errors(), Texts{"An error occurred while determining how to append variable names to the "
                              "current dataset: " +
                              outOfMemory});
    EXPECT_EQ(available(), Texts{});

    load();
    EXPECT_EQ(errors(), Texts{});
    EXPECT_EQ(toLoad(), (Texts{"X", "Y"}));
    EXPECT_EQ(available(), (Texts{"x_coord", "P", "T"}));
}

// The names reach the to-load list before the available lists are rebuilt; a failure in between
// leaves them in both, as the user then sees them.
TEST_F(KernelFailureMessagesTest, AddingSelectedOrAllKeepsWhatReachedTheToLoadList) {
    load();
    select({1}, {});
    kernel.failCall("QelUtilStringListAlloc", FailMode::Once);
    manager.add();
    EXPECT_EQ(errors(),
              Texts{"An error occurred while adding selected values to the variables to load list: " +
                    outOfMemory});
    EXPECT_EQ(toLoad(), (Texts{"X", "Y", "P"}));
    EXPECT_EQ(available(), (Texts{"x_coord", "P", "T"}));

    kernel.failCall("QelUtilStringListAlloc", FailMode::Once);
    manager.addAll();
    EXPECT_EQ(errors(), Texts{"An error occurred while adding all values to the variables to load list: " +
                              outOfMemory});
    EXPECT_EQ(toLoad(), (Texts{"X", "Y", "P", "x_coord", "P", "T"}));
}

TEST_F(KernelFailureMessagesTest, RemovingAndCombiningNameTheirCommandAndChangeNothing) {
    load();
    select({1}, {});
    manager.add();
    select({}, {2});
    kernel.failCall("QelUtilStringListCopy", FailMode::Once);
    manager.remove();
    EXPECT_EQ(errors(), Texts{"An error occurred while removing selected values from the variables to load "
                              "list: " +
                              outOfMemory});
    EXPECT_EQ(toLoad(), (Texts{"X", "Y", "P"}));
    EXPECT_EQ(available(), (Texts{"x_coord", "T"}));

    select({0}, {0});
    kernel.failCall("QelUtilStringListAlloc", FailMode::Once);
    manager.combine();
    EXPECT_EQ(errors(), Texts{"An error occurred while combining values: " + outOfMemory});
    EXPECT_EQ(toLoad(), (Texts{"X", "Y", "P"}));
    EXPECT_EQ(available(), (Texts{"x_coord", "T"}));

    // Nothing is left broken: the same commands succeed afterwards.
    manager.combine();
    select({}, {2});
    manager.remove();
    EXPECT_EQ(errors(), Texts{});
    EXPECT_EQ(toLoad(), (Texts{"X\nx_coord", "Y"}));
    EXPECT_EQ(available(), (Texts{"P", "T"}));
}

// The parser keeps the groups it read before its failure, and they are applied.
TEST_F(KernelFailureMessagesTest, AnAliasesFileReadInPartIsNamedAndWhatWasReadApplies) {
    load();
    manager.filePath()->setValue(writeAliases("X;x_coord\nPressure;P\n"));
    // The first group's two names are appended; the second group's first is not.
    kernel.failCall("QelUtilStringListAppendString", FailMode::Once, 2);
    manager.applyVarAliases();
    EXPECT_EQ(errors(), Texts{"An error occurred while parsing " + manager.filePath()->retrieveValue() +
                              ": " + outOfMemory});
    EXPECT_EQ(toLoad(), (Texts{"X\nx_coord", "Y"}));
    EXPECT_EQ(available(), (Texts{"P", "T"}));
}

// Remove and Apply work on a copy of the to-load list. A copy the kernel could not make must be a
// failure: a StringList adopting null stands in an empty list of its own, and Remove and Apply
// then went on with it and emptied the window's to-load list. The aliases parser's new group is
// the same case.
TEST_F(KernelFailureMessagesTest, ACopyOfTheToLoadListThatFailsEmptiesNothing) {
    load();
    select({1}, {});
    manager.add();
    select({}, {2});
    kernel.failCall("QelUtilStringListAlloc", FailMode::Once);
    manager.remove();
    EXPECT_EQ(errors(), Texts{"An error occurred while removing selected values from the variables to load "
                              "list: " +
                              outOfMemory});
    EXPECT_EQ(toLoad(), (Texts{"X", "Y", "P"}));

    manager.filePath()->setValue(writeAliases("X;x_coord\n"));
    // The parser's group is made; the copy of the to-load list is not.
    kernel.failCall("QelUtilStringListAlloc", FailMode::Once, 1);
    manager.applyVarAliases();
    EXPECT_EQ(errors(), Texts{"An error occurred while applying the variable names aliases: " + outOfMemory});
    EXPECT_EQ(toLoad(), (Texts{"X", "Y", "P"}));
    EXPECT_EQ(available(), (Texts{"x_coord", "T"}));

    kernel.failCall("QelUtilStringListAlloc", FailMode::Once);
    manager.applyVarAliases();
    EXPECT_EQ(errors(), Texts{"An error occurred while parsing " + manager.filePath()->retrieveValue() +
                              ": " + outOfMemory});
}

// The applier rewrites each file's available list after attaching its names; a list it could not
// rewrite in full stays as far as it got, and the names attached so far are reported.
TEST_F(KernelFailureMessagesTest, TheApplierReportsAndReturnsWhatItAttached) {
    VariableAliasesApplier applier;
    applier.init(existing.getRef(), {files[0].getRef()});
    StringList toLoadList{"X", "Y"};
    StringList availableOfFile{"x_coord", "P", "Q"};
    StringList group{"X", "x_coord"};
    kernel.failCall("QelUtilStringListAppendString", FailMode::Once, 1);
    const auto attached = applier.apply({group.getRef()}, toLoadList.getRef(), {availableOfFile.getRef()});
    EXPECT_EQ(errors(), Texts{"An error occurred while applying the variable names aliases: " + outOfMemory});
    EXPECT_EQ(attached, std::set<std::string>{"x_coord"});
    EXPECT_EQ(textsOf(toLoadList), (Texts{"X\nx_coord", "Y"}));
    EXPECT_EQ(textsOf(availableOfFile), Texts{"P"});
}

} // namespace
