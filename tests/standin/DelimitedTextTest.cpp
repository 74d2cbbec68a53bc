#include "loaders/DelimitedText.h"
#include "common/FileBytes.h"
#include "common/ScopedCommaDecimalLocale.h"
#include "kernel/ApplicationModel.h"
#include "kernel/LastError.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "loaders/LoaderSupport.h"
#include "loaders/StandardDataLoaders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <new>
#include <string>
#include <vector>

namespace {

using qelmar::dataload::ReplaceAndRetainStyle;
using qelmar::standin::ApplicationModel;
using qelmar::standin::DelimitedTextHeader;
using qelmar::standin::DelimitedTextOptions;
using qelmar::standin::ZoneValues;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;
using Columns = std::vector<std::vector<double>>;
using Names = std::vector<std::string>;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// Equal values, NaN equal to NaN: a missing value must stay missing, not become some number.
bool sameColumns(const Columns& got, const Columns& expected) {
    if (got.size() != expected.size())
        return false;
    for (std::size_t v = 0; v < got.size(); ++v) {
        if (got[v].size() != expected[v].size())
            return false;
        for (std::size_t i = 0; i < got[v].size(); ++i) {
            const bool bothMissing = std::isnan(got[v][i]) && std::isnan(expected[v][i]);
            if (!bothMissing && got[v][i] != expected[v][i])
                return false;
        }
    }
    return true;
}

std::string printed(const Columns& columns) {
    std::string text;
    for (const auto& column : columns) {
        text += "[";
        for (double value : column)
            text += std::to_string(value) + " ";
        text += "] ";
    }
    return text;
}

// One file of the corpus and what a user must get from it: the variables and values, or the
// message (empty `error` when the load must succeed).
struct CorpusFile {
    const char* name;
    QByteArray bytes;
    Names names;
    Columns values;
    std::string error;
};

CorpusFile loads(const char* name, const QByteArray& bytes, Names names, Columns values) {
    return {name, bytes, std::move(names), std::move(values), {}};
}

CorpusFile refuses(const char* name, const QByteArray& bytes, std::string error) {
    return {name, bytes, {}, {}, std::move(error)};
}

void PrintTo(const CorpusFile& file, std::ostream* out) {
    *out << file.name;
}

class DelimitedTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        frame = app.addFrame(app.addPage("Page"), "Frame");
        app.attachDataSet(frame, {"old", {"x", "y"}, {{1.0}, {2.0}}}, true, path("old.plt"));
    }

    std::string path(const std::string& name) const {
        return QDir(folder.path()).filePath(QString::fromStdString(name)).toStdString();
    }
    std::string write(const std::string& name, const QByteArray& bytes) const {
        testsupport::writeBytes(path(name), bytes);
        return path(name);
    }
    static bool load(const std::vector<std::string>& files) {
        return qelmar::standin::makeDelimitedTextLoader()->load(nullptr, files, false, ReplaceAndRetainStyle);
    }
    const qelmar::standin::DataSet& shown() const {
        return *ApplicationModel::instance().frame(frame).dataSet;
    }

    QTemporaryDir folder;
    KernelTestControl kernel;
    ApplicationTestControl app;
    int frame = 0;
};

class DelimitedTextCorpus : public DelimitedTextTest, public ::testing::WithParamInterface<CorpusFile> {};

// Every file goes through the loader and the kernel, as a user's would; a refused one leaves the
// data shown before. Quoting, separators and missing-value tokens as a writer produces them are
// the property below's; these are the files people make by hand.
TEST_P(DelimitedTextCorpus, LoadsWhatAUserMustGet) {
    // Numbers are read the same whatever locale the host put in place.
    const testsupport::ScopedCommaDecimalLocale commaLocale;
    const CorpusFile& file = GetParam();
    const bool loaded = load({write("t.csv", file.bytes)});
    if (!file.error.empty()) {
        EXPECT_FALSE(loaded);
        EXPECT_EQ(qelmar::standin::lastErrorMessage(), file.error);
        EXPECT_EQ(shown().contents.title, "old");
        return;
    }
    ASSERT_TRUE(loaded) << qelmar::standin::lastErrorMessage();
    EXPECT_EQ(shown().contents.variableNames, file.names);
    EXPECT_TRUE(sameColumns(shown().contents.values, file.values)) << printed(shown().contents.values);
}

