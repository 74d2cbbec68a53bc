// The tour's part for layouts whose data moved: a campaign of station files is shown, saved as a
// linked layout with absolute paths through the save-layout dialog, moved to an archive (its data
// folder renamed on the way) with one station file changed meanwhile, and opened again through
// the load-data dialog; the user points at one moved file and agrees to the changed one.

#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "ExportTourSteps.h"
#include "LoadDataTourSteps.h"
#include "TourContext.h"
#include "TourDialogSteps.h"

#include "host/AppLock.h"
#include "host/ArgList.h"
#include "host/KernelErrors.h"
#include "host/KernelLayout.h"
#include "host/KernelMessages.h"
#include "host/KernelString.h"
#include "host/QExtendedFileDialog.h"
#include "kernel/ApplicationModel.h"
#include "kernel/DataFileFormat.h"
#include "kernel/testing/KernelTestControl.h"
#include "layout/LayoutDataLocator.h"
#include "layout/SaveLayoutDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QSaveFile>

#include <cmath>
#include <string>

namespace qelmar::demo {
namespace {

using qelmar::dialogs::io::SaveLayoutDialog;
using qelmar::sdk::ui::dialogs::QExtendedFileDialog;
using qelmar::standin::ApplicationModel;

constexpr int stationCount = 5;
// The station whose logger was re-read after the layout was saved.
constexpr int changedStation = 4;
constexpr double correction = 0.5;

struct Folders {
    QString campaign;    // where the layout and its data were saved
    QString archive;     // where the campaign folder goes
    QString movedLayout; // the layout in the archive
    QString movedData;   // the data folder in the archive, renamed
};

Folders foldersOf(TourContext& tour) {
    const QString root = tour.filePath(QStringLiteral("relink"));
    return {root + QStringLiteral("/campaign"), root + QStringLiteral("/archive/2026"),
            root + QStringLiteral("/archive/2026/session.lay"),
            root + QStringLiteral("/archive/2026/stations-2026")};
}

QString stationFile(const QString& folder, int station) {
    return QStringLiteral("%1/s%2.plt").arg(folder).arg(station);
}

qelmar::standin::DataValues stationValues(int station, double offset) {
    qelmar::standin::DataValues values{
        "Station " + std::to_string(station), {"Hour", "Temperature"}, {{}, {}}, {}};
    for (int hour = 0; hour < 24; ++hour) {
        values.values[0].push_back(hour);
        values.values[1].push_back(10.0 + station + 6.0 * std::sin(hour * std::acos(-1.0) / 12.0) + offset);
    }
    return values;
}

QString kernelError() {
    const qelmar::sdk::AppLock lock(qelmar::sdk::AppLock::NoImplicitMacroRecord);
    return QString::fromStdString(qelmar::sdk::KernelString(QelUtilGetLastErrorMessage()).str());
}

// The kernel's own calls keep the sample application aside while the tour works on its stations.
bool callSaveLayout(const QString& file, bool includeData) {
    const qelmar::sdk::AppLock lock(qelmar::sdk::AppLock::NoImplicitMacroRecord);
    qelmar::toolbox::ArgList args;
    args.appendString("FName", file.toStdString());
    args.appendInt("IncludeData", includeData ? 1 : 0);
    return QelUtilSaveLayoutX(args.getRef());
}

bool callOpenLayout(const QString& file) {
    const qelmar::sdk::AppLock lock(qelmar::sdk::AppLock::NoImplicitMacroRecord);
    qelmar::toolbox::ArgList args;
    args.appendString("FName", file.toStdString());
    return QelUtilOpenLayoutX(args.getRef());
}

// One page with a frame per station, each loaded from its own file in the campaign folder.
bool showStations(TourContext& tour, const Folders& folders) {
    ApplicationModel& model = ApplicationModel::instance();
    model.clear();
    QDir().mkpath(folders.campaign + QStringLiteral("/stations"));
    const int page = model.addPage("Stations");
    try {
        for (int station = stationCount; station >= 1; --station) {
            const std::string file =
                stationFile(folders.campaign + QStringLiteral("/stations"), station).toStdString();
            qelmar::standin::writeDataFile(file, stationValues(station, 0.0));
            const int frame = model.addFrame(page, "Station " + std::to_string(station), 0);
            model.attachDataSet(frame, stationValues(station, 0.0), true, file);
        }
    } catch (const std::exception& failure) {
        tour.fail(QStringLiteral("the station files cannot be written: %1").arg(failure.what()));
        return false;
    }
    return true;
}

void saveLinkedWithAbsolutePaths(TourContext& tour, const Folders& folders) {
    QAction* command = findCommand(tour, QStringLiteral("Save Layout..."));
    if (!command) {
        tour.fail(QStringLiteral("\"Save Layout...\" is not offered"));
        return;
    }
    TourDialogSteps steps(tour);
    steps.expect(QStringLiteral("Save Layout"), [&tour, &folders](QDialog& dialog) {
        auto* files = dynamic_cast<QExtendedFileDialog*>(&dialog);
        if (!files) {
            tour.fail(QStringLiteral("the save-layout dialog is not a file dialog"));
            dialog.reject();
            return;
        }
        if (QComboBox* types = files->fileTypeCombo()) {
            types->setCurrentIndex(SaveLayoutDialog::LinkedData);
            Q_EMIT types->activated(SaveLayoutDialog::LinkedData);
            Q_EMIT types->textActivated(types->itemText(SaveLayoutDialog::LinkedData));
        }
        QApplication::processEvents();
        for (QCheckBox* box : files->findChildren<QCheckBox*>()) {
            if (box->text() == QStringLiteral("&Use relative paths"))
                box->setChecked(false);
        }
        TourDialogSteps::typeNameAndSave(dialog, folders.campaign + QStringLiteral("/session.lay"));
    });
    command->trigger();
}

// The campaign goes to the archive; its data folder is renamed there, so that neither the
// layout's relative nor its absolute paths lead to the data any more.
bool moveCampaign(TourContext& tour, const Folders& folders) {
    QDir().mkpath(folders.archive);
    const bool moved =
        QDir().rename(folders.campaign + QStringLiteral("/stations"), folders.movedData) &&
        QDir().rename(folders.campaign + QStringLiteral("/session.lay"), folders.movedLayout) &&
        QDir().rmdir(folders.campaign);
    if (!moved)
        tour.fail(QStringLiteral("the campaign folder cannot be moved to %1").arg(folders.archive));
    return moved;
}

bool changeOneStation(TourContext& tour, const Folders& folders) {
    try {
        qelmar::standin::writeDataFile(stationFile(folders.movedData, changedStation).toStdString(),
                                       stationValues(changedStation, correction));
        return true;
    } catch (const std::exception& failure) {
        tour.fail(
            QStringLiteral("station %1 cannot be rewritten: %2").arg(changedStation).arg(failure.what()));
        return false;
    }
}

TourDialogSteps::Step openLayout(TourContext& tour, const QString& layout) {
    return [&tour, layout](QDialog& dialog) {
        QExtendedFileDialog* files = loadDialogOf(tour, dialog);
        if (!files || !chooseFileType(tour, *files, QStringLiteral("Qelmar Layout")))
            return;
        files->setDirectory(QFileInfo(layout).absolutePath());
        files->fileNameEdit()->setText(QFileInfo(layout).fileName());
        pressOpen(tour, *files);
    };
}

TourDialogSteps::Step locate(TourContext& tour, const Folders& folders) {
    return [&tour, &folders](QDialog& dialog) {
        auto* files = dynamic_cast<QExtendedFileDialog*>(&dialog);
        if (!files) {
            tour.fail(QStringLiteral("the locate question is not a file dialog"));
            dialog.reject();
            return;
        }
        files->setDirectory(folders.movedData);
        tour.screenshot(dialog, QStringLiteral("relink_locate.png"),
                        QStringLiteral("the kernel asks where a moved data file of the layout is now"));
        // The file asked for is the one its first filter names; the user types it and opens it.
        files->fileNameEdit()->setText(files->nameFilters().value(0).section(' ', 0, 0));
        pressOpen(tour, *files);
    };
}

void reopenThroughLoadData(TourContext& tour, const Folders& folders) {
    QAction* command = findCommand(tour, QStringLiteral("Load Data..."));
    if (!command) {
        tour.fail(QStringLiteral("\"Load Data...\" is not offered"));
        return;
    }
    tour.kernel().answerNextQuestions({true});
    TourDialogSteps steps(tour);
    steps.expect(loadDataTitle, openLayout(tour, folders.movedLayout));
    // The append/replace choice, as it asks for a layout.
    steps.expect(QStringLiteral("Open Layout"), pressChoice(tour, QStringLiteral("replaceButton")));
    steps.expect(QStringLiteral("Locate Data File"), locate(tour, folders));
    command->trigger();
}

// The question is the kernel's message box, which the tour answers without showing it; its text
// is what the user read.
bool recordChangedQuestion(TourContext& tour) {
    const auto questions = tour.kernel().messagesOfType(MessageBox_Question);
    if (questions.empty() ||
        questions.back().text.find("changed since the layout was saved") == std::string::npos) {
        tour.fail(QStringLiteral("the changed station file was not asked about"));
        return false;
    }
    QSaveFile file(tour.filePath(QStringLiteral("relink_changed.txt")));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QByteArray::fromStdString(questions.back().text + "\n")) < 0 || !file.commit()) {
        tour.fail(QStringLiteral("relink_changed.txt cannot be written"));
        return false;
    }
    tour.recordFile(
        QStringLiteral("relink_changed.txt"),
        QStringLiteral("the question about the station file that changed since the layout was saved"));
    return true;
}

