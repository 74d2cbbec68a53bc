#include "TourContext.h"

#include "DemoMainWindow.h"

#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/ModalDialogAnswerer.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTextStream>
#include <QThread>
#include <QWidget>

#include <cstdio>

namespace qelmar::demo {

using qelmar::standin::testing::KernelTestControl;
using qelmar::standin::testing::ModalDialogAnswerer;

struct TourContext::Impl {
    QDir folder;
    DemoMainWindow& window;
    std::unique_ptr<KernelTestControl> kernel = std::make_unique<KernelTestControl>();
    std::unique_ptr<ModalDialogAnswerer> modalAnswers = std::make_unique<ModalDialogAnswerer>();
    bool failed = false;

    Impl(const QString& path, DemoMainWindow& mainWindow)
        : folder(path)
        , window(mainWindow) {}

    void appendToManifest(const QString& fileName, const QString& description) const {
        QFile manifest(folder.filePath(QStringLiteral("tour-manifest.txt")));
        if (!manifest.open(QIODevice::Append | QIODevice::Text))
            return;
        QTextStream(&manifest) << fileName << '\t' << description << '\n';
    }
};

TourContext::TourContext(const QString& folder, DemoMainWindow& window)
    : m_impl(std::make_unique<Impl>(folder, window)) {
    QDir().mkpath(folder);
    QFile::remove(m_impl->folder.filePath(QStringLiteral("tour-manifest.txt")));
    m_impl->modalAnswers->setFailureHandler(
        [this](const std::string& failure) { fail(QString::fromStdString(failure)); });
}

TourContext::~TourContext() {
    // The answerer reports answers nobody asked for while the failure handler can still run.
    m_impl->modalAnswers.reset();
}

DemoMainWindow& TourContext::window() const {
    return m_impl->window;
}

QString TourContext::filePath(const QString& fileName) const {
    return m_impl->folder.absoluteFilePath(fileName);
}

void TourContext::recordFile(const QString& fileName, const QString& description) {
    if (!QFile::exists(filePath(fileName))) {
        fail(QStringLiteral("%1 was not written").arg(fileName));
        return;
    }
    m_impl->appendToManifest(fileName, description);
    std::printf("  %s: %s\n", qPrintable(filePath(fileName)), qPrintable(description));
    std::fflush(stdout);
}

void TourContext::screenshot(QWidget& widget, const QString& fileName, const QString& description) {
    // Layouts and paint events of a window that was just shown or changed are still queued.
    for (int round = 0; round < 3; ++round)
        QApplication::processEvents();
    if (!widget.grab().save(filePath(fileName), "PNG")) {
        fail(QStringLiteral("could not write the screenshot %1").arg(fileName));
        return;
    }
    recordFile(fileName, description);
}

void TourContext::fail(const QString& why) {
    m_impl->failed = true;
    std::fprintf(stderr, "tour: %s\n", qPrintable(why));
}

bool TourContext::failed() const {
    return m_impl->failed;
}

bool TourContext::waitFor(const std::function<bool()>& condition, int timeoutMilliseconds) {
    QDeadlineTimer deadline(timeoutMilliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

KernelTestControl& TourContext::kernel() const {
    return *m_impl->kernel;
}

ModalDialogAnswerer& TourContext::modalAnswers() const {
    return *m_impl->modalAnswers;
}

} // namespace qelmar::demo