const std::string longField(20 * 1000 * 1000, 'z');

INSTANTIATE_TEST_SUITE_P(
    Files, DelimitedTextCorpus,
    ::testing::Values(
        loads("DoubledQuotesAreOneQuote", "\"say \"\"hi\"\"\",v\n1,2\n", {"say \"hi\"", "v"}, {{1}, {2}}),
        loads("QuotedLineEndStaysInTheName", "\"two\nlines\",v\n1,2\n3,4\n", {"two\nlines", "v"},
              {{1, 3}, {2, 4}}),
        loads("QuotedLastFieldWithoutLineEnd", "x,y\n1,\"2\"", {"x", "y"}, {{1}, {2}}),
        loads("QuotedNumbers", "x,y\n\"1.5\",\" -2 \"\n", {"x", "y"}, {{1.5}, {-2}}),
        loads("CommentLinesAnywhereBetweenRows",
              "# logger 7, \"raw\"\nx,y\n# calibrated\n1,2\n   # indented\n3,4\n", {"x", "y"},
              {{1, 3}, {2, 4}}),
        loads("CarriageReturnLineEnds", "x,y\r1,2\r# note\r3,4\r", {"x", "y"}, {{1, 3}, {2, 4}}),
        loads("WindowsLineEndsAndBlankLines", "x,y\r\n1,2\r\n\r\n\r\n3,4\r\n", {"x", "y"}, {{1, 3}, {2, 4}}),
        loads("MixedLineEndsAndNoLastLineEnd", "x,y\n1,2\r\n3,4\r5,6", {"x", "y"}, {{1, 3, 5}, {2, 4, 6}}),
        loads("FirstRowOfNumbersIsData", "1,2\n3,NA\n", {"V1", "V2"}, {{1, 3}, {2, nan}}),
        loads("Utf8ByteOrderMarkIsSkipped", "\xEF\xBB\xBFx,\"y\"\r\n1.5,-2e3\r\n+3,\r\n", {"x", "y"},
              {{1.5, 3}, {-2000, nan}}),
        loads("TabsAndALineOfOnlyATab", "t\tv\n1\t2\n\t\n", {"t", "v"}, {{1, nan}, {2, nan}}),
        loads("IndentedCommentBetweenBlankSeparatedRows", "p q\n1 2\n   # note\n3 4\n", {"p", "q"},
              {{1, 3}, {2, 4}}),
        loads("RunsOfBlanksAndTabs", "  p   q\n  1e-300 \t  7\n", {"p", "q"}, {{1e-300}, {7}}),
        loads("SmallestNonzeroAndWrittenInfinity", "x,y\n4.9e-324,-inf\n", {"x", "y"}, {{4.9e-324}, {-inf}}),
        loads("EmptyNameBecomesItsColumnNumber", "x,,z\n1,2,3\n", {"x", "V2", "z"}, {{1}, {2}, {3}}),
        refuses("Utf16WithByteOrderMark", QByteArray("\xFF\xFEx\0,\0y\0\n\0001\0,\0002\0\n\0", 18),
                "t.csv is UTF-16 text; save it as UTF-8 and load it again."),
        refuses("Utf16WithoutByteOrderMark", QByteArray("\0x\0,\0y\0\n\0001\0,\0002\0\n", 16),
                "t.csv is UTF-16 text; save it as UTF-8 and load it again."),
        refuses("NumberTooLarge", "x,y,z\n1,2,3\n4,5,1e999\n",
                "t.csv, line 3, column 3: 1e999 is too large for a number (the largest is about 1.8e308)."),
        refuses("NumberTooSmall", "x,y\n1e-400,2\n",
                "t.csv, line 2, column 1: 1e-400 is too small for a number (the smallest above 0 is about "
                "4.9e-324)."),
        refuses("TwoSigns", "x,y\n1,+-1\n", "t.csv, line 2, column 2: \"+-1\" is not a number."),
        refuses("LongBadFieldIsQuotedShort", QByteArray::fromStdString("x\n" + longField + "\n"),
                "t.csv, line 2, column 1: \"" + longField.substr(0, 40) + "...\" is not a number."),
        refuses("LineNumbersCountQuotedLineEnds", "\"a\nb\",v\n1,x\n",
                "t.csv, line 3, column 2: \"x\" is not a number."),
        refuses("UnclosedQuote", "x,y\n1,\"2\n3,4\n",
                "t.csv, line 2: a quoted field never ends; its closing quote is missing."),
        refuses("ShortRow", "x,y,z\n1,2,3\n4,5\n",
                "t.csv, line 3: short row, 2 fields where the first row has 3."),
        refuses("LongRow", "x,y\n1,2,3\n",
                "t.csv, line 2: long row, more than the 2 fields of the first row."),
        refuses("OnlyCommentsAndBlankLines", "# nothing yet\n\n  \n", "t.csv: the file holds no table."),
        refuses("HeaderWithoutRows", "x,y\n", "t.csv: no data rows below the header row.")),
    [](const ::testing::TestParamInfo<CorpusFile>& info) { return std::string(info.param.name); });

