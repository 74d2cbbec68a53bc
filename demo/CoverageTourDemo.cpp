// The coverage table of the "Variable Load and Combine" window: four loggers whose files name
// their variables differently are loaded together, one pair is combined, and the table shows which
// name of each file fills each variable and which file leaves one empty.

#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "ExportTourSteps.h"
#include "LoadDataTourSteps.h"
#include "TourContext.h"
#include "TourDialogSteps.h"
#include "VariableMatchTourSteps.h"

#include "host/QExtendedFileDialog.h"
#include "kernel/ApplicationModel.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTableView>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace qelmar::demo {
namespace {

using qelmar::standin::ApplicationModel;

QString tr(const char* text) {
    return QApplication::translate("CoverageTourDemo", text);
}

QString loggerFolder() {
    return QDir::temp().filePath(QStringLiteral("qelmar-demo-data/loggers"));
}

QString loggerPath(const QString& name) {
    return QDir(loggerFolder()).filePath(name);
}

struct Logger {
    QString file;
    QByteArray header;
    double base; // its first value of every column, so that each file's values are its own
};

// North's names become the data set's; South writes them in other letter cases, East calls the
// temperature T_air, and West measures humidity instead of pressure.
const Logger loggers[] = {
    {QStringLiteral("logger-north.csv"), "Time,Temp,Pressure", 100.0},
    {QStringLiteral("logger-south.csv"), "time,TEMP,Pressure", 200.0},
    {QStringLiteral("logger-east.csv"), "Time,T_air,Pressure", 300.0},
    {QStringLiteral("logger-west.csv"), "Time,Temp,Humidity", 400.0},
};

QByteArray loggerCsv(const Logger& logger) {
    QByteArray text = logger.header + '\n';
    for (int step = 0; step < 6; ++step) {
        text += QByteArray::number(logger.base + step) + ',' + QByteArray::number(logger.base + 10 + step) +
                ',' + QByteArray::number(logger.base + 20 + step) + '\n';
    }
    return text;
}

bool writeLoggers() {
    QDir().mkpath(loggerFolder());
    for (const Logger& logger : loggers) {
        const QByteArray contents = loggerCsv(logger);
        QSaveFile file(loggerPath(logger.file));
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit())
            return false;
    }
    return true;
}

void install(DemoMainWindow& window) {
    if (!writeLoggers())
        window.showStatus(
            tr("Could not write the sample loggers in %1").arg(QDir::toNativeSeparators(loggerFolder())));
}

// ---- The tour -------------------------------------------------------------------------------

bool selectRow(TourContext& tour, QDialog& dialog, const QString& list, const QString& name) {
    auto* view = dialog.findChild<QListView*>(list);
    if (!view)
        tour.fail(QStringLiteral("the window has no list %1").arg(list));
    return view && selectRow(tour, *view, name);
}

// The row of the table named after the file.
int tableRow(const QAbstractItemModel& table, const QString& file) {
    for (int row = 0; row < table.rowCount(); ++row) {
        if (table.headerData(row, Qt::Vertical).toString() == file)
            return row;
    }
    return -1;
}

// West has no pressure: its cell under Pressure is empty and says so; East fills Temp from T_air.
bool tableShowsTheLoad(TourContext& tour, const QAbstractItemModel& table) {
    const int west = tableRow(table, QStringLiteral("logger-west.csv"));
    const int east = tableRow(table, QStringLiteral("logger-east.csv"));
    if (table.rowCount() != 4 || table.columnCount() != 4 || west < 0 || east < 0) {
        tour.fail(QStringLiteral("the coverage table does not show the four loggers and three variables"));
        return false;
    }
    const QString westPressure = table.index(west, 2).data(Qt::ToolTipRole).toString();
    const QString eastTemp = table.index(east, 1).data().toString();
    const QString westUnmatched = table.index(west, 3).data().toString();
    std::printf("  coverage: %s; East fills Temp from %s; West's unmatched names: %s\n",
                qPrintable(westPressure), qPrintable(eastTemp), qPrintable(westUnmatched));
    if (westPressure != QStringLiteral("logger-west.csv leaves Pressure empty") ||
        eastTemp != QStringLiteral("T_air") || westUnmatched != QStringLiteral("Humidity")) {
        tour.fail(QStringLiteral("the coverage table does not show which logger fills what"));
        return false;
    }
    return true;
}

