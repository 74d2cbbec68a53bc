#include "host/KernelDataLoad.h"
#include "common/FileBytes.h"
#include "host/DataLoad.h"
#include "host/DataLoaderRepository.h"
#include "host/KernelErrors.h"
#include "host/KernelString.h"
#include "kernel/ApplicationModel.h"
#include "kernel/DataFileFormat.h"
#include "kernel/LastError.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/CallRecording.h"
#include "kernel/testing/KernelTestControl.h"
#include "loaders/StandardDataLoaders.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace qelmar::dataload;
using qelmar::sdk::DataLoad;
using qelmar::sdk::ui::DataLoaderRepository;
using qelmar::standin::ApplicationModel;
using qelmar::standin::DataSet;
using qelmar::standin::FailMode;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::CallRecording;
using qelmar::standin::testing::KernelTestControl;
using Names = std::vector<std::string>;
using Values = std::vector<double>;

std::string lastError() {
    return qelmar::sdk::KernelString(QelUtilGetLastErrorMessage()).str();
}

std::string refusal(const std::string& why) {
    return "The data could not be loaded: " + why + ". Nothing was loaded.";
}

class KernelDataLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        frame = app.addFrame(app.addPage("Page"), "Frame");
        app.attachDataSet(frame, {"old", {"x", "y"}, {{1.0}, {2.0}}}, true, path("old.plt"));
    }

    std::string path(const std::string& name) const {
        return QDir(folder.path()).filePath(QString::fromStdString(name)).toStdString();
    }
    const DataSet& shown() const { return *ApplicationModel::instance().frame(frame).dataSet; }

    // A zone of the variables x and y over `points` points at the current step.
    static bool addXY(DataLoad& load, const Values& x, const Values& y) {
        return load.addVariable("x", x) && load.addVariable("y", y);
    }

    QTemporaryDir folder;
    KernelTestControl kernel;
    ApplicationTestControl app;
    int frame = 0;
};

// Files, zones, time steps and an ordered zone's dimensions arrive as the loader built them,
// and only once the load is applied.
TEST_F(KernelDataLoadTest, ZonesStepsAndDimensionsArriveOnlyWhenApplied) {
    DataLoad load;
    ASSERT_FALSE(load.isNull());
    ASSERT_TRUE(load.beginFile(path("a.dat")));
    ASSERT_TRUE(load.beginZone("grid"));
    ASSERT_TRUE(load.setDimensions({2, 1}));
    ASSERT_TRUE(addXY(load, {0, 1}, {10, 11}));
    ASSERT_TRUE(load.beginTimeStep("grid later"));
    ASSERT_TRUE(load.setDimensions({2, 1}));
    ASSERT_TRUE(addXY(load, {0, 1}, {20, 21}));
    ASSERT_TRUE(load.beginZone("list"));
    ASSERT_TRUE(addXY(load, {5}, {50}));
    ASSERT_TRUE(load.beginTimeStep("list later"));
    ASSERT_TRUE(addXY(load, {5}, {60}));
    EXPECT_EQ(shown().contents.title, "old") << "nothing reaches the frames before the load is applied";

    ASSERT_TRUE(load.apply(ReplaceAndRetainStyle)) << lastError();
    ASSERT_EQ(shown().zoneCount(), 2);
    ASSERT_EQ(shown().stepCount(), 2);
    EXPECT_EQ(shown().contents.title, "grid");
    EXPECT_EQ(shown().contents.dimensions, (std::vector<std::size_t>{2, 1}));
    EXPECT_EQ(shown().laterSteps[0].title, "grid later");
    EXPECT_EQ(shown().laterSteps[0].values, (std::vector<Values>{{0, 1}, {20, 21}}));
    EXPECT_EQ(shown().laterZones[0].title, "list");
    EXPECT_TRUE(shown().laterZones[0].dimensions.empty());
    EXPECT_EQ(shown().laterZoneSteps[0][0].values, (std::vector<Values>{{5}, {60}}));
    // The file is remembered once however many zones it brought, and reloading it gives this.
    EXPECT_EQ(shown().dataFiles, Names{path("a.dat")});
    EXPECT_TRUE(shown().journalValid);

    // Applying empties the load.
    EXPECT_FALSE(load.apply(ReplaceAndRetainStyle));
    EXPECT_EQ(lastError(), "There is no data to load.");
    EXPECT_EQ(shown().contents.title, "grid");
}

