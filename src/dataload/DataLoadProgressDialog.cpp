#include "dataload/DataLoadProgressDialog.h"

#include "util/ArrowCursorWhileAsking.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace qelmar::dialogs::io {

namespace {

constexpr int progressSteps = 1000;

QString tr(const char* text) {
    return QCoreApplication::translate("DataLoadProgressDialog", text);
}

QString fileNameOf(const char* path) {
    return QFileInfo(QString::fromUtf8(path ? path : "")).fileName();
}

QString bytesText(long long bytes) {
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

QString remainingText(qint64 seconds) {
    if (seconds < 60)
        return tr("about %1 s left").arg(std::max<qint64>(seconds, 1));
    return tr("about %1 min left").arg((seconds + 30) / 60);
}

// The share done, from the bytes when the files have a size, else from the files.
double shareDone(const DataLoadProgress_s& progress) {
    if (progress.bytesTotal > 0)
        return static_cast<double>(progress.bytesDone) / static_cast<double>(progress.bytesTotal);
    if (progress.fileCount > 0)
        return static_cast<double>(progress.filesDone) / static_cast<double>(progress.fileCount);
    return 0.0;
}

// The kernel cannot take an exception: a failure here cancels the load, which changes nothing.
bool progressCallback(const DataLoadProgress_s* progress, void* clientData) {
    try {
        return progress && static_cast<DataLoadProgressDialog*>(clientData)->showProgress(*progress);
    } catch (...) {
        return false;
    }
}

DataLoadBadFileAnswer_e badFileCallback(const char* file, const char* reason, void* clientData) {
    try {
        return static_cast<DataLoadProgressDialog*>(clientData)
            ->askAboutBadFile(file ? file : "", reason ? reason : "");
    } catch (...) {
        return DataLoadBadFile_LoadNothing;
    }
}

} // namespace

struct DataLoadProgressDialog::Impl {
    QPointer<QWidget> parent;
    // One window per load, made at its first report and deleted at its end, so that nothing of
    // a load (its cancel above all) carries over to the next.
    QPointer<QProgressDialog> window;
    QElapsedTimer sinceStart;

    QProgressDialog& windowForLoad() {
        if (!window) {
            window = new QProgressDialog(tr("Loading data…"), tr("Cancel"), 0, progressSteps, parent);
            window->setWindowTitle(tr("Loading Data"));
            window->setWindowModality(Qt::WindowModal);
            window->setAutoReset(false);
            window->setAutoClose(false);
            window->setMinimumDuration(1000);
            window->setMinimumWidth(360);
            window->setValue(0); // starts the clock that shows the window after its minimum duration
            sinceStart.start();
        }
        return *window;
    }

    QString labelFor(const DataLoadProgress_s& progress, double share) const {
        if (progress.phase == DataLoadPhase_Applying)
            return tr("Putting the data of %1 files in place…").arg(progress.fileCount);
        const long fileNumber = std::min(progress.filesDone + 1, std::max(progress.fileCount, 1L));
        QString text = tr("Reading %1").arg(fileNameOf(progress.file)) + QLatin1Char('\n') +
                       tr("File %1 of %2").arg(fileNumber).arg(progress.fileCount) + QLatin1Char('\n') +
                       tr("%1 of %2").arg(bytesText(progress.bytesDone), bytesText(progress.bytesTotal));
        const qint64 elapsed = sinceStart.elapsed();
        if (share > 0.0 && elapsed > 0) {
            const double remaining = static_cast<double>(elapsed) * (1.0 - share) / share / 1000.0;
            text += QStringLiteral(", ") + remainingText(static_cast<qint64>(std::lround(remaining)));
        }
        return text;
    }

    void finish() { delete window.data(); }
};

DataLoadProgressDialog::DataLoadProgressDialog(QWidget& parent)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->parent = &parent;
}

DataLoadProgressDialog::~DataLoadProgressDialog() {
    m_impl->finish();
}

void DataLoadProgressDialog::registerCallbacks(QWidget& parent) {
    static std::unique_ptr<DataLoadProgressDialog> registered;
    if (registered)
        return;
    registered = std::make_unique<DataLoadProgressDialog>(parent);
    QelUtilDataLoadSetProgressCallback(progressCallback, registered.get());
    QelUtilDataLoadSetBadFileCallback(badFileCallback, registered.get());
}

bool DataLoadProgressDialog::showProgress(const DataLoadProgress_s& progress) {
    if (progress.phase == DataLoadPhase_Finished) {
        m_impl->finish();
        return true;
    }
    QProgressDialog& window = m_impl->windowForLoad();
    if (window.wasCanceled())
        return false;
    const double share = std::clamp(shareDone(progress), 0.0, 1.0);
    window.setLabelText(m_impl->labelFor(progress, share));
    // The window's own estimate would show it early for a load it expects to take a second; it
    // stays away for the first second whatever the estimate, so short loads never flash it.
    if (window.isVisible() || m_impl->sinceStart.elapsed() >= window.minimumDuration())
        window.setValue(static_cast<int>(std::lround(share * progressSteps)));
    // Until the window shows, user input waits, so that nothing starts a second load meanwhile;
    // once shown, the window keeps input away by being modal.
    QCoreApplication::processEvents(window.isVisible() ? QEventLoop::AllEvents
                                                       : QEventLoop::ExcludeUserInputEvents);
    return !window.wasCanceled();
}

DataLoadBadFileAnswer_e DataLoadProgressDialog::askAboutBadFile(const std::string& file,
                                                                const std::string& reason) {
    const ArrowCursorWhileAsking arrowCursor;
    QMessageBox box(
        QMessageBox::Warning, tr("Data File Not Loaded"),
        tr("%1 could not be loaded:\n%2").arg(fileNameOf(file.c_str()), QString::fromStdString(reason)),
        QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::Abort,
        m_impl->window && m_impl->window->isVisible() ? static_cast<QWidget*>(m_impl->window.data())
                                                      : m_impl->parent.data());
    box.button(QMessageBox::Yes)->setText(tr("Skip File"));
    box.button(QMessageBox::YesToAll)->setText(tr("Skip All Bad Files"));
    box.button(QMessageBox::Abort)->setText(tr("Load Nothing"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Abort);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return DataLoadBadFile_Skip;
    case QMessageBox::YesToAll:
        return DataLoadBadFile_SkipAll;
    default:
        return DataLoadBadFile_LoadNothing;
    }
}

QProgressDialog* DataLoadProgressDialog::progressWindow() const {
    return m_impl->window.data();
}

} // namespace qelmar::dialogs::io
