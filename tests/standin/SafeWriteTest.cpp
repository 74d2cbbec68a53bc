#include "ExportTestScene.h"
#include "KernelSaveCalls.h"
#include "common/FileBytes.h"
#include "host/KernelMacro.h"
#include "kernel/KernelState.h"
#include "kernel/MacroFileFormat.h"
#include "kernel/SafeFile.h"
#include "kernel/SafeFileWrite.h"
#include "kernel/testing/ReadOnlyFolder.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using exporttest::lastError;
using qelmar::standin::testing::ReadOnlyFolder;
using testsupport::contentsOf;
using testsupport::writeBytes;

QStringList entriesOf(const QTemporaryDir& folder) {
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

std::string thrownBy(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "nothing thrown";
}

// One way the kernel writes a file, as a user starts it: a save call, a still export, or an
// animation from its start to its finish.
enum class Call { Layout, Package, DataFile, Export };

struct Writer {
    const char* name;
    const char* file;
    Call call;
    ExportFormat_e format = ExportFormat_PNG;
    int frames = 0; // of an animation; 0 for a still image
};

void PrintTo(const Writer& writer, std::ostream* out) {
    *out << writer.name;
}

class EveryWriterTest : public exporttest::ExportTestScene, public ::testing::WithParamInterface<Writer> {
protected:
    bool write(const std::string& file) {
        const Writer& writer = GetParam();
        switch (writer.call) {
        case Call::Layout:
            return testsupport::saveLayout(file, 0);
        case Call::Package:
            return testsupport::saveLayout(file, 1);
        case Call::DataFile:
            return testsupport::writeCurrentDataSet(file);
        case Call::Export:
            return exportAs(file, writer.format, writer.frames);
        }
        return false;
    }

    bool exportAs(const std::string& file, ExportFormat_e format, int frames) {
        set({"ExportSetup", "ExportFName"}, file);
        set({"ExportSetup", "ExportFormat"}, static_cast<long>(format));
        if (!QelUtilExport(false))
            return false;
        if (frames == 0)
            return true;
        for (int frame = 1; frame < frames; ++frame)
            if (!QelUtilExport(true))
                return false;
        return QelUtilExportFinish();
    }
};

// Whatever the file, a write that runs out of space mid-way says so, keeps the earlier file and
// leaves no temporary file; the same switch stands for the full disk in every case.
TEST_P(EveryWriterTest, AFullDiskKeepsTheEarlierFileAndLeavesNothingBehind) {
    const std::string file = path(GetParam().file);
    ASSERT_TRUE(write(file)) << lastError();
    const QByteArray earlier = contentsOf(file);
    const QStringList entries = entriesOf(folder);

    app.failWritesAfterBytes(20);
    EXPECT_FALSE(write(file));
    EXPECT_EQ(lastError(), "Cannot write " + file + ": No space left on device");
    QelUtilExportCancel();
    app.failWritesAfterBytes(-1);
    EXPECT_EQ(contentsOf(file), earlier);
    EXPECT_EQ(entriesOf(folder), entries) << "a partial or temporary file was left behind";

    // Under a file there is no folder to put the temporary file in.
    const std::string underAFile = file + "/inside";
    EXPECT_FALSE(write(underAFile));
    EXPECT_EQ(lastError(), "Cannot write " + underAFile + ": Not a directory");
    QelUtilExportCancel();

    EXPECT_TRUE(write(file)) << lastError();
    EXPECT_EQ(lastError(), "");
}

// On a write-protected medium the reason is the medium, also for the file that is already there,
// whose permissions alone would say it may be written.
TEST_P(EveryWriterTest, AReadOnlyFileSystemIsBlamedNotTheFile) {
    const ReadOnlyFolder medium(QString::fromStdString(path("medium")));
    if (!medium.isAvailable())
        GTEST_SKIP() << medium.problem();
    const std::string folderName = medium.path().toStdString();
    const std::string existing = medium.existingFile().toStdString();
    const std::string reason = ": the folder " + folderName + " cannot be written (Read-only file system)";
    for (const std::string& file : {existing, folderName + "/" + GetParam().file}) {
        EXPECT_FALSE(write(file));
        EXPECT_EQ(lastError(), "Cannot write " + file + reason);
        QelUtilExportCancel();
    }
    EXPECT_EQ(contentsOf(existing), "before\n");
}

const Writer writers[] = {
    {"LinkedLayout", "saved.lay", Call::Layout},
    {"Package", "saved.lpk", Call::Package},
    {"DataFile", "saved.plt", Call::DataFile},
    {"Png", "still.png", Call::Export, ExportFormat_PNG},
    {"Tiff", "still.tif", Call::Export, ExportFormat_TIFF},
    {"EncapsulatedPostScript", "still.eps", Call::Export, ExportFormat_EPS},
    {"Pdf", "page.pdf", Call::Export, ExportFormat_PDF},
    {"Svg", "page.svg", Call::Export, ExportFormat_SVG},
    {"WindowsMetafile", "still.wmf", Call::Export, ExportFormat_WindowsMetafile},
    {"AviMovie", "movie.avi", Call::Export, ExportFormat_AVI, 3},
    {"Mpeg4Movie", "movie.mp4", Call::Export, ExportFormat_MPEG4, 3},
    {"FlashMovie", "movie.swf", Call::Export, ExportFormat_Flash, 3},
    {"RasterMetafile", "movie.rm", Call::Export, ExportFormat_RasterMetafile, 3},
};

INSTANTIATE_TEST_SUITE_P(KernelFiles, EveryWriterTest, ::testing::ValuesIn(writers),
                         [](const ::testing::TestParamInfo<Writer>& info) { return info.param.name; });

using MacroFileTest = exporttest::ExportTestBase;

std::vector<std::string> textsOf(const std::vector<qelmar::standin::ShownMessage>& messages) {
    std::vector<std::string> texts;
    for (const auto& message : messages)
        texts.push_back(message.text);
    return texts;
}

// A recording that runs out of space part-way must not end as a shorter macro in place of the
// earlier one: the lines after the failure are refused, and so is the end.
TEST_F(MacroFileTest, ALineThatCannotBeWrittenFailsTheRecordingAndKeepsTheEarlierMacro) {
    const std::string file = path("kept.mcr");
    writeBytes(file, "earlier macro\n");
    const std::string written = qelmar::standin::macroFileHeader() + "\nfirst\n";
    app.failWritesAfterBytes(static_cast<long long>(written.size()));
    ASSERT_TRUE(QelAppMacroRecordStart(file.c_str()));
    EXPECT_TRUE(QelUtilMacroRecordRawCommand("first"));
    EXPECT_FALSE(QelUtilMacroRecordRawCommand("second"));
    app.failWritesAfterBytes(-1);
    EXPECT_FALSE(QelUtilMacroRecordRawCommand("third"));
    EXPECT_TRUE(kernel.messages().empty());
    EXPECT_FALSE(QelAppMacroRecordEnd());
    EXPECT_EQ(textsOf(kernel.messages()),
              std::vector<std::string>{"The macro file \"" + file +
                                       "\" could not be written: No space left on device"});
    EXPECT_FALSE(QelUtilUserMacroIsRecordingActive());
    EXPECT_EQ(contentsOf(file), "earlier macro\n");
    EXPECT_EQ(entriesOf(folder), QStringList{"kept.mcr"});

    kernel.clearMessages();
    const std::string underAFile = file + "/inside.mcr";
    EXPECT_FALSE(QelAppMacroRecordStart(underAFile.c_str()));
    EXPECT_EQ(textsOf(kernel.messages()), std::vector<std::string>{"Cannot record the macro into \"" +
                                                                   underAFile + "\": Not a directory"});

    ASSERT_TRUE(QelAppMacroRecordStart(file.c_str()));
    EXPECT_TRUE(QelUtilMacroRecordRawCommand("again"));
    EXPECT_TRUE(QelAppMacroRecordEnd());
    EXPECT_EQ(contentsOf(file), QByteArray::fromStdString(qelmar::standin::macroFileHeader() + "\nagain\n"));
}

class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    void TearDown() override { qelmar::standin::setWriteFailureAfterBytes(-1); }

    std::string path(const std::string& name) const {
        return QDir(folder.path()).filePath(QString::fromStdString(name)).toStdString();
    }

    QTemporaryDir folder;
};

