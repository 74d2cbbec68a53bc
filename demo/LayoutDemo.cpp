// "Save Layout...": saves the sample application's pages and frames as a linked layout or a
// package, offering to write the data set that was changed without a journal.

#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "TourContext.h"
#include "TourDialogSteps.h"

#include "host/AppLock.h"
#include "host/ArgList.h"
#include "host/FilenameStrategy.h"
#include "host/Kernel.h"
#include "host/KernelString.h"
#include "host/QExtendedFileDialog.h"
#include "kernel/testing/ApplicationTestControl.h"
#include "kernel/testing/KernelTestControl.h"
#include "kernel/testing/ModalDialogAnswerer.h"
#include "layout/SaveLayoutDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include <cmath>
#include <functional>

namespace qelmar::demo {
namespace {

using qelmar::dialogs::io::SaveLayoutDialog;
using qelmar::sdk::ui::FilenameStrategy;
using qelmar::sdk::ui::dialogs::QExtendedFileDialog;
using qelmar::standin::testing::ApplicationTestControl;
using qelmar::standin::testing::DataSetContents;

QString tr(const char* text) {
    return QApplication::translate("LayoutDemo", text);
}

// ---- Sample application -------------------------------------------------------------------

// The application model lives as long as the process: every command works on it.
ApplicationTestControl& application() {
    static ApplicationTestControl control;
    return control;
}

DataSetContents generatedData(const std::string& title, const std::vector<std::string>& names, int points,
                              const std::function<double(int variable, double x)>& value) {
    DataSetContents contents;
    contents.title = title;
    contents.variableNames = names;
    contents.values.resize(names.size());
    for (int point = 0; point < points; ++point) {
        const double x = point / static_cast<double>(points - 1);
        contents.values[0].push_back(x);
        for (std::size_t variable = 1; variable < names.size(); ++variable)
            contents.values[variable].push_back(value(static_cast<int>(variable), x));
    }
    return contents;
}

// The sample data moves through a day in this many time steps, for the animation command.
constexpr int sampleTimeSteps = 24;

using TimedValue = std::function<double(int variable, double x, double phase)>;

// The data at `phase` 0 to attach, then the later steps with the phase going once round.
DataSetContents firstStep(const std::string& title, const std::vector<std::string>& names, int points,
                          const TimedValue& value) {
    return generatedData(title, names, points,
                         [&value](int variable, double x) { return value(variable, x, 0.0); });
}

std::vector<DataSetContents> laterSteps(const std::string& title, const std::vector<std::string>& names,
                                        int points, const TimedValue& value) {
    std::vector<DataSetContents> steps;
    for (int step = 1; step < sampleTimeSteps; ++step) {
        const double phase = 2.0 * std::acos(-1.0) * step / sampleTimeSteps;
        steps.push_back(generatedData(title, names, points, [&value, phase](int variable, double x) {
            return value(variable, x, phase);
        }));
    }
    return steps;
}

// Writes the frame's data set through the kernel, so that it loads from a real data file.
void loadFromDataFile(int frame, const QString& dataFile) {
    application().setCurrentFrame(frame);
    const qelmar::sdk::AppLock lock(qelmar::sdk::AppLock::NoImplicitMacroRecord);
    qelmar::toolbox::ArgList args;
    args.appendString("FName", dataFile.toStdString());
    QelUtilDataSetWriteX(args.getRef());
}

// Two pages with four frames; the velocity field was changed after loading, without a journal.
// The measurements have time steps.
void buildSampleApplication() {
    ApplicationTestControl& app = application();
    const QString dataFolder = QDir::temp().filePath(QStringLiteral("qelmar-demo-data"));
    QDir().mkpath(dataFolder);

    const int measurements = app.addPage("Measurements");
    // A temperature wave travelling along, and a pressure profile whose fall breathes with the
    // day; the velocity field keeps one step and stays as it is while the others move. The data
    // files written below hold every step.
    const int temperature = app.addFrame(measurements, "Temperature");
    const TimedValue wave = [](int, double x, double phase) {
        return 290.0 + 12.0 * std::sin(6.0 * x - phase);
    };
    app.attachDataSet(temperature, firstStep("Temperature", {"Time", "T"}, 400, wave), false);
    app.setLaterTimeSteps(temperature, laterSteps("Temperature", {"Time", "T"}, 400, wave));
    loadFromDataFile(temperature, QDir(dataFolder).filePath(QStringLiteral("temperature.plt")));
    const int pressure = app.addFrame(measurements, "Pressure profile");
    const TimedValue profile = [](int variable, double x, double phase) {
        return variable == 1 ? 101.3 * std::exp(-x * 1.2 * (1.0 + 0.4 * std::sin(phase))) : 101.3;
    };
    app.attachDataSet(pressure, firstStep("Pressure", {"Height", "p", "p0"}, 300, profile), false);
    app.setLaterTimeSteps(pressure, laterSteps("Pressure", {"Height", "p", "p0"}, 300, profile));
    loadFromDataFile(pressure, QDir(dataFolder).filePath(QStringLiteral("pressure.plt")));

    const int flow = app.addPage("Flow");
    const int velocity = app.addFrame(flow, "Velocity field", PlotType_ThreeDimensional);
    app.attachDataSet(velocity,
                      generatedData("Velocity", {"X", "U", "V"}, 500,
                                    [](int variable, double x) {
                                        return variable == 1 ? std::cos(3.0 * x) : std::sin(3.0 * x) * x;
                                    }),
                      true);
    app.changeDataSetWithoutJournal(velocity);
    app.addFrame(flow, "Notes");
    app.setCurrentFrame(temperature);
}

// ---- The command --------------------------------------------------------------------------

std::string currentLayoutFileName() {
    const qelmar::sdk::AppLock lock(qelmar::sdk::AppLock::NoImplicitMacroRecord);
    return qelmar::sdk::KernelString(QelUtilGetCurLayoutFName()).str();
}

void saveLayout(DemoMainWindow& window) {
    FilenameStrategy& strategy = FilenameStrategy::getManager();
    const std::string current = currentLayoutFileName();
    const std::string startPath =
        current.empty() ? strategy.getDefaultDirectory(FilenameStrategy::FileCategory_Layout) : current;
    const std::string fileName = current.empty()
                                     ? strategy.getDefaultFileName(FilenameStrategy::FileCategory_Layout)
                                     : QFileInfo(QString::fromStdString(current)).fileName().toStdString();
    SaveLayoutDialog dialog(&window, startPath, fileName);
    if (!dialog.launch() || !dialog.saveLayout())
        return;
    strategy.rememberFile(FilenameStrategy::FileCategory_Layout, dialog.selectedFilename());
    window.showStatus(tr("Layout saved to %1").arg(QString::fromStdString(dialog.selectedFilename())));
}

void install(DemoMainWindow& window) {
    buildSampleApplication();
    window.addCommand(tr("Save Layout..."), [&window] { saveLayout(window); });
}

// ---- The tour -----------------------------------------------------------------------------

void chooseFileType(QExtendedFileDialog& dialog, SaveLayoutDialog::FileType type) {
    if (QComboBox* combo = dialog.fileTypeCombo()) {
        combo->setCurrentIndex(type);
        Q_EMIT combo->activated(type);
        Q_EMIT combo->textActivated(combo->itemText(type));
    }
    QApplication::processEvents();
}

QCheckBox* optionCheckBox(QExtendedFileDialog& dialog, const QString& text) {
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        if (box->text() == text)
            return box;
    }
    return nullptr;
}

QAction* findCommand(TourContext& tour) {
    for (QAction* action : tour.window().fileMenu()->actions()) {
        if (action->text() == tr("Save Layout..."))
            return action;
    }
    return nullptr;
}

// The dialog names the file as the file system resolves it, which need not be the tour's spelling.
bool statusSays(TourContext& tour, const QString& fileName) {
    const QString status = tour.window().statusText();
    const QString saved = tr("Layout saved to %1").arg(QString());
    return status.startsWith(saved) &&
           QFileInfo(status.mid(saved.size())) == QFileInfo(tour.filePath(fileName));
}

// The layout dialog is a file dialog of its own kind; anything else fails the tour.
QExtendedFileDialog* fileDialogOf(TourContext& tour, QDialog& dialog) {
    auto* files = dynamic_cast<QExtendedFileDialog*>(&dialog);
    if (!files) {
        tour.fail(QStringLiteral("\"%1\" is not a file dialog").arg(dialog.windowTitle()));
        dialog.reject();
    }
    return files;
}

void saveLinkedLayout(TourContext& tour, QAction& command) {
    TourDialogSteps steps(tour);
    steps.expect(QStringLiteral("Save Layout"), [&tour](QDialog& dialog) {
        QExtendedFileDialog* files = fileDialogOf(tour, dialog);
        if (!files)
            return;
        chooseFileType(*files, SaveLayoutDialog::LinkedData);
        TourDialogSteps::typeNameAndSave(dialog, tour.filePath(QStringLiteral("tour.lay")));
    });
    tour.modalAnswers().pressButton(QMessageBox::Yes);
    steps.expect(QStringLiteral("Write Data Set"), [&tour](QDialog& dialog) {
        TourDialogSteps::typeNameAndSave(dialog, tour.filePath(QStringLiteral("unjournaled.plt")));
    });
    command.trigger();
}

void savePackageWithPreview(TourContext& tour, QAction& command) {
    TourDialogSteps steps(tour);
    steps.expect(QStringLiteral("Save Layout"), [&tour](QDialog& dialog) {
        QExtendedFileDialog* files = fileDialogOf(tour, dialog);
        if (!files)
            return;
        chooseFileType(*files, SaveLayoutDialog::PackagedData);
        QCheckBox* preview = optionCheckBox(*files, tr("&Include preview image"));
        if (!preview || preview->isHidden()) {
            tour.fail(QStringLiteral("the package offers no preview image"));
            dialog.reject();
            return;
        }
        preview->setChecked(true);
        tour.screenshot(dialog, QStringLiteral("save_layout_dialog.png"),
                        QStringLiteral("the save-layout dialog on a package with a preview image"));
        TourDialogSteps::typeNameAndSave(dialog, tour.filePath(QStringLiteral("tour.lpk")));
    });
    command.trigger();
}

void runTour(TourContext& tour) {
    for (const char* name : {"tour.lay", "tour.lpk", "unjournaled.plt"})
        QFile::remove(tour.filePath(QString::fromLatin1(name)));
    QAction* command = findCommand(tour);
    if (!command) {
        tour.fail(QStringLiteral("\"Save Layout...\" is not offered"));
        return;
    }

    saveLinkedLayout(tour, *command);
    if (tour.failed())
        return;
    if (!statusSays(tour, QStringLiteral("tour.lay"))) {
        tour.fail(QStringLiteral("the linked layout was not saved: \"%1\"").arg(tour.window().statusText()));
        return;
    }
    tour.recordFile(QStringLiteral("tour.lay"), QStringLiteral("a layout linked to its data files"));
    tour.recordFile(QStringLiteral("unjournaled.plt"),
                    QStringLiteral("the changed velocity field, written before the layout was saved"));

    savePackageWithPreview(tour, *command);
    if (tour.failed())
        return;
    if (!statusSays(tour, QStringLiteral("tour.lpk"))) {
        tour.fail(QStringLiteral("the package was not saved: \"%1\"").arg(tour.window().statusText()));
        return;
    }
    tour.recordFile(QStringLiteral("tour.lpk"),
                    QStringLiteral("a layout package with its data and a preview"));
}

const DemoFeatureRegistration registration{{20, install, runTour}};

} // namespace
} // namespace qelmar::demo
