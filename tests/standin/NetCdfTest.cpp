#include "common/FileBytes.h"
#include "host/DataLoaderRepository.h"
#include "kernel/ApplicationModel.h"
#include "kernel/LastError.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "loaders/IsolatedChild.h"
#include "loaders/NetCdfFile.h"
#include "loaders/NetCdfFrames.h"
#include "loaders/StandardDataLoaders.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using qelmar::standin::NetCdfLimits;
using qelmar::standin::NetCdfLoad;
using qelmar::standin::readNetCdf;
using Column = std::vector<double>;
using Names = std::vector<std::string>;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// NaN where a point is missing, so that NaN compares equal to NaN.
::testing::AssertionResult sameValues(const Column& got, const Column& expected) {
    const bool same = got.size() == expected.size() &&
                      std::equal(got.begin(), got.end(), expected.begin(), [](double a, double b) {
                          return (std::isnan(a) && std::isnan(b)) || a == b;
                      });
    if (same)
        return ::testing::AssertionSuccess();
    auto text = [](const Column& values) {
        std::string out;
        for (double value : values)
            out += std::to_string(value) + " ";
        return out;
    };
    return ::testing::AssertionFailure() << "got " << text(got) << "expected " << text(expected);
}

class NetCdfFiles {
public:
    NetCdfFiles() { EXPECT_TRUE(m_folder.isValid()); }

    std::string path(const std::string& name) const {
        return QDir(m_folder.path()).filePath(QString::fromStdString(name)).toStdString();
    }

    // The file ncgen makes from CDL text; "-k nc4" for netCDF-4.
    std::string generate(const std::string& name, const std::string& cdl, const QString& kind = "nc3") const {
        const std::string source = path(name + ".cdl"), file = path(name + ".nc");
        testsupport::writeBytes(source, QByteArray::fromStdString(cdl));
        QProcess ncgen;
        ncgen.start("ncgen",
                    {"-k", kind, "-o", QString::fromStdString(file), QString::fromStdString(source)});
        EXPECT_TRUE(ncgen.waitForFinished(60000));
        EXPECT_EQ(ncgen.exitCode(), 0) << ncgen.readAllStandardError().toStdString();
        return file;
    }

private:
    QTemporaryDir m_folder;
};

bool haveNcgen() {
    return !QStandardPaths::findExecutable("ncgen").isEmpty();
}

// A file written with ncgen and the data set a user must get from it.
struct ConventionCase {
    const char* name;
    const char* kind;
    const char* cdl;
    Names variables;
    std::vector<Column> values;
    std::vector<std::size_t> dimensions = {};
    std::vector<std::vector<Column>> laterSteps = {};
};