// Computed values come from no file: the data set cannot be reloaded from its files.
TEST_F(KernelDataLoadTest, ValuesFromNoFileMakeADataSetWithoutFiles) {
    DataLoad load;
    ASSERT_TRUE(load.beginFile(""));
    ASSERT_TRUE(load.beginZone("y = x"));
    ASSERT_TRUE(addXY(load, {1, 2}, {1, 2}));
    ASSERT_TRUE(load.apply(ReplaceAndRetainStyle)) << lastError();
    EXPECT_EQ(shown().contents.title, "y = x");
    EXPECT_TRUE(shown().dataFiles.empty());
    EXPECT_FALSE(shown().journalValid);
}

// A load freed without being applied (a loader failing halfway) changes nothing and leaks nothing.
TEST_F(KernelDataLoadTest, AFreedLoadChangesNothing) {
    CallRecording recording;
    {
        DataLoad load;
        ASSERT_TRUE(load.beginFile(path("a.dat")));
        ASSERT_TRUE(load.beginZone("new"));
        ASSERT_TRUE(addXY(load, {3}, {4}));
    }
    EXPECT_EQ(shown().contents.title, "old");
    EXPECT_EQ(kernel.callsNamed("QelUtilDataLoadAlloc").size(), 1u);
    EXPECT_EQ(kernel.callsNamed("QelUtilDataLoadDealloc").size(), 1u);
    EXPECT_FALSE(kernel.wasCalled("QelUtilDataLoadApply"));
}

// A load built out of order or with values that do not fit together is refused with a reason,
// by the call that breaks it or else when it is applied, and nothing is loaded.
struct MisbuiltLoad {
    const char* name;
    // Builds the load; returns the result of the call that should be refused.
    std::function<bool(DataLoad&)> build;
    std::string why;
    bool refusedWhenApplied = false;
};

class MisbuiltLoads : public KernelDataLoadTest, public ::testing::WithParamInterface<MisbuiltLoad> {};

TEST_P(MisbuiltLoads, AreRefusedWithAReasonAndLoadNothing) {
    const MisbuiltLoad& misbuilt = GetParam();
    DataLoad load;
    if (misbuilt.refusedWhenApplied) {
        ASSERT_TRUE(misbuilt.build(load)) << lastError();
        EXPECT_FALSE(load.apply(ReplaceAndRetainStyle));
    } else {
        EXPECT_FALSE(misbuilt.build(load));
    }
    EXPECT_EQ(lastError(), refusal(misbuilt.why));
    EXPECT_EQ(shown().contents.title, "old");
}

bool fileAndZone(DataLoad& load) {
    return load.beginFile("a.dat") && load.beginZone("z");
}

