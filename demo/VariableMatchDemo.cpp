// Loading files whose variables differ: the kernel calls the library's "Variable Load and
// Combine" window back, with the sample stations below and the demo's aliases file.

#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "ExportTourSteps.h"
#include "LoadDataTourSteps.h"
#include "TourContext.h"
#include "TourDialogSteps.h"
#include "VariableMatchTourSteps.h"

#include "host/QExtendedFileDialog.h"
#include "kernel/ApplicationModel.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "postload/PostLoadOptionsDialog.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTextDocument>

#include <cmath>
#include <cstdio>

namespace qelmar::demo {
namespace {

using qelmar::dialogs::io::PostLoadOptionsDialog;
using qelmar::standin::ApplicationModel;

QString tr(const char* text) {
    return QApplication::translate("VariableMatchDemo", text);
}

// ---- Sample stations ------------------------------------------------------------------------

QString stationFolder() {
    return QDir::temp().filePath(QStringLiteral("qelmar-demo-data/stations"));
}

QString stationPath(const QString& name) {
    return QDir(stationFolder()).filePath(name);
}

struct Station {
    QString file;
    QByteArray header;
    double offset;
    bool withTemperature;
};

// The same measurements under the names three loggers give them.
const Station stations[] = {
    {QStringLiteral("station-a.csv"), "X,Y,P", 0.0, false},
    {QStringLiteral("station-b.csv"), "x_coord,y_coord,pressure", 10.0, false},
    {QStringLiteral("station-c.csv"), "X,Y,P,T", 20.0, true},
};

QByteArray stationCsv(const Station& station) {
    QByteArray text = station.header + '\n';
    for (int step = 0; step < 12; ++step) {
        const double x = station.offset + step;
        const double y = std::sin(x / 4.0);
        const double pressure = 1013.0 - 0.8 * x;
        text += QByteArray::number(x) + ',' + QByteArray::number(y, 'f', 4) + ',' +
                QByteArray::number(pressure, 'f', 2);
        if (station.withTemperature)
            text += ',' + QByteArray::number(15.0 - 0.1 * x, 'f', 2);
        text += '\n';
    }
    return text;
}

bool writeStations() {
    QDir().mkpath(stationFolder());
    for (const Station& station : stations) {
        const QByteArray contents = stationCsv(station);
        QSaveFile file(stationPath(station.file));
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit())
            return false;
    }
    return true;
}

// Where the demo's startup files are copied beside the binary, as its help pages are.
QString startupFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/qelmar/startup"));
}

// The demo's own settings, never the user's real ones during the tour: the tour keeps them in
// its folder.
QString settingsPath() {
    const QStringList arguments = QCoreApplication::arguments();
    QString tourFolder;
    for (int index = 1; index < arguments.size(); ++index) {
        if (arguments[index] == QLatin1String("--tour") && index + 1 < arguments.size())
            tourFolder = arguments[index + 1];
        else if (arguments[index].startsWith(QLatin1String("--tour=")))
            tourFolder = arguments[index].mid(7);
    }
    const QString folder = tourFolder.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                               : QDir(tourFolder).absolutePath();
    return QDir(folder).filePath(QStringLiteral("demo-settings.ini"));
}

const QString aliasesFileKey = QStringLiteral("VariableMatch/AliasesFile");

// The window reads the aliases file the user last chose or saved, in this session and the next.
void rememberAliasesFile() {
    const QString remembered =
        QSettings(settingsPath(), QSettings::IniFormat).value(aliasesFileKey).toString();
    if (!remembered.isEmpty() && QFileInfo(remembered).isFile())
        PostLoadOptionsDialog::setAliasesFilePath(remembered.toStdString());
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] {
        const std::string path = PostLoadOptionsDialog::aliasesFilePath();
        if (!path.empty())
            QSettings(settingsPath(), QSettings::IniFormat)
                .setValue(aliasesFileKey, QString::fromStdString(path));
    });
}

void install(DemoMainWindow& window) {
    qelmar::standin::testing::ApplicationTestControl::setStartupFolder(startupFolder().toStdString());
    PostLoadOptionsDialog::registerCallback(window);
    // The demo shows everything the window can offer.
    PostLoadOptionsDialog::setAdditions({true, true, true, true});
    rememberAliasesFile();
    if (!writeStations())
        window.showStatus(
            tr("Could not write the sample stations in %1").arg(QDir::toNativeSeparators(stationFolder())));
}

// ---- The tour -------------------------------------------------------------------------------