const ConventionCase conventionCases[] = {
    {"PackedShortsUnpackAfterTheFillIsCompared",
     "nc3",
     "netcdf p { dimensions: x = 4 ; variables: short T(x) ; T:scale_factor = 0.5 ; T:add_offset = 10. ;"
     " T:_FillValue = -1s ; data: T = 0, 3, -1, 4 ; }",
     {"T"},
     {{10.0, 11.5, nan, 12.0}}},
    {"FillValueAttributeAndTheTypesDefaultFillAreMissing",
     "nc3",
     "netcdf f { dimensions: x = 3 ; variables: double a(x) ; a:_FillValue = -999. ; float b(x) ;"
     " int c(x) ; data: a = 1, -999, 3 ; b = 1.5, _, 2.5 ; c = _, 7, 8 ; }",
     {"a", "b", "c"},
     {{1.0, nan, 3.0}, {1.5, nan, 2.5}, {nan, 7.0, 8.0}}},
    {"MissingValueAndValidBoundsAreMissing",
     "nc3",
     "netcdf v { dimensions: x = 4 ; variables: double r(x) ; r:valid_range = 0., 100. ;"
     " r:missing_value = 50. ; double lo(x) ; lo:valid_min = 2. ; double hi(x) ; hi:valid_max = 2. ;"
     " data: r = -1, 50, 100, 101 ; lo = 1, 2, 3, 4 ; hi = 1, 2, 3, 4 ; }",
     {"r", "lo", "hi"},
     {{nan, nan, 100.0, nan}, {nan, 2.0, 3.0, 4.0}, {1.0, 2.0, nan, nan}}},
    {"ValidRangeOfPackedValuesBoundsTheStoredIntegers",
     "nc3",
     "netcdf r { dimensions: x = 3 ; variables: short s(x) ; s:scale_factor = 2. ;"
     " s:valid_range = 0s, 10s ; data: s = -1, 5, 11 ; }",
     {"s"},
     {{nan, 10.0, nan}}},
    {"TwoDimensionalGridWithItsCoordinatesSpreadOverThePoints",
     "nc3",
     "netcdf g { dimensions: lat = 2 ; lon = 3 ; variables: float lat(lat) ; float lon(lon) ;"
     " double T(lat, lon) ; data: lat = -10, 10 ; lon = 100, 110, 120 ; T = 1, 2, 3, 4, 5, 6 ; }",
     {"lon", "lat", "T"},
     {{100, 110, 120, 100, 110, 120}, {-10, -10, -10, 10, 10, 10}, {1, 2, 3, 4, 5, 6}},
     {3, 2}},
    {"ThreeDimensionalGridIsIJK",
     "nc3",
     "netcdf k { dimensions: z = 2 ; y = 2 ; x = 2 ; variables: double z(z) ; double x(x) ;"
     " double P(z, y, x) ; data: z = 0, 5 ; x = 1, 2 ; P = 1, 2, 3, 4, 5, 6, 7, 8 ; }",
     {"x", "z", "P"},
     {{1, 2, 1, 2, 1, 2, 1, 2}, {0, 0, 0, 0, 5, 5, 5, 5}, {1, 2, 3, 4, 5, 6, 7, 8}},
     {2, 2, 2}},
    {"RecordsOfTheUnlimitedDimensionAreTimeSteps",
     "nc3",
     "netcdf t { dimensions: time = UNLIMITED ; x = 2 ; variables: double time(time) ; double x(x) ;"
     " short T(time, x) ; T:scale_factor = 0.25 ; double mean(time) ;"
     " data: time = 0, 1, 2 ; x = 5, 6 ; T = 4, 8, 12, 16, -32767, 20 ; mean = 1, 2, 3 ; }",
     {"x", "T"},
     {{5, 6}, {1, 2}},
     {2},
     {{{5, 6}, {3, 4}}, {{5, 6}, {nan, 5}}}},
    {"VariablesInGroupsCarryTheirPath",
     "nc4",
     "netcdf n { dimensions: x = 2 ; group: inner { variables: double v(x) ; data: v = 3, 4 ; } }",
     {"inner/v"},
     {{3, 4}}},
    {"EmptyUnlimitedDimensionYieldsToAFixedOneWithData",
     "nc3",
     "netcdf e { dimensions: time = UNLIMITED ; depth = 3 ; variables: double a(time) ; double b(time) ;"
     " double d(depth) ; data: d = 1, 2, 3 ; }",
     {"d"},
     {{1, 2, 3}}},
    {"OneDimensionalAlongTheUnlimitedStaysAList",
     "nc3",
     "netcdf l { dimensions: time = UNLIMITED ; variables: double time(time) ; float temp(time) ;"
     " data: time = 0, 0.5 ; temp = 1, 2 ; }",
     {"time", "temp"},
     {{0, 0.5}, {1, 2}}},
};

class NetCdfConventionsTest : public ::testing::TestWithParam<ConventionCase> {};

