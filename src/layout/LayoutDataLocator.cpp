#include "layout/LayoutDataLocator.h"

#include "util/ArrowCursorWhileAsking.h"

#include "host/KernelLayout.h"
#include "host/KernelMessages.h"
#include "host/LaunchHelpAction.h"
#include "host/QExtendedFileDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <cstdlib>
#include <cstring>
#include <exception>

namespace qelmar::dialogs::io {

namespace {

using qelmar::sdk::ui::dialogs::QExtendedFileDialog;

QString messageFor(const QString& layoutPath, const QString& missingFile, long missingCount) {
    QString message = QObject::tr("The layout %1 shows the data file %2, which is no longer there.")
                          .arg(QFileInfo(layoutPath).fileName(), missingFile);
    if (missingCount > 1)
        message += QLatin1Char(' ') + QObject::tr("%1 of its data files are missing; the others are looked "
                                                  "for where this one moved.")
                                          .arg(missingCount);
    return message + QLatin1Char(' ') + QObject::tr("Choose where the file is now.");
}

// The missing file's own name first, so that the folder shows the likeliest candidates.
QString filterFor(const QString& missingFile) {
    const QString name = QFileInfo(missingFile).fileName();
    return QObject::tr("%1 (%1)").arg(name) + QStringLiteral(";;") + QObject::tr("All Files (*)");
}

void addMessage(QExtendedFileDialog& dialog, const QString& text) {
    auto* label = new QLabel(text, &dialog);
    label->setObjectName(QStringLiteral("locateDataFile_Message_Label"));
    label->setWordWrap(true);
    if (QGridLayout* grid = dialog.gridLayout())
        grid->addWidget(label, grid->rowCount(), 0, 1, grid->columnCount());
}

void addHelpButton(QExtendedFileDialog& dialog) {
    QDialogButtonBox* buttons = dialog.buttonBox();
    if (!buttons)
        return;
    auto* help = new qelmar::sdk::ui::LaunchHelpAction(QStringLiteral("layout_relink.html"), &dialog);
    // A custom button: the file dialog replaces its standard buttons when its mode changes.
    QPushButton* button = buttons->addButton(help->text(), QDialogButtonBox::HelpRole);
    button->setObjectName(QStringLiteral("helpButton"));
    button->setAutoDefault(false);
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, help, &QAction::trigger);
}

// A copy the kernel frees with free().
char* mallocCopy(const QString& path) {
    const QByteArray bytes = path.toUtf8();
    auto* copy = static_cast<char*>(std::malloc(static_cast<std::size_t>(bytes.size()) + 1));
    if (copy)
        std::memcpy(copy, bytes.constData(), static_cast<std::size_t>(bytes.size()) + 1);
    return copy;
}

QString chooseDataFile(QWidget& parent, const QString& layoutPath, const QString& missingFile,
                       long missingCount) {
    QExtendedFileDialog dialog(&parent, QObject::tr("Locate Data File"), QFileInfo(layoutPath).absolutePath(),
                               filterFor(missingFile));
    dialog.setObjectName(QStringLiteral("locateDataFile_FileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    addMessage(dialog, messageFor(layoutPath, missingFile, missingCount));
    addHelpButton(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

char* locateDataFileCallback(const char* layoutPath, const char* missingFile, long missingCount,
                             void* clientData) {
    const ArrowCursorWhileAsking arrowCursor;
    // The kernel cannot take an exception; a failure here cancels the opening, which changes nothing.
    try {
        const QString chosen =
            chooseDataFile(*static_cast<QWidget*>(clientData), QString::fromUtf8(layoutPath),
                           QString::fromUtf8(missingFile), missingCount);
        return chosen.isEmpty() ? nullptr : mallocCopy(chosen);
    } catch (const std::exception& error) {
        QelUtilDialogErrMsg(error.what());
        return nullptr;
    }
}

} // namespace

void LayoutDataLocator::registerCallback(QWidget& parent) {
    static bool callbackRegistered = false;
    if (callbackRegistered)
        return;
    QelUtilLayoutRegisterLocateDataFileCallback(locateDataFileCallback, &parent);
    callbackRegistered = true;
}

} // namespace qelmar::dialogs::io
