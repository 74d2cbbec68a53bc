#include "common/FileBytes.h"
#include "host/KernelArgList.h"
#include "host/KernelErrors.h"
#include "host/KernelLock.h"
#include "host/KernelStartupFiles.h"
#include "host/KernelString.h"
#include "host/KernelStrings.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using qelmar::sdk::KernelString;
using qelmar::standin::FailMode;
using qelmar::standin::testing::CallRecording;
using qelmar::standin::testing::KernelTestControl;

void makeCalls(int count) {
    for (int i = 0; i < count; ++i) {
        StringList_s* list = QelUtilStringListAlloc();
        QelUtilStringListDealloc(&list);
    }
}

// A long load makes millions of kernel calls; keeping a record of each one made the demo's
// memory grow without end.
TEST(KernelCallJournal, IsKeptOnlyWhileATestRecords) {
    KernelTestControl kernel;
    makeCalls(500);
    EXPECT_TRUE(qelmar::standin::KernelState::instance().journal().empty());
    EXPECT_THROW(kernel.journal(), std::logic_error);
    EXPECT_THROW(kernel.wasCalled("QelUtilStringListAlloc"), std::logic_error);
    {
        CallRecording recording;
        EXPECT_TRUE(kernel.journal().empty()); // what ran before recording is not there
        makeCalls(500);
        EXPECT_EQ(kernel.journal().size(), 1000u);
        EXPECT_EQ(kernel.callsNamed("QelUtilStringListAlloc").size(), 500u);
        {
            CallRecording nested;
            makeCalls(1);
        }
        EXPECT_EQ(kernel.journal().size(), 1002u); // the outer recording still runs
    }
    makeCalls(500);
    EXPECT_TRUE(qelmar::standin::KernelState::instance().journal().empty());
}

struct SwitchableCall {
    const char* name;
    std::function<bool()> succeeds; // runs the call once on fresh arguments
};

bool allocates() {
    StringList_s* list = QelUtilStringListAlloc();
    const bool allocated = list != nullptr;
    QelUtilStringListDealloc(&list);
    return allocated;
}

bool appends() {
    StringList_s* list = QelUtilStringListAlloc();
    const bool appended = QelUtilStringListAppendString(list, "x") && QelUtilStringListGetCount(list) == 1;
    QelUtilStringListDealloc(&list);
    return appended;
}

bool copies() {
    StringList_s* list = QelUtilStringListFromNLString("a\nb");
    StringList_s* copy = QelUtilStringListCopy(list);
    const bool copied = QelUtilStringListGetCount(copy) == 2;
    QelUtilStringListDealloc(&copy);
    QelUtilStringListDealloc(&list);
    return copied;
}

bool allocatesArguments() {
    ArgList_s* args = QelUtilArgListAlloc();
    const bool appended = QelUtilArgListAppendString(args, "FName", "a.lay");
    QelUtilArgListDealloc(&args);
    return appended;
}

// Every kernel call a dialog makes can be made to fail, so that the dialog's failure paths can be
// tested; an allocation that fails returns null as a real one would.
TEST(KernelFailureSwitch, ReachesStringListAndArgumentListCalls) {
    const SwitchableCall calls[] = {
        {"QelUtilStringListAlloc", allocates},
        {"QelUtilStringListAppendString", appends},
        {"QelUtilStringListGetCount", appends},
        {"QelUtilStringListCopy", copies},
        {"QelUtilStringListFromNLString", copies},
        {"QelUtilArgListAlloc", allocatesArguments},
        {"QelUtilArgListAppendString", allocatesArguments},
    };
    KernelTestControl kernel;
    for (const auto& call : calls) {
        SCOPED_TRACE(call.name);
        EXPECT_TRUE(call.succeeds());
        kernel.failCall(call.name, FailMode::Once);
        EXPECT_FALSE(call.succeeds());
        EXPECT_TRUE(call.succeeds());
        kernel.failCall(call.name, FailMode::Always);
        EXPECT_FALSE(call.succeeds());
        EXPECT_FALSE(call.succeeds());
        kernel.clearFailures();
        EXPECT_TRUE(call.succeeds());
    }
}

