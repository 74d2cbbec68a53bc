// Loads of many files through the real loaders: progress, cancel, and what happens to the files
// that cannot be read.

#include "common/StationFiles.h"
#include "host/DataLoad.h"
#include "host/KernelDataLoadProgress.h"
#include "host/KernelErrors.h"
#include "host/KernelString.h"
#include "kernel/ApplicationModel.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "loaders/DelimitedText.h"
#include "loaders/LoaderSupport.h"
#include "loaders/StandardDataLoaders.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace qelmar::dataload;
using qelmar::standin::ApplicationModel;
using qelmar::standin::DataSet;
using qelmar::standin::DataValues;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;

std::string lastError() {
    return qelmar::sdk::KernelString(QelUtilGetLastErrorMessage()).str();
}

std::string summary() {
    return qelmar::sdk::KernelString(QelUtilDataLoadLastSummary()).str();
}

// Every value of every zone and step, NaN-safe, for comparing a data set before and after.
std::vector<std::string> everyValue(const DataSet& dataSet) {
    std::vector<std::string> values;
    const auto add = [&values](const DataValues& step) {
        values.push_back(step.title);
        for (std::size_t variable = 0; variable < step.values.size(); ++variable) {
            values.push_back(step.variableNames[variable]);
            for (const double value : step.values[variable])
                values.push_back(std::to_string(value));
        }
    };
    add(dataSet.contents);
    for (const DataValues& step : dataSet.laterSteps)
        add(step);
    for (const DataValues& zone : dataSet.laterZones)
        add(zone);
    return values;
}

// What the test's host says to the kernel's progress and bad-file questions, and what it heard.
struct Host {
    std::function<bool(const DataLoadProgress_s&)> onProgress = [](const DataLoadProgress_s&) {
        return true;
    };
    std::vector<DataLoadBadFileAnswer_e> answers;
    std::vector<std::string> askedAbout;
    std::vector<std::string> askedWhy;
    int finished = 0;
    long long lastBytesDone = 0;
    bool bytesNeverDecreased = true;

    static bool progress(const DataLoadProgress_s* report, void* host) {
        auto& self = *static_cast<Host*>(host);
        if (report->phase == DataLoadPhase_Finished) {
            ++self.finished;
            self.lastBytesDone = 0;
            return true;
        }
        self.bytesNeverDecreased = self.bytesNeverDecreased && report->bytesDone >= self.lastBytesDone &&
                                   report->bytesDone <= report->bytesTotal;
        self.lastBytesDone = report->bytesDone;
        return self.onProgress(*report);
    }
    static DataLoadBadFileAnswer_e badFile(const char* file, const char* reason, void* host) {
        auto& self = *static_cast<Host*>(host);
        self.askedAbout.push_back(file);
        self.askedWhy.push_back(reason);
        if (self.answers.empty())
            return DataLoadBadFile_LoadNothing;
        const DataLoadBadFileAnswer_e answer = self.answers.front();
        self.answers.erase(self.answers.begin());
        return answer;
    }
};

class ManyFilesLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        frame = app.addFrame(app.addPage("Page"), "Frame");
        app.attachDataSet(frame, {"old", {"x", "y"}, {{1.0, 2.0}, {3.0, 4.0}}}, true);
        QelUtilDataLoadSetProgressCallback(Host::progress, &host);
        QelUtilDataLoadSetBadFileCallback(Host::badFile, &host);
    }
    // The registrations are the application's wiring and outlive a kernel reset.
    void TearDown() override {
        QelUtilDataLoadSetProgressCallback(nullptr, nullptr);
        QelUtilDataLoadSetBadFileCallback(nullptr, nullptr);
    }

    // Through the Delimited Text loader's whole path, as the load-data dialog starts it.
    static bool load(const std::vector<std::string>& files) {
        return qelmar::standin::makeDelimitedTextLoader()->load(nullptr, files, false, ReplaceAndRetainStyle);
    }
    // The same path, remembering every file the reader opened.
    bool loadRecordingOpened(const std::vector<std::string>& files) {
        return qelmar::standin::readAndLoad(
            files,
            [this](const std::string& file) {
                opened.push_back(file);
                return qelmar::standin::readDelimitedText(file, {});
            },
            ReplaceAndRetainStyle);
    }
    const DataSet& shown() const { return *ApplicationModel::instance().frame(frame).dataSet; }

    QTemporaryDir folder;
    KernelTestControl kernel;
    ApplicationTestControl app;
    Host host;
    std::vector<std::string> opened;
    int frame = 0;
};

