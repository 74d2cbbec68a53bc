#include "standin/LayoutRelinkScene.h"

#include "kernel/LayoutFileFormat.h"
#include "kernel/LayoutPackage.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using qelmar::standin::DataFileRecord;
using qelmar::standin::LayoutDocument;
using testsupport::describeFrames;
using testsupport::lastKernelError;

// Stands for the host's locate dialog: records each question and answers with what `answer`
// gives for the missing file (empty: Cancel). Registered for its own lifetime.
class LocateAnswers {
public:
    struct Question {
        std::string layout;
        std::string missingFile;
        long missingCount = 0;
    };

    explicit LocateAnswers(std::function<std::string(const std::string& missingFile)> answer)
        : m_answer(std::move(answer)) {
        QelUtilLayoutRegisterLocateDataFileCallback(&LocateAnswers::callback, this);
    }
    LocateAnswers(const LocateAnswers&) = delete;
    LocateAnswers& operator=(const LocateAnswers&) = delete;
    ~LocateAnswers() { QelUtilLayoutRegisterLocateDataFileCallback(nullptr, nullptr); }

    std::vector<Question> questions;

private:
    static char* callback(const char* layout, const char* missingFile, long missingCount, void* clientData) {
        auto& self = *static_cast<LocateAnswers*>(clientData);
        self.questions.push_back({layout, missingFile, missingCount});
        const std::string answer = self.m_answer(missingFile);
        if (answer.empty())
            return nullptr;
        char* copy = static_cast<char*>(std::malloc(answer.size() + 1));
        std::memcpy(copy, answer.c_str(), answer.size() + 1);
        return copy;
    }

    std::function<std::string(const std::string&)> m_answer;
};

// Where a file went when a folder moved: the same path under the new folder.
std::function<std::string(const std::string&)> movedFrom(const std::string& oldFolder,
                                                         const std::string& newFolder) {
    return [=](const std::string& missing) {
        return missing.rfind(oldFolder, 0) == 0 ? newFolder + missing.substr(oldFolder.size())
                                                : std::string();
    };
}

std::vector<DataFileRecord> recordsOf(const LayoutDocument& layout) {
    std::vector<DataFileRecord> records;
    for (const auto& page : layout.pages)
        for (const auto& frame : page.frames)
            records.insert(records.end(), frame.dataFileRecords.begin(), frame.dataFileRecords.end());
    return records;
}

std::vector<std::string> stationFiles(const std::string& folder, int count) {
    std::vector<std::string> files;
    for (int number = 1; number <= count; ++number)
        files.push_back(folder + "/s" + std::to_string(number) + ".plt");
    return files;
}

class LayoutRelinkTest : public ::testing::Test, protected testsupport::RelinkScene {};

// The everyday case: yesterday's layout and its folder of station files both moved, to
// different places; one answer finds all fifty.
TEST_F(LayoutRelinkTest, FiftyFilesMovedElsewhereOpenAfterPointingAtOne) {
    showStations(stationFiles("campaign/data", 50));
    const std::string saved = describeFrames();
    saveLinked("layouts/session.lay");
    const auto recorded = recordsOf(qelmar::standin::readLayoutFile(path("layouts/session.lay")));
    ASSERT_EQ(recorded.size(), 50u);
    move("layouts", "archive/layouts");
    move("campaign", "archive/2026/campaign");
    showScratch();

    LocateAnswers answers(movedFrom(path("campaign"), path("archive/2026/campaign")));
    ASSERT_TRUE(open(path("archive/layouts/session.lay"))) << lastKernelError();
    ASSERT_EQ(answers.questions.size(), 1u);
    EXPECT_EQ(answers.questions[0].layout, path("archive/layouts/session.lay"));
    EXPECT_EQ(answers.questions[0].missingCount, 50);
    EXPECT_EQ(describeFrames(), saved);
    EXPECT_TRUE(kernel.messagesOfType(3).empty()) << "every file has its recorded content";

    // Saved again, the layout names the new places with the same fingerprints.
    saveLinked("archive/layouts/session.lay");
    const auto resaved = recordsOf(qelmar::standin::readLayoutFile(path("archive/layouts/session.lay")));
    ASSERT_EQ(resaved.size(), 50u);
    const auto moved = movedFrom(path("campaign"), path("archive/2026/campaign"));
    for (std::size_t index = 0; index < resaved.size(); ++index) {
        EXPECT_EQ(resaved[index].sha256, recorded[index].sha256);
        EXPECT_EQ(resaved[index].absolutePath, moved(recorded[index].absolutePath));
    }
}