TEST_P(NetCdfConventionsTest, LoadsTheValuesAUserMustSee) {
    if (!haveNcgen())
        GTEST_SKIP() << "ncgen (netcdf-bin) is not installed";
    const ConventionCase& row = GetParam();
    NetCdfFiles files;
    const std::string file = files.generate(row.name, row.cdl, row.kind);
    const NetCdfLoad load = readNetCdf(file, {});
    EXPECT_EQ(load.file.path, file);
    EXPECT_EQ(load.file.values.variableNames, row.variables);
    EXPECT_EQ(load.file.values.dimensions, row.dimensions);
    ASSERT_EQ(load.file.values.values.size(), row.values.size());
    for (std::size_t variable = 0; variable < row.values.size(); ++variable)
        EXPECT_TRUE(sameValues(load.file.values.values[variable], row.values[variable]))
            << row.variables[variable];
    ASSERT_EQ(load.file.laterSteps.size(), row.laterSteps.size());
    for (std::size_t step = 0; step < row.laterSteps.size(); ++step) {
        EXPECT_EQ(load.file.laterSteps[step].variableNames, row.variables);
        EXPECT_EQ(load.file.laterSteps[step].dimensions, row.dimensions);
        for (std::size_t variable = 0; variable < row.values.size(); ++variable)
            EXPECT_TRUE(
                sameValues(load.file.laterSteps[step].values.at(variable), row.laterSteps[step][variable]))
                << "step " << step + 1 << " " << row.variables[variable];
    }
}

