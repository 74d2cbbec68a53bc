#include "common/FileBytes.h"
#include "host/ArgList.h"
#include "host/KernelErrors.h"
#include "host/KernelLayout.h"
#include "host/KernelString.h"
#include "kernel/DataFileFormat.h"
#include "kernel/LayoutPackage.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <functional>
#include <string>

namespace {

using qelmar::sdk::KernelString;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;
using testsupport::contentsOf;
using testsupport::writeBytes;

std::string lastError() {
    return KernelString(QelUtilGetLastErrorMessage()).str();
}

using Reader = std::function<void(const std::string&)>;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool addressSpaceCanBeLimited = false; // the sanitizer reserves terabytes up front
#else
constexpr bool addressSpaceCanBeLimited = true;
#endif

// While it lives, the process cannot map more than `extra` bytes beyond what it has now: an
// allocation a damaged file talked the reader into fails instead of taking the machine's memory.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(rlim_t extra) {
        getrlimit(RLIMIT_AS, &m_saved);
        if (!addressSpaceCanBeLimited)
            return;
        rlimit limited = m_saved;
        limited.rlim_cur = mappedNow() + extra;
        setrlimit(RLIMIT_AS, &limited);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &m_saved); }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

private:
    static rlim_t mappedNow() {
        QFile statm("/proc/self/statm");
        const QByteArray pages = statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ').value(0) : "0";
        return static_cast<rlim_t>(pages.toULongLong()) * static_cast<rlim_t>(getpagesize());
    }

    rlimit m_saved{};
};

// Sets the uncompressed size of every entry of a zip archive, in its local header and in the
// central directory alike, so that the archive stays self-consistent.
QByteArray withClaimedEntrySizes(QByteArray zip, quint32 size) {
    const auto patch = [&zip, size](const char* signature, int offset) {
        for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 4))
            qToLittleEndian(size, zip.data() + at + offset);
    };
    patch("PK\x03\x04", 22);
    patch("PK\x01\x02", 24);
    return zip;
}

class DamagedFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        const int page = app.addPage("Page");
        const int frame = app.addFrame(page, "Frame");
        app.attachDataSet(frame, {"t", {"x"}, {{1.0, 2.0, 3.0}}}, false);
        ArgList args;
        args.appendString("FName", path("good.lpk"));
        args.appendInt("IncludeData", 1);
        ASSERT_TRUE(QelUtilSaveLayoutX(args.getRef())) << lastError();
    }

    std::string path(const std::string& name) const {
        return QDir(folder.path()).filePath(QString::fromStdString(name)).toStdString();
    }

    // The read fails with a reason that names the file, and the same reason is the last error.
    void expectRefused(const std::string& file, const std::string& why, const Reader& read) {
        try {
            read(file);
            ADD_FAILURE() << file << " was read";
        } catch (const std::runtime_error& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(file), std::string::npos) << message;
            EXPECT_NE(message.find(why), std::string::npos) << message;
            EXPECT_EQ(lastError(), message);
        }
    }

    using ArgList = qelmar::toolbox::ArgList;

    QTemporaryDir folder;
    KernelTestControl kernel;
    ApplicationTestControl app;
};

TEST_F(DamagedFilesTest, DataAndPathsLinesOutOfPlaceAreRefusedByLineNumberAlsoInAPackage) {
    const std::string file = path("orphan.lay");
    const std::pair<const char*, const char*> layouts[] = {
        // A data line after a page without frames.
        {"#!QELMAR LAYOUT 1\nPaths\trelative\nPage\tone\nFrame\t0\tf\nPage\tempty\nData\tx.plt\nEnd\n",
         "line 6: a data file does not follow a frame"},
        {"#!QELMAR LAYOUT 1\nPage\tone\nFrame\t0\tf\nPaths\trelative\nData\tx.plt\nEnd\n", "line 5"},
        // A frame's data lines follow it without a break.
        {"#!QELMAR LAYOUT 1\nPage\tone\nFrame\t0\tf\nData\tx.plt\nPaths\trelative\nData\ty.plt\nEnd\n",
         "line 6"},
    };
    for (const auto& [layout, why] : layouts) {
        SCOPED_TRACE(layout);
        writeBytes(file, layout);
        expectRefused(file, why, ApplicationTestControl::readLayoutFile);
    }
    // Inside a package the reason names package and entry.
    const std::string package = path("orphan.lpk");
    ASSERT_NO_THROW(qelmar::standin::writePackage(
        package, {{"layout.lay", "#!QELMAR LAYOUT 1\nPage\tp\nData\tx.plt\nEnd\n"}}));
    expectRefused(package, ":layout.lay is not a readable layout: line 3",
                  ApplicationTestControl::readPackagedLayout);
}

