// "Export...": writes the current frame, all frames or the work area of the sample pages as an
// image file, offered while there is a frame to export.

#include "ActionFollowingRelevance.h"
#include "CurrentFrameName.h"
#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "ExportDialogDriver.h"
#include "ExportExpectations.h"
#include "ExportTourSteps.h"
#include "KernelExportFileName.h"
#include "TourContext.h"
#include "TourDialogSteps.h"

#include "export/ExportDialog.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>

#include <functional>

namespace qelmar::demo {
namespace {

using qelmar::dialogs::io::ExportDialog;

QString tr(const char* text) {
    return QApplication::translate("ExportDemo", text);
}

// ---- The command --------------------------------------------------------------------------

QString exportedStatus(const QString& fileName) {
    return tr("Exported to %1").arg(fileName);
}

void exportStillImage(DemoMainWindow& window) {
    if (ExportDialog::getInstance(window, ExportDialog::Mode_StillImage)->launch())
        window.showStatus(exportedStatus(kernelExportFileName()));
}

void install(DemoMainWindow& window) {
    // The demo shows everything the dialog can do: the preview panel with the size in print, a
    // transparent background and presets, PDF and SVG, and progress for long exports.
    ExportDialog::Additions additions;
    additions.previewPanel = true;
    additions.extraFormats = true;
    additions.exportProgress = true;
    ExportDialog::setAdditions(additions);
    QAction* command = window.addCommand(tr("Export..."), [&window] { exportStillImage(window); });
    new ActionFollowingRelevance(command, ExportDialog::relevance());
}

// ---- The tour -----------------------------------------------------------------------------

void exportAndRecord(TourContext& tour, QAction& command, const PlannedExport& plan) {
    const QString dimensions = exportThroughDialog(tour, command, plan);
    if (tour.failed())
        return;
    if (!statusNamesFile(tour, exportedStatus, plan.fileName)) {
        tour.fail(
            QStringLiteral("%1 was not exported: \"%2\"").arg(plan.fileName, tour.window().statusText()));
        return;
    }
    tour.recordFile(plan.fileName, plan.description);
    ExportExpectations::append(tour, plan.fileName, dimensions, plan.kind, plan.details());
}

// An opening that changes the format and the width and is cancelled: the exports after it
// must be exactly as if it had never happened.
void cancelAnEdit(TourContext& tour, QAction& command) {
    TourDialogSteps steps(tour);
    steps.expect(QStringLiteral("Export"), [&](QDialog& dialog) {
        ExportDialogDriver driver(tour, dialog);
        driver.choose(QStringLiteral("export_Format_CmbBox"), QStringLiteral("JPEG"));
        driver.click(QStringLiteral("exportJpg_EnterWidth_RadioButton"));
        driver.type(QStringLiteral("exportJpg_Width_LineEdit"), QStringLiteral("99"));
        dialog.reject();
    });
    command.trigger();
}

// ---- The additions: the preview panel, PDF and SVG

constexpr int printResolution = 600;

// 8.5 cm at 600 dpi, set in the preview panel; the screenshot waits for the preview to show it.
PlannedExport printSizedPng() {
    PlannedExport plan{
        QStringLiteral("PNG"),
        QStringLiteral("exportPng"),
        QStringLiteral("Current frame"),
        [](ExportDialogDriver& driver) {
            driver.setChecked(QStringLiteral("exportPng_256Colors_ToggleButton"), false);
            driver.setChecked(QStringLiteral("exportPreview_Transparent_ToggleButton"), false);
            driver.setChecked(QStringLiteral("exportPreview_UsePhysicalSize_ToggleButton"), true);
            driver.choose(QStringLiteral("exportPreview_Unit_CmbBox"), QStringLiteral("Centimetres"));
            driver.type(QStringLiteral("exportPreview_Resolution_LineEdit"),
                        QString::number(printResolution));
            driver.type(QStringLiteral("exportPreview_Width_LineEdit"), QStringLiteral("8.5"));
            driver.waitForLabel(QStringLiteral("exportPreview_Summary_Label"), QStringLiteral("2008 x "));
        },
        QStringLiteral("tour-print.png"),
        QStringLiteral("the current frame as a PNG image 8.5 cm wide at 600 dpi"),
        QStringLiteral("png-physical"),
        QStringLiteral("export_preview_png.png"),
        QStringLiteral("the export dialog with its preview of a PNG image 8.5 cm wide at 600 dpi")};
    plan.details = [] { return QStringList{QStringLiteral("dpi=%1").arg(printResolution)}; };
    return plan;
}

PlannedExport transparentPng() {
    return {QStringLiteral("PNG"),
            QStringLiteral("exportPng"),
            QStringLiteral("Work area"),
            [](ExportDialogDriver& driver) {
                driver.setChecked(QStringLiteral("exportPreview_UsePhysicalSize_ToggleButton"), false);
                driver.click(QStringLiteral("exportPng_EnterWidth_RadioButton"));
                driver.type(QStringLiteral("exportPng_Width_LineEdit"), QStringLiteral("720"));
                driver.setChecked(QStringLiteral("exportPreview_Transparent_ToggleButton"), true);
            },
            QStringLiteral("tour-transparent.png"),
            QStringLiteral("the work area as a PNG image with a transparent background"),
            QStringLiteral("png-transparent"),
            QString(),
            QString()};
}

// The transparency a PNG left on is turned off on the PNG page, where it can be changed, before
// the vector format is chosen.
PlannedExport vectorPage(const QString& format, const QString& fileName, const QString& kind) {
    PlannedExport plan{format,
                       QStringLiteral("exportPs"),
                       QStringLiteral("Current frame"),
                       [format](ExportDialogDriver& driver) {
                           driver.choose(QStringLiteral("export_Format_CmbBox"), QStringLiteral("PNG"));
                           driver.setChecked(QStringLiteral("exportPreview_Transparent_ToggleButton"), false);
                           driver.choose(QStringLiteral("export_Format_CmbBox"), format);
                           driver.choose(QStringLiteral("exportPs_Region_CmbBox"),
                                         QStringLiteral("Current frame"));
                           driver.setChecked(QStringLiteral("export_Color_ToggleButton"), true);
                           driver.click(QStringLiteral("exportPs_RenderTypeVector_RadioButton"));
                       },
                       fileName,
                       QStringLiteral("the current frame as a %1 page with its text as text").arg(format),
                       kind,
                       QString(),
                       QString(),
                       false};
    plan.details = [] { return QStringList{QStringLiteral("text=%1").arg(currentFrameName())}; };
    return plan;
}

std::vector<PlannedExport> plannedExports() {
    return {
        {QStringLiteral("PNG"), QStringLiteral("exportPng"), QStringLiteral("Current frame"),
         [](ExportDialogDriver& driver) {
             driver.setChecked(QStringLiteral("exportPng_256Colors_ToggleButton"), false);
             driver.click(QStringLiteral("exportPng_EnterWidth_RadioButton"));
             driver.type(QStringLiteral("exportPng_Width_LineEdit"), QStringLiteral("640"));
         },
         QStringLiteral("tour-frame.png"), QStringLiteral("the current frame as a PNG image 640 pixels wide"),
         QStringLiteral("png-rgb"), QStringLiteral("export_png_page.png"),
         QStringLiteral("the export dialog on the PNG page with a typed width")},
        {QStringLiteral("TIFF"), QStringLiteral("exportTiff"), QStringLiteral("All frames"),
         [](ExportDialogDriver& driver) {
             driver.setChecked(QStringLiteral("export_Color_ToggleButton"), true);
             driver.click(QStringLiteral("exportTiff_UseScreenWidth_RadioButton"));
             driver.setChecked(QStringLiteral("exportTiff_256Colors_ToggleButton"), true);
         },
         QStringLiteral("tour-frames.tiff"),
         QStringLiteral("all frames of the page as a TIFF image of 256 colours"),
         QStringLiteral("tiff-palette"), QString(), QString()},
        // Colour off for a TIFF: the TIFF is grey, and the PNG after it must still be in colour.
        {QStringLiteral("TIFF"), QStringLiteral("exportTiff"), QStringLiteral("Current frame"),
         [](ExportDialogDriver& driver) {
             driver.setChecked(QStringLiteral("export_Color_ToggleButton"), false);
             driver.click(QStringLiteral("exportTiff_EnterWidth_RadioButton"));
             driver.type(QStringLiteral("exportTiff_Width_LineEdit"), QStringLiteral("333"));
         },
         QStringLiteral("tour-frame-grey.tiff"), QStringLiteral("the current frame as a grey TIFF image"),
         QStringLiteral("tiff-grey"), QString(), QString()},
        {QStringLiteral("PNG"), QStringLiteral("exportPng"), QStringLiteral("All frames"),
         [](ExportDialogDriver& driver) {
             driver.setChecked(QStringLiteral("exportPng_256Colors_ToggleButton"), false);
             driver.click(QStringLiteral("exportPng_EnterWidth_RadioButton"));
             driver.type(QStringLiteral("exportPng_Width_LineEdit"), QStringLiteral("517"));
         },
         QStringLiteral("tour-frames-after-grey.png"),
         QStringLiteral("all frames as a PNG image after a grey TIFF: in colour"), QStringLiteral("png-rgb"),
         QString(), QString()},
        {QStringLiteral("EPS"), QStringLiteral("exportEps"), QStringLiteral("Work area"),
         [](ExportDialogDriver& driver) {
             driver.setChecked(QStringLiteral("export_Color_ToggleButton"), true);
             driver.choose(QStringLiteral("exportEps_PreviewType_CmbBox"), QStringLiteral("TIFF"));
         },
         QStringLiteral("tour-workarea.eps"),
         QStringLiteral("the work area as encapsulated PostScript with a TIFF preview"),
         QStringLiteral("eps-tiffpreview"), QStringLiteral("export_eps_page.png"),
         QStringLiteral("the export dialog on the EPS page with a TIFF preview")},
        printSizedPng(),
        transparentPng(),
        vectorPage(QStringLiteral("PDF"), QStringLiteral("tour-frame.pdf"), QStringLiteral("pdf")),
        vectorPage(QStringLiteral("SVG"), QStringLiteral("tour-frame.svg"), QStringLiteral("svg")),
    };
}

void runTour(TourContext& tour) {
    const std::vector<PlannedExport> plans = plannedExports();
    ExportExpectations::clear(tour);
    for (const PlannedExport& plan : plans)
        QFile::remove(tour.filePath(plan.fileName));
    QAction* command = findCommand(tour, tr("Export..."));
    if (!command || !command->isEnabled()) {
        tour.fail(QStringLiteral("\"Export...\" is not offered"));
        return;
    }
    for (const PlannedExport& plan : plans) {
        exportAndRecord(tour, *command, plan);
        if (tour.failed())
            return;
        if (&plan == &plans.front())
            cancelAnEdit(tour, *command);
    }
    tour.recordFile(ExportExpectations::fileName(),
                    QStringLiteral("what each exported file must be, for check-tour.sh"));
}

const DemoFeatureRegistration registration{{30, install, runTour}};

} // namespace
} // namespace qelmar::demo
