#include "common/FileBytes.h"
#include "host/DataLoaderRepository.h"
#include "host/KernelStateChange.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"
#include "kernel/ApplicationModel.h"
#include "kernel/DataFileFormat.h"
#include "kernel/LastError.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "loaders/StandardDataLoaders.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>
#include <netcdf.h>

#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace qelmar::dataload;
using qelmar::sdk::ui::DataLoaderPtr;
using qelmar::sdk::ui::DataLoaderRepository;
using qelmar::standin::ApplicationModel;
using qelmar::standin::DataSet;
using qelmar::standin::DataValues;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::KernelTestControl;
using Columns = std::vector<std::vector<double>>;

// Answers the modal dialog with the object name from inside its event loop; a dialog the step
// leaves open is rejected, so no test waits.
class DialogAnswer {
public:
    DialogAnswer(const char* objectName, std::function<void(QDialog&)> step)
        : m_name(objectName)
        , m_step(std::move(step)) {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { tick(); });
        m_poll.start(10);
    }
    ~DialogAnswer() { EXPECT_TRUE(m_answered) << m_name.toStdString() << " never appeared"; }

private:
    void tick() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != m_name || m_answered)
            return;
        m_answered = true;
        m_poll.stop();
        m_step(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    }

    QString m_name;
    std::function<void(QDialog&)> m_step;
    QTimer m_poll;
    bool m_answered = false;
};

void pressOk(QDialog& dialog) {
    dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
}

void nc(int status) {
    ASSERT_EQ(status, NC_NOERR) << nc_strerror(status);
}

// time (unlimited) and depth (2) with the 1-D variables time, temp (float, with a fill value)
// and salt along time, grid along both and a scalar.
void writeNetCdf(const std::string& path) {
    int id = 0, time = 0, depth = 0, timeVar = 0, temp = 0, salt = 0, grid = 0, scale = 0;
    nc(nc_create(path.c_str(), NC_CLOBBER, &id));
    nc(nc_def_dim(id, "time", NC_UNLIMITED, &time));
    nc(nc_def_dim(id, "depth", 2, &depth));
    const int both[] = {time, depth};
    nc(nc_def_var(id, "time", NC_DOUBLE, 1, &time, &timeVar));
    nc(nc_def_var(id, "temp", NC_FLOAT, 1, &time, &temp));
    nc(nc_def_var(id, "salt", NC_DOUBLE, 1, &time, &salt));
    nc(nc_def_var(id, "grid", NC_DOUBLE, 2, both, &grid));
    nc(nc_def_var(id, "scale", NC_DOUBLE, 0, nullptr, &scale));
    const float fill = -999.0f;
    nc(nc_put_att_float(id, temp, "_FillValue", NC_FLOAT, 1, &fill));
    nc(nc_enddef(id));
    const double times[] = {0.0, 0.5, 1.0}, salts[] = {35.0, 35.25, -1e-300}, cells[6] = {1, 2, 3, 4, 5, 6};
    const float temps[] = {12.5f, -999.0f, -3.25f};
    const size_t start[] = {0, 0}, count[] = {3, 2};
    nc(nc_put_vara_double(id, timeVar, start, count, times));
    nc(nc_put_vara_float(id, temp, start, count, temps));
    nc(nc_put_vara_double(id, salt, start, count, salts));
    nc(nc_put_vara_double(id, grid, start, count, cells));
    nc(nc_close(id));
}

// Answers the kernel's match-variables question as the post-load window would, and remembers
// what it was asked; registered for its lifetime.
class MatchVariablesAnswer {
public:
    explicit MatchVariablesAnswer(std::optional<qelmar::toolbox::StringList> answer)
        : m_answer(std::move(answer)) {
        QelEngMatchVariablesRegisterCallback(&MatchVariablesAnswer::called, this);
    }
    ~MatchVariablesAnswer() { QelEngMatchVariablesRegisterCallback(nullptr, nullptr); }

