#include "common/FileBytes.h"
#include "host/KernelErrors.h"
#include "host/KernelStartupFiles.h"
#include "host/KernelString.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using qelmar::sdk::KernelString;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;
using qelmar::toolbox::StringList;

int offsetOf(const StringList& list, const char* name) {
    return QelAppVarNameListGetVarOffset(list.getRef(), name);
}

TEST(KernelStringLists, NullEntriesStayNullThroughCopyAndAppendAndJoinAsEmptyLines) {
    StringList list{"a", nullptr};
    ASSERT_TRUE(list.insert(0, nullptr));
    ASSERT_TRUE(list.set(4, nullptr)); // past the end: the gap is an empty string, not null
    StringList copy{"z"};
    ASSERT_TRUE(copy.append(StringList(list)));
    EXPECT_EQ(copy.toNLString(), "z\n\na\n\n\n");
    EXPECT_EQ(copy[1], nullptr);
    EXPECT_EQ(copy[3], nullptr);
    EXPECT_STREQ(copy[4], "");
    EXPECT_TRUE(KernelString(QelUtilStringListGetString(copy.getRef(), 6)).isNull());
    EXPECT_NE(list, StringList::fromNLString(list.toNLString().c_str()));
}

TEST(VariableNameLists, NamesMatchWhateverTheirCaseAndSurroundingBlanksThroughEveryNameOfAnEntry) {
    const StringList list{"X\nx_coord", nullptr, " Pressure\t", "x", "TEMPÉRATURE"};
    EXPECT_EQ(offsetOf(list, "x"), 0); // the first entry a name designates wins
    EXPECT_EQ(offsetOf(list, "  X_Coord "), 0);
    EXPECT_EQ(offsetOf(list, "pressure"), 2);
    EXPECT_EQ(offsetOf(list, "température"), 4);
    EXPECT_EQ(offsetOf(list, "press ure"), -1);
    EXPECT_EQ(offsetOf(list, ""), -1);
}

TEST(VariableNameLists, LookupsFollowEveryChangeOfTheList) {
    StringList list{"a", "b"};
    ASSERT_EQ(offsetOf(list, "b"), 1);
    ASSERT_TRUE(list.set(1, "c"));
    EXPECT_EQ(offsetOf(list, "b"), -1);
    EXPECT_EQ(offsetOf(list, "c"), 1);
    ASSERT_TRUE(list.insert(0, "c"));
    EXPECT_EQ(offsetOf(list, "c"), 0);
    list.remove(1);
    EXPECT_EQ(offsetOf(list, "a"), -1);

    ASSERT_TRUE(QelAppVarNameListAddVarName(list.getRef(), 1, "Alias"));
    EXPECT_EQ(list.get(1), "c\nAlias");
    EXPECT_EQ(offsetOf(list, "alias"), 1);
    ASSERT_TRUE(QelAppVarNameListAddVarName(list.getRef(), 1, "C")); // an earlier entry keeps it
    EXPECT_EQ(offsetOf(list, "c"), 0);
    EXPECT_FALSE(QelAppVarNameListAddVarName(list.getRef(), 2, "d"));
    EXPECT_FALSE(QelAppVarNameListAddVarName(list.getRef(), 0, "  "));
    list.clear();
    EXPECT_EQ(offsetOf(list, "alias"), -1);
}

TEST(VariableNameLists, DefaultListKeepsTheExistingEntriesThenOneEntryPerNewVariable) {
    const StringList existing{"X\nx_coord", "P"};
    const StringList first{"x", "T", "v"}, second{"X_COORD", "t", "W", "v"};
    StringList_s* const incoming[] = {first.getRef(), second.getRef()};

    const StringList asWritten(QelAppVarNameListCreateDefault(existing.getRef(), incoming, 2, 1));
    EXPECT_EQ(asWritten.toNLString(), "X\nx_coord\nP\nT\nv\nW");
    EXPECT_EQ(offsetOf(asWritten, "w"), 4);

    const StringList everySpelling(QelAppVarNameListCreateDefault(nullptr, incoming, 2, 0));
    EXPECT_EQ(everySpelling.get(1), "T\nt");
}

// The post-load window matches every incoming name against the merged list: at 50 files of
// 2,000 variables, a scan per name would take minutes.
class StartupFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ApplicationTestControl::setStartupFolder(folder.path().toStdString());
    }
    std::string write(const std::string& name, const QByteArray& bytes) const {
        const std::string path = QDir(folder.path()).filePath(QString::fromStdString(name)).toStdString();
        testsupport::writeBytes(path, bytes);
        return path;
    }
    // The rest of the file after the header, or the kernel's message when it was refused.
    static std::string open(const std::string& path, int& version, int flags = 0) {
        std::FILE* file = QelAppStartupFileOpen("Variable Aliases", path.c_str(), "VA", &version, flags);
        if (!file)
            return "refused: " + KernelString(QelUtilGetLastErrorMessage()).str();
        std::string rest;
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
            rest += static_cast<char>(c);
        std::fclose(file);
        return rest;
    }

    KernelTestControl kernel;
    ApplicationTestControl app;
    QTemporaryDir folder;
};

TEST_F(StartupFilesTest, HeaderWithTheTagGivesItsVersionAndTheLinesAfterIt) {
    int version = 0;
    EXPECT_EQ(open(write("a.txt", "#!QELMAR  VA 12\r\nP;p"), version), "P;p");
    EXPECT_EQ(version, 12);
    EXPECT_TRUE(KernelString(QelAppStartupFileGetPath("Variable Aliases", "variable_aliases.txt")).isNull());
    const std::string path = write("variable_aliases.txt", "#!QELMAR VA 1\nX;x\n");
    EXPECT_EQ(KernelString(QelAppStartupFileGetPath("Variable Aliases", "variable_aliases.txt")).str(), path);
    EXPECT_EQ(open("variable_aliases.txt", version, 1), "X;x\n");
    EXPECT_EQ(version, 1);
}

TEST_F(StartupFilesTest, OtherFilesAreRefusedByName) {
    int version = 7;
    const std::string wrongTag = write("tag.txt", "#!QELMAR XY 1\nX;x\n");
    EXPECT_EQ(open(wrongTag, version),
              "refused: " + wrongTag +
                  " is not a variable aliases file: its first line must be \"#!QELMAR VA "
                  "<version>\".");
    for (const QByteArray& bytes :
         {QByteArray("X;x\n"), QByteArray(), QByteArray("#!QELMAR VA 1 x\n"), QByteArray(4000, 'x')}) {
        const std::string path = write("bad.txt", bytes);
        EXPECT_EQ(open(path, version).rfind("refused: " + path + " is not a variable aliases file", 0), 0u);
    }
    EXPECT_NE(
        open(QDir(folder.path()).filePath("missing.txt").toStdString(), version).find("could not be opened"),
        std::string::npos);
    EXPECT_EQ(version, 7);
}

} // namespace
