#include "KernelSaveCalls.h"
#include "common/FileBytes.h"
#include "host/KernelDataSets.h"
#include "host/KernelLayout.h"
#include "kernel/ApplicationModel.h"
#include "kernel/DataFileFormat.h"
#include "kernel/LastError.h"
#include "kernel/LayoutFileFormat.h"
#include "kernel/LayoutPackage.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "loaders/StandardDataLoaders.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <zip.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace qelmar::standin;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;

DataValues block(const std::string& title, std::vector<std::vector<double>> values,
                 std::vector<std::size_t> dimensions = {}) {
    return {title, {"x", "y"}, std::move(values), std::move(dimensions)};
}

// Two zones through three time steps; the second zone is ordered, 2 by 2.
DataFileContents twoZonesThreeSteps() {
    DataFileContents contents;
    contents.zones.push_back({block("z1 s1", {{1, 2, 3}, {4, 5, 6}}), block("z1 s2", {{1, 2, 3}, {7, 8, 9}}),
                              block("z1 s3", {{1, 2, 3}, {-1, -2, -3}})});
    contents.zones.push_back({block("z2 s1", {{0, 1, 0, 1}, {0, 0, 1, 1}}, {2, 2}),
                              block("z2 s2", {{0, 1, 0, 1}, {1, 1, 2, 2}}, {2, 2}),
                              block("z2 s3", {{0, 1, 0, 1}, {2, 2, 3, 3}}, {2, 2})});
    return contents;
}

void expectSameContents(const DataFileContents& actual, const DataFileContents& expected) {
    ASSERT_EQ(actual.zones.size(), expected.zones.size());
    for (std::size_t zone = 0; zone < expected.zones.size(); ++zone) {
        ASSERT_EQ(actual.zones[zone].size(), expected.zones[zone].size()) << "zone " << zone;
        for (std::size_t step = 0; step < expected.zones[zone].size(); ++step) {
            const DataValues& got = actual.zones[zone][step];
            const DataValues& want = expected.zones[zone][step];
            SCOPED_TRACE("zone " + std::to_string(zone) + " step " + std::to_string(step));
            EXPECT_EQ(got.title, want.title);
            EXPECT_EQ(got.variableNames, want.variableNames);
            EXPECT_EQ(got.values, want.values);
            EXPECT_EQ(got.dimensions, want.dimensions);
        }
    }
}

// The bytes of a data file with its checksum made to match again.
QByteArray withMatchingChecksum(QByteArray bytes) {
    const auto covered = static_cast<std::size_t>(bytes.size() - 4);
    qToLittleEndian<quint32>(crc32Of(bytes.constData(), covered), bytes.data() + covered);
    return bytes;
}

class DataSetFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        frame = app.addFrame(app.addPage("Page"), "Frame");
    }

    std::string path(const std::string& name) const {
        return QDir(folder.path()).filePath(QString::fromStdString(name)).toStdString();
    }
    std::string writeFile(const std::string& name, const DataFileContents& contents) const {
        EXPECT_NO_THROW(writeDataFile(path(name), contents));
        return path(name);
    }
    std::string writeFile(const std::string& name, const DataValues& values) const {
        DataFileContents contents;
        contents.zones.push_back({values});
        return writeFile(name, contents);
    }
    static bool load(const std::vector<std::string>& files,
                     qelmar::dataload::DataLoadOption option = qelmar::dataload::ReplaceAndRetainStyle) {
        return makeDataFileLoader()->load(nullptr, files, false, option);
    }
    const DataSet& shown() const { return *ApplicationModel::instance().frame(frame).dataSet; }

    QTemporaryDir folder;
    KernelTestControl kernel;
    ApplicationTestControl app;
    int frame = 0;
};