    int calls = 0;
    std::string existing;
    std::vector<std::string> incoming;

private:
    static StringList_s* called(StringList_s* existing, StringList_s* const* incoming, long count,
                                void* self) {
        auto& answer = *static_cast<MatchVariablesAnswer*>(self);
        ++answer.calls;
        answer.existing = qelmar::toolbox::StringList(QelUtilStringListCopy(existing)).toNLString();
        for (long file = 0; file < count; ++file)
            answer.incoming.push_back(
                qelmar::toolbox::StringList(QelUtilStringListCopy(incoming[file])).toNLString());
        return answer.m_answer ? qelmar::toolbox::StringList(*answer.m_answer).release() : nullptr;
    }

    std::optional<qelmar::toolbox::StringList> m_answer;
};

class DataLoadersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        DataLoaderRepository::getInstance().clear();
        qelmar::standin::installStandardDataLoaders();
        frame = app.addFrame(app.addPage("Page"), "Frame");
        app.attachDataSet(frame, {"old", {"x", "y"}, {{1.0}, {2.0}}}, true, path("old.plt"));
    }
    void TearDown() override { DataLoaderRepository::getInstance().clear(); }

    std::string path(const std::string& name) const {
        return QDir(folder.path()).filePath(QString::fromStdString(name)).toStdString();
    }
    std::string write(const std::string& name, const QByteArray& bytes) const {
        testsupport::writeBytes(path(name), bytes);
        return path(name);
    }
    static DataLoaderPtr loader(const std::string& name) {
        for (const DataLoaderPtr& candidate :
             DataLoaderRepository::getInstance().dataLoaderInterfaces(true)) {
            if (candidate->properties().name == name)
                return candidate;
        }
        return nullptr;
    }
    static bool load(const std::string& loaderName, const std::vector<std::string>& files,
                     DataLoadOption option = ReplaceAndRetainStyle, bool advancedOptions = false) {
        return loader(loaderName)->load(nullptr, files, advancedOptions, option);
    }
    const DataSet& shown() const { return *ApplicationModel::instance().frame(frame).dataSet; }
    void expectNothingLoaded(const std::string& error) {
        EXPECT_EQ(shown().contents.title, "old");
        EXPECT_EQ(qelmar::standin::lastErrorMessage(), error);
    }

    QTemporaryDir folder;
    KernelTestControl kernel;
    ApplicationTestControl app;
    int frame = 0;
};

TEST_F(DataLoadersTest, InstalledInTheirOrderAndOnlyTheGeneratorBringsItsOwnDialog) {
    auto& repository = DataLoaderRepository::getInstance();
    std::vector<std::string> names;
    for (const DataLoaderPtr& loader : repository.dataLoaderInterfaces(false)) {
        names.push_back(loader->properties().name);
        EXPECT_EQ(repository.isModernLoader(loader), loader->properties().dialogFileSelection != 0);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Qelmar Data", "Delimited Text", "NetCDF", "Data Generator",
                                               DataLoaderRepository::QELMAR_LAYOUT_LOADER_NAME}));
}

TEST_F(DataLoadersTest, DataFilesRoundTripAndFilesWithTheSameVariablesBecomeZones) {
    const DataValues first{"first", {"x", "y"}, {{0.0, 1e-300}, {-1.5, 2.0}}, {}};
    const DataValues second{"second", {"x", "y"}, {{3.0}, {4.0}}, {}};
    ASSERT_NO_THROW(qelmar::standin::writeDataFile(path("a.plt"), first));
    ASSERT_NO_THROW(qelmar::standin::writeDataFile(path("b.plt"), second));
    std::vector<StateChange_e> announced;
    const auto record = [](StateChange_e kind, void* list) {
        static_cast<std::vector<StateChange_e>*>(list)->push_back(kind);
    };
    QelAppStateChangeAddCallback(record, &announced);
    ASSERT_TRUE(load("Qelmar Data", {path("a.plt"), path("b.plt")}));
    QelAppStateChangeRemoveCallback(record, &announced);

    EXPECT_EQ(shown().contents.values, first.values);
    ASSERT_EQ(shown().zoneCount(), 2);
    EXPECT_EQ(shown().laterZones[0].values, second.values);
    EXPECT_TRUE(shown().journalValid);
    EXPECT_EQ(shown().dataFiles, (std::vector<std::string>{path("a.plt"), path("b.plt")}));
    EXPECT_NE(std::find(announced.begin(), announced.end(), StateChange_DataSetsAltered), announced.end());
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(DataLoadersTest, FilesWithOtherVariablesKeepTheFirstFilesVariablesAndSaySo) {
    const auto a = write("a.csv", "x,y\n1,2\n");
    const auto b = write("b.csv", "y,z\n3,4\n");
    ASSERT_TRUE(load("Delimited Text", {a, b}));
    ASSERT_EQ(shown().zoneCount(), 2);
    EXPECT_EQ(shown().laterZones[0].variableNames, (std::vector<std::string>{"x", "y"}));
    EXPECT_TRUE(std::isnan(shown().laterZones[0].values[0][0]));
    EXPECT_EQ(shown().laterZones[0].values[1][0], 3.0);
    const auto messages = kernel.messagesOfType(2);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("b.csv"), std::string::npos) << messages[0].text;
    EXPECT_NE(messages[0].text.find("a.csv"), std::string::npos) << messages[0].text;
}