// A failure in the middle of an operation: the first calls succeed.
TEST(KernelFailureSwitch, CanLetTheFirstCallsSucceed) {
    KernelTestControl kernel;
    kernel.failCall("QelUtilStringListAlloc", FailMode::Once, 2);
    EXPECT_TRUE(allocates());
    EXPECT_TRUE(allocates());
    EXPECT_FALSE(allocates());
    EXPECT_TRUE(allocates());
}

// Releasing memory and the application lock stay balanced whatever a test switches off.
TEST(KernelFailureSwitch, LeavesReleasesAndTheLockAlone) {
    KernelTestControl kernel;
    CallRecording recording;
    for (const char* call : {"QelUtilStringListDealloc", "QelAppLockStart", "QelAppLockFinish"})
        kernel.failCall(call);
    kernel.failCall("QelAppLockIsHeld", FailMode::Once);
    QelAppLockStart(0);
    EXPECT_FALSE(QelAppLockIsHeld()); // asking can fail
    QelAppLockFinish();
    StringList_s* list = QelUtilStringListFromNLString("a");
    QelUtilStringListDealloc(&list);
    EXPECT_EQ(list, nullptr);
    QelAppLockStart(0);
    EXPECT_TRUE(QelAppLockIsHeld());
    QelAppLockFinish();
    EXPECT_FALSE(QelAppLockIsHeld());
    EXPECT_TRUE(kernel.wasCalled("QelUtilStringListDealloc"));
}

class StartupFileOpening : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    std::string pathOf(const char* name) const { return QDir(folder.path()).filePath(name).toStdString(); }
    static std::FILE* open(const std::string& path, int& version) {
        return QelAppStartupFileOpen("Variable Aliases", path.c_str(), "VA", &version, 0);
    }
    static std::string lastError() { return KernelString(QelUtilGetLastErrorMessage()).str(); }

    KernelTestControl kernel;
    QTemporaryDir folder;
};

// Editors on Windows save UTF-8 text with a byte order mark in front of the header.
TEST_F(StartupFileOpening, SkipsAUtf8ByteOrderMarkBeforeTheHeader) {
    const std::string path = pathOf("bom.txt");
    testsupport::writeBytes(path, "\xEF\xBB\xBF#!QELMAR VA 1\r\nX;x\n");
    int version = 0;
    std::FILE* file = open(path, version);
    ASSERT_NE(file, nullptr) << lastError();
    EXPECT_EQ(version, 1);
    char rest[8] = {};
    EXPECT_EQ(std::fread(rest, 1, sizeof rest - 1, file), 4u);
    EXPECT_STREQ(rest, "X;x\n");
    std::fclose(file);

    // Only in front of the header: a mark anywhere else is not skipped.
    testsupport::writeBytes(path, "#!QELMAR \xEF\xBB\xBFVA 1\n");
    EXPECT_EQ(open(path, version), nullptr);
}

// Opening a FIFO for reading waits for a writer, which froze the application; a folder or a device
// is not a startup file either.
TEST_F(StartupFileOpening, RefusesWhatIsNotARegularFileWithoutWaitingForIt) {
    const std::string fifo = pathOf("aliases.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int version = 0;
    auto opening = std::async(std::launch::async, [&] { return open(fifo, version); });
    // A watchdog, not a timing check: a reader stuck in open() is released by opening the write
    // end, so the test fails instead of hanging.
    const bool finishedAlone = opening.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    if (!finishedAlone) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    std::FILE* file = opening.get();
    EXPECT_TRUE(finishedAlone) << "opening the FIFO blocked";
    EXPECT_EQ(file, nullptr);
    if (file)
        std::fclose(file);
    EXPECT_EQ(lastError(), fifo + " is not a regular file, so it cannot be a variable aliases file.");

    EXPECT_EQ(open(folder.path().toStdString(), version), nullptr);
    EXPECT_EQ(lastError(), folder.path().toStdString() + " is a folder, not a variable aliases file.");
    EXPECT_EQ(open("/dev/null", version), nullptr);
    EXPECT_EQ(lastError(), "/dev/null is not a regular file, so it cannot be a variable aliases file.");
}

} // namespace
