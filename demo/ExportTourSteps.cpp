#include "ExportTourSteps.h"

#include "DemoMainWindow.h"
#include "ExportDialogDriver.h"
#include "TourContext.h"
#include "TourDialogSteps.h"

#include <QAction>
#include <QDialog>
#include <QFileInfo>
#include <QMenu>

namespace qelmar::demo {

namespace {

// An animation's frames are all written while the steps still watch for dialogs.
constexpr int exportDeadlineMilliseconds = 120000;

} // namespace

QString exportThroughDialog(TourContext& tour, QAction& command, const PlannedExport& plan) {
    QString dimensions;
    TourDialogSteps steps(tour, exportDeadlineMilliseconds);
    steps.expect(QStringLiteral("Export"), [&](QDialog& dialog) {
        ExportDialogDriver driver(tour, dialog);
        driver.choose(QStringLiteral("export_Format_CmbBox"), plan.format);
        driver.choose(plan.page + QStringLiteral("_Region_CmbBox"), plan.region);
        plan.setOptions(driver);
        if (plan.showsDimensions)
            dimensions = driver.labelText(plan.page + QStringLiteral("_ExportDimVal_Label"));
        if (driver.ok() && !plan.screenshot.isEmpty())
            tour.screenshot(dialog, plan.screenshot, plan.screenshotDescription);
        if (!driver.ok() || tour.failed()) {
            dialog.reject();
            return;
        }
        driver.pressOk();
    });
    steps.expect(QStringLiteral("Select Export File"), [&](QDialog& fileDialog) {
        TourDialogSteps::typeNameAndSave(fileDialog, tour.filePath(plan.fileName));
    });
    command.trigger();
    return dimensions;
}

QAction* findCommand(TourContext& tour, const QString& text) {
    for (QAction* action : tour.window().fileMenu()->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

bool statusNamesFile(TourContext& tour, const std::function<QString(const QString& file)>& statusFor,
                     const QString& fileName) {
    // The status for a placeholder file tells what surrounds the name.
    const QString placeholder = QStringLiteral("\x1f");
    const QString pattern = statusFor(placeholder);
    const QString before = pattern.section(placeholder, 0, 0);
    const QString after = pattern.section(placeholder, 1);
    const QString status = tour.window().statusText();
    if (!status.startsWith(before) || !status.endsWith(after) ||
        status.size() <= before.size() + after.size())
        return false;
    const QString named = status.mid(before.size(), status.size() - before.size() - after.size());
    return QFileInfo(named) == QFileInfo(tour.filePath(fileName));
}

} // namespace qelmar::demo
