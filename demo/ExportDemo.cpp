// "Export...": writes the current frame, all frames or the work area of the sample pages as an
// image file, offered while there is a frame to export.

#include "ActionFollowingRelevance.h"
#include "DemoFeature.h"
#include "DemoMainWindow.h"
#include "TourContext.h"
#include "TourDialogSteps.h"

#include "export/ExportDialog.h"
#include "host/StyleValue.h"
#include "propertyframework/styleproperties/KernelProperty.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextStream>

#include <functional>

namespace qelmar::demo {
namespace {

using qelmar::dialogs::io::ExportDialog;

QString tr(const char* text) {
    return QApplication::translate("ExportDemo", text);
}

// ---- The command --------------------------------------------------------------------------

QString kernelExportFileName() {
    using qelmar::sdk::styleproperties::KernelProperty;
    using qelmar::toolbox::StringList;
    using qelmar::toolbox::StyleValue;
    return QString::fromStdString(
        KernelProperty<std::string>(StyleValue(StringList{"ExportSetup", "ExportFName"})).retrieveValue());
}

QString exportedStatus(const QString& fileName) {
    return tr("Exported to %1").arg(fileName);
}

void exportStillImage(DemoMainWindow& window) {
    if (ExportDialog::getInstance(window, ExportDialog::Mode_StillImage)->launch())
        window.showStatus(exportedStatus(kernelExportFileName()));
}

void install(DemoMainWindow& window) {
    QAction* command = window.addCommand(tr("Export..."), [&window] { exportStillImage(window); });
    new ActionFollowingRelevance(command, ExportDialog::relevance());
}

// ---- The tour -----------------------------------------------------------------------------

// Works the export dialog's controls as a user does. The first control that is missing or
// disabled fails the tour; later calls then do nothing, so a step reads straight through.
class ExportDialogDriver {
public:
    ExportDialogDriver(TourContext& tour, QDialog& dialog)
        : m_tour(tour)
        , m_dialog(dialog) {}

    bool ok() const { return m_ok; }

    // Picks a row of a list; the bindings bring the other controls up to date at idle.
    void choose(const QString& comboName, const QString& text) {
        auto* combo = usable<QComboBox>(comboName);
        if (!combo)
            return;
        const int row = combo->findText(text);
        if (row < 0) {
            giveUp(QStringLiteral("%1 does not offer \"%2\"").arg(comboName, text));
            return;
        }
        combo->setCurrentIndex(row);
        Q_EMIT combo->activated(row);
        settle();
    }

    void click(const QString& buttonName) {
        if (auto* button = usable<QAbstractButton>(buttonName)) {
            button->click();
            settle();
        }
    }

    // A box already as wanted is left alone, even where the format does not let it change.
    void setChecked(const QString& buttonName, bool checked) {
        auto* button = m_ok ? control<QAbstractButton>(buttonName) : nullptr;
        if (button && button->isChecked() != checked)
            click(buttonName);
    }

    // Types into the field key by key and confirms with Return, which commits the edit.
    void type(const QString& fieldName, const QString& text) {
        auto* field = usable<QLineEdit>(fieldName);
        if (!field)
            return;
        field->setFocus();
        field->selectAll();
        for (const QChar character : text) {
            QKeyEvent press(QEvent::KeyPress, character.toUpper().unicode(), Qt::NoModifier,
                            QString(character));
            QApplication::sendEvent(field, &press);
        }
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(field, &enter);
        settle();
        if (field->text() != text)
            giveUp(QStringLiteral("%1 shows \"%2\" after typing \"%3\"").arg(fieldName, field->text(), text));
    }

    QString labelText(const QString& labelName) {
        auto* label = m_ok ? control<QLabel>(labelName) : nullptr;
        return label ? label->text() : QString();
    }

    void pressOk() {
        auto* buttons = usable<QDialogButtonBox>(QStringLiteral("buttonBox"));
        QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
        if (ok)
            ok->click();
    }

private:
    template <class Widget> Widget* control(const QString& name) {
        auto* widget = m_dialog.findChild<Widget*>(name);
        if (!widget)
            giveUp(QStringLiteral("the export dialog has no %1").arg(name));
        return widget;
    }

