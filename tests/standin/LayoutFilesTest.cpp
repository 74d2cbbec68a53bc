#include "common/FileBytes.h"
#include "common/ScopedFileSizeLimit.h"
#include "host/ArgList.h"
#include "host/KernelDataSets.h"
#include "host/KernelErrors.h"
#include "host/KernelLayout.h"
#include "host/KernelString.h"
#include "kernel/DataFileFormat.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/ReadOnlyFolder.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>
#include <functional>
#include <string>

namespace {

using qelmar::sdk::KernelString;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::DataSetContents;
using qelmar::standin::testing::KernelTestControl;
using qelmar::standin::testing::LayoutRecord;
using qelmar::standin::testing::ReadOnlyFolder;
using qelmar::toolbox::ArgList;
using testsupport::contentsOf;
using testsupport::fileExists;
using testsupport::writeBytes;

const DataSetContents sample{"Run 7 \xc2\xb5m", {"x", "y"}, {{0.0, -1.5, 1e-300}, {2.0, 3.25, -0.0}}};

std::string lastError() {
    const KernelString message(QelUtilGetLastErrorMessage());
    return message.isNull() ? "<null>" : message.str();
}

// Every proper prefix of the file (all but the last `tolerated` bytes shorter) must be refused;
// of a large file, prefixes at a few hundred evenly spread lengths.
void expectEveryTruncationRefused(const std::string& path, const std::function<void()>& read,
                                  int tolerated = 0) {
    const QByteArray whole = contentsOf(path);
    const qsizetype step = std::max<qsizetype>(1, whole.size() / 300);
    for (qsizetype length = 0; length < whole.size() - tolerated; length += step) {
        writeBytes(path, whole.left(length));
        EXPECT_THROW(read(), std::runtime_error) << "accepted a file cut to " << length << " bytes";
    }
    writeBytes(path, whole);
}

class LayoutFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir(folder.path()).mkpath("data"));
        const int first = app.addPage("First page");
        plain = app.addFrame(first, "No data");
        unjournaled = app.addFrame(first, "Generated\tdata");
        app.attachDataSet(unjournaled, sample, false);
        const int second = app.addPage("Second");
        linked = app.addFrame(second, "Loaded", 1);
        app.attachDataSet(linked, sample, false);
        app.setCurrentFrame(linked);
        ASSERT_TRUE(writeData(path("data/loaded.plt")));
    }

    std::string path(const std::string& name) const {
        return QDir(folder.path()).filePath(QString::fromStdString(name)).toStdString();
    }

    static bool writeData(const std::string& fileName) {
        ArgList args;
        args.appendString("FName", fileName);
        return QelUtilDataSetWriteX(args.getRef());
    }

    static bool save(const std::string& fileName, long includeData, const char* option = nullptr,
                     long value = 1) {
        ArgList args;
        args.appendString("FName", fileName);
        args.appendInt("IncludeData", includeData);
        if (option)
            args.appendInt(option, value);
        return QelUtilSaveLayoutX(args.getRef());
    }

    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const QString& name : QDir(folder.path()).entryList(QDir::Files))
            names.push_back(name.toStdString());
        return names;
    }

    QTemporaryDir folder;
    KernelTestControl kernel;
    ApplicationTestControl app;
    int plain = 0, unjournaled = 0, linked = 0;
};

TEST_F(LayoutFilesTest, WrittenDataReadsBackAndTheDataSetNowLoadsFromIt) {
    app.setCurrentFrame(unjournaled);
    // A data file holds every time step, whichever step is shown.
    DataSetContents later = sample;
    later.values[1][0] += 1.0;
    app.setLaterTimeSteps(unjournaled, {later});
    app.setCurrentTimeStep(1);
    app.setLayoutDirty(false);
    const std::string file = path("generated.plt");
    ASSERT_TRUE(writeData(file)) << lastError();
    EXPECT_EQ(lastError(), "");
    EXPECT_TRUE(app.dataSetJournalIsValid(unjournaled));
    EXPECT_TRUE(QelUtilDataSetJournalIsValid());
    EXPECT_EQ(app.dataSetFile(unjournaled), file);
    EXPECT_FALSE(QelUtilQueryIsLayoutDirty());

    const DataSetContents read = ApplicationTestControl::readDataFile(file);
    EXPECT_EQ(read.title, sample.title);
    EXPECT_EQ(read.variableNames, sample.variableNames);
    EXPECT_EQ(read.values, sample.values);
    EXPECT_TRUE(std::signbit(read.values[1][2]));
    const auto steps = qelmar::standin::readDataFile(file).zones.at(0);
    ASSERT_EQ(steps.size(), 2U);
    EXPECT_EQ(steps[1].values, later.values);
}