// Files loaded together are what loading them again gives, as long as nothing was fitted; an
// append makes a data set none of its files holds.
TEST_F(DataSetFilesTest, ALoadIsJournaledAgainstEveryFileUntilZonesAreAppendedOrFitted) {
    const std::string a = writeFile("a.plt", block("a", {{1}, {2}}));
    const std::string b = writeFile("b.plt", block("b", {{3}, {4}}));
    ASSERT_TRUE(load({a, b})) << lastErrorMessage();
    EXPECT_EQ(shown().dataFiles, (std::vector<std::string>{a, b}));
    EXPECT_TRUE(QelUtilDataSetJournalIsValid());

    const std::string c = writeFile("c.plt", block("c", {{5}, {6}}));
    ASSERT_TRUE(load({c}, qelmar::dataload::Append)) << lastErrorMessage();
    EXPECT_EQ(shown().zoneCount(), 3);
    EXPECT_EQ(shown().dataFiles, (std::vector<std::string>{a, b, c}));
    EXPECT_FALSE(QelUtilDataSetJournalIsValid());

    // Other names for the same variables are matched, which renames and reorders the values.
    const std::string swapped = writeFile("swapped.plt", {"s", {"Y", "X"}, {{7}, {8}}, {}});
    ASSERT_TRUE(load({a, swapped})) << lastErrorMessage();
    EXPECT_EQ(shown().laterZones[0].variableNames, (std::vector<std::string>{"x", "y"}));
    EXPECT_FALSE(QelUtilDataSetJournalIsValid());

    // A variable one file lacks is filled with NaN.
    const std::string lacking = writeFile("lacking.plt", {"l", {"x"}, {{9}}, {}});
    ASSERT_TRUE(load({a, lacking})) << lastErrorMessage();
    EXPECT_FALSE(QelUtilDataSetJournalIsValid());

    // The same file twice is two zones, and it is named twice so that a reload gives both.
    ASSERT_TRUE(load({a, a})) << lastErrorMessage();
    EXPECT_EQ(shown().dataFiles, (std::vector<std::string>{a, a}));
    EXPECT_TRUE(QelUtilDataSetJournalIsValid());
}

TEST_F(DataSetFilesTest, ALinkedLayoutNamesEveryFileOfADataSetAndOldLayoutsStillRead) {
    const std::string a = writeFile("a.plt", block("a", {{1}, {2}}));
    const std::string b = writeFile("b.plt", block("b", {{3}, {4}}));
    ASSERT_TRUE(load({a, b})) << lastErrorMessage();
    const std::string layoutFile = path("two.lay");
    ASSERT_TRUE(testsupport::saveLayout(layoutFile, 0)) << lastErrorMessage();
    const LayoutDocument layout = readLayoutFile(layoutFile);
    ASSERT_EQ(layout.pages.at(0).frames.size(), 1U);
    EXPECT_EQ(layout.pages[0].frames[0].dataFiles, (std::vector<std::string>{a, b}));

    // One Data line per frame, written before a frame could have several.
    const LayoutDocument old = decodeLayout("#!QELMAR LAYOUT 1\nPaths\trelative\nPage\tP\nFrame\t0\tF\n"
                                            "Data\tone.plt\nFrame\t1\tG\nEnd\n",
                                            "old.lay");
    ASSERT_EQ(old.pages.at(0).frames.size(), 2U);
    EXPECT_EQ(old.pages[0].frames[0].dataFiles, std::vector<std::string>{"one.plt"});
    EXPECT_TRUE(old.pages[0].frames[1].dataFiles.empty());
    EXPECT_THROW(
        decodeLayout("#!QELMAR LAYOUT 1\nPage\tP\nFrame\t0\tF\nPage\tQ\nData\tx.plt\nEnd\n", "bad.lay"),
        std::runtime_error);
}