// Sizes that do not fit the entry, down to none and up to gigabytes, which must not be allocated.
TEST_F(DamagedFilesTest, PackageEntriesClaimingAWrongSizeAreRefusedWithoutAllocatingIt) {
    const QByteArray good = contentsOf(path("good.lpk"));
    const std::string file = path("wrong.lpk");
    const AddressSpaceLimit limit(256U << 20);
    const Reader entry = [](const std::string& in) {
        ApplicationTestControl::packageEntry(in, "layout.lay");
    };
    for (const quint32 size : {0U, 1U, 100000U, 0x80000000U}) {
        SCOPED_TRACE(size);
        writeBytes(file, withClaimedEntrySizes(good, size));
        expectRefused(file, "layout.lay", entry);
    }
    expectRefused(file, "entry \"layout.lay\" claims 2147483648 bytes", entry);
    expectRefused(file, "claims", ApplicationTestControl::readPackagedLayout);
}

TEST_F(DamagedFilesTest, EveryReaderRefusesEmptyMissingAndGarbageFilesByName) {
    const std::pair<std::string, Reader> readers[] = {
        {"layout", ApplicationTestControl::readLayoutFile},
        {"data file", ApplicationTestControl::readDataFile},
        {"package", ApplicationTestControl::packageEntries},
        {"package", ApplicationTestControl::readPackagedLayout},
    };
    QRandomGenerator random(7);
    for (const auto& [format, read] : readers) {
        SCOPED_TRACE(format);
        const std::string file = path("bad");
        writeBytes(file, QByteArray());
        expectRefused(file, format, read);
        for (int round = 0; round < 20; ++round) {
            QByteArray garbage(static_cast<qsizetype>(random.bounded(1, 600)), '\0');
            for (char& byte : garbage)
                byte = static_cast<char>(random.bounded(256));
            writeBytes(file, garbage);
            expectRefused(file, format, read);
        }
        expectRefused(path("missing"), "Cannot read", read);
        expectRefused(folder.path().toStdString(), "Cannot read", read);
        {
            // A device never ends: reading it whole would take all memory.
            const AddressSpaceLimit limit(256U << 20);
            expectRefused("/dev/zero", "not a regular file", read);
        }
        // A good read clears the reason of a failed one.
        ApplicationTestControl::packageEntries(path("good.lpk"));
        EXPECT_EQ(lastError(), "");
    }
}

TEST_F(DamagedFilesTest, DataFileCountsBeyondItsBytesAreRefusedEvenWithAGoodChecksum) {
    const std::string file = path("counts.plt");
    const QByteArray good = qelmar::standin::encodeDataFile({"t", {"x"}, {{1.0, 2.0}}, {}});
    // Magic, version, title "t" (4 + 1 bytes), then the number of variables and of points.
    constexpr qsizetype variablesAt = 8 + 4 + 5;
    for (const qsizetype field : {variablesAt, variablesAt + 4}) {
        QByteArray damaged = good;
        qToLittleEndian(0xFFFFFFF0U, damaged.data() + field);
        const quint32 crc =
            qelmar::standin::crc32Of(damaged.constData(), static_cast<std::size_t>(damaged.size() - 4));
        qToLittleEndian(crc, damaged.data() + damaged.size() - 4);
        writeBytes(file, damaged);
        const AddressSpaceLimit limit(256U << 20);
        expectRefused(file, "truncated", ApplicationTestControl::readDataFile);
    }
}

} // namespace