INSTANTIATE_TEST_SUITE_P(Files, NetCdfConventionsTest, ::testing::ValuesIn(conventionCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The options dialog's list and what a load leaves out say why a variable is not loaded.
TEST(NetCdfGridTest, VariablesOffTheChosenGridAreListedAndNotedByName) {
    if (!haveNcgen())
        GTEST_SKIP() << "ncgen (netcdf-bin) is not installed";
    NetCdfFiles files;
    const std::string file = files.generate(
        "mixed", "netcdf m { dimensions: y = 2 ; x = 2 ; n = 8 ; s = 3 ; variables: double A(y, x) ;"
                 " double B(y, x) ; double list(n) ; char station(x, s) ; double scalar ;"
                 " data: A = 1, 2, 3, 4 ; B = 5, 6, 7, 8 ; station = \"ab\", \"cd\" ; }");
    std::vector<std::string> listed;
    for (const auto& variable : qelmar::standin::netCdfVariables(file))
        listed.push_back(variable.name + "|" + variable.skippedBecause + "|" + variable.otherGrid);
    EXPECT_EQ(listed, (Names{"A||", "B||", "list||(n)", "station|text|", "scalar|a single value|"}));
    const NetCdfLoad load = readNetCdf(file, {});
    EXPECT_EQ(load.file.values.variableNames, (Names{"A", "B"}));
    ASSERT_EQ(load.notes.size(), 1u);
    for (const char* named : {"list (on the grid (n)", "station (text)", "scalar (a single value)"})
        EXPECT_NE(load.notes.front().find(named), std::string::npos) << load.notes.front();
    // Choosing the list alone changes the grid.
    EXPECT_EQ(readNetCdf(file, {"list"}).file.values.variableNames, (Names{"list"}));
}

#if !defined(__SANITIZE_ADDRESS__)
// Values the machine cannot hold end in a message with their size, not in std::terminate.
TEST(NetCdfFramesTest, ValuesBeyondFreeMemorySayHowLargeTheyAre) {
    std::string bytes;
    qelmar::standin::NetCdfFrameWriter out(
        [&bytes](const void* data, std::size_t size) { bytes.append(static_cast<const char*>(data), size); });
    out.text('N', "T");
    out.numbers('H', {std::uint64_t(1) << 42, 1});
    out.beginValues(std::uint64_t(1) << 42);
    std::size_t at = 0;
    const qelmar::standin::ByteSource source = [&](void* data, std::size_t size) {
        if (bytes.size() - at < size)
            return false;
        std::memcpy(data, bytes.data() + at, size);
        at += size;
        return true;
    };
    try {
        qelmar::standin::decodeNetCdfReply(source, "big.nc", std::size_t(1) << 50);
        ADD_FAILURE() << "allocated 32 TB";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "big.nc could not be loaded: its 4398046511104 values (33554432 MB) "
                  "need more memory than is free.");
    }
}
#endif

// A loader process that crashes, hangs or runs out of memory ends as a result for the parent.
TEST(IsolatedChildTest, CrashHangAndExitBecomeResultsOfTheParent) {
    using qelmar::standin::ChildEnd;
    using qelmar::standin::ChildLimits;
    using qelmar::standin::ChildPipe;
    using qelmar::standin::IsolatedChild;
    // Only the hang waits for its limit; the others get one a sanitizer's crash report on a busy
    // machine cannot reach, so that a slow crash is never taken for a hang.
    ChildLimits generous;
    generous.time = std::chrono::seconds(60);
    ChildLimits quick;
    quick.time = std::chrono::milliseconds(300);
    char byte = 0;
    {
        IsolatedChild child([](ChildPipe& pipe) { pipe.write("k", 1); }, generous);
        EXPECT_TRUE(child.read(&byte, 1));
        EXPECT_EQ(byte, 'k');
        EXPECT_FALSE(child.read(&byte, 1));
        EXPECT_EQ(child.finish(), ChildEnd::Exited);
    }
    {
        IsolatedChild child([](ChildPipe&) { std::raise(SIGSEGV); }, generous);
        EXPECT_FALSE(child.read(&byte, 1));
        EXPECT_EQ(child.finish(), ChildEnd::Crashed);
    }
    {
        IsolatedChild child(
            [](ChildPipe&) {
                while (true)
                    ::pause();
            },
            quick);
        EXPECT_FALSE(child.read(&byte, 1));
        EXPECT_EQ(child.finish(), ChildEnd::TimedOut);
    }
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(IsolatedChildTest, AllocationBeyondTheMemoryLimitFailsInTheChild) {
    using qelmar::standin::ChildPipe;
    qelmar::standin::ChildLimits small;
    small.memory = std::size_t(64) << 20;
    qelmar::standin::IsolatedChild child(
        [](ChildPipe& pipe) {
            try {
                std::vector<char> huge(std::size_t(1) << 30, 1);
                pipe.write("a", 1);
            } catch (const std::bad_alloc&) {
                pipe.write("m", 1);
            }
        },
        small);
    char byte = 0;
    EXPECT_TRUE(child.read(&byte, 1));
    EXPECT_EQ(byte, 'm');
}
#endif

// Frames the parent cannot trust: sizes beyond the load's limit are refused before allocating.
TEST(NetCdfFramesTest, DecoderRefusesInconsistentFramesWithoutAllocatingTheirClaims) {
    using qelmar::standin::NetCdfFrameWriter;
    const auto decode = [](const std::string& bytes) {
        std::size_t at = 0;
        return qelmar::standin::decodeNetCdfReply(
            [&](void* data, std::size_t size) {
                if (bytes.size() - at < size)
                    return false;
                std::memcpy(data, bytes.data() + at, size);
                at += size;
                return true;
            },
            "f.nc", 1000);
    };
    const auto frames = [](const std::function<void(NetCdfFrameWriter&)>& write) {
        std::string bytes;
        NetCdfFrameWriter out([&bytes](const void* data, std::size_t size) {
            bytes.append(static_cast<const char*>(data), size);
        });
        write(out);
        return bytes;
    };
    const std::string good = frames([](NetCdfFrameWriter& out) {
        out.text('N', "v");
        out.numbers('H', {2, 2});
        const double values[] = {1, 2, 3, 4};
        out.beginValues(2);
        out.valuesPart(values, 2);
        out.beginValues(2);
        out.valuesPart(values + 2, 2);
        out.end();
    });
    const auto reply = decode(good);
    EXPECT_TRUE(reply.complete);
    EXPECT_TRUE(sameValues(reply.file.values.values.at(0), {1, 2}));
    EXPECT_TRUE(sameValues(reply.file.laterSteps.at(0).values.at(0), {3, 4}));
    EXPECT_FALSE(decode(good.substr(0, good.size() - 9)).complete) << "a reply cut short is incomplete";

    const std::pair<const char*, std::function<void(NetCdfFrameWriter&)>> bad[] = {
        {"more than a load may take",
         [](NetCdfFrameWriter& out) {
             out.text('N', "v");
             out.numbers('H', {std::uint64_t(1) << 62, 4});
         }},
        {"values beyond the declared shape", [](NetCdfFrameWriter& out) { out.beginValues(1); }},
        {"do not multiply",
         [](NetCdfFrameWriter& out) {
             out.text('N', "v");
             out.numbers('D', {2, 3});
             out.numbers('H', {7, 1});
         }},
        {"a text of", [](NetCdfFrameWriter& out) { out.numbers('T', std::vector<std::uint64_t>(1 << 18)); }},
        {"fewer values",
         [](NetCdfFrameWriter& out) {
             out.text('N', "v");
             out.numbers('H', {1, 1});
             out.end();
         }},
    };
    for (const auto& [why, write] : bad) {
        try {
            decode(frames(write));
            ADD_FAILURE() << "accepted frames that should fail with " << why;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(why), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find("f.nc"), std::string::npos) << error.what();
        }
    }
    // A refusal in the middle of a variable still arrives whole.
    const auto refused = decode(frames([](NetCdfFrameWriter& out) {
        out.text('N', "v");
        out.numbers('H', {4, 1});
        const double value = 1;
        out.beginValues(4);
        out.valuesPart(&value, 1);
        out.text('E', "f.nc is damaged");
    }));
    EXPECT_EQ(refused.refusal, "f.nc is damaged");
}

// The loader as the application runs it, on files that were damaged byte by byte: every one
// ends in a message naming the file, and the data set shown before stays.
class NetCdfLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveNcgen())
            GTEST_SKIP() << "ncgen (netcdf-bin) is not installed";
        qelmar::sdk::ui::DataLoaderRepository::getInstance().clear();
        qelmar::standin::installStandardDataLoaders();
        frame = app.addFrame(app.addPage("Page"), "Frame");
        app.attachDataSet(frame, {"old", {"x"}, {{1.0}}}, true, files.path("old.plt"));
    }
    void TearDown() override { qelmar::sdk::ui::DataLoaderRepository::getInstance().clear(); }

    static bool load(const std::string& file) {
        for (const auto& loader :
             qelmar::sdk::ui::DataLoaderRepository::getInstance().dataLoaderInterfaces(true)) {
            if (loader->properties().name == "NetCDF")
                return loader->load(nullptr, {file}, false, qelmar::dataload::ReplaceAndRetainStyle);
        }
        ADD_FAILURE() << "no NetCDF loader";
        return false;
    }
    const qelmar::standin::DataSet& shown() const {
        return *qelmar::standin::ApplicationModel::instance().frame(frame).dataSet;
    }
    void expectRefused(const std::string& file, const std::string& why) {
        EXPECT_FALSE(load(file));
        EXPECT_EQ(shown().contents.title, "old");
        const std::string& message = qelmar::standin::lastErrorMessage();
        EXPECT_NE(message.find(file), std::string::npos) << message;
        EXPECT_NE(message.find(why), std::string::npos) << message;
    }
    std::string damaged(const QByteArray& bytes) const {
        const std::string file = files.path("damaged.nc");
        testsupport::writeBytes(file, bytes);
        return file;
    }

    NetCdfFiles files;
    qelmar::standin::testing::KernelTestControl kernel;
    qelmar::standin::testing::ApplicationTestControl app;
    int frame = 0;
};