bool click(TourContext& tour, QDialog& dialog, const QString& button) {
    auto* pushButton = dialog.findChild<QPushButton*>(button);
    if (!pushButton || !tour.waitFor([pushButton] { return pushButton->isEnabled(); })) {
        tour.fail(QStringLiteral("the window offers no enabled %1").arg(button));
        return false;
    }
    pushButton->click();
    return true;
}

// Aliases first, then the pair the aliases file leaves out, then whatever is left.
void combineStations(TourContext& tour, QDialog& dialog) {
    auto* available = dialog.findChild<QListView*>(QStringLiteral("incomingVarList"));
    auto* toLoad = dialog.findChild<QListView*>(QStringLiteral("varsToLoadList"));
    if (!available || !toLoad) {
        tour.fail(QStringLiteral("the window has not both variable lists"));
        dialog.reject();
        return;
    }
    tour.screenshot(
        dialog, QStringLiteral("variable_match_before.png"),
        QStringLiteral("the Variable Load and Combine window as the load of three stations opens it"));
    const bool done = click(tour, dialog, QStringLiteral("apply_Button")) &&
                      selectRow(tour, *available, QStringLiteral("pressure")) &&
                      selectRow(tour, *toLoad, QStringLiteral("P"));
    if (!done) {
        dialog.reject();
        return;
    }
    tour.screenshot(dialog, QStringLiteral("variable_match_after_aliases.png"),
                    QStringLiteral("the window after applying the aliases file, pressure and P selected"));
    if (!click(tour, dialog, QStringLiteral("combine_pushButton")) ||
        !click(tour, dialog, QStringLiteral("addVariable_pushButton_2"))) {
        dialog.reject();
        return;
    }
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("PostLoadOptions_buttonBox"));
    QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
    if (!ok) {
        tour.fail(QStringLiteral("the window has no OK button"));
        dialog.reject();
        return;
    }
    ok->click();
}

void loadStations(TourContext& tour, QAction& command) {
    TourDialogSteps steps(tour);
    steps.expect(loadDataTitle, [&tour](QDialog& dialog) {
        auto* files = loadDialogOf(tour, dialog);
        if (!files || !chooseFileType(tour, *files, QStringLiteral("Delimited Text")))
            return;
        for (const Station& station : stations) {
            if (!addToList(tour, *files, stationPath(station.file))) {
                dialog.reject();
                return;
            }
        }
        pressOpen(tour, *files);
    });
    steps.expect(appendReplaceTitle, pressChoice(tour, QStringLiteral("replaceButton")));
    steps.expect(matchTitle, [&tour](QDialog& dialog) { combineStations(tour, dialog); });
    command.trigger();
}

QString describeVariables(const qelmar::standin::DataSet& dataSet) {
    QStringList names;
    for (const std::string& name : dataSet.contents.variableNames)
        names.append(QString::fromStdString(name));
    return names.join(QStringLiteral(", "));
}

// Station B's X comes from its x_coord; only station C measured T.
bool eachStationFilledItsVariables(const qelmar::standin::DataSet& dataSet) {
    if (dataSet.laterZones.size() != 2 || dataSet.contents.values.size() != 4)
        return false;
    const auto first = [](const qelmar::standin::DataValues& zone, int variable) {
        return zone.values.at(variable).at(0);
    };
    const auto& stationB = dataSet.laterZones[0];
    const auto& stationC = dataSet.laterZones[1];
    return first(stationB, 0) == 10.0 && std::isnan(first(dataSet.contents, 3)) &&
           std::isnan(first(stationB, 3)) && first(stationC, 3) == 13.0;
}

void runTour(TourContext& tour) {
    QAction* command = findCommand(tour, QStringLiteral("Load Data..."));
    if (!command) {
        tour.fail(QStringLiteral("\"Load Data...\" is not offered"));
        return;
    }
    loadStations(tour, *command);
    if (tour.failed())
        return;
    const qelmar::standin::Frame* frame = ApplicationModel::instance().currentFrame();
    if (!frame || !frame->dataSet) {
        tour.fail(QStringLiteral("the stations did not load"));
        return;
    }
    const QString variables = describeVariables(*frame->dataSet);
    std::printf("  the stations loaded as %d zones with the variables %s\n", frame->dataSet->zoneCount(),
                qPrintable(variables));
    if (variables != QStringLiteral("X, Y, P, T"))
        tour.fail(QStringLiteral("the stations loaded with the variables %1, not X, Y, P, T").arg(variables));
    else if (!eachStationFilledItsVariables(*frame->dataSet))
        tour.fail(QStringLiteral("the stations' values did not reach the variables their names stand for"));
}

const DemoFeatureRegistration registration{{55, install, runTour}};

} // namespace
} // namespace qelmar::demo
