#include "AnimationRun.h"

#include "host/AppLock.h"
#include "host/KernelErrors.h"
#include "host/KernelExport.h"
#include "host/KernelString.h"
#include "kernel/ApplicationModel.h"

#include <QApplication>
#include <QProgressDialog>

namespace qelmar::demo {

namespace {

using qelmar::sdk::AppLock;
using qelmar::standin::ApplicationModel;

QString tr(const char* text) {
    return QApplication::translate("AnimationRun", text);
}

// The sample application's own model: a second test control would empty it.
ApplicationModel& application() {
    return ApplicationModel::instance();
}

// Makes the time step current again that was current when it was made.
class TimeStepRestorer {
public:
    TimeStepRestorer()
        : m_step(application().currentTimeStep()) {}
    TimeStepRestorer(const TimeStepRestorer&) = delete;
    TimeStepRestorer& operator=(const TimeStepRestorer&) = delete;
    ~TimeStepRestorer() { application().setCurrentTimeStep(m_step); }

private:
    const int m_step;
};

QString progressText(int frame, int frames) {
    return tr("Writing frame %1 of %2").arg(frame).arg(frames);
}

// The first frame starts the animation, every later one is appended to it.
bool exportFrame(int step) {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    return QelUtilExport(step > 0);
}

bool finishAnimation() {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    return QelUtilExportFinish();
}

void cancelAnimation() {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    QelUtilExportCancel();
}

QString lastKernelError() {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    const qelmar::sdk::KernelString reason(QelUtilGetLastErrorMessage());
    return reason.isEmpty() ? tr("The animation could not be written.") : QString::fromUtf8(reason.c_str());
}

} // namespace

struct AnimationRun::Impl {
    QWidget& dialogParent;
    int framesWritten = 0;
    QString failure;

    explicit Impl(QWidget& parent)
        : dialogParent(parent) {}

    Outcome_e failed() {
        failure = lastKernelError();
        // The kernel may hold frames of an animation it can no longer finish.
        cancelAnimation();
        return Outcome_Failed;
    }
};

AnimationRun::AnimationRun(QWidget& dialogParent)
    : m_impl(std::make_unique<Impl>(dialogParent)) {}

AnimationRun::~AnimationRun() = default;

AnimationRun::Outcome_e AnimationRun::run() {
    const TimeStepRestorer restorer;
    const int frames = application().timeStepCount();
    QProgressDialog progress(progressText(1, frames), tr("Cancel"), 0, frames, &m_impl->dialogParent);
    progress.setWindowTitle(tr("Animate"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    for (int step = 0; step < frames; ++step) {
        application().setCurrentTimeStep(step);
        progress.setLabelText(progressText(step + 1, frames));
        // A modal progress dialog lets events through here: the page view shows the step, and
        // the user may have pressed Cancel.
        progress.setValue(step);
        if (progress.wasCanceled()) {
            cancelAnimation();
            return Outcome_Cancelled;
        }
        if (!exportFrame(step))
            return m_impl->failed();
        ++m_impl->framesWritten;
    }
    progress.setValue(frames);
    return finishAnimation() ? Outcome_Written : m_impl->failed();
}

int AnimationRun::framesWritten() const {
    return m_impl->framesWritten;
}

QString AnimationRun::failure() const {
    return m_impl->failure;
}

} // namespace qelmar::demo