void combineAndLook(TourContext& tour, QDialog& dialog) {
    auto* table = dialog.findChild<QTableView*>(QStringLiteral("coverage_TableView"));
    auto* combine = dialog.findChild<QPushButton*>(QStringLiteral("combine_pushButton"));
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("PostLoadOptions_buttonBox"));
    QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
    if (!table || !table->isVisible() || !combine || !ok) {
        tour.fail(QStringLiteral("the window shows no coverage table"));
        dialog.reject();
        return;
    }
    if (!selectRow(tour, dialog, QStringLiteral("incomingVarList"), QStringLiteral("T_air")) ||
        !selectRow(tour, dialog, QStringLiteral("varsToLoadList"), QStringLiteral("Temp"))) {
        dialog.reject();
        return;
    }
    combine->click();
    QCoreApplication::processEvents(); // the table follows the lists one event-loop turn later
    dialog.resize(dialog.width(), std::max(dialog.height(), 620));
    tour.screenshot(
        dialog, QStringLiteral("variable_match_coverage.png"),
        QStringLiteral("the Variable Load and Combine window with the coverage table of four "
                       "loggers, East's T_air combined into Temp and West leaving Pressure empty"));
    if (!tableShowsTheLoad(tour, *table->model())) {
        dialog.reject();
        return;
    }
    ok->click();
}

void loadLoggers(TourContext& tour, QAction& command) {
    TourDialogSteps steps(tour);
    steps.expect(loadDataTitle, [&tour](QDialog& dialog) {
        auto* files = loadDialogOf(tour, dialog);
        if (!files || !chooseFileType(tour, *files, QStringLiteral("Delimited Text")))
            return;
        for (const Logger& logger : loggers) {
            if (!addToList(tour, *files, loggerPath(logger.file))) {
                dialog.reject();
                return;
            }
        }
        pressOpen(tour, *files);
    });
    if (ApplicationModel::instance().currentFrame() && ApplicationModel::instance().currentFrame()->dataSet)
        steps.expect(appendReplaceTitle, pressChoice(tour, QStringLiteral("replaceButton")));
    steps.expect(matchTitle, [&tour](QDialog& dialog) { combineAndLook(tour, dialog); });
    command.trigger();
}

// Every logger's zone holds its own values; East's temperature came from T_air, and West has no
// pressure.
bool eachLoggerFilledWhatTheTableSaid(const qelmar::standin::DataSet& dataSet) {
    if (dataSet.contents.variableNames != std::vector<std::string>{"Time", "Temp", "Pressure"} ||
        dataSet.laterZones.size() != 3)
        return false;
    const auto first = [](const qelmar::standin::DataValues& zone, int variable) {
        return zone.values.at(variable).at(0);
    };
    const auto& south = dataSet.laterZones[0];
    const auto& east = dataSet.laterZones[1];
    const auto& west = dataSet.laterZones[2];
    return first(south, 0) == 200.0 && first(south, 1) == 210.0 && first(east, 1) == 310.0 &&
           first(east, 2) == 320.0 && first(west, 1) == 410.0 && std::isnan(first(west, 2));
}

void runTour(TourContext& tour) {
    QAction* command = findCommand(tour, QStringLiteral("Load Data..."));
    if (!command) {
        tour.fail(QStringLiteral("\"Load Data...\" is not offered"));
        return;
    }
    loadLoggers(tour, *command);
    if (tour.failed())
        return;
    const qelmar::standin::Frame* frame = ApplicationModel::instance().currentFrame();
    if (!frame || !frame->dataSet) {
        tour.fail(QStringLiteral("the loggers did not load"));
        return;
    }
    if (!eachLoggerFilledWhatTheTableSaid(*frame->dataSet))
        tour.fail(QStringLiteral("the loggers' values are not where the coverage table put them"));
}

const DemoFeatureRegistration registration{{56, install, runTour}};

} // namespace
} // namespace qelmar::demo
