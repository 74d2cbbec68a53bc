#include "layout/Layout.h"

#include "host/AppLock.h"
#include "host/ArgList.h"
#include "host/KernelDataSets.h"
#include "host/KernelFrames.h"
#include "host/KernelLayout.h"
#include "host/KernelString.h"
#include "host/QelUtilActionReporter.h"
#include "host/SaveFileQtDialog.h"
#include "host/StringList.h"
#include "styleproperties/KernelProperty.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

#include <memory>
#include <string>

namespace qelmar::sdk::ui::util {

namespace {

QString trLayout(const char* text) {
    return QCoreApplication::translate("SaveLayout", text);
}

// The walk over all frames of all pages. Ending it puts the kernel's current frame back, so
// it ends whichever way the caller leaves.
class AllFramesWalk {
public:
    AllFramesWalk()
        : m_hasFrame(QelUtilFrameLightweightForAllPagesLoopStart()) {}
    AllFramesWalk(const AllFramesWalk&) = delete;
    AllFramesWalk& operator=(const AllFramesWalk&) = delete;
    ~AllFramesWalk() { QelUtilFrameLightweightForAllPagesLoopEnd(); }

    bool hasFrame() const noexcept { return m_hasFrame; }
    void next() { m_hasFrame = QelUtilFrameLightweightForAllPagesLoopNext(); }

private:
    bool m_hasFrame;
};

toolbox::ArgList layoutArguments(const char* fileName, bool includeData, bool includePreview,
                                 bool useRelativePaths) {
    toolbox::ArgList args;
    args.appendString("FName", fileName);
    args.appendInt("IncludeData", includeData ? 1 : 0);
    // A package carries its data, so paths to data files mean nothing there; a plain layout
    // has no room for a preview.
    if (includeData)
        args.appendInt("IncludePreview", includePreview ? 1 : 0);
    else
        args.appendInt("UseRelativePaths", useRelativePaths ? 1 : 0);
    return args;
}

bool currentDataSetNeedsWriting() {
    return QelUtilDataSetIsAvailable() && !QelUtilDataSetJournalIsValid();
}

bool userWantsToWriteDataSet(QWidget* parent, const char* frameName) {
    const QString question =
        trLayout("The data set attached to frame %1 has changed and could not be journaled. To restore "
                 "the layout at a later date, the data set must be saved to a new file and the new file "
                 "referenced by the layout. Do you want to continue and enter a name for the data file?")
            .arg(QString::fromUtf8(frameName));
    return QMessageBox::question(parent, trLayout("Data Set Changed"), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::NoButton) == QMessageBox::Yes;
}

int writeCurrentDataSet(const std::string& dataFileName) {
    toolbox::ArgList args;
    args.appendString("FName", dataFileName);
    const QelUtilActionReporter reporter;
    const bool written = reporter.reportResult(QelUtilDataSetWriteX(args.getRef()),
                                               trLayout("Error while writing data set.").toStdString(), "");
    return written ? SaveLayout_Saved : SaveLayout_Failed;
}

int askForDataFileAndWrite(QWidget* parent, const char* layoutFileName) {
    dialogs::SaveFileQtDialog dialog(parent, trLayout("Write Data Set"), layoutFileName, "untitled",
                                     trLayout("Binary Data Files (*.plt)").toStdString(),
                                     QStringLiteral("write_data_file.html"));
    if (!dialog.launch())
        return SaveLayout_Cancelled;
    return writeCurrentDataSet(dialog.selectedFilename());
}

// Offers to write the current frame's data set when the layout could not restore it.
int offerToWriteCurrentDataSet(QWidget* parent, const char* layoutFileName) {
    if (!currentDataSetNeedsWriting())
        return SaveLayout_Saved;
    KernelString frameName;
    // Without a name there is nothing sensible to ask about; the frame is passed over.
    if (!QelUtilFrameGetName(frameName.address()))
        return SaveLayout_Saved;
    if (!userWantsToWriteDataSet(parent, frameName.c_str()))
        return SaveLayout_Cancelled;
    return askForDataFileAndWrite(parent, layoutFileName);
}

int writeUnjournaledDataSets(const char* layoutFileName) {
    QWidget* const parent = QApplication::activeWindow();
    const AppLock walkLock(AppLock::NoImplicitMacroRecord);
    int status = SaveLayout_Saved;
    // Once the user declined or a write failed, the walk still runs to its end: nothing more
    // is asked or written.
    for (AllFramesWalk walk; walk.hasFrame(); walk.next()) {
        if (status == SaveLayout_Saved)
            status = offerToWriteCurrentDataSet(parent, layoutFileName);
    }
    return status;
}

bool layoutOptionIsSet(const char* option) {
    const styleproperties::KernelProperty<char> property(
        toolbox::StyleValue(toolbox::StringList{"FileConfig", "LayoutConfig", option}));
    return property.retrieveValue() == 1;
}

} // namespace

int saveLayout(const char* fileName, bool includeData, bool includePreview, bool useRelativePaths) {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    const toolbox::ArgList args = layoutArguments(fileName, includeData, includePreview, useRelativePaths);
    const QelUtilActionReporter reporter;
    // A package carries the data itself: no data set has to be re-created from files.
    if (!includeData) {
        const int status = writeUnjournaledDataSets(fileName);
        if (status != SaveLayout_Saved)
            return status;
    }
    const bool saved = reporter.reportResult(QelUtilSaveLayoutX(args.getRef()),
                                             trLayout("Error saving layout").toStdString(), "");
    return saved ? SaveLayout_Saved : SaveLayout_Failed;
}

bool layoutIsWorthSaving() {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    return QelUtilQueryIsLayoutDirty() && QelUtilQueryLayoutHasStyle();
}

int tryAutoSaveLayout() {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    if (!QelAppQueryOkToAutoSaveLayout())
        return SaveLayout_Failed;
    const KernelString currentName(QelUtilGetCurLayoutFName());
    const bool useRelativePaths = layoutOptionIsSet("UseRelativePaths");
    const bool includeData = layoutOptionIsSet("IncludeData");
    const bool includePreview = layoutOptionIsSet("IncludePreview");
    return saveLayout(currentName.c_str(), includeData, includePreview, useRelativePaths);
}

} // namespace qelmar::sdk::ui::util