INSTANTIATE_TEST_SUITE_P(
    KernelDataLoad, MisbuiltLoads,
    ::testing::Values(
        MisbuiltLoad{"ZoneBeforeItsFile", [](DataLoad& load) { return load.beginZone("z"); },
                     "a zone was begun before its file"},
        MisbuiltLoad{"ValuesBeforeAZone",
                     [](DataLoad& load) { return load.beginFile("a.dat") && load.addVariable("x", {1}); },
                     "values were given before a zone was begun"},
        MisbuiltLoad{"TimeStepBeforeAZone",
                     [](DataLoad& load) { return load.beginFile("a.dat") && load.beginTimeStep("t"); },
                     "values were given before a zone was begun"},
        MisbuiltLoad{
            "VariablesOfDifferentLengths",
            [](DataLoad& load) {
                return fileAndZone(load) && load.addVariable("x", {1, 2}) && load.addVariable("y", {1, 2, 3});
            },
            "the variable y has 3 values where the other variables of its zone have 2"},
        MisbuiltLoad{"FourDimensions",
                     [](DataLoad& load) {
                         return fileAndZone(load) && load.setDimensions({1, 1, 1, 1});
                     },
                     "an ordered zone needs one to three dimensions"},
        MisbuiltLoad{"AnEmptyDimension",
                     [](DataLoad& load) {
                         return fileAndZone(load) && load.setDimensions({2, 0});
                     },
                     "an ordered zone's dimensions must be positive"},
        MisbuiltLoad{"MissingValues",
                     [](DataLoad& load) {
                         return fileAndZone(load) &&
                                QelUtilDataLoadAddVariable(load.getRef(), "x", nullptr, 2);
                     },
                     "a variable's values were missing"},
        MisbuiltLoad{"NoLoadAtAll", [](DataLoad&) { return QelUtilDataLoadBeginFile(nullptr, "a.dat"); },
                     "no data load was given"},
        MisbuiltLoad{
            "DimensionsThatDoNotMultiplyToThePoints",
            [](DataLoad& load) {
                return fileAndZone(load) && load.setDimensions({3, 1}) && load.addVariable("x", {1, 2});
            },
            "the zone \"z\" of a.dat has dimensions that do not multiply to its 2 points", true},
        MisbuiltLoad{"DimensionsOfALaterStepThatDoNotMultiplyToThePoints",
                     [](DataLoad& load) {
                         return fileAndZone(load) && load.setDimensions({2}) &&
                                load.addVariable("x", {1, 2}) && load.beginTimeStep("later") &&
                                load.setDimensions({1, 3}) && load.addVariable("x", {3, 4});
                     },
                     "the zone \"z\" of a.dat has dimensions that do not multiply to its 2 points", true},
        // 2^62 x 4 wraps around to 0 in 64 bits.
        MisbuiltLoad{"DimensionsWhoseProductWrapsAroundToThePoints",
                     [](DataLoad& load) {
                         return fileAndZone(load) && load.setDimensions({std::size_t(1) << 62, 4}) &&
                                load.addVariable("x", {});
                     },
                     "the zone \"z\" of a.dat has dimensions that do not multiply to its 0 points", true},
        MisbuiltLoad{
            "TimeStepWithOtherVariables",
            [](DataLoad& load) {
                return fileAndZone(load) && load.addVariable("x", {1}) && load.addVariable("y", {2}) &&
                       load.beginTimeStep("later") && load.addVariable("y", {3}) &&
                       load.addVariable("x", {4});
            },
            "the zone \"z\" of a.dat has time steps with other variables or points than its first step",
            true},
        MisbuiltLoad{
            "TimeStepWithOtherPoints",
            [](DataLoad& load) {
                return fileAndZone(load) && load.addVariable("x", {1}) && load.beginTimeStep("later") &&
                       load.addVariable("x", {3, 4});
            },
            "the zone \"z\" of a.dat has time steps with other variables or points than its first step",
            true}),
    [](const ::testing::TestParamInfo<MisbuiltLoad>& info) { return std::string(info.param.name); });

// The kernel reads its own data files whole: every zone through every step, or nothing of a
// damaged file, while what the load held before stays.
TEST_F(KernelDataLoadTest, DataFilesAreReadWholeOrNotAtAll) {
    using qelmar::standin::DataValues;
    qelmar::standin::DataFileContents contents;
    contents.zones = {
        {DataValues{"first", {"x"}, {{1, 2}}, {}}, DataValues{"first later", {"x"}, {{3, 4}}, {}}},
        {DataValues{"second", {"x"}, {{5}}, {}}, DataValues{"second later", {"x"}, {{6}}, {}}}};
    ASSERT_NO_THROW(qelmar::standin::writeDataFile(path("good.plt"), contents));
    QByteArray bytes = testsupport::contentsOf(path("good.plt"));
    bytes.chop(5);
    testsupport::writeBytes(path("cut.plt"), bytes);

    DataLoad load;
    ASSERT_TRUE(load.readDataFile(path("good.plt"))) << lastError();
    EXPECT_FALSE(load.readDataFile(path("cut.plt")));
    EXPECT_NE(lastError().find(path("cut.plt")), std::string::npos) << lastError();
    EXPECT_FALSE(load.addVariable("x", {7})) << "a refused file is no file to add values to";
    EXPECT_FALSE(load.readDataFile(path("missing.plt")));
    EXPECT_NE(lastError().find(path("missing.plt")), std::string::npos) << lastError();

    ASSERT_TRUE(load.apply(ReplaceAndRetainStyle)) << lastError();
    const qelmar::standin::DataFileContents loaded = shown().allValues();
    ASSERT_EQ(loaded.zones.size(), 2u);
    for (std::size_t zone = 0; zone < 2; ++zone) {
        ASSERT_EQ(loaded.zones[zone].size(), 2u);
        for (std::size_t step = 0; step < 2; ++step) {
            EXPECT_EQ(loaded.zones[zone][step].title, contents.zones[zone][step].title);
            EXPECT_EQ(loaded.zones[zone][step].values, contents.zones[zone][step].values);
        }
    }
    EXPECT_EQ(shown().dataFiles, Names{path("good.plt")});
    EXPECT_TRUE(shown().journalValid);
}

