#include "common/FileBytes.h"
#include "host/KernelErrors.h"
#include "host/KernelStartupFiles.h"
#include "host/KernelString.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"
#include "kernel/ApplicationModel.h"
#include "kernel/DataLoading.h"
#include "kernel/LastError.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
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
    const StringList list{"X\nx_coord", nullptr, " Pressure\t", "TEMPÉRATURE", "Pressure"};
    EXPECT_EQ(offsetOf(list, "x"), 0);
    EXPECT_EQ(offsetOf(list, "Pressure"), 2); // the first entry a name designates wins
    EXPECT_EQ(offsetOf(list, "  X_Coord "), 0);
    EXPECT_EQ(offsetOf(list, "pressure"), 2);
    EXPECT_EQ(offsetOf(list, "température"), 3);
    EXPECT_EQ(offsetOf(list, "press ure"), -1);
    EXPECT_EQ(offsetOf(list, ""), -1);
}

// Time "t" and temperature "T" of one file are two variables: a list spelling a name two ways
// matches each spelling only as written.
TEST(VariableNameLists, NamesWrittenInTwoCasesInOneListMatchOnlyAsWritten) {
    const StringList list{"t", "T", "x\nVelocity", "VELOCITY"};
    EXPECT_EQ(offsetOf(list, "t"), 0);
    EXPECT_EQ(offsetOf(list, " T "), 1);
    EXPECT_EQ(offsetOf(list, "X"), 2);
    EXPECT_EQ(offsetOf(list, "velocity"), -1);
    EXPECT_EQ(offsetOf(list, "Velocity"), 2);

    StringList growing{"t", "u"};
    ASSERT_EQ(offsetOf(growing, "T"), 0);
    ASSERT_TRUE(QelAppVarNameListAddVarName(growing.getRef(), 1, "T"));
    EXPECT_EQ(offsetOf(growing, "T"), 1);
    EXPECT_EQ(offsetOf(growing, "t"), 0);
}

// Combine pairs a name with a whole entry, which may already carry several names.
TEST(VariableNameLists, AWholeEntryLeadsWhereItsFirstKnownNameDoes) {
    const StringList list{"X", "P\npressure"};
    EXPECT_EQ(offsetOf(list, "P\npressure"), 1);
    EXPECT_EQ(offsetOf(list, "Press\npressure"), 1);
    EXPECT_EQ(offsetOf(list, "Press\nrho"), -1);
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
    // Whether the second file's "t" is the first file's "T" is the user's call.
    EXPECT_EQ(asWritten.toNLString(), "X\nx_coord\nP\nT\nv\nt\nW");
    EXPECT_EQ(offsetOf(asWritten, "w"), 5);

    const StringList everySpelling(QelAppVarNameListCreateDefault(nullptr, incoming, 2, 0));
    EXPECT_EQ(everySpelling.get(1), "T\nt");
}

TEST(VariableNameLists, AFilesTwoSpellingsOfANameNeverShareAVariable) {
    const StringList existing{"t", "x"};
    const StringList both{"T", "t", "X"}, onlyOther{"T"};
    StringList_s* const incoming[] = {both.getRef(), onlyOther.getRef()};
    const StringList merged(QelAppVarNameListCreateDefault(existing.getRef(), incoming, 2, 1));
    EXPECT_EQ(merged.toNLString(), "t\nx\nT");

    const StringList temperature{"Temp"};
    const StringList twoWays{"temp", "TEMP"};
    StringList_s* const ambiguous[] = {twoWays.getRef()};
    const StringList separate(QelAppVarNameListCreateDefault(temperature.getRef(), ambiguous, 1, 1));
    EXPECT_EQ(separate.toNLString(), "Temp\ntemp\nTEMP");
}

// The first point of every variable, e.g. "1 nan 3".
std::string firstPoints(const qelmar::standin::DataValues& values) {
    std::string text;
    for (const std::vector<double>& variable : values.values)
        text += (text.empty() ? "" : " ") + QString::number(variable.at(0)).toStdString();
    return text;
}

// Loads through the kernel with a fixed answer of the match-variables callback (none: cancel).
class LoadingCaseVariantsTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = app.addFrame(app.addPage("Page"), "Frame");
        app.attachDataSet(frame, {"old", {"t", "T", "v"}, {{1.0}, {2.0}, {3.0}}}, true);
    }
    void TearDown() override { QelEngMatchVariablesRegisterCallback(nullptr, nullptr); }

    void answerWith(std::optional<StringList> answer) {
        static std::optional<StringList> given;
        given = std::move(answer);
        QelEngMatchVariablesRegisterCallback(
            [](StringList_s*, StringList_s* const*, long, void*) -> StringList_s* {
                ++calls();
                return given ? StringList(*given).release() : nullptr;
            },
            nullptr);
        calls() = 0;
    }
    static int& calls() {
        static int count = 0;
        return count;
    }
    static bool append(std::vector<qelmar::standin::DataValues> files) {
        std::vector<qelmar::standin::LoadedFile> loaded;
        for (auto& values : files)
            loaded.push_back({std::string(), std::move(values), {}});
        return qelmar::standin::loadData(std::move(loaded), qelmar::dataload::Append);
    }
    const qelmar::standin::DataSet& shown() const {
        return *qelmar::standin::ApplicationModel::instance().frame(frame).dataSet;
    }

    KernelTestControl kernel;
    ApplicationTestControl app;
    int frame = 0;
};