// The first point of every variable, e.g. "1 nan 3".
std::string firstPoint(const DataValues& values) {
    std::string text;
    for (const std::vector<double>& variable : values.values)
        text += (text.empty() ? "" : " ") + QString::number(variable.at(0)).toStdString();
    return text;
}

TEST_F(DataLoadersTest, MatchingVariablesAreNotAskedForAndACancelledMatchLeavesTheDataAsItWas) {
    MatchVariablesAnswer callback(std::nullopt);
    ASSERT_TRUE(load("Delimited Text", {write("a.csv", "x,y\n1,2\n"), write("b.csv", "Y,X\n3,4\n")}));
    EXPECT_EQ(callback.calls, 0);
    EXPECT_EQ(firstPoint(shown().laterZones[0]), "4 3");

    app.attachDataSet(frame, {"old", {"x", "y"}, {{1.0}, {2.0}}}, true, path("old.plt"));
    EXPECT_FALSE(load("Delimited Text", {write("a.csv", "x,y\n1,2\n"), write("b.csv", "y,z\n3,4\n")}));
    expectNothingLoaded("");
    EXPECT_FALSE(load("Delimited Text", {write("c.csv", "z\n5\n")}, Append));
    EXPECT_EQ(firstPoint(shown().contents), "1 2");
    EXPECT_EQ(shown().zoneCount(), 1);
    EXPECT_EQ(callback.calls, 2);
    EXPECT_TRUE(kernel.messages().empty());
}

TEST_F(DataLoadersTest, ChosenVariablesAreFilledFromEachFileByItsOwnNamesAndMissingOnesAreNaN) {
    MatchVariablesAnswer callback(qelmar::toolbox::StringList{"X\nx_coord", "P\npressure", "T"});
    ASSERT_TRUE(
        load("Delimited Text", {write("a.csv", "X,Y,P\n1,2,3\n"), write("b.csv", "x_coord,pressure\n4,5\n"),
                                write("c.csv", "T,P,X\n6,7,8\n")}));
    EXPECT_EQ(callback.existing, "X\nY\nP");
    EXPECT_EQ(callback.incoming, (std::vector<std::string>{"x_coord\npressure", "T\nP\nX"}));
    EXPECT_EQ(shown().contents.variableNames, (std::vector<std::string>{"X", "P", "T"}));
    ASSERT_EQ(shown().zoneCount(), 3);
    EXPECT_EQ(firstPoint(shown().contents), "1 3 nan");
    EXPECT_EQ(firstPoint(shown().laterZones[0]), "4 5 nan");
    EXPECT_EQ(firstPoint(shown().laterZones[1]), "8 7 6");
}

