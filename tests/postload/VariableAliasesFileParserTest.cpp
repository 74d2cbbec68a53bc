#include "postload/VariableAliasesFileParser.h"

#include "host/KernelStrings.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace std::string_literals;
using qelmar::sdk::ui::postload::VariableAliasesFileParser;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;

namespace {

using Groups = std::vector<std::vector<std::string>>;

const std::string header = "#!QELMAR VA 1\n";

class VariableAliasesFileParserTest : public ::testing::Test {
protected:
    std::string write(const std::string& bytes, const char* name = "aliases.txt") {
        QFile file(directory.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return file.fileName().toStdString();
    }

    Groups parse(const std::string& body) {
        VariableAliasesFileParser parser(write(header + body));
        Groups groups;
        for (StringList_s* list : parser.aliasesList()) {
            groups.emplace_back();
            for (long position = 1; position <= QelUtilStringListGetCount(list); ++position)
                groups.back().emplace_back(QelUtilStringListGetRawStringPtr(list, position));
        }
        return groups;
    }

    KernelTestControl kernel;
    QTemporaryDir directory;
};

TEST_F(VariableAliasesFileParserTest, SplitsTrimsAndSkipsLinesAsWritten) {
    const std::pair<std::string, Groups> cases[] = {
        {"", {}},
        {"X;x_coord;XC\n", {{"X", "x_coord", "XC"}}},
        {"A;;;B;\n", {{"A", "B"}}},
        {"A; ;B\n", {{"A", "", "B"}}},
        {" A ; B \n\tC\t;D\r\r\n", {{"A", "B"}, {"C", "D"}}},
        {"A\tB;C\n", {{"A\tB", "C"}}},
        {"A;\n;;;\nA B\nsingle\n\n", {{"A"}}},
        {"# X;Y\nA;B #note\nC;D#E;F\n", {{"A", "B"}, {"C", "D"}}},
        {"A;B\nB;C", {{"A", "B"}, {"B", "C"}}},
        {"A;B\r\nC;D\r\n", {{"A", "B"}, {"C", "D"}}},
        {"A;B\rC;D\r", {{"A", "B"}, {"C", "D"}}},
        {"A;B\0C;D\nE;F\n"s, {{"A", "B"}, {"C", "D"}, {"E", "F"}}},
        {"A;B\n\0C;D\n"s, {{"A", "B"}}},
    };
    for (const auto& [body, expected] : cases)
        EXPECT_EQ(parse(body), expected) << "body: " << body;
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(VariableAliasesFileParserTest, ReportsFilesItCannotUse) {
    const std::string missing = directory.filePath("missing.txt").toStdString();
    EXPECT_TRUE(VariableAliasesFileParser(missing).aliasesList().empty());
    EXPECT_TRUE(VariableAliasesFileParser(write("#!QELMAR VA 2\nA;B\n")).aliasesList().empty());

    const auto& messages = kernel.messagesOfType(0);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "File " + missing + " could not be opened or is invalid.");
    EXPECT_EQ(messages[1].text, "Variable aliases file has an incorrect version: 2. Version should be: 1");
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