ZoneValues read(const std::string& path, const DelimitedTextOptions& options) {
    return qelmar::standin::readDelimitedText(path, options);
}

TEST_F(DelimitedTextTest, OptionsChooseTheHeaderCommentMarkerAndMissingValues) {
    DelimitedTextOptions options;
    options.header = DelimitedTextHeader::None;
    options.commentMarker = '%';
    options.missingValues = {"n/a", "-999"};
    const auto table = read(write("t.csv", "% made by hand\n-999,n/a\n1,2\n"), options);
    EXPECT_EQ(table.variableNames, (Names{"V1", "V2"}));
    EXPECT_TRUE(sameColumns(table.values, {{nan, 1}, {nan, 2}}));
    EXPECT_THROW(read(write("t.csv", "1,2\n# 3,4\n"), options), std::runtime_error)
        << "# starts no comment once another marker is chosen";
    EXPECT_THROW(read(write("t.csv", "1,NA\n"), options), std::runtime_error)
        << "NA is no missing value once the tokens are replaced";

    options.header = DelimitedTextHeader::Names;
    options.commentMarker = 0;
    const auto names = read(write("t.csv", "1990,2000\n-999,n/a\n"), options);
    EXPECT_EQ(names.variableNames, (Names{"1990", "2000"}));
    EXPECT_TRUE(sameColumns(names.values, {{nan}, {nan}}));

    options = {};
    options.separator = ',';
    options.decimalSeparator = ',';
    try {
        read(write("t.csv", "x,y\n1,2\n"), options);
        ADD_FAILURE() << "the same character cannot separate fields and decimals";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "t.csv: the separator and the decimal separator are the same character.");
    }
}

// A named pipe nobody writes into would block the loader forever when opened; it and a folder
// are refused by name before anything opens them, by both file loaders.
TEST_F(DelimitedTextTest, PipesAndFoldersAreRefusedWithoutOpeningThem) {
    const std::string fifo = path("live.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& file : {fifo, folder.path().toStdString()}) {
        EXPECT_FALSE(load({file}));
        EXPECT_EQ(qelmar::standin::lastErrorMessage(),
                  file + " is not a regular file; choose a data file, not a folder, pipe or device.");
        EXPECT_FALSE(
            qelmar::standin::makeDataFileLoader()->load(nullptr, {file}, false, ReplaceAndRetainStyle));
        EXPECT_EQ(qelmar::standin::lastErrorMessage(),
                  file + " is not a regular file; choose a data file, not a folder, pipe or device.");
    }
    EXPECT_EQ(shown().contents.title, "old");
}