    template <class Widget> Widget* usable(const QString& name) {
        if (!m_ok)
            return nullptr;
        auto* widget = control<Widget>(name);
        if (widget && (!widget->isEnabled() || !widget->isVisible())) {
            giveUp(QStringLiteral("%1 cannot be used").arg(name));
            return nullptr;
        }
        return widget;
    }

    void giveUp(const QString& why) {
        m_tour.fail(why);
        m_ok = false;
    }

    static void settle() {
        for (int round = 0; round < 3; ++round)
            QApplication::processEvents();
    }

    TourContext& m_tour;
    QDialog& m_dialog;
    bool m_ok = true;
};

// One export of the tour and what check-tour.sh is to find in its file.
struct PlannedExport {
    QString format;
    // The prefix of the format page's control names.
    QString page;
    QString region;
    std::function<void(ExportDialogDriver&)> setOptions;
    QString fileName;
    QString description;
    // What the file must be: png-rgb, tiff-palette or eps-tiffpreview.
    QString kind;
    QString screenshot;
    QString screenshotDescription;
};

const QString expectationsFile = QStringLiteral("export-expectations.txt");

void appendExpectation(TourContext& tour, const PlannedExport& plan, const QString& dimensions) {
    QFile expectations(tour.filePath(expectationsFile));
    if (!expectations.open(QIODevice::Append | QIODevice::Text)) {
        tour.fail(QStringLiteral("could not write %1").arg(expectationsFile));
        return;
    }
    QTextStream(&expectations) << plan.fileName << '\t' << dimensions << '\t' << plan.kind << '\n';
}

QAction* findCommand(TourContext& tour) {
    for (QAction* action : tour.window().fileMenu()->actions()) {
        if (action->text() == tr("Export..."))
            return action;
    }
    return nullptr;
}

// The file dialog names the file as the file system resolves it, which need not be the tour's spelling.
bool statusSays(TourContext& tour, const QString& fileName) {
    const QString status = tour.window().statusText();
    const QString exported = exportedStatus(QString());
    return status.startsWith(exported) &&
           QFileInfo(status.mid(exported.size())) == QFileInfo(tour.filePath(fileName));
}

void exportThroughDialog(TourContext& tour, QAction& command, const PlannedExport& plan) {
    QString dimensions;
    TourDialogSteps steps(tour);
    steps.expect(QStringLiteral("Export"), [&](QDialog& dialog) {
        ExportDialogDriver driver(tour, dialog);
        driver.choose(QStringLiteral("export_Format_CmbBox"), plan.format);
        driver.choose(plan.page + QStringLiteral("_Region_CmbBox"), plan.region);
        plan.setOptions(driver);
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
    if (tour.failed())
        return;
    if (!statusSays(tour, plan.fileName)) {
        tour.fail(
            QStringLiteral("%1 was not exported: \"%2\"").arg(plan.fileName, tour.window().statusText()));
        return;
    }
    tour.recordFile(plan.fileName, plan.description);
    appendExpectation(tour, plan, dimensions);
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
        {QStringLiteral("EPS"), QStringLiteral("exportEps"), QStringLiteral("Work area"),
         [](ExportDialogDriver& driver) {
             driver.setChecked(QStringLiteral("export_Color_ToggleButton"), true);
             driver.choose(QStringLiteral("exportEps_PreviewType_CmbBox"), QStringLiteral("TIFF"));
         },
         QStringLiteral("tour-workarea.eps"),
         QStringLiteral("the work area as encapsulated PostScript with a TIFF preview"),
         QStringLiteral("eps-tiffpreview"), QStringLiteral("export_eps_page.png"),
         QStringLiteral("the export dialog on the EPS page with a TIFF preview")},
    };
}

void runTour(TourContext& tour) {
    const std::vector<PlannedExport> plans = plannedExports();
    QFile::remove(tour.filePath(expectationsFile));
    for (const PlannedExport& plan : plans)
        QFile::remove(tour.filePath(plan.fileName));
    QAction* command = findCommand(tour);
    if (!command || !command->isEnabled()) {
        tour.fail(QStringLiteral("\"Export...\" is not offered"));
        return;
    }
    for (const PlannedExport& plan : plans) {
        exportThroughDialog(tour, *command, plan);
        if (tour.failed())
            return;
    }
    tour.recordFile(expectationsFile, QStringLiteral("what each exported file must be, for check-tour.sh"));
}

const DemoFeatureRegistration registration{{30, install, runTour}};

} // namespace
} // namespace qelmar::demo