// Every station frame shows its station from the moved folder, the changed one with its change.
bool stationsShowTheirData(TourContext& tour, const Folders& folders) {
    int checked = 0;
    for (const qelmar::standin::Page& page : ApplicationModel::instance().pages()) {
        for (const qelmar::standin::Frame& frame : page.frames) {
            const int station = std::stoi(frame.name.substr(frame.name.rfind(' ') + 1));
            const double offset = station == changedStation ? correction : 0.0;
            const bool same =
                frame.dataSet && frame.dataSet->contents.values == stationValues(station, offset).values &&
                frame.dataSet->dataFiles ==
                    std::vector<std::string>{stationFile(folders.movedData, station).toStdString()};
            if (!same) {
                tour.fail(QStringLiteral("%1 does not show its moved data")
                              .arg(QString::fromStdString(frame.name)));
                return false;
            }
            ++checked;
        }
    }
    if (checked != stationCount)
        tour.fail(QStringLiteral("the reopened layout has %1 station frames, not %2")
                      .arg(checked)
                      .arg(stationCount));
    return checked == stationCount;
}

void runTour(TourContext& tour) {
    const Folders folders = foldersOf(tour);
    QDir(tour.filePath(QStringLiteral("relink"))).removeRecursively();
    QFile::remove(tour.filePath(QStringLiteral("tour-moved.lay")));
    // The sample application comes back at the end, for the tour's later parts and its last picture.
    const QString sample = tour.filePath(QStringLiteral("relink/sample.lpk"));
    QDir().mkpath(QFileInfo(sample).absolutePath());
    if (!callSaveLayout(sample, true)) {
        tour.fail(QStringLiteral("the sample application cannot be kept aside: %1").arg(kernelError()));
        return;
    }

    if (showStations(tour, folders))
        saveLinkedWithAbsolutePaths(tour, folders);
    if (!tour.failed() && !QFileInfo::exists(folders.campaign + QStringLiteral("/session.lay")))
        tour.fail(QStringLiteral("the campaign layout was not saved"));
    if (!tour.failed() && moveCampaign(tour, folders) && changeOneStation(tour, folders))
        reopenThroughLoadData(tour, folders);
    if (!tour.failed() && recordChangedQuestion(tour) && stationsShowTheirData(tour, folders)) {
        if (callSaveLayout(tour.filePath(QStringLiteral("tour-moved.lay")), false))
            tour.recordFile(QStringLiteral("tour-moved.lay"),
                            QStringLiteral("the campaign layout after it found its moved data, saved again"));
        else
            tour.fail(QStringLiteral("tour-moved.lay cannot be saved: %1").arg(kernelError()));
    }

    if (!callOpenLayout(sample))
        tour.fail(QStringLiteral("the sample application does not come back: %1").arg(kernelError()));
}

// A layout opened from "Load Data..." asks the user for data files it cannot find.
void install(DemoMainWindow& window) {
    qelmar::dialogs::io::LayoutDataLocator::registerCallback(window);
}

// After the dialogs that work on the sample application, which it puts back when it is done.
const DemoFeatureRegistration registration{{60, install, runTour}};

} // namespace
} // namespace qelmar::demo
