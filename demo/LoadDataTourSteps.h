#pragma once

// What the tour does in the load-data dialog and the append/replace dialog, as a user would.

#include "TourDialogSteps.h"

#include <QString>

class QDialog;

namespace qelmar::sdk::ui::dialogs {
class QExtendedFileDialog;
}

namespace qelmar::demo {

class TourContext;

extern const QString loadDataTitle;
extern const QString appendReplaceTitle;

// The load-data dialog behind a dialog the tour met; null (and the tour failed) if it is another.
qelmar::sdk::ui::dialogs::QExtendedFileDialog* loadDialogOf(TourContext& tour, QDialog& dialog);
// Picks the loader from the file types as a user does.
bool chooseFileType(TourContext& tour, qelmar::sdk::ui::dialogs::QExtendedFileDialog& dialog,
                    const QString& loader);
// Goes to the file's folder, types its name and presses "Add to List" once the dialog offers it.
bool addToList(TourContext& tour, qelmar::sdk::ui::dialogs::QExtendedFileDialog& dialog, const QString& path);
// Rows of the additional-files list.
int listedFiles(QDialog& dialog);
// Presses whichever Open button shows, once it is enabled.
void pressOpen(TourContext& tour, qelmar::sdk::ui::dialogs::QExtendedFileDialog& dialog);
// Opens one file of a loader through the additional-files list, as the multi-file loaders offer.
TourDialogSteps::Step openFile(TourContext& tour, const QString& loader, const QString& path);
// Presses the append/replace dialog's button of this object name, after an optional screenshot.
TourDialogSteps::Step pressChoice(TourContext& tour, const QString& button,
                                  const QString& screenshot = QString(),
                                  const QString& description = QString());

} // namespace qelmar::demo