TEST_F(LayoutFilesTest, DataFileReaderRefusesTruncatedDamagedAndForeignFiles) {
    const std::string file = path("data/loaded.plt");
    expectEveryTruncationRefused(file, [&] { ApplicationTestControl::readDataFile(file); });

    QByteArray damaged = contentsOf(file);
    damaged[30] = static_cast<char>(damaged[30] ^ 0x10);
    writeBytes(file, damaged);
    EXPECT_THROW(ApplicationTestControl::readDataFile(file), std::runtime_error);
    writeBytes(file, "#!QELMAR LAYOUT 1\n");
    EXPECT_THROW(ApplicationTestControl::readDataFile(file), std::runtime_error);
    EXPECT_THROW(ApplicationTestControl::readDataFile(path("missing.plt")), std::runtime_error);
    // Variables of different lengths cannot be written at all.
    EXPECT_THROW(qelmar::standin::encodeDataFile({"t", {"a", "b"}, {{1.0}, {}}, {}}), std::invalid_argument);
}

TEST_F(LayoutFilesTest, DataSetWriteFailsWithAReasonAndLeavesTheJournalAlone) {
    app.setCurrentFrame(plain);
    EXPECT_FALSE(writeData(path("none.plt")));
    EXPECT_NE(lastError().find("no data set"), std::string::npos) << lastError();

    app.setCurrentFrame(unjournaled);
    ArgList noName;
    EXPECT_FALSE(QelUtilDataSetWriteX(noName.getRef()));
    EXPECT_NE(lastError().find("No file name"), std::string::npos) << lastError();

    const std::string underAFile = path("data/loaded.plt") + "/x.plt";
    EXPECT_FALSE(writeData(underAFile));
    EXPECT_EQ(lastError(), "Cannot write " + underAFile + ": Not a directory");
    EXPECT_FALSE(app.dataSetJournalIsValid(unjournaled));

    kernel.failCall("QelUtilDataSetWriteX");
    EXPECT_FALSE(writeData(path("switched-off.plt")));
    EXPECT_EQ(lastError(), "");
    EXPECT_FALSE(fileExists(path("switched-off.plt")));
}

TEST_F(LayoutFilesTest, LinkedLayoutRefersToDataFilesRelativelyOrAbsolutely) {
    const std::string relativeFile = path("relative.lay");
    ASSERT_TRUE(save(relativeFile, 0, "UseRelativePaths")) << lastError();
    const LayoutRecord relative = ApplicationTestControl::readLayoutFile(relativeFile);
    EXPECT_TRUE(relative.relativePaths);
    ASSERT_EQ(relative.pages.size(), 2U);
    EXPECT_EQ(relative.pages[0].name, "First page");
    ASSERT_EQ(relative.pages[0].frames.size(), 2U);
    // Stack order from the top; a data set without a file of its own has no reference.
    EXPECT_EQ(relative.pages[0].frames[0].name, "Generated\tdata");
    EXPECT_EQ(relative.pages[0].frames[0].dataFile, "");
    EXPECT_EQ(relative.pages[0].frames[1].name, "No data");
    ASSERT_EQ(relative.pages[1].frames.size(), 1U);
    EXPECT_EQ(relative.pages[1].frames[0].plotType, 1);
    EXPECT_EQ(relative.pages[1].frames[0].dataFile, "data/loaded.plt");

    const std::string absoluteFile = path("data/absolute.lay");
    ASSERT_TRUE(save(absoluteFile, 0)) << lastError();
    const LayoutRecord absolute = ApplicationTestControl::readLayoutFile(absoluteFile);
    EXPECT_FALSE(absolute.relativePaths);
    EXPECT_EQ(absolute.pages[1].frames[0].dataFile, path("data/loaded.plt"));

    EXPECT_EQ(KernelString(QelUtilGetCurLayoutFName()).str(), absoluteFile);
    EXPECT_FALSE(QelUtilQueryIsLayoutDirty());

    // Changed since it was loaded: the file no longer holds this data set.
    app.changeDataSetWithoutJournal(linked);
    ASSERT_TRUE(save(absoluteFile, 0));
    EXPECT_EQ(ApplicationTestControl::readLayoutFile(absoluteFile).pages[1].frames[0].dataFile, "");
}

