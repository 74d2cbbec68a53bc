// "Load Data...": the load-data dialog on the demo's sample data folder (later on the folder and
// loader used last), the append/replace choice when the current frame already shows data, then
// the chosen loader's load, with the library's progress window and its question about files that
// cannot be read.

#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "ExportTourSteps.h"
#include "LoadDataTourSteps.h"
#include "TourContext.h"
#include "TourDialogSteps.h"

#include "dataload/AppendReplaceDialog.h"
#include "dataload/DataLoadProgressDialog.h"
#include "dataload/GenericFileLoaderDialog.h"
#include "host/AppLock.h"
#include "host/KernelDataLoadProgress.h"
#include "host/KernelDataSets.h"
#include "host/KernelErrors.h"
#include "host/KernelFrames.h"
#include "host/KernelMessages.h"
#include "host/KernelString.h"
#include "host/QExtendedFileDialog.h"
#include "kernel/ApplicationModel.h"
#include "loaders/StandardDataLoaders.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <vector>

namespace qelmar::demo {
namespace {

using qelmar::dataload::DataLoadOption;
using qelmar::dialogs::io::AppendReplaceDialog;
using qelmar::dialogs::io::DataLoadProgressDialog;
using qelmar::dialogs::io::GenericFileLoaderDialog;
using qelmar::sdk::AppLock;
using qelmar::sdk::ui::dialogs::QExtendedFileDialog;
using qelmar::standin::ApplicationModel;

QString tr(const char* text) {
    return QApplication::translate("LoadDataDemo", text);
}

// ---- Sample data --------------------------------------------------------------------------

QString sampleFolder() {
    return QDir::temp().filePath(QStringLiteral("qelmar-demo-data/load"));
}

QString samplePath(const QString& relative) {
    return QDir(sampleFolder()).filePath(relative);
}

const QString firstRun = QStringLiteral("run-a/profile.csv");
const QString secondRun = QStringLiteral("run-b/profile.csv");
const QString laterRun = QStringLiteral("profile-later.csv");
const QString oceanFile = QStringLiteral("ocean.nc");
const QString seaSurfaceFile = QStringLiteral("sea-surface.nc");
const QString messyStationFile = QStringLiteral("station-messy.csv");

// A logger's export as people get it: comment lines, a quoted header whose names hold the
// separator and quotes, cells the logger left empty or marked NA.
const QByteArray messyStationCsv = "# Station 7, logger export of 2026-11-30\n"
                                   "# units: seconds, kelvin, hectopascal\n"
                                   "\"Time, s\",\"Temp, K\",\"Pressure \"\"raw\"\"\"\r\n"
                                   "0,280.5,1013.2\r\n"
                                   "10,NA,1013.0\r\n"
                                   "20,281.1,\r\n"
                                   "30,281.4,1012.8\r\n";

// Sea-surface temperature as models and satellites deliver it: packed into shorts with a scale
// and an offset, a fill value where a cell saw only cloud, over a latitude-longitude grid, one
// record per day.
QByteArray seaSurfaceCdl() {
    return "netcdf sea_surface {\n"
           "dimensions:\n  time = UNLIMITED ;\n  lat = 3 ;\n  lon = 4 ;\n"
           "variables:\n"
           "  double time(time) ;\n    time:units = \"days since 2026-11-01\" ;\n"
           "  float lat(lat) ;\n    lat:units = \"degrees_north\" ;\n"
           "  float lon(lon) ;\n    lon:units = \"degrees_east\" ;\n"
           "  short sst(time, lat, lon) ;\n    sst:scale_factor = 0.01 ;\n    sst:add_offset = 273.15 ;\n"
           "    sst:_FillValue = -32767s ;\n    sst:units = \"K\" ;\n"
           "data:\n"
           "  time = 0, 1 ;\n  lat = -10, 0, 10 ;\n  lon = 140, 150, 160, 170 ;\n"
           "  sst = 1500, 1610, 1720, 1830, 1900, 2010, -32767, 2230, 1700, 1810, 1920, 2030,\n"
           "        1520, 1630, 1740, 1850, 1920, 2030, 2140, 2250, 1720, 1830, 1940, 2050 ;\n"
           "}\n";
}

// The same three variables in every CSV file, so that they load as zones of one data set.
QByteArray profileCsv(double warming) {
    QByteArray text = "Depth,Temperature,Salinity\n";
    for (int step = 0; step <= 40; ++step) {
        const double depth = step * 5.0;
        const double temperature = 4.0 + 14.0 * std::exp(-depth / 60.0) + warming;
        const double salinity = 34.2 + 0.8 * (1.0 - std::exp(-depth / 80.0));
        text += QByteArray::number(depth) + ',' + QByteArray::number(temperature, 'f', 3) + ',' +
                QByteArray::number(salinity, 'f', 3) + '\n';
    }
    return text;
}

// Through a temporary file, so that an interrupted start-up never leaves half a sample behind.
bool writeSample(const QString& relative, const QByteArray& contents) {
    const QString path = samplePath(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.commit();
}

QByteArray oceanCdl() {
    QByteArray depths, temperatures, salinities;
    for (int step = 0; step < 12; ++step) {
        const double depth = step * 25.0;
        const QByteArray separator = step ? ", " : "";
        depths += separator + QByteArray::number(depth);
        temperatures += separator + QByteArray::number(3.0 + 15.0 * std::exp(-depth / 90.0), 'f', 3);
        salinities += separator + QByteArray::number(34.0 + 0.9 * (1.0 - std::exp(-depth / 120.0)), 'f', 3);
    }
    return "netcdf ocean {\ndimensions:\n  depth = 12 ;\nvariables:\n  double depth(depth) ;\n"
           "  double temperature(depth) ;\n  double salinity(depth) ;\n  char station(depth) ;\n"
           "data:\n  depth = " +
           depths + " ;\n  temperature = " + temperatures + " ;\n  salinity = " + salinities + " ;\n}\n";
}

// NetCDF files are written by Debian's ncgen from their text form; without it there is no
// NetCDF sample, and the demo says so.
bool writeNetCdfSample(const QString& name, const QByteArray& cdlText) {
    const QTemporaryDir work;
    if (!work.isValid())
        return false;
    const QString cdl = work.filePath(QStringLiteral("sample.cdl"));
    const QString made = work.filePath(name);
    QFile text(cdl);
    if (!text.open(QIODevice::WriteOnly) || text.write(cdlText) < 0)
        return false;
    text.close();
    QProcess ncgen;
    ncgen.start(QStringLiteral("ncgen"), {QStringLiteral("-o"), made, cdl});
    if (!ncgen.waitForFinished(10000) || ncgen.exitStatus() != QProcess::NormalExit || ncgen.exitCode() != 0)
        return false;
    QFile::remove(samplePath(name));
    return QFile::copy(made, samplePath(name));
}

// Empty when every sample was written, else what is missing.
QString writeSampleFiles() {
    if (!writeSample(firstRun, profileCsv(0.0)) || !writeSample(secondRun, profileCsv(0.6)) ||
        !writeSample(laterRun, profileCsv(1.3)) || !writeSample(messyStationFile, messyStationCsv))
        return tr("Could not write the sample data files in %1")
            .arg(QDir::toNativeSeparators(sampleFolder()));
    if (!writeNetCdfSample(oceanFile, oceanCdl()) || !writeNetCdfSample(seaSurfaceFile, seaSurfaceCdl()))
        return tr("No NetCDF sample: ncgen (Debian's netcdf-bin) is not available");
    return QString();
}

// ---- What the demo remembers ----------------------------------------------------------------

// The library keeps no settings; the host remembers the folder and the loader of the last load.
// The scripted tour never reads or changes the user's own: it starts from a fresh file of its own.
bool tourMode() {
    return QCoreApplication::arguments().contains(QStringLiteral("--tour"));
}

QString settingsFile() {
    if (tourMode())
        return QDir::temp().filePath(QStringLiteral("qelmar-demo-tour/load-data.ini"));
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("load-data.ini"));
}

QSettings loadSettings() {
    return QSettings(settingsFile(), QSettings::IniFormat);
}

const QString lastFolderKey = QStringLiteral("LoadData/LastFolder");
const QString lastLoaderKey = QStringLiteral("LoadData/LastLoader");

QString rememberedFolder() {
    const QString folder = loadSettings().value(lastFolderKey).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : sampleFolder();
}

std::string rememberedLoader() {
    return loadSettings().value(lastLoaderKey).toString().toStdString();
}

void rememberLoad(const std::vector<std::string>& files, const std::string& loader) {
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(lastLoaderKey, QString::fromStdString(loader));
    if (!files.empty())
        settings.setValue(lastFolderKey, QFileInfo(QString::fromStdString(files.front())).absolutePath());
}

void startTourSettingsAfresh() {
    if (!tourMode())
        return;
    QFile::remove(settingsFile());
    QDir().mkpath(QFileInfo(settingsFile()).absolutePath());
}

// ---- The command --------------------------------------------------------------------------

bool currentFrameShowsData() {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    return QelUtilDataSetIsAvailable();
}

QString lastKernelError() {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    return QString::fromUtf8(qelmar::sdk::KernelString(QelUtilGetLastErrorMessage()).c_str());
}

void showKernelError(const QString& text) {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    QelUtilDialogMessageBox(text.toUtf8().constData(), MessageBox_Error);
}

QString loadedStatus(int files, const QString& loader) {
    if (files == 0)
        return tr("Loaded data with %1").arg(loader);
    if (files == 1)
        return tr("Loaded 1 file with %1").arg(loader);
    return tr("Loaded %1 files with %2").arg(files).arg(loader);
}

// A layout joins the application's pages, so there is something to keep as soon as a frame
// exists.
bool applicationShowsFrames() {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    return QelUtilFrameExists();
}

// Replacing is the only choice while there is nothing to join: no data in the current frame, or
// no frame at all for a layout.
DataLoadOption chooseLoadOption(DemoMainWindow& window, bool layoutLoader) {
    if (!(layoutLoader ? applicationShowsFrames() : currentFrameShowsData()))
        return qelmar::dataload::ReplaceAndResetStyle;
    const std::unique_ptr<AppendReplaceDialog> choice(AppendReplaceDialog::getInstance(
        layoutLoader ? AppendReplaceDialog::LayoutLoader : AppendReplaceDialog::StyleRetainingLoader,
        window));
    choice->launch();
    return choice->loadOption();
}

// What the kernel says of the last load of several files: which files it skipped and why;
// empty when it skipped none.
QString skippedFilesSummary() {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    for (long index = 0; index < QelUtilDataLoadLastFileCount(); ++index) {
        if (QelUtilDataLoadLastFileOutcome(index) == DataLoadFile_Skipped)
            return QString::fromUtf8(qelmar::sdk::KernelString(QelUtilDataLoadLastSummary()).c_str());
    }
    return QString();
}

void loadData(DemoMainWindow& window) {
    GenericFileLoaderDialog dialog(window, rememberedLoader(), rememberedFolder().toStdString());
    if (dialog.launch() != QDialog::Accepted)
        return;
    const qelmar::sdk::ui::DataLoaderPtr loader = dialog.selectedLoader();
    if (!loader)
        return;
    const DataLoadOption option = chooseLoadOption(window, dialog.isQelmarLayoutLoaderSelected());
    if (option == qelmar::dataload::DataLoadOption_None)
        return;
    const std::vector<std::string> files = dialog.files();
    bool loaded = false;
    {
        const AppLock lock(AppLock::NoImplicitMacroRecord);
        loaded = loader->load(&window, files, dialog.advancedOptionsSelected(), option);
    }
    const QString name = QString::fromStdString(loader->properties().name);
    rememberLoad(files, loader->properties().name);
    if (loaded) {
        const QString skipped = skippedFilesSummary();
        window.showStatus(skipped.isEmpty() ? loadedStatus(static_cast<int>(files.size()), name) : skipped);
        return;
    }
    const QString error = lastKernelError();
    // A cancelled options dialog or Variable Load and Combine window is no failure: the kernel
    // leaves no error for it.
    if (error.isEmpty()) {
        window.showStatus(tr("Load cancelled."));
        return;
    }
    window.showStatus(tr("Loading with %1 failed").arg(name));
    showKernelError(error);
}

void install(DemoMainWindow& window) {
    qelmar::standin::installStandardDataLoaders();
    startTourSettingsAfresh();
    DataLoadProgressDialog::registerCallbacks(window);
    const QString missing = writeSampleFiles();
    window.addCommand(tr("Load Data..."), [&window] { loadData(window); });
    if (!missing.isEmpty())
        window.showStatus(missing);
}

// ---- The tour -----------------------------------------------------------------------------

bool expectStatus(TourContext& tour, const QString& status) {
    if (tour.window().statusText() == status)
        return true;
    tour.fail(
        QStringLiteral("expected the status \"%1\", not \"%2\"").arg(status, tour.window().statusText()));
    return false;
}

std::shared_ptr<qelmar::standin::DataSet> currentDataSet() {
    qelmar::standin::Frame* frame = ApplicationModel::instance().currentFrame();
    return frame ? frame->dataSet : nullptr;
}

bool expectZones(TourContext& tour, int zones) {
    const auto dataSet = currentDataSet();
    if (dataSet && dataSet->zoneCount() == zones)
        return true;
    tour.fail(QStringLiteral("the current frame shows %1 zones, not %2")
                  .arg(dataSet ? dataSet->zoneCount() : 0)
                  .arg(zones));
    return false;
}

// A frame of the sample application that shows data nobody shares, so that the first load asks.
bool startOnUnsharedFrame(TourContext& tour) {
    ApplicationModel& model = ApplicationModel::instance();
    for (const qelmar::standin::Page& page : model.pages()) {
        for (const qelmar::standin::Frame& frame : page.frames) {
            if (frame.dataSet && frame.dataSet.use_count() == 1) {
                model.setCurrentFrame(frame.id);
                return true;
            }
        }
    }
    tour.fail(QStringLiteral("no frame shows a data set of its own"));
    return false;
}

void loadTwoRuns(TourContext& tour, QAction& command) {
    TourDialogSteps steps(tour);
    steps.expect(loadDataTitle, [&tour](QDialog& dialog) {
        QExtendedFileDialog* files = loadDialogOf(tour, dialog);
        if (!files || !chooseFileType(tour, *files, QStringLiteral("Delimited Text")))
            return;
        if (!addToList(tour, *files, samplePath(firstRun)) ||
            !addToList(tour, *files, samplePath(secondRun)) ||
            !tour.waitFor([&dialog] { return listedFiles(dialog) == 2; })) {
            tour.fail(QStringLiteral("the additional-files list does not hold both runs"));
            dialog.reject();
            return;
        }
        tour.screenshot(dialog, QStringLiteral("load_data_dialog.png"),
                        QStringLiteral("the load-data dialog with two CSV files from two folders listed"));
        pressOpen(tour, *files);
    });
    steps.expect(appendReplaceTitle,
                 pressChoice(tour, QStringLiteral("replaceButton"),
                             QStringLiteral("append_replace_not_shared.png"),
                             QStringLiteral("the append/replace dialog for a data set one frame shows")));
    command.trigger();
}

void appendLaterRun(TourContext& tour, QAction& command) {
    TourDialogSteps steps(tour);
    steps.expect(loadDataTitle, openFile(tour, QStringLiteral("Delimited Text"), samplePath(laterRun)));
    steps.expect(appendReplaceTitle, pressChoice(tour, QStringLiteral("appendButton")));
    command.trigger();
}

// A second view of the current frame's data set, so that the next load asks about sharing.
void shareCurrentDataSet() {
    ApplicationModel& model = ApplicationModel::instance();
    const int current = model.currentFrameId();
    const auto dataSet = model.frame(current).dataSet;
    const int copy = model.addFrame(model.pageOf(current), "Profile (second view)", PlotType_Other);
    model.frame(copy).dataSet = dataSet;
    model.setCurrentFrame(current);
}

TourDialogSteps::Step acceptNetCdfOptions(TourContext& tour, const QString& screenshot,
                                          const QString& description) {
    return [&tour, screenshot, description](QDialog& dialog) {
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
        if (!ok || !ok->isEnabled()) {
            tour.fail(QStringLiteral("the NetCDF options offer no variables to load"));
            dialog.reject();
            return;
        }
        if (!screenshot.isEmpty())
            tour.screenshot(dialog, screenshot, description);
        ok->click();
    };
}

void loadOcean(TourContext& tour, QAction& command) {
    TourDialogSteps steps(tour);
    steps.expect(loadDataTitle, openFile(tour, QStringLiteral("NetCDF"), samplePath(oceanFile)));
    steps.expect(appendReplaceTitle,
                 pressChoice(tour, QStringLiteral("replaceInAllFramesButton"),
                             QStringLiteral("append_replace_shared.png"),
                             QStringLiteral("the append/replace dialog for a data set two frames share")));
    steps.expect(QStringLiteral("NetCDF Options"),
                 acceptNetCdfOptions(tour, QStringLiteral("netcdf_options.png"),
                                     QStringLiteral("the NetCDF loader's options: the variables to load")));
    command.trigger();
}

// Replaces the current frame's data with one file of the loader, through the dialogs a user
// meets; a NetCDF file's options are accepted as offered.
void replaceWith(TourContext& tour, QAction& command, const QString& loader, const QString& file) {
    TourDialogSteps steps(tour);
    steps.expect(loadDataTitle, openFile(tour, loader, samplePath(file)));
    steps.expect(appendReplaceTitle, pressChoice(tour, QStringLiteral("replaceButton")));
    if (loader == QStringLiteral("NetCDF"))
        steps.expect(QStringLiteral("NetCDF Options"), acceptNetCdfOptions(tour, QString(), QString()));
    command.trigger();
}

bool expectValue(TourContext& tour, const QString& what, double actual, double expected) {
    const bool same = std::isnan(expected) ? std::isnan(actual) : std::abs(actual - expected) < 1e-6;
    if (!same)
        tour.fail(QStringLiteral("%1 is %2, not %3").arg(what).arg(actual).arg(expected));
    return same;
}

// The logger's names come through with their separators and quotes, its NA and empty cells as
// missing values, its comment lines not at all.
bool expectMessyStationValues(TourContext& tour) {
    const auto dataSet = currentDataSet();
    const std::vector<std::string> names{"Time, s", "Temp, K", "Pressure \"raw\""};
    if (!dataSet || dataSet->contents.variableNames != names || dataSet->contents.values.size() != 3 ||
        dataSet->contents.values[0].size() != 4) {
        tour.fail(QStringLiteral("the messy station file did not load as three variables of four points"));
        return false;
    }
    const auto& values = dataSet->contents.values;
    const double missing = std::numeric_limits<double>::quiet_NaN();
    return expectValue(tour, QStringLiteral("Temp at 0 s"), values[1][0], 280.5) &&
           expectValue(tour, QStringLiteral("Temp at 10 s (NA)"), values[1][1], missing) &&
           expectValue(tour, QStringLiteral("Pressure at 20 s (empty)"), values[2][2], missing) &&
           expectValue(tour, QStringLiteral("Pressure at 30 s"), values[2][3], 1012.8);
}

// Packed shorts come out as kelvin, the cloudy cell as missing, the grid as an ordered zone of
// 4 x 3 points and the two days as two time steps.
bool expectSeaSurfaceValues(TourContext& tour) {
    const auto dataSet = currentDataSet();
    if (!dataSet || dataSet->stepCount() != 2 ||
        dataSet->contents.dimensions != std::vector<std::size_t>{4, 3}) {
        tour.fail(QStringLiteral("the sea-surface file did not load as a 4 x 3 grid over two days"));
        return false;
    }
    const auto& names = dataSet->contents.variableNames;
    const auto sst = std::find(names.begin(), names.end(), "sst");
    if (sst == names.end()) {
        tour.fail(QStringLiteral("the sea-surface file did not load its variable sst"));
        return false;
    }
    const auto column = static_cast<std::size_t>(sst - names.begin());
    const double missing = std::numeric_limits<double>::quiet_NaN();
    return expectValue(tour, QStringLiteral("sst of day 0 at the first cell"),
                       dataSet->contents.values[column][0], 288.15) &&
           expectValue(tour, QStringLiteral("sst of day 0 under cloud"), dataSet->contents.values[column][6],
                       missing) &&
           expectValue(tour, QStringLiteral("sst of day 1 at that cell"),
                       dataSet->laterSteps[0].values[column][6], 294.55);
}

void loadRealShapedFiles(TourContext& tour, QAction& command) {
    replaceWith(tour, command, QStringLiteral("Delimited Text"), messyStationFile);
    if (tour.failed() || !expectStatus(tour, loadedStatus(1, QStringLiteral("Delimited Text"))) ||
        !expectMessyStationValues(tour))
        return;
    tour.window().showApplicationPage();
    tour.screenshot(tour.window(), QStringLiteral("loaded_messy_csv.png"),
                    QStringLiteral("the main window showing a logger's CSV file with quoted names, NA cells "
                                   "and comments"));
    replaceWith(tour, command, QStringLiteral("NetCDF"), seaSurfaceFile);
    if (tour.failed() || !expectStatus(tour, loadedStatus(1, QStringLiteral("NetCDF"))) ||
        !expectSeaSurfaceValues(tour))
        return;
    tour.window().showApplicationPage();
    tour.screenshot(tour.window(), QStringLiteral("loaded_packed_grid.png"),
                    QStringLiteral("the main window showing packed sea-surface temperatures on a grid, "
                                   "unpacked to kelvin"));
}

void runTour(TourContext& tour) {
    QAction* command = findCommand(tour, tr("Load Data..."));
    if (!command) {
        tour.fail(QStringLiteral("\"Load Data...\" is not offered"));
        return;
    }
    if (!startOnUnsharedFrame(tour))
        return;
    loadTwoRuns(tour, *command);
    if (tour.failed() || !expectStatus(tour, loadedStatus(2, QStringLiteral("Delimited Text"))) ||
        !expectZones(tour, 2))
        return;
    appendLaterRun(tour, *command);
    if (tour.failed() || !expectStatus(tour, loadedStatus(1, QStringLiteral("Delimited Text"))) ||
        !expectZones(tour, 3))
        return;
    if (!QFile::exists(samplePath(oceanFile))) {
        std::printf("  no NetCDF sample: ncgen is not available\n");
        return;
    }
    shareCurrentDataSet();
    loadOcean(tour, *command);
    if (tour.failed() || !expectStatus(tour, loadedStatus(1, QStringLiteral("NetCDF"))))
        return;
    tour.window().showApplicationPage();
    tour.screenshot(tour.window(), QStringLiteral("loaded_data.png"),
                    QStringLiteral("the main window after the NetCDF sample replaced the shared data set"));
    loadRealShapedFiles(tour, *command);
}

const DemoFeatureRegistration registration{{50, install, runTour}};

} // namespace
} // namespace qelmar::demo