TEST_F(DataLoadersTest, AppendedFilesWithOtherVariablesAreMatchedToTheDataSetsVariables) {
    MatchVariablesAnswer callback(qelmar::toolbox::StringList{"x\nX_Coord", "y", "z"});
    ASSERT_TRUE(load("Delimited Text", {write("c.csv", "z,X_Coord\n6,5\n")}, Append));
    EXPECT_EQ(callback.existing, "x\ny");
    EXPECT_EQ(callback.incoming, std::vector<std::string>{"z\nX_Coord"});
    ASSERT_EQ(shown().zoneCount(), 2);
    EXPECT_EQ(firstPoint(shown().contents), "1 2 nan");
    EXPECT_EQ(firstPoint(shown().laterZones[0]), "5 nan 6");
}

TEST_F(DataLoadersTest, OptionsDecideWhichFramesGetTheDataAndWhetherItIsAppended) {
    auto& model = ApplicationModel::instance();
    const int sharing = app.addFrame(0, "Sharing");
    const int other = app.addFrame(0, "Other");
    model.frame(sharing).dataSet = model.frame(frame).dataSet;
    model.frame(other).dataSet = model.frame(frame).dataSet;
    model.frame(frame).plotType = 1;
    app.setCurrentFrame(frame);
    const auto csv = write("a.csv", "x,y\n1,2\n");

    ASSERT_TRUE(load("Delimited Text", {csv}, ReplaceAndRetainStyle));
    EXPECT_EQ(model.frame(frame).plotType, 1);
    EXPECT_EQ(model.frame(sharing).dataSet->contents.title, "old");
    model.frame(sharing).dataSet = model.frame(frame).dataSet;

    ASSERT_TRUE(load("Delimited Text", {csv}, ReplaceInAllSharedFrames));
    EXPECT_EQ(model.frame(sharing).dataSet, model.frame(frame).dataSet);
    EXPECT_EQ(model.frame(other).dataSet->contents.title, "old");
    EXPECT_EQ(model.frame(frame).plotType, 1);

    const long id = shown().id;
    ASSERT_TRUE(load("Delimited Text", {csv, csv}, Append));
    EXPECT_EQ(shown().id, id);
    EXPECT_EQ(shown().zoneCount(), 3);
    EXPECT_EQ(model.frame(sharing).dataSet->zoneCount(), 3);

    ASSERT_TRUE(load("Delimited Text", {csv}, ReplaceAndResetStyle));
    EXPECT_EQ(model.frame(frame).plotType, 0);
    EXPECT_EQ(shown().zoneCount(), 1);
}

TEST_F(DataLoadersTest, WithoutACurrentFrameANewFrameGetsTheData) {
    app.removeFrame(frame);
    ASSERT_EQ(app.currentFrame(), -1);
    ASSERT_TRUE(load("Delimited Text", {write("a.csv", "x\n1\n")}, Append));
    ASSERT_NE(app.currentFrame(), -1);
    EXPECT_EQ(ApplicationModel::instance().currentFrame()->dataSet->contents.variableNames,
              std::vector<std::string>{"x"});
}

TEST_F(DataLoadersTest, DelimitedTextOptionsDialogSetsEveryOption) {
    const auto csv = write("eu.csv", "exported by a logger\n% 1;2\n1;2\n1,5;-0,25\nn/a;NA\n");
    DialogAnswer answer("DelimitedTextOptionsDialog", [](QDialog& dialog) {
        auto* separator = dialog.findChild<QComboBox*>("separatorCombo");
        auto* decimal = dialog.findChild<QComboBox*>("decimalSeparatorCombo");
        auto* ok = dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok);
        separator->setCurrentIndex(separator->findText("Comma"));
        decimal->setCurrentIndex(1);
        EXPECT_FALSE(ok->isEnabled()) << "a comma cannot separate both fields and decimals";
        separator->setCurrentIndex(separator->findText("Semicolon"));
        dialog.findChild<QSpinBox*>("linesToSkipSpin")->setValue(1);
        auto* header = dialog.findChild<QComboBox*>("headerCombo");
        header->setCurrentIndex(header->findText("From the first row"));
        auto* comment = dialog.findChild<QLineEdit*>("commentMarkerEdit");
        EXPECT_EQ(comment->text(), "#");
        comment->setText("%");
        auto* missing = dialog.findChild<QLineEdit*>("missingValuesEdit");
        EXPECT_EQ(missing->text(), "NA, NaN, nan, -");
        missing->setText(" n/a ,NA");
        pressOk(dialog);
    });
    ASSERT_TRUE(load("Delimited Text", {csv}, ReplaceAndRetainStyle, true))
        << qelmar::standin::lastErrorMessage();
    EXPECT_EQ(shown().contents.variableNames, (std::vector<std::string>{"1", "2"}));
    ASSERT_EQ(shown().contents.values.size(), 2u);
    EXPECT_EQ(shown().contents.values[0].front(), 1.5);
    EXPECT_EQ(shown().contents.values[1].front(), -0.25);
    EXPECT_TRUE(std::isnan(shown().contents.values[0].back()));
    EXPECT_TRUE(std::isnan(shown().contents.values[1].back()));
}