TEST_F(LayoutFilesTest, LayoutReaderRefusesTruncatedLayouts) {
    const std::string file = path("cut.lay");
    ASSERT_TRUE(save(file, 0));
    // Only the final line feed may go missing.
    expectEveryTruncationRefused(
        file, [&] { ApplicationTestControl::readLayoutFile(file); }, 1);
    writeBytes(file, contentsOf(file) + "Page\tafter the end\n");
    EXPECT_THROW(ApplicationTestControl::readLayoutFile(file), std::runtime_error);
}

TEST_F(LayoutFilesTest, PackageCarriesLayoutAndEveryDataSetAndAPreviewOnlyWhenAsked) {
    const std::string file = path("all.lpk");
    ASSERT_TRUE(save(file, 1)) << lastError();
    EXPECT_EQ(ApplicationTestControl::packageEntries(file),
              (std::vector<std::string>{"layout.lay", "data/1.plt", "data/2.plt"}));
    const LayoutRecord layout = ApplicationTestControl::readPackagedLayout(file);
    EXPECT_EQ(layout.pages[0].frames[0].dataFile, "data/1.plt");
    EXPECT_EQ(layout.pages[0].frames[1].dataFile, "");
    EXPECT_EQ(layout.pages[1].frames[0].dataFile, "data/2.plt");
    const QByteArray data =
        QByteArray::fromStdString(ApplicationTestControl::packageEntry(file, "data/1.plt"));
    EXPECT_EQ(qelmar::standin::decodeDataFile(data, "entry").first().values, sample.values);
    EXPECT_THROW(ApplicationTestControl::packageEntry(file, "preview.png"), std::runtime_error);

    ASSERT_TRUE(save(file, 1, "IncludePreview")) << lastError();
    const std::string png = ApplicationTestControl::packageEntry(file, "preview.png");
    const QImage preview =
        QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
    EXPECT_FALSE(preview.isNull());
    EXPECT_LE(preview.width(), 512);

    expectEveryTruncationRefused(file, [&] { ApplicationTestControl::packageEntries(file); });
}

TEST_F(LayoutFilesTest, OptionsThatDoNotFitAreRefusedByName) {
    struct Case {
        bool withName;
        std::vector<std::pair<const char*, long>> options;
        std::string named;
        const char* includeDataAsText = nullptr;
    };
    const std::string file = path("refused.lay");
    const Case cases[] = {
        {false, {{"IncludeData", 0}}, "FName"},
        {true, {}, "IncludeData"},
        {true, {{"IncludeData", 1}, {"IncludePreview", 1}, {"UseRelativePaths", 0}}, "together"},
        {true, {{"IncludeData", 0}, {"IncludePreview", 0}}, "IncludePreview"},
        {true, {{"IncludeData", 1}, {"UseRelativePaths", 1}}, "UseRelativePaths"},
        {true, {}, "IncludeData", "1"},
        {true, {{"IncludeData", 0}, {"Compress", 1}}, "Compress"},
    };
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        const Case& refused = cases[index];
        ArgList args;
        if (refused.withName)
            args.appendString("FName", file);
        if (refused.includeDataAsText)
            args.appendString("IncludeData", refused.includeDataAsText);
        for (const auto& [name, value] : refused.options)
            args.appendInt(name, value);
        EXPECT_FALSE(QelUtilSaveLayoutX(args.getRef())) << "case " << index;
        EXPECT_NE(lastError().find(refused.named), std::string::npos)
            << "case " << index << ": " << lastError();
    }
    EXPECT_FALSE(fileExists(file));
    EXPECT_TRUE(QelUtilQueryIsLayoutDirty());
    EXPECT_FALSE(QelUtilSaveLayoutX(nullptr));
}