// What a package holds is checked by the round trips; here, what other programs see of it.
TEST_F(DataSetFilesTest, APackagesEntriesAreReadOnlyForOthers) {
    ApplicationModel::instance().attachDataSet(frame, twoZonesThreeSteps(), false, {});
    const std::string package = path("whole.lpk");
    ASSERT_TRUE(testsupport::saveLayout(package, 1)) << lastErrorMessage();

    int error = 0;
    const std::unique_ptr<zip_t, int (*)(zip_t*)> archive(zip_open(package.c_str(), ZIP_RDONLY, &error),
                                                          zip_close);
    ASSERT_TRUE(archive) << error;
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    ASSERT_EQ(entries, 2);
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(entries); ++index) {
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        ASSERT_EQ(zip_file_get_external_attributes(archive.get(), index, 0, &system, &attributes), 0);
        EXPECT_EQ(system, ZIP_OPSYS_UNIX) << zip_get_name(archive.get(), index, 0);
        EXPECT_EQ(attributes >> 16, 0100644U) << zip_get_name(archive.get(), index, 0);
    }
}

// A file without points would replace the data with nothing; it is refused like an empty text file.
TEST_F(DataSetFilesTest, AFileWithoutPointsIsRefusedByNameAndChangesNothing) {
    const std::string a = writeFile("a.plt", block("a", {{1}, {2}}));
    ASSERT_TRUE(load({a}));
    const long id = shown().id;
    const std::string noPoints = writeFile("no-points.plt", block("empty", {{}, {}}));
    const std::string noVariables = writeFile("no-variables.plt", {"empty", {}, {}, {}});
    for (const auto option : {qelmar::dataload::ReplaceAndRetainStyle, qelmar::dataload::Append}) {
        EXPECT_FALSE(load({a, noPoints}, option));
        EXPECT_EQ(lastErrorMessage(), "no-points.plt holds no data points; nothing was loaded.");
        EXPECT_FALSE(load({noVariables}, option));
        EXPECT_EQ(lastErrorMessage(), "no-variables.plt holds no data points; nothing was loaded.");
    }
    EXPECT_EQ(shown().id, id);
    EXPECT_EQ(shown().zoneCount(), 1);
    EXPECT_EQ(shown().contents.values, (std::vector<std::vector<double>>{{1}, {2}}));
}

TEST_F(DataSetFilesTest, FilesWithOtherTimeStepsThanTheirCompanionsAreRefusedByName) {
    DataFileContents twoSteps;
    twoSteps.zones.push_back({block("a", {{1}, {2}}), block("a", {{1}, {3}})});
    const std::string a = writeFile("a.plt", twoSteps);
    const std::string b = writeFile("b.plt", block("b", {{3}, {4}}));
    EXPECT_FALSE(load({a, b}));
    EXPECT_NE(lastErrorMessage().find("b.plt has 1 time step but a.plt has 2"), std::string::npos)
        << lastErrorMessage();
    EXPECT_FALSE(ApplicationModel::instance().frame(frame).dataSet);

    ASSERT_TRUE(load({a, a})) << lastErrorMessage();
    EXPECT_EQ(shown().stepCount(), 2);
    EXPECT_EQ(shown().laterZoneSteps.at(0).at(0).values[1], std::vector<double>{3});
    EXPECT_FALSE(load({b}, qelmar::dataload::Append));
    EXPECT_NE(lastErrorMessage().find("b.plt has 1 time step but the data set has 2"), std::string::npos)
        << lastErrorMessage();
    EXPECT_EQ(shown().zoneCount(), 2);
}

TEST_F(DataSetFilesTest, StepsGivenToADataSetMakeItsFilesStale) {
    const std::string a = writeFile("a.plt", block("a", {{1}, {2}}));
    ASSERT_TRUE(load({a}));
    app.setLaterTimeSteps(frame, {{"a", {"x", "y"}, {{1}, {5}}}});
    EXPECT_FALSE(QelUtilDataSetJournalIsValid());
    ASSERT_TRUE(load({a, a}));
    EXPECT_THROW(app.setLaterTimeSteps(frame, {{"a", {"x", "y"}, {{1}, {5}}}}), std::invalid_argument);
}