TEST_F(DataLoadersTest, CancelledOptionsLoadNothingWithoutAnError) {
    qelmar::standin::setLastErrorMessage("earlier");
    DialogAnswer answer("DelimitedTextOptionsDialog", [](QDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(load("Delimited Text", {write("a.csv", "x\n1\n")}, ReplaceAndRetainStyle, true));
    expectNothingLoaded("");
}

TEST_F(DataLoadersTest, BadInputNamesTheFileLineAndFieldAndLoadsNothing) {
    const auto good = write("good.csv", "x,y\n1,2\n");
    const std::vector<std::pair<QByteArray, std::string>> cases{
        {"x,y,z\n1,2,3\n4,5\n", "data.csv, line 3: short row, 2 fields where the first row has 3."},
        {"x,y,z\n1,2,3\n\n\n\n\n4,5,abc\n", "data.csv, line 7, column 3: \"abc\" is not a number."},
        {"x,y\n1,2,3\n", "data.csv, line 2: long row, more than the 2 fields of the first row."},
        {"\n\n", "data.csv: the file holds no table."},
        {"x,y\n", "data.csv: no data rows below the header row."},
    };
    for (const auto& [text, error] : cases) {
        // A good file before the bad one must not be loaded either.
        EXPECT_FALSE(load("Delimited Text", {good, write("data.csv", text)}, Append));
        expectNothingLoaded(error);
        EXPECT_EQ(shown().zoneCount(), 1);
    }
    for (const char* name : {"Qelmar Data", "Delimited Text", "NetCDF"}) {
        EXPECT_FALSE(load(name, {path("missing.x")}));
        EXPECT_EQ(shown().contents.title, "old");
        EXPECT_NE(qelmar::standin::lastErrorMessage().find(path("missing.x")), std::string::npos)
            << name << ": " << qelmar::standin::lastErrorMessage();
    }
}

TEST_F(DataLoadersTest, NetCdfLoadsTheChosenVariablesAlongTheUnlimitedDimension) {
    writeNetCdf(path("ocean.nc"));
    DialogAnswer answer("NetCdfOptionsDialog", [](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>("variableList");
        std::vector<QString> checked, enabled;
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->flags() & Qt::ItemIsUserCheckable)
                enabled.push_back(list->item(row)->text());
            if (list->item(row)->checkState() == Qt::Checked)
                checked.push_back(list->item(row)->text());
        }
        EXPECT_EQ(checked, (std::vector<QString>{"time", "temp", "salt"}));
        EXPECT_EQ(enabled, (std::vector<QString>{"time", "temp", "salt",
                                                 "grid (on the grid (depth) in steps of time)"}));
        list->findItems("salt", Qt::MatchExactly).front()->setCheckState(Qt::Unchecked);
        pressOk(dialog);
    });
    ASSERT_TRUE(load("NetCDF", {path("ocean.nc")}, ReplaceAndRetainStyle, true))
        << qelmar::standin::lastErrorMessage();
    EXPECT_EQ(shown().contents.variableNames, (std::vector<std::string>{"time", "temp"}));
    EXPECT_EQ(shown().contents.values[0], (std::vector<double>{0.0, 0.5, 1.0}));
    EXPECT_EQ(shown().contents.values[1][0], 12.5);
    EXPECT_TRUE(std::isnan(shown().contents.values[1][1])) << "the fill value marks a missing point";
    EXPECT_EQ(shown().contents.values[1][2], -3.25);
    EXPECT_EQ(shown().dataFiles, std::vector<std::string>{path("ocean.nc")});
}