// A loader whose own reading failed leaves its reason where the host reads every kernel failure.
TEST_F(KernelDataLoadTest, LoadersSetAndClearTheReasonOfAFailure) {
    ASSERT_TRUE(QelUtilSetLastErrorMessage("b.csv, line 2: short row."));
    EXPECT_EQ(lastError(), "b.csv, line 2: short row.");
    ASSERT_TRUE(QelUtilSetLastErrorMessage(nullptr));
    EXPECT_EQ(lastError(), "");
}

// The standard loaders reach the kernel through the data load calls alone, and every one of them
// passes the kernel's failure switch: a call that fails in the middle of a load leaves the data
// as it was, and the user still gets a reason.
struct SwitchedOffCall {
    const char* name;
    const char* loader;
    const char* file;
    const char* call;
};

class LoadersWithASwitchedOffCall : public KernelDataLoadTest,
                                    public ::testing::WithParamInterface<SwitchedOffCall> {
protected:
    void SetUp() override {
        KernelDataLoadTest::SetUp();
        DataLoaderRepository::getInstance().clear();
        qelmar::standin::installStandardDataLoaders();
        testsupport::writeBytes(path("a.csv"), "x,y\n1,2\n3,4\n");
        ASSERT_NO_THROW(qelmar::standin::writeDataFile(
            path("a.plt"), qelmar::standin::DataValues{"new", {"x", "y"}, {{1, 3}, {2, 4}}, {}}));
    }
    void TearDown() override { DataLoaderRepository::getInstance().clear(); }

    static bool load(const std::string& loaderName, const std::string& file) {
        for (const auto& loader : DataLoaderRepository::getInstance().dataLoaderInterfaces(true)) {
            if (loader->properties().name == loaderName)
                return loader->load(nullptr, {file}, false, ReplaceAndRetainStyle);
        }
        ADD_FAILURE() << "no loader " << loaderName;
        return false;
    }
};

TEST_P(LoadersWithASwitchedOffCall, LoadNothingAndGiveAReason) {
    const SwitchedOffCall& switched = GetParam();
    {
        CallRecording recording;
        ASSERT_TRUE(load(switched.loader, path(switched.file))) << lastError();
        EXPECT_TRUE(kernel.wasCalled(switched.call)) << switched.call;
    }
    const std::string loaded = shown().contents.title;
    app.attachDataSet(frame, {"old", {"x", "y"}, {{1.0}, {2.0}}}, true, path("old.plt"));

    kernel.failCall(switched.call, FailMode::Once);
    EXPECT_FALSE(load(switched.loader, path(switched.file)));
    EXPECT_EQ(shown().contents.title, "old");
    EXPECT_FALSE(lastError().empty());
    kernel.clearFailures();
    EXPECT_TRUE(load(switched.loader, path(switched.file))) << lastError();
    EXPECT_EQ(shown().contents.title, loaded);
}

INSTANTIATE_TEST_SUITE_P(
    KernelDataLoad, LoadersWithASwitchedOffCall,
    ::testing::Values(
        SwitchedOffCall{"DelimitedTextAlloc", "Delimited Text", "a.csv", "QelUtilDataLoadAlloc"},
        SwitchedOffCall{"DelimitedTextBeginFile", "Delimited Text", "a.csv", "QelUtilDataLoadBeginFile"},
        SwitchedOffCall{"DelimitedTextBeginZone", "Delimited Text", "a.csv", "QelUtilDataLoadBeginZone"},
        SwitchedOffCall{"DelimitedTextAddVariable", "Delimited Text", "a.csv", "QelUtilDataLoadAddVariable"},
        SwitchedOffCall{"DataFileRead", "Qelmar Data", "a.plt", "QelUtilDataLoadReadDataFile"}),
    [](const ::testing::TestParamInfo<SwitchedOffCall>& info) { return std::string(info.param.name); });

} // namespace
