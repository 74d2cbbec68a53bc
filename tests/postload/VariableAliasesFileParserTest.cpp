#include "postload/VariableAliasesFileParser.h"

#include "host/KernelStrings.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <cstdio>

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

// The line rules read one byte at a time, as simply as they can be written.
Groups referenceGroups(const std::string& body) {
    Groups groups;
    std::size_t at = 0;
    const auto next = [&]() -> int {
        return at < body.size() ? static_cast<unsigned char>(body[at++]) : EOF;
    };
    for (int first = next(); first != EOF && first != '\0'; first = next()) {
        std::string line;
        for (int c = first; c != EOF && c != '\n' && c != '\0'; c = next()) {
            if (c == '\r') {
                while ((c = next()) == '\r') {
                }
                if (c != '\n' && c != EOF)
                    --at;
                break;
            }
            line.push_back(static_cast<char>(c));
        }
        line = line.substr(0, line.find('#'));
        if (line.find(';') == std::string::npos)
            continue;
        std::vector<std::string> names;
        std::size_t start = 0;
        for (std::size_t end; start <= line.size(); start = end + 1) {
            end = std::min(line.find(';', start), line.size());
            if (end > start) {
                const std::string field = line.substr(start, end - start);
                const std::size_t from = field.find_first_not_of(" \t\n\v\f\r");
                names.push_back(from == std::string::npos
                                    ? std::string()
                                    : field.substr(from, field.find_last_not_of(" \t\n\v\f\r") - from + 1));
            }
        }
        if (!names.empty())
            groups.push_back(names);
    }
    return groups;
}

RC_GTEST_FIXTURE_PROP(VariableAliasesFileParserTest, ReadsAnyBytesAsTheLineRulesSay, ()) {
    const std::string body =
        *rc::gen::container<std::string>(rc::gen::element('a', 'B', ';', ' ', '\t', '\r', '\n', '#', '\0'));
    RC_ASSERT(parse(body) == referenceGroups(body));
}

// The file is read in blocks; a line, a CR LF pair or a run of CRs may straddle two of them.
TEST_F(VariableAliasesFileParserTest, LinesAcrossTheReadingBlocksParseAsAnyOther) {
    // The CR run after "C;D" starts anywhere from four bytes before a block's end to just after it.
    for (std::size_t lineStart = 65528; lineStart <= 65536; ++lineStart) {
        std::string body = "A;B\r\n";
        body += std::string(lineStart - body.size() - 1, '#');
        body += "\nC;D\r\r\nE;F\rG;H";
        EXPECT_EQ(parse(body), (Groups{{"A", "B"}, {"C", "D"}, {"E", "F"}, {"G", "H"}})) << lineStart;
    }
}

// Each group read used to move every group read before it: a million groups never finished.
// The lists moved leave their traces as releases of emptied handles.
TEST_F(VariableAliasesFileParserTest, ListReleasesGrowWithTheGroupsNotWithTheirSquare) {
    const auto releasesWhileParsing = [this](int groups) {
        std::string body;
        for (int group = 0; group < groups; ++group)
            body += "A" + std::to_string(group) + ";B\n";
        const std::string path = write(header + body);
        const qelmar::standin::testing::CallRecording recording;
        VariableAliasesFileParser parser(path);
        EXPECT_EQ(parser.aliasesList().size(), static_cast<std::size_t>(groups));
        return kernel.callsNamed("QelUtilStringListDealloc").size();
    };
    // A few per group at most, however many groups there are.
    for (const int groups : {2000, 4000})
        EXPECT_LE(releasesWhileParsing(groups), 5u * groups) << groups << " groups";
}

} // namespace