constexpr const char* gridded =
    "netcdf g { dimensions: time = UNLIMITED ; lat = 2 ; lon = 3 ; variables: double time(time) ;"
    " float lat(lat) ; float lon(lon) ; short T(time, lat, lon) ; T:scale_factor = 0.5 ;"
    " char label(lat, lon) ; data: time = 0, 1 ; lat = 1, 2 ; lon = 1, 2, 3 ;"
    " T = 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 ; }";

TEST_F(NetCdfLoaderTest, GriddedRecordsLoadAsAnOrderedZoneAndSkippedTextIsTold) {
    const std::string file = files.generate("grid", gridded);
    ASSERT_TRUE(load(file)) << qelmar::standin::lastErrorMessage();
    EXPECT_EQ(shown().contents.variableNames, (Names{"lon", "lat", "T"}));
    EXPECT_TRUE(sameValues(shown().contents.values.at(2), {0.5, 1, 1.5, 2, 2.5, 3}));
    const auto information = kernel.messagesOfType(2);
    ASSERT_EQ(information.size(), 1u);
    EXPECT_NE(information.front().text.find("label (text)"), std::string::npos) << information.front().text;
}

TEST_F(NetCdfLoaderTest, AFileWithoutRecordsIsRefusedNotLoadedEmpty) {
    expectRefused(files.generate("empty",
                                 "netcdf e { dimensions: time = UNLIMITED ; variables: double a(time) ;"
                                 " float b(time) ; }"),
                  "holds no data points");
}

