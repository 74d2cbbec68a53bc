#include "postload/VariableAliasesFileParser.h"

#include "host/KernelStrings.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using qelmar::sdk::ui::postload::VariableAliasesFileParser;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;

namespace {

using Groups = std::vector<std::vector<std::string>>;

const std::string header = "#!QELMAR VA 1\n";

class VariableAliasesFileParserTest : public ::testing::Test {
protected:
    std::string write(const std::string& bytes, const char* name = "aliases.txt") {
        const QString path = directory.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path.toStdString();
    }

    static Groups groupsOf(VariableAliasesFileParser& parser) {
        Groups groups;
        for (StringList_s* list : parser.aliasesList()) {
            std::vector<std::string> names;
            for (long position = 1; position <= QelUtilStringListGetCount(list); ++position)
                names.emplace_back(QelUtilStringListGetRawStringPtr(list, position));
            groups.push_back(names);
        }
        return groups;
    }

    Groups parse(const std::string& body) {
        VariableAliasesFileParser parser(write(header + body));
        return groupsOf(parser);
    }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : kernel.messagesOfType(0))
            texts.push_back(message.text);
        return texts;
    }

    KernelTestControl kernel;
    QTemporaryDir directory;
};

TEST_F(VariableAliasesFileParserTest, SplitsTrimsAndSkipsLinesAsWritten) {
    const struct {
        std::string body;
        Groups expected;
    } cases[] = {
        {"X;x_coord;XC\n", {{"X", "x_coord", "XC"}}},
        {"A;;;B;\n", {{"A", "B"}}},
        {"A; ;B\n", {{"A", "", "B"}}},
        {" A ; B \n", {{"A", "B"}}},
        {"\tA\t;B\r\r\n", {{"A", "B"}}},
        {"A\tB;C\n", {{"A\tB", "C"}}},
        {"A;\n;;;\nA B\nsingle\n\n", {{"A"}}},
        {"# X;Y\nA;B #note\nC;D#E;F\n", {{"A", "B"}, {"C", "D"}}},
        {"A;B\nB;C\n", {{"A", "B"}, {"B", "C"}}},
        {"A;B\nC;D", {{"A", "B"}, {"C", "D"}}},
        {"A;B\r\nC;D\r\n", {{"A", "B"}, {"C", "D"}}},
        {"A;B\rC;D\r", {{"A", "B"}, {"C", "D"}}},
        {"", {}},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(parse(test.body), test.expected) << "body: " << test.body;
    }
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(VariableAliasesFileParserTest, NulBytesEndLinesAndReading) {
    using namespace std::string_literals;
    EXPECT_EQ(parse("A;B\0C;D\nE;F\n"s), (Groups{{"A", "B"}, {"C", "D"}, {"E", "F"}}));
    EXPECT_EQ(parse("A;B\n\0C;D\n"s), (Groups{{"A", "B"}}));
}

TEST_F(VariableAliasesFileParserTest, ReportsFilesItCannotUse) {
    const std::string missing = directory.filePath("missing.txt").toStdString();
    VariableAliasesFileParser missingParser(missing);
    EXPECT_TRUE(missingParser.aliasesList().empty());

    VariableAliasesFileParser newerParser(write("#!QELMAR VA 2\nA;B\n", "v2.txt"));
    EXPECT_TRUE(newerParser.aliasesList().empty());

    EXPECT_EQ(messageTexts(), (std::vector<std::string>{
                                  "File " + missing + " could not be opened or is invalid.",
                                  "Variable aliases file has an incorrect version: 2. Version should be: 1",
                              }));
}

TEST_F(VariableAliasesFileParserTest, DefaultPathIsTheStartupFileElseTheHomeFolderOne) {
    ApplicationTestControl application; // restores the startup folder when it goes
    ApplicationTestControl::setStartupFolder(directory.path().toStdString());
    const QString inHome = QDir::homePath() + QStringLiteral("/variable_aliases.txt");
    EXPECT_EQ(VariableAliasesFileParser::locateVariableAliasesFilePath(), inHome.toStdString());

    const std::string startupFile = write(header, "variable_aliases.txt");
    EXPECT_EQ(VariableAliasesFileParser::locateVariableAliasesFilePath(), startupFile);
}

} // namespace