TEST_F(LayoutFilesTest, AnInterruptedSaveKeepsTheEarlierFileAndTheLayoutDirty) {
    for (const long includeData : {0L, 1L}) {
        const std::string file = path(includeData ? "kept.lpk" : "kept.lay");
        ASSERT_TRUE(save(file, includeData));
        const QByteArray before = contentsOf(file);
        app.addPage("Added later");
        const auto entriesBefore = folderEntries();

        app.failWritesAfterBytes(20);
        EXPECT_FALSE(save(path(includeData ? "other.lpk" : "other.lay"), includeData));
        EXPECT_FALSE(save(file, includeData));
        app.failWritesAfterBytes(-1);
        EXPECT_EQ(lastError(), "Cannot write " + file + ": No space left on device");
        EXPECT_EQ(contentsOf(file), before);
        EXPECT_EQ(folderEntries(), entriesBefore) << "a partial or temporary file was left behind";
        EXPECT_TRUE(QelUtilQueryIsLayoutDirty());

        ASSERT_TRUE(save(file, includeData));
        EXPECT_EQ(lastError(), "");
        EXPECT_NE(contentsOf(file), before);
    }
}

TEST_F(LayoutFilesTest, AGenuinelyFailingWriteKeepsTheEarlierFile) {
    const std::string file = path("genuine.lay");
    ASSERT_TRUE(save(file, 0));
    const QByteArray before = contentsOf(file);
    app.addPage("Added later");
    {
        const testsupport::ScopedFileSizeLimit limit(16);
        EXPECT_FALSE(save(file, 0));
    }
    EXPECT_EQ(lastError().rfind("Cannot write " + file + ": ", 0), 0U) << lastError();
    EXPECT_EQ(contentsOf(file), before);

    const std::string underAFile = file + "/inside.lay";
    EXPECT_FALSE(save(underAFile, 0));
    EXPECT_EQ(lastError(), "Cannot write " + underAFile + ": Not a directory");
}

TEST_F(LayoutFilesTest, AWriteOntoAReadOnlyFileSystemBlamesTheFileSystemNotTheFile) {
    const ReadOnlyFolder medium(QString::fromStdString(path("medium")));
    if (!medium.isAvailable())
        GTEST_SKIP() << medium.problem();
    const std::string folderName = medium.path().toStdString();
    const std::string existing = medium.existingFile().toStdString();
    const std::string reason = ": the folder " + folderName + " cannot be written (Read-only file system)";
    for (const std::string& file : {existing, folderName + "/new.lay", folderName + "/new.lpk"}) {
        EXPECT_FALSE(save(file, file.back() == 'k' ? 1 : 0));
        EXPECT_EQ(lastError(), "Cannot write " + file + reason);
    }
    app.setCurrentFrame(unjournaled);
    EXPECT_FALSE(writeData(folderName + "/new.plt"));
    EXPECT_EQ(lastError(), "Cannot write " + folderName + "/new.plt" + reason);
    EXPECT_EQ(contentsOf(existing), "before\n");
}

TEST_F(LayoutFilesTest, SwitchedOffSaveWritesNothingAndClearsAnOldReason) {
    EXPECT_FALSE(save("", 0));
    EXPECT_NE(lastError(), "");
    kernel.failCall("QelUtilSaveLayoutX", qelmar::standin::FailMode::Once);
    EXPECT_FALSE(save(path("off.lay"), 0));
    EXPECT_EQ(lastError(), "");
    EXPECT_FALSE(fileExists(path("off.lay")));
    EXPECT_TRUE(save(path("off.lay"), 0));
}

} // namespace
