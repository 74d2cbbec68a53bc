// "Animate...": writes a movie or a Raster Metafile of the sample data, one frame per time step,
// with the options and the file the export dialog asks for in animation mode; offered while
// there is a frame to export.

#include "ActionFollowingRelevance.h"
#include "AnimationRun.h"
#include "CurrentFrameName.h"
#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "ExportDialogDriver.h"
#include "ExportExpectations.h"
#include "ExportTourSteps.h"
#include "KernelExportFileName.h"
#include "TourContext.h"

#include "export/ExportDialog.h"
#include "host/AppLock.h"
#include "host/KernelFrames.h"
#include "host/KernelMessages.h"
#include "host/KernelString.h"
#include "kernel/ApplicationModel.h"
#include "kernel/testing/KernelTestControl.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QTimer>

namespace qelmar::demo {
namespace {

using qelmar::dialogs::io::ExportDialog;
using qelmar::sdk::AppLock;
using qelmar::standin::ApplicationModel;

QString tr(const char* text) {
    return QApplication::translate("AnimateDemo", text);
}

// ---- The command --------------------------------------------------------------------------

QString writtenStatus(const QString& fileName, int frames) {
    return tr("Animation written to %1 (%2 frames)").arg(fileName).arg(frames);
}

QString cancelledStatus() {
    return tr("Animation cancelled");
}

QString failedStatus() {
    return tr("Animation failed");
}

void showKernelError(const QString& text) {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    QelUtilDialogMessageBox(text.toUtf8().constData(), MessageBox_Error);
}

void animate(DemoMainWindow& window) {
    if (!ExportDialog::getInstance(window, ExportDialog::Mode_Animation)->launch())
        return;
    AnimationRun run(window);
    switch (run.run()) {
    case AnimationRun::Outcome_Written:
        window.showStatus(writtenStatus(kernelExportFileName(), run.framesWritten()));
        break;
    case AnimationRun::Outcome_Cancelled:
        window.showStatus(cancelledStatus());
        break;
    case AnimationRun::Outcome_Failed:
        window.showStatus(failedStatus());
        showKernelError(run.failure());
        break;
    }
}

void install(DemoMainWindow& window) {
    QAction* command = window.addCommand(tr("Animate..."), [&window] { animate(window); });
    new ActionFollowingRelevance(command, ExportDialog::relevance());
}

// ---- The tour -----------------------------------------------------------------------------

// Not the first step, so that the tour sees the command make it current again.
constexpr int tourTimeStep = 6;

struct PlannedAnimation {
    PlannedExport plan;
    // What check-tour.sh is to find besides the dimensions and the frame count.
    QStringList details;
};

std::vector<PlannedAnimation> plannedAnimations() {
    return {
        {{QStringLiteral("AVI"), QStringLiteral("exportAvi"), QStringLiteral("Current frame"),
          [](ExportDialogDriver& driver) {
              driver.choose(QStringLiteral("exportAvi_AviCompression_CmbBox"),
                            QStringLiteral("Color preserving"));
              driver.click(QStringLiteral("exportAvi_EnterWidth_RadioButton"));
              driver.type(QStringLiteral("exportAvi_Width_LineEdit"), QStringLiteral("480"));
              driver.type(QStringLiteral("exportAvi_AnimationSpeed_LineEdit"), QStringLiteral("10"));
          },
          QStringLiteral("tour-movie.avi"),
          QStringLiteral("the current frame through every time step as a lossless AVI movie"),
          QStringLiteral("movie-avi"), QStringLiteral("export_avi_page.png"),
          QStringLiteral("the animation dialog on the AVI page, colour preserving, with a typed width")},
         {QStringLiteral("rate=10"), QStringLiteral("codec=ffv1")}},
        {{QStringLiteral("MPEG-4"), QStringLiteral("exportMp4"), QStringLiteral("Current frame"),
          [](ExportDialogDriver& driver) {
              driver.click(QStringLiteral("exportMp4_EnterWidth_RadioButton"));
              // Odd: the encoder needs even sides, and the dialog must show the width written.
              driver.type(QStringLiteral("exportMp4_Width_LineEdit"), QStringLiteral("641"));
              driver.type(QStringLiteral("exportMp4_AnimationSpeed_LineEdit"), QStringLiteral("12"));
          },
          QStringLiteral("tour-movie.mp4"),
          QStringLiteral("the current frame through every time step as an MPEG-4 movie"),
          QStringLiteral("movie-mp4"), QString(), QString()},
         {QStringLiteral("rate=12"), QStringLiteral("codec=h264")}},
        {{QStringLiteral("Raster Metafile"), QStringLiteral("exportRmf"), QStringLiteral("Current frame"),
          [](ExportDialogDriver& driver) {
              driver.click(QStringLiteral("exportRmf_EnterWidth_RadioButton"));
              driver.type(QStringLiteral("exportRmf_Width_LineEdit"), QStringLiteral("320"));
              driver.setChecked(QStringLiteral("exportRmf_UseMultipleColorTables_ToggleButton"), true);
          },
          QStringLiteral("tour-movie.rm"),
          QStringLiteral("the current frame through every time step as a Raster Metafile, a colour table "
                         "per frame"),
          QStringLiteral("rm"), QString(), QString()},
         {QStringLiteral("tables=1")}},
    };
}

// Everything the command must have done for one animation written.
void checkWritten(TourContext& tour, const PlannedExport& plan, int frames) {
    if (tour.failed())
        return;
    const auto status = [frames](const QString& file) { return writtenStatus(file, frames); };
    if (!statusNamesFile(tour, status, plan.fileName)) {
        tour.fail(QStringLiteral("%1 was not written with %2 frames: \"%3\"")
                      .arg(plan.fileName)
                      .arg(frames)
                      .arg(tour.window().statusText()));
        return;
    }
    if (ApplicationModel::instance().currentTimeStep() != tourTimeStep)
        tour.fail(QStringLiteral("the animation left time step %1 current, not %2")
                      .arg(ApplicationModel::instance().currentTimeStep())
                      .arg(tourTimeStep));
}

void animateAndRecord(TourContext& tour, QAction& command, const PlannedAnimation& animation, int frames) {
    const PlannedExport& plan = animation.plan;
    const QString dimensions = exportThroughDialog(tour, command, plan);
    checkWritten(tour, plan, frames);
    if (tour.failed())
        return;
    tour.recordFile(plan.fileName, plan.description);
    ExportExpectations::append(tour, plan.fileName, dimensions, plan.kind,
                               QStringList{QStringLiteral("frames=%1").arg(frames)} + animation.details);
}

// Presses Cancel in the progress dialog once a few frames are written.
class ProgressCanceller {
public:
    explicit ProgressCanceller(int afterFrames) {
        QObject::connect(&m_poll, &QTimer::timeout, [afterFrames] {
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (progress && progress->value() >= afterFrames && !progress->wasCanceled())
                progress->cancel();
        });
        m_poll.start(10);
    }

private:
    QTimer m_poll;
};

QStringList filesIn(TourContext& tour) {
    return QDir(tour.filePath(QString())).entryList(QDir::Files);
}

// An animation that stops early leaves neither the movie nor a temporary file in the folder.
void checkNothingWritten(TourContext& tour, const QStringList& before, const QString& expectedStatus) {
    if (tour.window().statusText() != expectedStatus)
        tour.fail(QStringLiteral("expected the status \"%1\", not \"%2\"")
                      .arg(expectedStatus, tour.window().statusText()));
    const QStringList after = filesIn(tour);
    if (after != before)
        tour.fail(
            QStringLiteral("an animation that stopped early changed the tour folder: %1 before, %2 after")
                .arg(before.join(QLatin1Char(' ')), after.join(QLatin1Char(' '))));
}

// An AVI with the options of the last one, to a file that must never appear.
PlannedExport unrecordedAvi() {
    PlannedExport plan;
    plan.format = QStringLiteral("AVI");
    plan.page = QStringLiteral("exportAvi");
    plan.region = QStringLiteral("Current frame");
    plan.setOptions = [](ExportDialogDriver&) {};
    plan.fileName = QStringLiteral("tour-stopped.avi");
    return plan;
}

void cancelMidway(TourContext& tour, QAction& command) {
    const QStringList before = filesIn(tour);
    {
        const ProgressCanceller canceller(3);
        exportThroughDialog(tour, command, unrecordedAvi());
    }
    if (!tour.failed())
        checkNothingWritten(tour, before, cancelledStatus());
}

// The kernel cannot finish the movie: the user reads a message, and no file appears.
void failAtFinish(TourContext& tour, QAction& command) {
    const QStringList before = filesIn(tour);
    const std::size_t errorsBefore = tour.kernel().messagesOfType(MessageBox_Error).size();
    tour.kernel().failCall("QelUtilExportFinish", qelmar::standin::FailMode::Once);
    exportThroughDialog(tour, command, unrecordedAvi());
    if (tour.failed())
        return;
    checkNothingWritten(tour, before, failedStatus());
    if (tour.kernel().messagesOfType(MessageBox_Error).size() != errorsBefore + 1)
        tour.fail(QStringLiteral("a failed animation showed no error message"));
}

// The still image dialog writes the metafile; its drawing names the frame.
void exportMetafile(TourContext& tour) {
    QAction* command = findCommand(tour, QApplication::translate("ExportDemo", "Export..."));
    if (!command) {
        tour.fail(QStringLiteral("\"Export...\" is not offered"));
        return;
    }
    PlannedExport plan;
    plan.format = QStringLiteral("WMF");
    plan.page = QStringLiteral("exportWmf");
    plan.region = QStringLiteral("Current frame");
    plan.setOptions = [](ExportDialogDriver&) {};
    plan.fileName = QStringLiteral("tour-frame.wmf");
    plan.description = QStringLiteral("the current frame as a placeable Windows Metafile");
    plan.kind = QStringLiteral("wmf");
    plan.showsDimensions = false;
    exportThroughDialog(tour, *command, plan);
    if (tour.failed())
        return;
    const auto exported = [](const QString& file) {
        return QApplication::translate("ExportDemo", "Exported to %1").arg(file);
    };
    if (!statusNamesFile(tour, exported, plan.fileName)) {
        tour.fail(
            QStringLiteral("%1 was not exported: \"%2\"").arg(plan.fileName, tour.window().statusText()));
        return;
    }
    tour.recordFile(plan.fileName, plan.description);
    ExportExpectations::append(tour, plan.fileName, QString(), plan.kind,
                               {QStringLiteral("text=%1").arg(currentFrameName())});
}

void runTour(TourContext& tour) {
    const std::vector<PlannedAnimation> animations = plannedAnimations();
    for (const PlannedAnimation& animation : animations)
        QFile::remove(tour.filePath(animation.plan.fileName));
    for (const char* name : {"tour-frame.wmf", "tour-stopped.avi"})
        QFile::remove(tour.filePath(QString::fromLatin1(name)));
    QAction* command = findCommand(tour, tr("Animate..."));
    if (!command || !command->isEnabled()) {
        tour.fail(QStringLiteral("\"Animate...\" is not offered"));
        return;
    }
    ApplicationModel::instance().setCurrentTimeStep(tourTimeStep);
    const int frames = ApplicationModel::instance().timeStepCount();
    for (const PlannedAnimation& animation : animations) {
        animateAndRecord(tour, *command, animation, frames);
        if (tour.failed())
            return;
    }
    cancelMidway(tour, *command);
    if (!tour.failed())
        failAtFinish(tour, *command);
    if (!tour.failed())
        exportMetafile(tour);
}

const DemoFeatureRegistration registration{{40, install, runTour}};

} // namespace
} // namespace qelmar::demo