// A few bytes of header can declare more values than memory holds; nothing is allocated.
TEST_F(NetCdfLoaderTest, DeclaredSizesBeyondWhatALoadMayTakeAreRefusedBeforeReading) {
    const std::string file =
        files.generate("huge", "netcdf h { dimensions: n = 400000000 ; variables: float T(n) ; }", "nc4");
    ASSERT_LT(QFileInfo(QString::fromStdString(file)).size(), 100000);
    expectRefused(file, "declares 400000000 values for T but");
}

TEST_F(NetCdfLoaderTest, DamagedHeadersTruncationsAndGarbageEndInAMessage) {
    const QByteArray good = testsupport::contentsOf(files.generate("good", gridded));
    // The count of dimensions, after the magic, the record count and the list's tag.
    QByteArray dimensions = good;
    const char countAll[] = {0x7F, char(0xFF), char(0xFF), char(0xFF)};
    dimensions.replace(12, 4, countAll, 4);
    expectRefused(damaged(dimensions), "could not be read");

    for (const qsizetype length :
         {qsizetype(0), qsizetype(3), qsizetype(20), qsizetype(good.size() / 2), qsizetype(good.size() - 8)})
        expectRefused(damaged(good.left(length)), "damaged.nc");

    QRandomGenerator random(11);
    QByteArray garbage(700, '\0');
    for (char& byte : garbage)
        byte = static_cast<char>(random.bounded(256));
    expectRefused(damaged("CDF\x01" + garbage), "damaged.nc");
    expectRefused(damaged("\x89HDF\r\n\x1a\n" + garbage), "damaged.nc");

    // Any flipped header byte either still loads or is refused by name; nothing ends the process.
    const QByteArray nc4 = testsupport::contentsOf(files.generate("good4", gridded, "nc4"));
    for (const QByteArray& original : {good, nc4}) {
        for (int round = 0; round < 40; ++round) {
            QByteArray changed = original;
            const int at = random.bounded(static_cast<int>(std::min<qsizetype>(changed.size(), 2000)));
            changed[at] = static_cast<char>(changed[at] ^ (1 << random.bounded(8)));
            if (!load(damaged(changed))) {
                EXPECT_NE(qelmar::standin::lastErrorMessage().find("damaged.nc"), std::string::npos)
                    << qelmar::standin::lastErrorMessage();
            }
        }
    }
}

// A reader that never returns (here blocked on a pipe no one writes) is stopped in time.
TEST_F(NetCdfLoaderTest, AReaderThatHangsIsStoppedAtTheTimeLimit) {
    const std::string fifo = files.path("never.nc");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    NetCdfLimits limits;
    limits.reader.time = std::chrono::milliseconds(1000);
    try {
        readNetCdf(fifo, {}, limits);
        ADD_FAILURE() << "read a file that never ends";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()),
                  fifo + " could not be read: the NetCDF library took longer than 1 s on it"
                         " (it may be damaged).");
    }
}

} // namespace