// The user cancels while file 50 of 100 is about to be read: nothing of the 49 before it
// arrives, file 50 and the ones after it are never opened, and a cancel is no failure. The next
// load goes ahead as if nothing had happened.
TEST_F(ManyFilesLoadTest, CancelAtFileFiftyChangesNothingOpensNoLaterFileAndTheNextLoadWorks) {
    const std::vector<std::string> files = testsupport::writeStations(folder.path(), 100);
    const std::vector<std::string> before = everyValue(shown());
    host.onProgress = [](const DataLoadProgress_s& progress) {
        return !(progress.phase == DataLoadPhase_Reading && progress.filesDone == 49 &&
                 progress.file[0] != 0);
    };

    EXPECT_FALSE(loadRecordingOpened(files));
    EXPECT_EQ(lastError(), "");
    EXPECT_EQ(everyValue(shown()), before);
    EXPECT_EQ(opened, std::vector<std::string>(files.begin(), files.begin() + 49));
    EXPECT_EQ(host.finished, 1);
    EXPECT_TRUE(host.askedAbout.empty());
    EXPECT_EQ(summary(), "");
    ASSERT_EQ(QelUtilDataLoadLastFileCount(), 100);
    EXPECT_EQ(QelUtilDataLoadLastFileOutcome(0), DataLoadFile_NotLoaded);

    host.onProgress = [](const DataLoadProgress_s&) { return true; };
    EXPECT_TRUE(load(files)) << lastError();
    EXPECT_EQ(shown().zoneCount(), 100);
    EXPECT_EQ(summary(), "Loaded 100 files");
    EXPECT_EQ(host.finished, 2);
    EXPECT_TRUE(host.bytesNeverDecreased);
}

// A file of several megabytes reports its bytes as it is read, and a cancel in the middle of it
// stops the load there.
TEST_F(ManyFilesLoadTest, ALargeFileReportsItsBytesAndCancelsInTheMiddle) {
    std::vector<std::string> files = testsupport::writeStations(folder.path(), 2, {}, 150000);
    std::vector<long long> bytesOfFirst;
    host.onProgress = [&bytesOfFirst](const DataLoadProgress_s& progress) {
        if (progress.filesDone == 0 && progress.file[0] != 0)
            bytesOfFirst.push_back(progress.bytesDone);
        return bytesOfFirst.size() < 3;
    };
    const std::vector<std::string> before = everyValue(shown());

    EXPECT_FALSE(loadRecordingOpened(files));
    EXPECT_EQ(lastError(), "");
    EXPECT_EQ(everyValue(shown()), before);
    EXPECT_EQ(opened.size(), 1u);
    ASSERT_EQ(bytesOfFirst.size(), 3u);
    EXPECT_EQ(bytesOfFirst[0], 0);
    EXPECT_GT(bytesOfFirst[2], bytesOfFirst[1]);
}

// One corrupt station among 100: skipping it loads the 99 others, and the summary names it with
// the reader's reason.
TEST_F(ManyFilesLoadTest, SkipFileLoadsTheOthersAndTheSummaryNamesTheBadFileAndWhy) {
    const std::vector<std::string> files = testsupport::writeStations(folder.path(), 100, {17});
    host.answers = {DataLoadBadFile_Skip};

    EXPECT_TRUE(load(files)) << lastError();
    EXPECT_EQ(lastError(), "");
    EXPECT_EQ(shown().zoneCount(), 99);
    ASSERT_EQ(host.askedAbout, std::vector<std::string>{files[16]});
    const std::string why = "station-017.csv, line 12, column 2: \"warm\" is not a number.";
    EXPECT_EQ(host.askedWhy.front(), why);
    EXPECT_EQ(summary(), "Loaded 99 of 100 files; skipped " + why);
    ASSERT_EQ(QelUtilDataLoadLastFileCount(), 100);
    EXPECT_EQ(QelUtilDataLoadLastFileOutcome(16), DataLoadFile_Skipped);
    EXPECT_EQ(QelUtilDataLoadLastFileOutcome(17), DataLoadFile_Loaded);
    EXPECT_EQ(qelmar::sdk::KernelString(QelUtilDataLoadLastFileReason(16)).str(), why);
    EXPECT_EQ(qelmar::sdk::KernelString(QelUtilDataLoadLastFilePath(16)).str(), files[16]);
    // Station 18 became the 17th zone: the skipped file left nothing behind.
    EXPECT_EQ(shown().laterZones[15].values[2].front(), 1018.0);
}

