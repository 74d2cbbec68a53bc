#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QAction;

namespace qelmar::demo {

class ExportDialogDriver;
class TourContext;

// One export of the tour through a command that opens the export dialog: what to pick in the
// dialog, the file to write and what check-tour.sh is to find in it.
struct PlannedExport {
    QString format;
    // The prefix of the format page's control names.
    QString page;
    QString region;
    std::function<void(ExportDialogDriver&)> setOptions;
    QString fileName;
    QString description;
    // What the file must be, for check-tour.sh: png-rgb, movie-avi, wmf and so on.
    QString kind;
    QString screenshot;
    QString screenshotDescription;
    // Vector formats show no export dimensions.
    bool showsDimensions = true;
    // What check-tour.sh is to find besides the dimensions, as "key=value".
    std::function<QStringList()> details = [] { return QStringList(); };
};

// Triggers the command, works its export dialog as planned and answers the file dialog with
// the planned file in the tour folder. Returns the export dimensions the dialog showed; the
// tour has failed if anything went wrong.
QString exportThroughDialog(TourContext& tour, QAction& command, const PlannedExport& plan);

// The File menu's command of that text, or null.
QAction* findCommand(TourContext& tour, const QString& text);

// Whether the status line is the command's status for the file of the tour folder. The file
// dialog names the file as the file system resolves it, which need not be the tour's spelling.
bool statusNamesFile(TourContext& tour, const std::function<QString(const QString& file)>& statusFor,
                     const QString& fileName);

} // namespace qelmar::demo
