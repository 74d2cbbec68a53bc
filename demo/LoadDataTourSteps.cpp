#include "LoadDataTourSteps.h"

#include "TourContext.h"

#include "host/QExtendedFileDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

namespace qelmar::demo {

using qelmar::sdk::ui::dialogs::QExtendedFileDialog;

const QString loadDataTitle = QStringLiteral("Load Data");
const QString appendReplaceTitle = QStringLiteral("Load File(s)");

namespace {

QPushButton* buttonWithText(QDialog& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// Enters the folder as a user's navigation would and lets the dialog list it.
void goToFolder(TourContext& tour, QExtendedFileDialog& dialog, const QString& folder) {
    dialog.setDirectory(folder);
    const auto* model = dialog.findChild<QFileSystemModel*>();
    tour.waitFor([model, folder] { return model && model->rowCount(model->index(folder)) > 0; }, 2000);
}

// The standard Open button, or the dialog's own one that replaces it while advanced options are
// asked for; whichever shows.
QPushButton* openButton(QExtendedFileDialog& dialog) {
    QPushButton* open = dialog.buttonBox()->button(QDialogButtonBox::Open);
    if (open && open->isVisible())
        return open;
    return dialog.findChild<QPushButton*>(QStringLiteral("customOpenButton"));
}

} // namespace

QExtendedFileDialog* loadDialogOf(TourContext& tour, QDialog& dialog) {
    auto* files = dynamic_cast<QExtendedFileDialog*>(&dialog);
    if (!files) {
        tour.fail(QStringLiteral("\"%1\" is not a file dialog").arg(dialog.windowTitle()));
        dialog.reject();
    }
    return files;
}

bool chooseFileType(TourContext& tour, QExtendedFileDialog& dialog, const QString& loader) {
    QComboBox* types = dialog.fileTypeCombo();
    const int index = types ? types->findText(loader, Qt::MatchStartsWith) : -1;
    if (index < 0) {
        tour.fail(QStringLiteral("the load-data dialog offers no file type \"%1\"").arg(loader));
        dialog.reject();
        return false;
    }
    // As a pick from the list: the file dialog filters on the activation, not on the index change.
    types->setCurrentIndex(index);
    Q_EMIT types->activated(index);
    return true;
}

bool addToList(TourContext& tour, QExtendedFileDialog& dialog, const QString& path) {
    const QFileInfo file(path);
    goToFolder(tour, dialog, file.absolutePath());
    QPushButton* add = buttonWithText(dialog, QStringLiteral("&Add to List"));
    if (!add) {
        tour.fail(QStringLiteral("the load-data dialog has no \"Add to List\" button"));
        return false;
    }
    dialog.fileNameEdit()->setText(file.fileName());
    if (!tour.waitFor([add] { return add->isVisible() && add->isEnabled(); })) {
        tour.fail(QStringLiteral("\"Add to List\" stayed disabled for %1").arg(path));
        return false;
    }
    add->click();
    return true;
}

int listedFiles(QDialog& dialog) {
    auto* view = dialog.findChild<QListView*>(QStringLiteral("additionalFilesView"));
    return view && view->model() ? view->model()->rowCount() : -1;
}

void pressOpen(TourContext& tour, QExtendedFileDialog& dialog) {
    QPushButton* open = openButton(dialog);
    if (!open || !tour.waitFor([open] { return open->isVisible() && open->isEnabled(); })) {
        tour.fail(QStringLiteral("the load-data dialog offers no Open button for \"%1\"")
                      .arg(dialog.fileNameEdit()->text()));
        dialog.reject();
        return;
    }
    open->click();
}

TourDialogSteps::Step openFile(TourContext& tour, const QString& loader, const QString& path) {
    return [&tour, loader, path](QDialog& dialog) {
        QExtendedFileDialog* files = loadDialogOf(tour, dialog);
        if (!files || !chooseFileType(tour, *files, loader))
            return;
        if (!addToList(tour, *files, path)) {
            dialog.reject();
            return;
        }
        pressOpen(tour, *files);
    };
}

TourDialogSteps::Step pressChoice(TourContext& tour, const QString& button, const QString& screenshot,
                                  const QString& description) {
    return [&tour, button, screenshot, description](QDialog& dialog) {
        auto* choice = dialog.findChild<QPushButton*>(button);
        if (!choice || !choice->isVisible()) {
            tour.fail(QStringLiteral("the append/replace dialog does not offer %1").arg(button));
            dialog.reject();
            return;
        }
        if (!screenshot.isEmpty())
            tour.screenshot(dialog, screenshot, description);
        choice->click();
    };
}

} // namespace qelmar::demo