// A file written in pieces, with its header rewritten at the end as the movie writers do, appears
// whole at the commit and not before.
TEST_F(SafeFileTest, PiecesAndRewritesAppearOnlyAtTheCommit) {
    const std::string target = path("pieces");
    writeBytes(target, "earlier");
    {
        qelmar::standin::SafeFile file(target);
        file.append(QByteArray("0000 body"));
        file.append(QByteArray(" and more"));
        file.overwrite(0, "1234");
        EXPECT_EQ(file.position(), 4);
        EXPECT_EQ(file.size(), 18);
        EXPECT_EQ(contentsOf(target), "earlier");
        file.commit();
    }
    EXPECT_EQ(contentsOf(target), "1234 body and more");
    EXPECT_EQ(entriesOf(folder), QStringList{"pieces"});

    // Destroyed without a commit, the file was never there.
    { qelmar::standin::SafeFile(target).append(QByteArray("abandoned")); }
    EXPECT_EQ(contentsOf(target), "1234 body and more");
    EXPECT_EQ(entriesOf(folder), QStringList{"pieces"});
}

// After the first failure the file refuses with the same reason whatever is tried next, so a
// writer that goes on after a failed step cannot commit half a file.
TEST_F(SafeFileTest, AfterAFailureEveryStepRefusesWithTheFirstReason) {
    const std::string target = path("refused");
    writeBytes(target, "earlier");
    const std::string full = "Cannot write " + target + ": No space left on device";
    {
        qelmar::standin::SafeFile file(target);
        qelmar::standin::setWriteFailureAfterBytes(5);
        file.append(QByteArray("abc"));
        EXPECT_EQ(thrownBy([&] { file.append(QByteArray("defgh")); }), full);
        qelmar::standin::setWriteFailureAfterBytes(-1);
        EXPECT_EQ(thrownBy([&] { file.append(QByteArray("x")); }), full);
        EXPECT_EQ(thrownBy([&] { file.seek(0); }), full);
        EXPECT_EQ(thrownBy([&] { file.commit(); }), full);
    }
    EXPECT_EQ(contentsOf(target), "earlier");
    EXPECT_EQ(entriesOf(folder), QStringList{"refused"});

    EXPECT_EQ(thrownBy([] { qelmar::standin::SafeFile file(""); }), "Cannot write a file without a name.");
}