// Each answer brings its own change of folder; a second question asks only for what the first
// did not find.
TEST_F(LayoutRelinkTest, FilesOfTwoFoldersMovedApartAreAskedForOncePerFolder) {
    auto files = stationFiles("north", 3);
    const auto south = stationFiles("south", 2);
    files.insert(files.end(), south.begin(), south.end());
    showStations(files);
    const std::string saved = describeFrames();
    saveLinked("session.lay");
    move("north", "moved/one/north");
    move("south", "moved/two/south");
    showScratch();

    LocateAnswers answers([this](const std::string& missing) {
        const std::string north = movedFrom(path("north"), path("moved/one/north"))(missing);
        return north.empty() ? movedFrom(path("south"), path("moved/two/south"))(missing) : north;
    });
    ASSERT_TRUE(open(path("session.lay"))) << lastKernelError();
    ASSERT_EQ(answers.questions.size(), 2u);
    EXPECT_EQ(answers.questions[0].missingCount, 5);
    // Whichever folder the first question found, the second asks for the other folder's files.
    const bool northFirst = answers.questions[0].missingFile.rfind(path("north/"), 0) == 0;
    EXPECT_EQ(answers.questions[1].missingCount, northFirst ? 2 : 3);
    EXPECT_EQ(answers.questions[1].missingFile.rfind(path(northFirst ? "south/" : "north/"), 0), 0u)
        << answers.questions[1].missingFile;
    EXPECT_EQ(describeFrames(), saved);
}

// A file that changed since the layout was saved is never taken silently, whether it stayed
// where it was or the change of folder found it: one question lists exactly the changed files,
// No opens nothing and Yes opens with them.
TEST_F(LayoutRelinkTest, FilesWithOtherContentOpenOnlyAfterTheUserSaidYes) {
    showStations(stationFiles("data", 4));
    saveLinked("session.lay");

    struct Case {
        const char* name;
        bool moveData;
    };
    for (const Case& scenario :
         {Case{"changed in place", false}, Case{"other file at the moved place", true}}) {
        SCOPED_TRACE(scenario.name);
        const std::string folder = scenario.moveData ? "elsewhere/data" : "data";
        if (scenario.moveData)
            move("data", folder);
        writeStation(folder + "/s3.plt", 3, 100.0);
        const std::string changed = path(folder + "/s3.plt");
        LocateAnswers answers(movedFrom(path("data"), path(folder)));

        showScratch();
        const std::string before = describeFrames();
        kernel.clearMessages();
        kernel.answerNextQuestions({false});
        EXPECT_FALSE(open(path("session.lay")));
        ASSERT_EQ(kernel.messagesOfType(3).size(), 1u);
        const std::string question = kernel.messagesOfType(3).front().text;
        EXPECT_NE(question.find("changed since the layout was saved"), std::string::npos) << question;
        EXPECT_NE(question.find(changed), std::string::npos) << question;
        EXPECT_EQ(question.find("s2.plt"), std::string::npos) << question;
        EXPECT_NE(lastKernelError().find(changed), std::string::npos) << lastKernelError();
        EXPECT_EQ(describeFrames(), before);

        kernel.answerNextQuestions({true});
        ASSERT_TRUE(open(path("session.lay"))) << lastKernelError();
        EXPECT_NE(describeFrames().find("Station 3: 0 1 2 103 103.25 102.5"), std::string::npos)
            << describeFrames();
        // Moved files are asked for once per opening.
        EXPECT_EQ(answers.questions.size(), scenario.moveData ? 2u : 0u);
        if (scenario.moveData)
            move(folder, "data");
        writeStation("data/s3.plt", 3);
    }
}

