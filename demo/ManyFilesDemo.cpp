// Loading many files at once, as from a network of loggers: thirty stations with the same
// variables, one of them with a damaged line. The library's progress window follows the load,
// and its question lets the user leave the damaged file out and load the rest.

#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "ExportTourSteps.h"
#include "LoadDataTourSteps.h"
#include "TourContext.h"
#include "TourDialogSteps.h"

#include "host/QExtendedFileDialog.h"
#include "kernel/ApplicationModel.h"
#include "kernel/testing/DataLoadTestControl.h"
#include "kernel/testing/ModalDialogAnswerer.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QSaveFile>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace qelmar::demo {
namespace {

using qelmar::standin::ApplicationModel;

QString tr(const char* text) {
    return QApplication::translate("ManyFilesDemo", text);
}

constexpr int stationCount = 30;
// Far enough into the load that the progress window has appeared when the question comes.
constexpr int damagedStation = 25;

QString stationFolder() {
    return QDir::temp().filePath(QStringLiteral("qelmar-demo-data/many-stations"));
}

QString stationFile(int station) {
    return QDir(stationFolder())
        .filePath(QStringLiteral("station-%1.csv").arg(station, 2, 10, QLatin1Char('0')));
}

// An hour of one-minute readings; the damaged station's logger wrote a word into line 12.
QByteArray stationCsv(int station) {
    QByteArray text = "Minute,Temperature,Humidity\n";
    for (int minute = 0; minute < 60; ++minute) {
        const QByteArray temperature = station == damagedStation && minute == 10
                                           ? QByteArray("ERR")
                                           : QByteArray::number(12.0 + station * 0.1 + minute * 0.02, 'f', 2);
        text += QByteArray::number(minute) + ',' + temperature + ',' +
                QByteArray::number(60.0 + (minute % 7), 'f', 1) + '\n';
    }
    return text;
}

bool writeStations() {
    QDir().mkpath(stationFolder());
    for (int station = 1; station <= stationCount; ++station) {
        const QByteArray contents = stationCsv(station);
        QSaveFile file(stationFile(station));
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit())
            return false;
    }
    return true;
}

void install(DemoMainWindow& window) {
    if (!writeStations())
        window.showStatus(
            tr("Could not write the sample stations in %1").arg(QDir::toNativeSeparators(stationFolder())));
}

// ---- The tour -------------------------------------------------------------------------------

// Photographs the progress window once it has appeared; the load runs meanwhile.
class ProgressWindowWatch {
public:
    explicit ProgressWindowWatch(TourContext& tour)
        : m_tour(tour) {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { look(); });
        m_poll.start(20);
    }
    bool photographed() const { return m_photographed; }

private:
    void look() {
        if (m_photographed)
            return;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<QProgressDialog*>(widget);
            if (progress && progress->isVisible() &&
                progress->windowTitle() == QStringLiteral("Loading Data")) {
                m_photographed = true;
                m_poll.stop();
                m_tour.screenshot(*progress, QStringLiteral("load_progress.png"),
                                  QStringLiteral("the progress window while thirty station files load"));
                return;
            }
        }
    }

    TourContext& m_tour;
    QTimer m_poll;
    bool m_photographed = false;
};

void loadAllStations(TourContext& tour, QAction& command) {
    TourDialogSteps steps(tour, 60000);
    steps.expect(loadDataTitle, [&tour](QDialog& dialog) {
        auto* files = loadDialogOf(tour, dialog);
        if (!files || !chooseFileType(tour, *files, QStringLiteral("Delimited Text")))
            return;
        for (int station = 1; station <= stationCount; ++station) {
            if (!addToList(tour, *files, stationFile(station))) {
                dialog.reject();
                return;
            }
        }
        pressOpen(tour, *files);
    });
    steps.expect(appendReplaceTitle, pressChoice(tour, QStringLiteral("replaceButton")));
    tour.modalAnswers().pressButton(QMessageBox::Yes); // "Skip File"
    // Slow enough per file that the window, which waits a second, shows before the damaged file.
    const qelmar::standin::testing::SlowDataLoads slow(std::chrono::milliseconds(80));
    const ProgressWindowWatch watch(tour);
    command.trigger();
    if (!watch.photographed())
        tour.fail(QStringLiteral("the progress window never appeared while thirty files loaded"));
}

bool askedAboutTheDamagedFile(TourContext& tour) {
    for (const auto& answered : tour.modalAnswers().answered()) {
        if (answered.title == QStringLiteral("Data File Not Loaded") &&
            answered.label.contains(QStringLiteral("station-%1.csv").arg(damagedStation)))
            return true;
    }
    tour.fail(QStringLiteral("no question named the damaged station's file"));
    return false;
}

void runTour(TourContext& tour) {
    QAction* command = findCommand(tour, QStringLiteral("Load Data..."));
    if (!command) {
        tour.fail(QStringLiteral("\"Load Data...\" is not offered"));
        return;
    }
    loadAllStations(tour, *command);
    if (tour.failed() || !askedAboutTheDamagedFile(tour))
        return;
    const qelmar::standin::Frame* frame = ApplicationModel::instance().currentFrame();
    const int zones = frame && frame->dataSet ? frame->dataSet->zoneCount() : 0;
    if (zones != stationCount - 1) {
        tour.fail(QStringLiteral("%1 stations loaded, not %2").arg(zones).arg(stationCount - 1));
        return;
    }
    const QString status =
        QStringLiteral(
            "Loaded 29 of 30 files; skipped station-%1.csv, line 12, column 2: \"ERR\" is not a number.")
            .arg(damagedStation);
    if (tour.window().statusText() != status) {
        tour.fail(
            QStringLiteral("expected the status \"%1\", not \"%2\"").arg(status, tour.window().statusText()));
        return;
    }
    std::printf("  %d of %d stations loaded; the damaged one was skipped\n", zones, stationCount);
    tour.window().showApplicationPage();
    tour.screenshot(
        tour.window(), QStringLiteral("load_skipped_status.png"),
        QStringLiteral("the main window after the load, its status line naming the skipped file"));
}

const DemoFeatureRegistration registration{{57, install, runTour}};

} // namespace
} // namespace qelmar::demo
