// Random data sets of several zones and time steps go out through the kernel's writers (data
// file, linked layout, package) and come back through its readers and the data file loader;
// every name and every number must come back, bit for bit.

#include "KernelSaveCalls.h"
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
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace qelmar::standin;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;

double fromBits(std::uint64_t bits) {
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint64_t bitsOf(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Mostly the values that get lost on the way: NaNs with payloads and signs, infinities,
// denormals, negative zero; otherwise any bit pattern at all.
rc::Gen<double> values() {
    const std::vector<double> awkward = {fromBits(0x7FF8000000000000U),
                                         fromBits(0x7FF8000000000001U),
                                         fromBits(0xFFF800000000BEEFU),
                                         fromBits(0x7FF0000000000001U),
                                         std::numeric_limits<double>::infinity(),
                                         -std::numeric_limits<double>::infinity(),
                                         std::numeric_limits<double>::denorm_min(),
                                         fromBits(0x800FFFFFFFFFFFFFU),
                                         -0.0,
                                         0.0,
                                         std::numeric_limits<double>::max(),
                                         1.0};
    return rc::gen::oneOf(rc::gen::elementOf(awkward),
                          rc::gen::map(rc::gen::arbitrary<std::uint64_t>(), fromBits));
}

// Names that name matching, escaping or an encoding could spoil, and arbitrary ones.
rc::Gen<std::string> names() {
    return rc::gen::oneOf(rc::gen::element<std::string>("t", "T", " ", " x  y ", "<u'v'>", "a&b", "\"q\"",
                                                        "\xc2\xb5m", "\xe6\xb8\xa9\xe5\xba\xa6", "a\tb\nc\\"),
                          rc::gen::arbitrary<std::string>());
}

// A zone's dimensions: none for a list of points, else one to three.
rc::Gen<std::vector<std::size_t>> shapes() {
    return rc::gen::oneOf(rc::gen::just(std::vector<std::size_t>{}),
                          rc::gen::container<std::vector<std::size_t>>(*rc::gen::inRange<std::size_t>(1, 4),
                                                                       rc::gen::inRange<std::size_t>(1, 4)));
}

// Every zone with the same steps and variables; each zone its own number of points, at least one.
DataFileContents randomDataSet() {
    const auto variableNames = *rc::gen::nonEmpty(rc::gen::container<std::vector<std::string>>(names()));
    const int zones = *rc::gen::inRange(1, 4);
    const int steps = *rc::gen::inRange(1, 4);
    DataFileContents contents;
    for (int zone = 0; zone < zones; ++zone) {
        const std::vector<std::size_t> dimensions = *shapes();
        std::size_t points = 1;
        for (const std::size_t dimension : dimensions)
            points *= dimension;
        if (dimensions.empty())
            points = *rc::gen::inRange<std::size_t>(1, 7);
        auto& zoneSteps = contents.zones.emplace_back();
        for (int step = 0; step < steps; ++step) {
            DataValues& block = zoneSteps.emplace_back();
            block.title = *names();
            block.variableNames = variableNames;
            block.dimensions = dimensions;
            for (std::size_t variable = 0; variable < variableNames.size(); ++variable)
                block.values.push_back(*rc::gen::container<std::vector<double>>(points, values()));
        }
    }
    return contents;
}

// A mismatch names the zone and step, and compares bit patterns so that NaNs compare too.
std::string differenceBetween(const DataFileContents& actual, const DataFileContents& expected) {
    if (actual.zones.size() != expected.zones.size())
        return std::to_string(actual.zones.size()) + " zones instead of " +
               std::to_string(expected.zones.size());
    for (std::size_t zone = 0; zone < expected.zones.size(); ++zone) {
        if (actual.zones[zone].size() != expected.zones[zone].size())
            return "zone " + std::to_string(zone) + " has other time steps";
        for (std::size_t step = 0; step < expected.zones[zone].size(); ++step) {
            const DataValues& got = actual.zones[zone][step];
            const DataValues& want = expected.zones[zone][step];
            const std::string where = "zone " + std::to_string(zone) + " step " + std::to_string(step) + ": ";
            if (got.title != want.title || got.variableNames != want.variableNames)
                return where + "a name differs";
            if (got.dimensions != want.dimensions)
                return where + "the dimensions differ";
            if (got.values.size() != want.values.size())
                return where + "the variables differ";
            for (std::size_t variable = 0; variable < want.values.size(); ++variable) {
                std::vector<std::uint64_t> gotBits, wantBits;
                for (const double value : got.values[variable])
                    gotBits.push_back(bitsOf(value));
                for (const double value : want.values[variable])
                    wantBits.push_back(bitsOf(value));
                if (gotBits != wantBits)
                    return where + "the values of variable " + std::to_string(variable) + " differ";
            }
        }
    }
    return {};
}

class Application {
public:
    Application() { m_frame = m_app.addFrame(m_app.addPage("Page"), "Frame"); }

    std::string path(const std::string& name) const {
        return QDir(m_folder.path()).filePath(QString::fromStdString(name)).toStdString();
    }
    void show(const DataFileContents& contents) {
        ApplicationModel::instance().attachDataSet(m_frame, contents, false, {});
    }
    const DataSet& shown() const { return *ApplicationModel::instance().frame(m_frame).dataSet; }

    static bool load(const std::vector<std::string>& files) {
        return makeDataFileLoader()->load(nullptr, files, false, qelmar::dataload::ReplaceAndRetainStyle);
    }

private:
    QTemporaryDir m_folder;
    KernelTestControl m_kernel;
    ApplicationTestControl m_app;
    int m_frame = 0;
};

void writeBytes(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    RC_ASSERT(file.open(QIODevice::WriteOnly));
    RC_ASSERT(file.write(bytes) == bytes.size());
}

RC_GTEST_PROP(DataSetRoundTrip, ADataSetWrittenAsADataFileComesBackWhole, ()) {
    const DataFileContents original = randomDataSet();
    Application application;
    application.show(original);
    const std::string file = application.path("written.plt");
    RC_ASSERT(testsupport::writeCurrentDataSet(file));
    RC_ASSERT(differenceBetween(readDataFile(file), original) == "");
    // The data set written is now the file's: a reload would give it again.
    RC_ASSERT(application.shown().dataFiles == std::vector<std::string>{file});
    RC_ASSERT(application.shown().journalValid);

    RC_ASSERT(Application::load({file}));
    RC_ASSERT(differenceBetween(application.shown().allValues(), original) == "");
    RC_ASSERT(application.shown().journalValid);
    RC_ASSERT(application.shown().dataFiles == std::vector<std::string>{file});
}

// One file per zone, loaded together: the linked layout names them all, and loading what it names
// gives the data set again.
RC_GTEST_PROP(DataSetRoundTrip, ADataSetOfSeveralFilesComesBackFromItsLinkedLayout, ()) {
    const DataFileContents original = randomDataSet();
    Application application;
    std::vector<std::string> files;
    for (const auto& zone : original.zones) {
        files.push_back(application.path("zone" + std::to_string(files.size()) + ".plt"));
        DataFileContents alone;
        alone.zones.push_back(zone);
        writeDataFile(files.back(), alone);
    }
    RC_ASSERT(Application::load(files));
    RC_ASSERT(application.shown().journalValid);
    const std::string layoutFile = application.path("linked.lay");
    RC_ASSERT(testsupport::saveLayout(layoutFile, 0));
    const LayoutDocument layout = readLayoutFile(layoutFile);
    RC_ASSERT(layout.pages.at(0).frames.at(0).dataFiles == files);

    DataFileContents other;
    other.zones.push_back({{"other", {"o"}, {{1.0}}, {}}});
    application.show(other);
    RC_ASSERT(Application::load(layout.pages[0].frames[0].dataFiles));
    RC_ASSERT(differenceBetween(application.shown().allValues(), original) == "");
}

RC_GTEST_PROP(DataSetRoundTrip, ADataSetSavedInAPackageComesBackWhole, ()) {
    const DataFileContents original = randomDataSet();
    Application application;
    application.show(original);
    const std::string package = application.path("packed.lpk");
    RC_ASSERT(testsupport::saveLayout(package, 1));
    const LayoutDocument layout = readPackagedLayout(package);
    RC_ASSERT(layout.pages.at(0).frames.at(0).dataFiles == std::vector<std::string>{"data/1.plt"});

    const std::string unpacked = application.path("unpacked.plt");
    writeBytes(unpacked, readPackageEntry(package, "data/1.plt"));
    RC_ASSERT(Application::load({unpacked}));
    RC_ASSERT(differenceBetween(application.shown().allValues(), original) == "");
}

} // namespace
