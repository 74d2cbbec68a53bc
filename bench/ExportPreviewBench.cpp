#include "bench/BenchRatios.h"
#include "bench/ExportBenchKernel.h"

#include "export/ExportDialog.h"
#include "export/ExportPreviewPanel.h"
#include "host/AppLock.h"
#include "host/Kernel.h"
#include "host/KernelExportPreview.h"
#include "host/QExtendedFileDialog.h"

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

// The export dialog's preview panel: typing a new width of a 4000-pixel-wide PNG until the
// preview shows it (95th percentile) against one preview rendered by the kernel directly; and a
// PNG exported through the dialog with the panel on against the same with the panel off.

namespace {

using qelmar::bench::ExportBenchKernel;
using qelmar::bench::exportWidth;
using qelmar::bench::saveInNextFileDialog;
using qelmar::dialogs::io::ExportDialog;
using qelmar::dialogs::io::ExportPreviewPanel;

// The bench kernel with the dialog's panel switched on or off; the dialog goes with it.
class PreviewBenchKernel : public ExportBenchKernel {
public:
    explicit PreviewBenchKernel(bool panel) { ExportDialog::setAdditions({panel, false, false}); }
    ~PreviewBenchKernel() {
        delete ExportDialog::getInstance(host, ExportDialog::Mode_StillImage);
        ExportDialog::setAdditions({});
    }
};

template <class Widget> Widget* control(QWidget& dialog, const char* name) {
    return dialog.findChild<Widget*>(QLatin1String(name));
}

// The dialog open on PNG with a typed width of 4000 pixels.
ExportDialog* openOnPng(PreviewBenchKernel& kernel) {
    ExportDialog* dialog = ExportDialog::getInstance(kernel.host, ExportDialog::Mode_StillImage);
    dialog->show();
    QApplication::processEvents();
    auto* formats = control<QComboBox>(*dialog, "export_Format_CmbBox");
    const int png = formats->findText(QStringLiteral("PNG"));
    formats->setCurrentIndex(png);
    Q_EMIT formats->activated(png);
    QApplication::processEvents();
    control<QAbstractButton>(*dialog, "exportPng_EnterWidth_RadioButton")->click();
    auto* width = control<QLineEdit>(*dialog, "exportPng_Width_LineEdit");
    width->setText(QString::number(exportWidth));
    Q_EMIT width->editingFinished();
    QApplication::processEvents();
    return dialog;
}

double percentile95(std::vector<double> samples) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1,
                            static_cast<std::size_t>(std::ceil(samples.size() * 0.95)) - 1)];
}

void BM_PreviewFollowsTypedWidth(benchmark::State& state) {
    PreviewBenchKernel kernel(true);
    ExportDialog* dialog = openOnPng(kernel);
    auto* panel = dialog->findChild<ExportPreviewPanel*>();
    auto* width = control<QLineEdit>(*dialog, "exportPng_Width_LineEdit");
    auto* summary = control<QLabel>(*dialog, "exportPreview_Summary_Label");
    if (!panel || !width || !summary) {
        state.SkipWithError("no preview panel");
        return;
    }
    if (!QTest::qWaitFor([panel] { return !panel->renderPending(); })) {
        state.SkipWithError("the first preview did not come");
        return;
    }
    std::vector<double> latencies;
    int next = exportWidth - 1;
    for (auto _ : state) {
        const QString typed = QString::number(next);
        QElapsedTimer clock;
        clock.start();
        width->selectAll();
        QTest::keyClicks(width, typed);
        QTest::keyClick(width, Qt::Key_Return);
        while (!summary->text().startsWith(typed + QStringLiteral(" x ")) && clock.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        latencies.push_back(clock.nsecsElapsed() / 1e6);
        next = next == exportWidth ? exportWidth - 1 : exportWidth;
    }
    state.counters["p95_ms"] = percentile95(latencies);
    dialog->reject();
}
BENCHMARK(BM_PreviewFollowsTypedWidth)->Unit(benchmark::kMillisecond)->Iterations(40);

// One preview of the panel's size, as the kernel renders it for the panel.
void BM_PreviewRenderedDirectly(benchmark::State& state) {
    PreviewBenchKernel kernel(false);
    const std::string widthPath = "ExportSetup/ImageWidth";
    const QelExportSettingOverride_s overrides[] = {{"ExportSetup/ExportFormat", ExportFormat_PNG},
                                                    {widthPath.c_str(), exportWidth}};
    for (auto _ : state) {
        const qelmar::sdk::AppLock lock(qelmar::sdk::AppLock::NoImplicitMacroRecord);
        QelExportPreview_s* preview = QelUtilExportPreviewRender(overrides, 2, 240, 180);
        benchmark::DoNotOptimize(preview);
        QelUtilExportPreviewDealloc(&preview);
    }
    state.counters["p95_ms"] = 0;
}
BENCHMARK(BM_PreviewRenderedDirectly)->Unit(benchmark::kMillisecond)->Iterations(40);

void exportWithPanel(benchmark::State& state, bool panel) {
    PreviewBenchKernel kernel(panel);
    if (!kernel.ready()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    for (auto _ : state) {
        ExportDialog* dialog = openOnPng(kernel);
        saveInNextFileDialog(kernel.filePath());
        control<QDialogButtonBox>(*dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        QApplication::processEvents();
        state.PauseTiming();
        const bool written = QImageReader(kernel.filePath()).size().width() == exportWidth;
        QFile::remove(kernel.filePath());
        state.ResumeTiming();
        if (!written) {
            state.SkipWithError("the image is not 4000 pixels wide");
            break;
        }
    }
}

void BM_ExportPngPanelOn(benchmark::State& state) {
    exportWithPanel(state, true);
}
BENCHMARK(BM_ExportPngPanelOn)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_ExportPngPanelOff(benchmark::State& state) {
    exportWithPanel(state, false);
}
BENCHMARK(BM_ExportPngPanelOff)->Unit(benchmark::kMillisecond)->Iterations(8);

const qelmar::bench::RatioRegistration typedWidthOverRender{
    "typed width until the preview shows it / one preview rendered directly (aim: within 100 ms)",
    "BM_PreviewFollowsTypedWidth/iterations:40",
    "BM_PreviewRenderedDirectly/iterations:40",
    {"p95_ms"}};
const qelmar::bench::RatioRegistration panelOnOverOff{
    "4000-pixel PNG exported with the preview panel / without (at most 1.05)",
    "BM_ExportPngPanelOn/iterations:8", "BM_ExportPngPanelOff/iterations:8"};

} // namespace