TEST_F(ManyFilesLoadTest, LoadNothingChangesNothingAndLeavesNoError) {
    const std::vector<std::string> files = testsupport::writeStations(folder.path(), 100, {17, 60});
    const std::vector<std::string> before = everyValue(shown());
    host.answers = {DataLoadBadFile_LoadNothing};

    EXPECT_FALSE(load(files));
    EXPECT_EQ(lastError(), "");
    EXPECT_EQ(everyValue(shown()), before);
    EXPECT_EQ(host.askedAbout.size(), 1u);
    EXPECT_EQ(QelUtilDataLoadLastFileOutcome(0), DataLoadFile_NotLoaded);
    EXPECT_EQ(host.finished, 1);
}

// "Skip All Bad Files" is asked once however many follow; more than three skipped files are
// summed up.
TEST_F(ManyFilesLoadTest, SkipAllAsksOnceAndTheSummaryCountsWhatItDoesNotName) {
    const std::vector<std::string> files = testsupport::writeStations(folder.path(), 100, {5, 40, 77});
    host.answers = {DataLoadBadFile_SkipAll};
    EXPECT_TRUE(load(files)) << lastError();
    EXPECT_EQ(host.askedAbout.size(), 1u);
    EXPECT_EQ(shown().zoneCount(), 97);
    EXPECT_EQ(summary(), "Loaded 97 of 100 files; skipped "
                         "station-005.csv, line 12, column 2: \"warm\" is not a number.; "
                         "station-040.csv, line 12, column 2: \"warm\" is not a number.; "
                         "station-077.csv, line 12, column 2: \"warm\" is not a number.");

    const std::vector<std::string> more = testsupport::writeStations(folder.path(), 10, {1, 2, 3, 4, 5});
    host.answers = {DataLoadBadFile_Skip, DataLoadBadFile_Skip, DataLoadBadFile_SkipAll};
    host.askedAbout.clear();
    EXPECT_TRUE(load(more)) << lastError();
    EXPECT_EQ(host.askedAbout.size(), 3u);
    const std::string text = summary();
    EXPECT_EQ(text.rfind("Loaded 5 of 10 files; skipped station-001.csv", 0), 0u) << text;
    EXPECT_NE(text.find("station-003.csv"), std::string::npos);
    EXPECT_EQ(text.find("station-004.csv"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 11), " and 2 more") << text;
}

// Skipping every file leaves nothing to load: the user learns which files and why, and the data
// stays.
TEST_F(ManyFilesLoadTest, SkippingEveryFileLoadsNothingAndNamesTheFiles) {
    const std::vector<std::string> files = testsupport::writeStations(folder.path(), 2, {1, 2});
    const std::vector<std::string> before = everyValue(shown());
    host.answers = {DataLoadBadFile_SkipAll};
    EXPECT_FALSE(load(files));
    EXPECT_EQ(everyValue(shown()), before);
    const std::string error = lastError();
    EXPECT_EQ(error.rfind("None of the files could be loaded: station-001.csv", 0), 0u) << error;
    EXPECT_NE(error.find("station-002.csv"), std::string::npos) << error;
}

// Without a host to ask, a bad file fails the whole load with its reason, as before.
TEST_F(ManyFilesLoadTest, WithoutABadFileCallbackOneBadFileFailsTheWholeLoad) {
    QelUtilDataLoadSetBadFileCallback(nullptr, nullptr);
    const std::vector<std::string> files = testsupport::writeStations(folder.path(), 5, {3});
    const std::vector<std::string> before = everyValue(shown());
    EXPECT_FALSE(load(files));
    EXPECT_EQ(lastError(), "station-003.csv, line 12, column 2: \"warm\" is not a number.");
    EXPECT_EQ(everyValue(shown()), before);
    EXPECT_EQ(host.finished, 1);
}

// A kernel data file that the kernel itself refuses goes the same way: the other files load.
TEST_F(ManyFilesLoadTest, TheKernelsOwnDataFilesCanBeSkippedToo) {
    const std::vector<std::string> good = testsupport::writeStations(folder.path(), 1);
    const std::string damaged = QDir(folder.path()).filePath(QStringLiteral("damaged.plt")).toStdString();
    testsupport::writeBytes(damaged, "not a data file");
    host.answers = {DataLoadBadFile_Skip};
    const bool loaded =
        qelmar::standin::makeDataFileLoader()->load(nullptr, {damaged}, false, ReplaceAndRetainStyle);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(host.askedAbout, std::vector<std::string>{damaged});
    EXPECT_NE(lastError().find("None of the files could be loaded"), std::string::npos) << lastError();
}

} // namespace