TEST_F(LoadingCaseVariantsTest, VariablesSpelledInTwoCasesEachKeepTheirOwnValues) {
    ASSERT_TRUE(append({{"b", {"T", "t", "v"}, {{20.0}, {10.0}, {30.0}}, {}}}));
    ASSERT_EQ(shown().zoneCount(), 2);
    EXPECT_EQ(shown().laterZones[0].values, (std::vector<std::vector<double>>{{10.0}, {20.0}, {30.0}}));
    EXPECT_EQ(shown().contents.values, (std::vector<std::vector<double>>{{1.0}, {2.0}, {3.0}}));
}

// The user added the first file's "t" only; the second file's "T" was left out, so it fills
// nothing.
TEST_F(LoadingCaseVariantsTest, ANewVariableTakesOnlyTheSpellingsOfItsEntry) {
    app.attachDataSet(frame, {"old", {"x"}, {{1.0}}}, true);
    answerWith(StringList{"x", "t"});
    ASSERT_TRUE(append({{"a", {"x", "t"}, {{2.0}, {3.0}}, {}}, {"b", {"x", "T"}, {{4.0}, {5.0}}, {}}}));
    EXPECT_EQ(calls(), 1);
    ASSERT_EQ(shown().zoneCount(), 3);
    EXPECT_EQ(shown().laterZones[0].values, (std::vector<std::vector<double>>{{2.0}, {3.0}}));
    EXPECT_EQ(shown().laterZones[1].values[0], std::vector<double>{4.0});
    EXPECT_TRUE(std::isnan(shown().laterZones[1].values[1][0]));
}

// Found by the load sequences: the window combined "pressure" into "p" for the first file, and
// then "Press" for the second, which the first file also has. The first file fills "p" from the
// name that joined the entry first, whatever the order of its own columns.
TEST_F(LoadingCaseVariantsTest, AnEntrysNamesAreTriedInTheOrderTheyJoinedIt) {
    app.attachDataSet(frame, {"old", {"p"}, {{1.0}}}, true);
    answerWith(StringList{"p\npressure\nPress"});
    ASSERT_TRUE(append({{"a", {"Press", "pressure"}, {{10.0}, {20.0}}, {}}, {"b", {"Press"}, {{30.0}}, {}}}));
    ASSERT_EQ(shown().zoneCount(), 3);
    EXPECT_EQ(shown().laterZones[0].values, (std::vector<std::vector<double>>{{20.0}}));
    EXPECT_EQ(shown().laterZones[1].values, (std::vector<std::vector<double>>{{30.0}}));
}

// Found by the load sequences: the first file's "X" is new beside its "x"; the second file's
// only "X" is the data set's "x" in another case, and fills that one alone.
TEST_F(LoadingCaseVariantsTest, AValueFillsOneVariableOnly) {
    app.attachDataSet(frame, {"old", {"t", "x"}, {{1.0}, {2.0}}}, true);
    answerWith(StringList{"t", "x", "X"});
    ASSERT_TRUE(append({{"a", {"x", "X"}, {{3.0}, {4.0}}, {}}, {"b", {"X"}, {{5.0}}, {}}}));
    ASSERT_EQ(shown().zoneCount(), 3);
    EXPECT_EQ(firstPoints(shown().laterZones[0]), "nan 3 4");
    EXPECT_EQ(firstPoints(shown().laterZones[1]), "nan 5 nan");
    EXPECT_EQ(firstPoints(shown().contents), "1 2 nan");
}

TEST_F(LoadingCaseVariantsTest, AnAnswerThatDropsAVariableOfTheDataSetIsRefusedByName) {
    answerWith(StringList{"t", "v", "w"});
    EXPECT_FALSE(append({{"b", {"t", "w"}, {{4.0}, {5.0}}, {}}}));
    EXPECT_EQ(shown().zoneCount(), 1);
    EXPECT_EQ(shown().contents.variableNames, (std::vector<std::string>{"t", "T", "v"}));
    EXPECT_EQ(qelmar::standin::lastErrorMessage(),
              "The variable list returned for the load leaves out T of the existing data set; "
              "nothing was loaded.");
    // The host shows the reason once, as for every load that fails.
    EXPECT_TRUE(kernel.messagesOfType(0).empty());
}

TEST_F(LoadingCaseVariantsTest, ACancelledMatchLoadsNothingAndIsNoError) {
    answerWith(std::nullopt);
    EXPECT_FALSE(append({{"b", {"t", "w"}, {{4.0}, {5.0}}, {}}}));
    EXPECT_EQ(calls(), 1);
    EXPECT_EQ(shown().zoneCount(), 1);
    EXPECT_EQ(qelmar::standin::lastErrorMessage(), "");
    EXPECT_TRUE(kernel.messages().empty());
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