// A file that a log rotation cuts short while it is read: reading on stops at the new end
// instead of touching pages that are gone (which, with the file mapped, killed the process).
class FileCutShortAfterFirstRead : public QFile {
public:
    FileCutShortAfterFirstRead(const QString& name, qint64 cutTo)
        : QFile(name)
        , m_cutTo(cutTo) {}

protected:
    qint64 readData(char* data, qint64 size) override {
        const qint64 read = QFile::readData(data, std::min<qint64>(size, m_cutTo / 2));
        if (!m_cut) {
            m_cut = true;
            QFile::resize(fileName(), m_cutTo);
        }
        return read;
    }

private:
    qint64 m_cutTo;
    bool m_cut = false;
};

TEST_F(DelimitedTextTest, AFileCutShortWhileItIsReadLoadsTheRowsBeforeTheCut) {
    QByteArray text = "x,y\n";
    for (int row = 0; row < 200000; ++row)
        text += "1,2\n";
    const std::string csv = write("rotated.csv", text);
    const qint64 cutTo = 4 + 4 * 1000;
    FileCutShortAfterFirstRead file(QString::fromStdString(csv), cutTo);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const ZoneValues table = qelmar::standin::readDelimitedText(file, {}, "rotated.csv");
    EXPECT_EQ(table.values.at(0).size(), 1000u);
    EXPECT_EQ(table.values.at(1).size(), 1000u);
}

// Running out of memory while reading names the file and what was too large, and loads
// nothing; a bare "std::bad_alloc" tells a user nothing.
TEST_F(DelimitedTextTest, RunningOutOfMemoryNamesTheFileAndLoadsNothing) {
    const std::string good = write("good.csv", "x\n1\n");
    const std::string huge = path("huge.csv");
    const auto read = [&](const std::string& file) {
        if (file == huge)
            throw std::bad_alloc();
        return qelmar::standin::readDelimitedText(file, {});
    };
    EXPECT_FALSE(qelmar::standin::readAndLoad({good, huge}, read, ReplaceAndRetainStyle));
    EXPECT_EQ(qelmar::standin::lastErrorMessage(),
              huge + " is too large to load: its values need more memory than is free.");
    EXPECT_EQ(shown().contents.title, "old");
}

// A table of numbers written with any separator, line end, quoting and missing-value token reads
// back exactly: every double, and NaN where a value is missing.
RC_GTEST_PROP(DelimitedTextProperty, WrittenTablesReadBackExactly, ()) {
    const auto columns = *rc::gen::inRange<std::size_t>(1, 6);
    const auto rows = *rc::gen::inRange<std::size_t>(1, 12);
    const char separator = *rc::gen::element(',', ';', '\t', ' ');
    const std::string lineEnd = *rc::gen::element<std::string>("\n", "\r\n", "\r");
    const auto number =
        rc::gen::suchThat(rc::gen::arbitrary<double>(), [](double v) { return std::isfinite(v); });

    std::string text;
    Names names;
    Columns values(columns);
    for (std::size_t column = 0; column < columns; ++column) {
        names.push_back("v" + std::to_string(column) + (separator == ' ' ? "" : " ,;"));
        text += (column ? std::string(1, separator) : "") + "\"" + names.back() + "\"";
    }
    for (std::size_t row = 0; row < rows; ++row) {
        text += lineEnd;
        for (std::size_t column = 0; column < columns; ++column) {
            if (column)
                text += separator;
            if (*rc::gen::inRange(0, 5) == 0) {
                // Blank-separated columns have no empty field (a run of blanks is one separator), and
                // an empty field alone on its line is a blank line.
                const bool emptyIsAField = separator != ' ' && columns > 1;
                text += *rc::gen::element<std::string>("NA", "NaN", "nan", "-", emptyIsAField ? "" : "NA");
                values[column].push_back(nan);
            } else {
                const double value = *number;
                char buffer[64];
                const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
                const bool quoted = *rc::gen::arbitrary<bool>();
                text += (quoted ? "\"" : "") + std::string(buffer, end) + (quoted ? "\"" : "");
                values[column].push_back(value);
            }
        }
    }
    const ZoneValues table =
        qelmar::standin::parseDelimitedText(text.data(), text.data() + text.size(), {}, "t.csv");
    RC_ASSERT(table.variableNames == names);
    RC_ASSERT(sameColumns(table.values, values));
}

} // namespace