// Checking a variable of another grid alone moves the load to that grid: its records become
// time steps.
TEST_F(DataLoadersTest, NetCdfOptionsChooseTheGridOfTheCheckedVariables) {
    writeNetCdf(path("ocean.nc"));
    DialogAnswer answer("NetCdfOptionsDialog", [](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>("variableList");
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->flags() & Qt::ItemIsUserCheckable)
                list->item(row)->setCheckState(row == 3 ? Qt::Checked : Qt::Unchecked);
        }
        pressOk(dialog);
    });
    ASSERT_TRUE(load("NetCDF", {path("ocean.nc")}, ReplaceAndRetainStyle, true))
        << qelmar::standin::lastErrorMessage();
    EXPECT_EQ(shown().contents.variableNames, (std::vector<std::string>{"grid"}));
    EXPECT_EQ(shown().contents.values, (Columns{{1.0, 2.0}}));
}

TEST_F(DataLoadersTest, TruncatedNetCdfIsRefusedByName) {
    writeNetCdf(path("ocean.nc"));
    const QByteArray whole = testsupport::contentsOf(path("ocean.nc"));
    for (const qsizetype length :
         {qsizetype(0), qsizetype(20), qsizetype(whole.size() / 2), qsizetype(whole.size() - 8)}) {
        testsupport::writeBytes(path("ocean.nc"), whole.left(length));
        EXPECT_FALSE(load("NetCDF", {path("ocean.nc")})) << "accepted " << length << " bytes";
        EXPECT_EQ(shown().contents.title, "old");
        EXPECT_NE(qelmar::standin::lastErrorMessage().find("ocean.nc"), std::string::npos);
    }
}

TEST_F(DataLoadersTest, NcdumpReadsTheVariablesTheLoaderOffers) {
    const QString ncdump = QStandardPaths::findExecutable("ncdump");
    if (ncdump.isEmpty())
        GTEST_SKIP() << "ncdump (netcdf-bin) is not installed";
    writeNetCdf(path("ocean.nc"));
    QProcess process;
    process.start(ncdump, {"-h", QString::fromStdString(path("ocean.nc"))});
    ASSERT_TRUE(process.waitForFinished(10000));
    const QString header = QString::fromUtf8(process.readAllStandardOutput());
    for (const char* declaration : {"time = UNLIMITED ; // (3 currently)", "double time(time)",
                                    "float temp(time)", "double grid(time, depth)"})
        EXPECT_TRUE(header.contains(declaration)) << declaration << " missing from\n" << header.toStdString();
}

TEST_F(DataLoadersTest, GeneratorComputesItsFormulaOnTheGridWithoutAFile) {
    DialogAnswer answer("DataGeneratorDialog", [](QDialog& dialog) {
        auto* formula = dialog.findChild<QComboBox*>("formulaCombo");
        formula->setCurrentIndex(2);
        dialog.findChild<QDoubleSpinBox*>("parameterA")->setValue(1.0);
        dialog.findChild<QDoubleSpinBox*>("parameterB")->setValue(2.0);
        dialog.findChild<QDoubleSpinBox*>("parameterC")->setValue(0.5);
        dialog.findChild<QSpinBox*>("pointsSpin")->setValue(3);
        dialog.findChild<QDoubleSpinBox*>("fromSpin")->setValue(0.0);
        dialog.findChild<QDoubleSpinBox*>("toSpin")->setValue(2.0);
        pressOk(dialog);
    });
    ASSERT_TRUE(load("Data Generator", {}, ReplaceAndRetainStyle));
    EXPECT_EQ(shown().contents.values, (Columns{{0.0, 1.0, 2.0}, {1.0, 3.5, 7.0}}));
    EXPECT_FALSE(shown().journalValid);
}

} // namespace