// Counts are checked against the bytes that follow them before anything is allocated, so each
// of these fails with a reason instead of asking for gigabytes; the checksum is made to match so
// that the counts are really read.
TEST_F(DataSetFilesTest, DeclaredCountsBeyondTheFileAreRefusedWithAReason) {
    const QByteArray good = encodeDataFile(block("t", {{1, 2}, {3, 4}}, {2}));
    // magic 8, version 4, variables 4, names 2 * 5, zones 4, steps 4, title 5, rank 4, I 4, points 4
    constexpr qsizetype variablesAt = 12;
    constexpr qsizetype zonesAt = variablesAt + 4 + 10;
    constexpr qsizetype rankAt = zonesAt + 8 + 5;
    const struct {
        const char* name;
        qsizetype at;
        quint32 value;
        const char* reason;
    } damages[] = {
        {"variables", variablesAt, 0x80000000U, "declares 2147483648 variables"},
        {"zones", zonesAt, 0x80000000U, "declares 2147483648 zones and time steps"},
        {"steps", zonesAt + 4, 0x80000000U, "declares 2147483648 zones and time steps"},
        {"no zones", zonesAt, 0U, "no zone"},
        {"rank", rankAt, 0x80000000U, "declares 2147483648 dimensions"},
        {"dimension", rankAt + 4, 0x80000000U, "do not multiply"},
        {"points", rankAt + 8, 0x80000000U, "declares 2147483648 points"},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.name);
        QByteArray damaged = good;
        qToLittleEndian(damage.value, damaged.data() + damage.at);
        try {
            decodeDataFile(withMatchingChecksum(damaged), "damaged.plt");
            ADD_FAILURE() << "accepted";
        } catch (const std::runtime_error& refusal) {
            EXPECT_NE(std::string(refusal.what()).find(damage.reason), std::string::npos) << refusal.what();
            EXPECT_EQ(std::string(refusal.what()).rfind("damaged.plt is not a readable data file", 0), 0U);
        }
    }
}

TEST_F(DataSetFilesTest, VersionOneFilesStillReadAsOneZoneOfOneStep) {
    QByteArray bytes("QELDATA", 8);
    const auto uint32 = [&bytes](quint32 value) {
        char little[4];
        qToLittleEndian(value, little);
        bytes.append(little, 4);
    };
    const auto text = [&](const QByteArray& value) {
        uint32(static_cast<quint32>(value.size()));
        bytes.append(value);
    };
    uint32(1);
    text("old");
    uint32(1);
    uint32(2);
    text("v");
    for (const double value : {0.5, -2.0}) {
        char little[8];
        qToLittleEndian(qFromUnaligned<quint64>(&value), little);
        bytes.append(little, 8);
    }
    uint32(0);
    const DataFileContents read = decodeDataFile(withMatchingChecksum(bytes), "old.plt");
    DataFileContents expected;
    expected.zones.push_back({{"old", {"v"}, {{0.5, -2.0}}, {}}});
    expectSameContents(read, expected);
}

TEST_F(DataSetFilesTest, ContentsThatAreNotOneGridOfZonesAndStepsAreNotWritten) {
    DataFileContents ragged = twoZonesThreeSteps();
    ragged.zones[1].pop_back();
    EXPECT_THROW(encodeDataFile(ragged), std::invalid_argument);
    DataFileContents renamed = twoZonesThreeSteps();
    renamed.zones[1][2].variableNames[0] = "X";
    EXPECT_THROW(encodeDataFile(renamed), std::invalid_argument);
    DataFileContents misshapen = twoZonesThreeSteps();
    misshapen.zones[1][0].dimensions = {3, 2};
    EXPECT_THROW(encodeDataFile(misshapen), std::invalid_argument);
    EXPECT_THROW(encodeDataFile(DataFileContents{}), std::invalid_argument);
    EXPECT_THROW(ApplicationModel::instance().attachDataSet(frame, ragged, false, {}), std::invalid_argument);
}

} // namespace