TEST_F(LayoutRelinkTest, CancellingOpensNothingAndNamesTheMissingFiles) {
    showStations(stationFiles("data", 3));
    saveLinked("session.lay", true);
    move("data", "gone");
    showScratch();
    const std::string before = describeFrames();

    LocateAnswers answers([](const std::string&) { return std::string(); });
    EXPECT_FALSE(open(path("session.lay")));
    EXPECT_EQ(answers.questions.size(), 1u);
    for (const char* file : {"data/s1.plt", "data/s2.plt", "data/s3.plt"})
        EXPECT_NE(lastKernelError().find(path(file)), std::string::npos) << lastKernelError();
    EXPECT_NE(lastKernelError().find("cancelled"), std::string::npos) << lastKernelError();
    EXPECT_EQ(describeFrames(), before);
}

// Layouts written before data files carried fingerprints keep opening from their one path, with
// no question; without a locate callback a missing file still fails the opening by name.
TEST_F(LayoutRelinkTest, LayoutsWithoutFingerprintsOpenAsBefore) {
    showStations(stationFiles("data", 2));
    const std::string saved = describeFrames();
    const QByteArray old = "#!QELMAR LAYOUT 1\nPaths\trelative\nPage\tStations 1\nFrame\t0\tStation 2\n"
                           "Data\tdata/s2.plt\nFrame\t0\tStation 1\nData\tdata/s1.plt\nEnd\n";
    QFile file(QString::fromStdString(path("old.lay")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(old);
    file.close();
    showScratch();

    ASSERT_TRUE(open(path("old.lay"))) << lastKernelError();
    EXPECT_EQ(describeFrames(), saved);
    EXPECT_TRUE(kernel.messagesOfType(3).empty());

    move("data", "gone");
    EXPECT_FALSE(open(path("old.lay")));
    EXPECT_NE(lastKernelError().find(path("data/s2.plt")), std::string::npos) << lastKernelError();
}

// A package fingerprints each data entry and refuses one that is not what it saved.
TEST_F(LayoutRelinkTest, APackageRecordsAndChecksTheFingerprintsOfItsData) {
    showStations(stationFiles("data", 2));
    const std::string saved = describeFrames();
    savePackage("session.lpk");
    const LayoutDocument layout = qelmar::standin::readPackagedLayout(path("session.lpk"));
    const auto records = recordsOf(layout);
    ASSERT_EQ(records.size(), 2u);
    const std::string entry = layout.pages.at(0).frames.at(0).dataFiles.at(0);
    EXPECT_EQ(records[0].sha256,
              qelmar::standin::sha256Of(qelmar::standin::readPackageEntry(path("session.lpk"), entry)));
    showScratch();
    ASSERT_TRUE(open(path("session.lpk"))) << lastKernelError();
    EXPECT_EQ(describeFrames(), saved);

    // The same package with one data entry swapped for another station's data.
    QFile file(QString::fromStdString(path("session.lpk")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    auto entries = qelmar::standin::decodePackage(file.readAll(), path("session.lpk"));
    file.close();
    for (auto& packaged : entries) {
        if (packaged.name == entry)
            packaged.bytes = qelmar::standin::encodeDataFile(qelmar::standin::DataValues{
                station(7).title, station(7).variableNames, station(7).values, {}});
    }
    qelmar::standin::writePackage(path("session.lpk"), entries);
    showScratch();
    const std::string before = describeFrames();
    EXPECT_FALSE(open(path("session.lpk")));
    EXPECT_NE(lastKernelError().find("damaged"), std::string::npos) << lastKernelError();
    EXPECT_NE(lastKernelError().find(entry), std::string::npos) << lastKernelError();
    EXPECT_EQ(describeFrames(), before);
}

// A project that moves again and again: after each opening the layout is saved where it is,
// and the next opening finds the data from the places the last save recorded.
TEST_F(LayoutRelinkTest, EachSaveAfterAMoveRecordsTheNewPlaces) {
    showStations(stationFiles("home0/data", 3));
    const std::string saved = describeFrames();
    saveLinked("session.lay");
    for (int move = 1; move <= 3; ++move) {
        SCOPED_TRACE("move " + std::to_string(move));
        const std::string from = "home" + std::to_string(move - 1);
        const std::string to = "home" + std::to_string(move);
        this->move(from, to);
        LocateAnswers answers(movedFrom(path(from), path(to)));
        showScratch();
        ASSERT_TRUE(open(path("session.lay"))) << lastKernelError();
        EXPECT_EQ(answers.questions.size(), 1u);
        EXPECT_EQ(describeFrames(), saved);
        saveLinked("session.lay");
        const LayoutDocument layout = qelmar::standin::readLayoutFile(path("session.lay"));
        for (const auto& record : recordsOf(layout)) {
            EXPECT_EQ(record.absolutePath.rfind(path(to + "/data/"), 0), 0u) << record.absolutePath;
            EXPECT_EQ(record.relativePath.rfind(to + "/data/", 0), 0u) << record.relativePath;
        }
    }
}

// The text format: version 2 records read back as written; hashes must be hashes, and a version 1
// file keeps its one field per data line.
TEST(LayoutFingerprintFormatTest, RecordsRoundTripAndMalformedOnesAreRefusedByLine) {
    LayoutDocument layout;
    layout.pages.push_back(
        {"P", {{"F", 1, {"a\tb.plt", "c.plt"}, {{std::string(64, 'a'), "x/a\tb.plt", "/x/a\tb.plt"}, {}}}}});
    const LayoutDocument read =
        qelmar::standin::decodeLayout(qelmar::standin::encodeLayout(layout), "mem.lay");
    const auto& frame = read.pages.at(0).frames.at(0);
    EXPECT_EQ(frame.dataFiles, layout.pages[0].frames[0].dataFiles);
    ASSERT_EQ(frame.dataFileRecords.size(), 2u);
    EXPECT_EQ(frame.dataFileRecords[0].sha256, std::string(64, 'a'));
    EXPECT_EQ(frame.dataFileRecords[0].relativePath, "x/a\tb.plt");
    EXPECT_EQ(frame.dataFileRecords[0].absolutePath, "/x/a\tb.plt");
    EXPECT_TRUE(frame.dataFileRecords[1].sha256.empty());

    const std::string hash(64, 'a');
    const std::pair<std::string, const char*> refused[] = {
        {"#!QELMAR LAYOUT 2\nPage\tP\nFrame\t0\tF\nData\ta.plt\tABC\nEnd\n", "line 4"},
        {"#!QELMAR LAYOUT 2\nPage\tP\nFrame\t0\tF\nData\ta.plt\t" + hash + "\trelative\nEnd\n", "line 4"},
        {"#!QELMAR LAYOUT 1\nPage\tP\nFrame\t0\tF\nData\ta.plt\tx\ty\tz\nEnd\n", "line 4"},
        {"#!QELMAR LAYOUT 3\nEnd\n", "line 1"},
    };
    for (const auto& [text, where] : refused) {
        SCOPED_TRACE(text);
        try {
            qelmar::standin::decodeLayout(QByteArray::fromStdString(text), "bad.lay");
            ADD_FAILURE() << "accepted";
        } catch (const std::runtime_error& failure) {
            EXPECT_NE(std::string(failure.what()).find(where), std::string::npos) << failure.what();
        }
    }
}

} // namespace
