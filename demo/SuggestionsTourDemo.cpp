// Stations whose loggers spell their variables in four ways: the "Variable Load and Combine"
// window suggests what each name means, makes the names two stations share through an alias
// group one new variable, and saves the load's combinations as an aliases file.

#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "ExportTourSteps.h"
#include "LoadDataTourSteps.h"
#include "TourContext.h"
#include "TourDialogSteps.h"
#include "VariableMatchTourSteps.h"

#include "host/QExtendedFileDialog.h"
#include "kernel/ApplicationModel.h"
#include "postload/PostLoadOptionsDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>

#include <cmath>
#include <cstdio>

namespace qelmar::demo {
namespace {

using qelmar::dialogs::io::PostLoadOptionsDialog;
using qelmar::standin::ApplicationModel;

QString folder() {
    return QDir::temp().filePath(QStringLiteral("qelmar-demo-data/suggest-stations"));
}

QString pathOf(const QString& name) {
    return QDir(folder()).filePath(name);
}

struct Station {
    QString file;
    QByteArray header;
    double temperature;
    bool withHumidity;
};

const Station stations[] = {
    {QStringLiteral("north.csv"), "X,Y,T", 12.0, false},
    {QStringLiteral("south.csv"), "x_coord,y_coord,temperature [K],humidity", 290.0, true},
    {QStringLiteral("east.csv"), "XC,YC,temp,rel_humidity", 14.0, true},
};

// The groups these stations need, as a user would keep them beside the data.
const QByteArray stationAliases = "#!QELMAR VA 1\n"
                                  "# The stations' loggers\n"
                                  "X;x_coord;XC\n"
                                  "Y;y_coord;YC\n"
                                  "T;temp;temperature\n"
                                  "RH;rel_humidity;humidity\n";

bool writeFile(const QString& path, const QByteArray& contents) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.commit();
}

QByteArray stationCsv(const Station& station, int index) {
    QByteArray text = station.header + '\n';
    for (int step = 0; step < 6; ++step) {
        text += QByteArray::number(100 * index + step) + ',' + QByteArray::number(step * 0.5) + ',' +
                QByteArray::number(station.temperature + step, 'f', 1);
        if (station.withHumidity)
            text += ',' + QByteArray::number(60 + 10 * index + step);
        text += '\n';
    }
    return text;
}

bool writeStations() {
    QDir().mkpath(folder());
    int index = 0;
    for (const Station& station : stations) {
        if (!writeFile(pathOf(station.file), stationCsv(station, index++)))
            return false;
    }
    return writeFile(pathOf(QStringLiteral("station_aliases.txt")), stationAliases);
}

void install(DemoMainWindow& window) {
    if (!writeStations())
        window.showStatus(QStringLiteral("Could not write the sample stations in %1")
                              .arg(QDir::toNativeSeparators(folder())));
}

// ---- The tour -------------------------------------------------------------------------------

const QString saveAliasesTitle = QStringLiteral("Save as Aliases File");

template <typename T = QPushButton> T* find(TourContext& tour, QDialog& dialog, const char* name) {
    auto* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        tour.fail(QStringLiteral("the window has no %1").arg(QString::fromLatin1(name)));
    return widget;
}

bool press(TourContext& tour, QAbstractButton* button) {
    if (!button || !tour.waitFor([button] { return button->isEnabled() && button->isVisible(); })) {
        tour.fail(
            QStringLiteral("the window offers no enabled %1").arg(button ? button->objectName() : "button"));
        return false;
    }
    button->click();
    return true;
}

// The suggestion for the station whose temperature is in kelvin, through the group of T.
bool acceptTemperatureSuggestion(TourContext& tour, QDialog& dialog) {
    auto* suggestions = find<QListWidget>(tour, dialog, "suggestions_ListView");
    if (!suggestions)
        return false;
    const QString wanted = QStringLiteral("temperature [K] -> T (same alias group)");
    const auto found = suggestions->findItems(wanted, Qt::MatchExactly);
    if (found.isEmpty()) {
        tour.fail(QStringLiteral("the window does not suggest \"%1\"").arg(wanted));
        return false;
    }
    suggestions->setCurrentItem(found.front());
    tour.screenshot(dialog, QStringLiteral("variable_match_suggestion.png"),
                    QStringLiteral("the window suggesting what each station's names mean"));
    return press(tour, find(tour, dialog, "suggestions_Accept_Button"));
}

void combineWithSuggestions(TourContext& tour, QDialog& dialog) {
    auto* matchNew = find<QCheckBox>(tour, dialog, "aliasNewVariables_CheckBox");
    const bool done = acceptTemperatureSuggestion(tour, dialog) && matchNew &&
                      (matchNew->setChecked(true), press(tour, find(tour, dialog, "apply_Button"))) &&
                      press(tour, find(tour, dialog, "saveAliases_Button"));
    auto* buttons = find<QDialogButtonBox>(tour, dialog, "PostLoadOptions_buttonBox");
    if (!done || !buttons) {
        dialog.reject();
        return;
    }
    tour.recordFile(QStringLiteral("tour-aliases.txt"),
                    QStringLiteral("the load's combinations saved as aliases"));
    buttons->button(QDialogButtonBox::Ok)->click();
}

void loadStations(TourContext& tour, QAction& command) {
    TourDialogSteps steps(tour);
    steps.expect(loadDataTitle, [&tour](QDialog& dialog) {
        auto* files = loadDialogOf(tour, dialog);
        if (!files || !chooseFileType(tour, *files, QStringLiteral("Delimited Text")))
            return;
        for (const Station& station : stations) {
            if (!addToList(tour, *files, pathOf(station.file))) {
                dialog.reject();
                return;
            }
        }
        pressOpen(tour, *files);
    });
    steps.expect(appendReplaceTitle, pressChoice(tour, QStringLiteral("replaceButton")));
    steps.expect(matchTitle, [&tour](QDialog& dialog) { combineWithSuggestions(tour, dialog); });
    steps.expect(saveAliasesTitle, [&tour](QDialog& dialog) {
        TourDialogSteps::typeNameAndSave(dialog, tour.filePath(QStringLiteral("tour-aliases.txt")));
    });
    command.trigger();
}

// Each station fills T and the humidity from its own column; north measured no humidity.
QString checkValues(const qelmar::standin::DataSet& dataSet) {
    std::vector<std::string> expected{"X", "Y", "T", "humidity"};
    if (dataSet.contents.variableNames != expected)
        return QStringLiteral("the stations did not load as X, Y, T, humidity");
    if (dataSet.laterZones.size() != 2)
        return QStringLiteral("the stations did not load as three zones");
    const auto first = [](const qelmar::standin::DataValues& zone, int variable) {
        return zone.values.at(static_cast<std::size_t>(variable)).at(0);
    };
    const auto& south = dataSet.laterZones[0];
    const auto& east = dataSet.laterZones[1];
    if (first(dataSet.contents, 2) != 12.0 || first(south, 2) != 290.0 || first(east, 2) != 14.0)
        return QStringLiteral("T did not come from each station's own temperature");
    if (!std::isnan(first(dataSet.contents, 3)) || first(south, 3) != 70.0 || first(east, 3) != 80.0)
        return QStringLiteral("the humidity did not come from each station's own column");
    return {};
}

void runTour(TourContext& tour) {
    QAction* command = findCommand(tour, QStringLiteral("Load Data..."));
    if (!command) {
        tour.fail(QStringLiteral("\"Load Data...\" is not offered"));
        return;
    }
    // The host names the aliases file the window starts from, as it would one remembered.
    const std::string previous = PostLoadOptionsDialog::aliasesFilePath();
    PostLoadOptionsDialog::setAliasesFilePath(pathOf(QStringLiteral("station_aliases.txt")).toStdString());
    loadStations(tour, *command);
    if (tour.failed())
        return;
    if (PostLoadOptionsDialog::aliasesFilePath() !=
        tour.filePath(QStringLiteral("tour-aliases.txt")).toStdString())
        tour.fail(QStringLiteral("the saved aliases file is not the one the next window reads"));
    PostLoadOptionsDialog::setAliasesFilePath(previous);
    const qelmar::standin::Frame* frame = ApplicationModel::instance().currentFrame();
    if (!frame || !frame->dataSet) {
        tour.fail(QStringLiteral("the suggested stations did not load"));
        return;
    }
    const QString problem = checkValues(*frame->dataSet);
    if (!problem.isEmpty())
        tour.fail(problem);
    else
        std::printf("  the stations combined through suggestions and aliases loaded as X, Y, T, humidity\n");
}

const DemoFeatureRegistration registration{{56, install, runTour}};

} // namespace
} // namespace qelmar::demo