// An encoder's refusal and a failed write read alike to the user: what could not be written, and
// why. Other failures are not the file's and pass unchanged.
TEST_F(SafeFileTest, AnEncodersRefusalNamesTheFileAndNothingIsWritten) {
    const std::string target = path("encoded");
    writeBytes(target, "earlier");
    const auto refusing = [](auto refusal) { return [refusal]() -> QByteArray { throw refusal; }; };
    EXPECT_EQ(thrownBy([&] {
                  qelmar::standin::writeEncodedFile(target,
                                                    refusing(std::invalid_argument("The values differ.")));
              }),
              "Cannot write " + target + ": The values differ.");
    EXPECT_EQ(thrownBy([&] {
                  qelmar::standin::writeEncodedFile(target, refusing(std::runtime_error("zip said no")));
              }),
              "Cannot write " + target + ": zip said no");
    EXPECT_THROW(qelmar::standin::writeEncodedFile(target, refusing(std::bad_alloc())), std::bad_alloc);
    EXPECT_EQ(contentsOf(target), "earlier");

    qelmar::standin::writeEncodedFile(target, [] { return QByteArray("encoded"); });
    EXPECT_EQ(contentsOf(target), "encoded");
    EXPECT_EQ(entriesOf(folder), QStringList{"encoded"});
}

} // namespace
