#include "bench/BenchRatios.h"
#include "bench/ExportBenchKernel.h"

#include "export/ExportDialog.h"
#include "host/AppLock.h"
#include "host/Kernel.h"
#include "host/KernelExport.h"
#include "host/QExtendedFileDialog.h"
#include "kernel/testing/StyleTestControl.h"

#include "ui_Export.h"

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

// The export dialog against its bare generated form, both constructed and shown; and a
// 4000-pixel-wide PNG exported through the dialog's OK path (options, file dialog, export)
// against the same image rendered and written by the kernel directly. What the dialog adds
// should be small beside what it drives.

namespace {

using qelmar::bench::ExportBenchKernel;
using qelmar::bench::exportWidth;
using qelmar::bench::saveInNextFileDialog;
using qelmar::dialogs::io::ExportDialog;
using qelmar::standin::StylePath;
using qelmar::standin::testing::StyleTestControl;

void settle() {
    QApplication::processEvents();
}

void BM_ExportDialogShown(benchmark::State& state) {
    ExportBenchKernel kernel;
    for (auto _ : state) {
        auto dialog = std::make_unique<ExportDialog>(kernel.host, ExportDialog::Mode_StillImage);
        dialog->show();
        settle();
        state.PauseTiming();
        dialog.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ExportDialogShown)->Unit(benchmark::kMillisecond);

void BM_BareExportFormShown(benchmark::State& state) {
    ExportBenchKernel kernel;
    for (auto _ : state) {
        auto dialog = std::make_unique<QDialog>(&kernel.host);
        Ui_Export form;
        form.setupUi(dialog.get());
        dialog->show();
        settle();
        state.PauseTiming();
        dialog.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BareExportFormShown)->Unit(benchmark::kMillisecond);

template <class Widget> Widget* control(QWidget& dialog, const char* name) {
    return dialog.findChild<Widget*>(QLatin1String(name));
}

// Opens the dialog, picks PNG and types the width, presses OK and names the file.
bool exportThroughDialog(ExportBenchKernel& kernel) {
    ExportDialog* dialog = ExportDialog::getInstance(kernel.host, ExportDialog::Mode_StillImage);
    dialog->show();
    settle();
    auto* formats = control<QComboBox>(*dialog, "export_Format_CmbBox");
    auto* enterWidth = control<QAbstractButton>(*dialog, "exportPng_EnterWidth_RadioButton");
    auto* width = control<QLineEdit>(*dialog, "exportPng_Width_LineEdit");
    auto* buttons = control<QDialogButtonBox>(*dialog, "buttonBox");
    if (!formats || !enterWidth || !width || !buttons)
        return false;
    const int png = formats->findText(QStringLiteral("PNG"));
    formats->setCurrentIndex(png);
    Q_EMIT formats->activated(png);
    settle();
    enterWidth->click();
    settle();
    width->setText(QString::number(exportWidth));
    Q_EMIT width->editingFinished();
    saveInNextFileDialog(kernel.filePath());
    buttons->button(QDialogButtonBox::Ok)->click();
    settle();
    return !dialog->isVisible() && dialog->result() == QDialog::Accepted;
}

// Times one export per iteration; the written image is checked and removed outside the timing.
template <typename Export>
void timeExports(benchmark::State& state, ExportBenchKernel& kernel, Export exportOnce, const char* failure) {
    bool checked = false;
    for (auto _ : state) {
        if (!exportOnce()) {
            state.SkipWithError(failure);
            break;
        }
        state.PauseTiming();
        checked = kernel.wroteExpectedImage();
        kernel.betweenExports();
        state.ResumeTiming();
    }
    if (!checked)
        state.SkipWithError("the image is not 4000 pixels wide");
}

void BM_ExportPngThroughDialog(benchmark::State& state) {
    ExportBenchKernel kernel;
    if (!kernel.ready()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    timeExports(
        state, kernel, [&kernel] { return exportThroughDialog(kernel); }, "the export dialog did not export");
    delete ExportDialog::getInstance(kernel.host, ExportDialog::Mode_StillImage);
}
BENCHMARK(BM_ExportPngThroughDialog)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_ExportPngDirectly(benchmark::State& state) {
    ExportBenchKernel kernel;
    if (!kernel.ready()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    StyleTestControl& styles = kernel.styles();
    styles.setFromElsewhere(StylePath{"ExportSetup", "ExportFormat"}, long{ExportFormat_PNG});
    styles.setFromElsewhere(StylePath{"ExportSetup", "ExportRegion"}, long{ExportRegion_CurrentFrame});
    styles.setFromElsewhere(StylePath{"ExportSetup", "ImageWidth"}, long{exportWidth});
    styles.setFromElsewhere(StylePath{"ExportSetup", "ExportFName"}, kernel.filePath().toStdString());
    const auto exportDirectly = [] {
        const qelmar::sdk::AppLock lock(qelmar::sdk::AppLock::NoImplicitMacroRecord);
        return QelUtilExport(false);
    };
    timeExports(state, kernel, exportDirectly, "the kernel did not export");
}
BENCHMARK(BM_ExportPngDirectly)->Unit(benchmark::kMillisecond)->Iterations(8);

const qelmar::bench::RatioRegistration dialogOverForm{"export dialog shown / its bare generated form shown",
                                                      "BM_ExportDialogShown", "BM_BareExportFormShown"};
const qelmar::bench::RatioRegistration throughDialogOverDirect{
    "4000-pixel PNG through the export dialog / written by the kernel directly",
    "BM_ExportPngThroughDialog/iterations:8", "BM_ExportPngDirectly/iterations:8"};

} // namespace
