#include "host/KernelLayout.h"

#include "kernel/ApplicationModel.h"
#include "kernel/ArgListData.h"
#include "kernel/KernelState.h"
#include "kernel/LastError.h"
#include "kernel/LayoutFileFormat.h"
#include "kernel/LayoutPackage.h"
#include "kernel/SafeFileWrite.h"
#include "kernel/StateChange.h"
#include "kernel/StyleStore.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <map>
#include <optional>

using qelmar::standin::ApplicationModel;
using qelmar::standin::KernelState;
using qelmar::standin::LayoutDocument;
using qelmar::standin::StyleDefinition;

namespace {

// Where the save-layout options of the dialogs live between sessions.
const qelmar::standin::StyleRegistrar layoutStyles{[] {
    using qelmar::standin::registerStyleValue;
    registerStyleValue({"FileConfig", "LayoutConfig", "IncludeData"}, StyleDefinition::boolean(false));
    registerStyleValue({"FileConfig", "LayoutConfig", "IncludePreview"}, StyleDefinition::boolean(false));
    registerStyleValue({"FileConfig", "LayoutConfig", "UseRelativePaths"}, StyleDefinition::boolean(false));
}};

struct SaveOptions {
    std::string fileName;
    bool includeData = false;
    bool includePreview = false;
    bool relativePaths = false;
};

class SaveOptionsReader {
public:
    explicit SaveOptionsReader(const ArgList_s& args)
        : m_args(args) {}

    std::optional<SaveOptions> read() {
        if (!knownKeysOnly())
            return std::nullopt;
        SaveOptions options;
        const auto fileName = m_args.findString("FName");
        if (!fileName || fileName->empty())
            return refuse("No file name was given for the layout (\"FName\").");
        options.fileName = *fileName;
        if (!m_args.contains("IncludeData"))
            return refuse("\"IncludeData\" was not given: it decides between a layout and a package.");
        if (!flag("IncludeData", options.includeData) || !flag("IncludePreview", options.includePreview) ||
            !flag("UseRelativePaths", options.relativePaths))
            return std::nullopt;
        return consistent(options);
    }

    const std::string& problem() const { return m_problem; }

private:
    std::nullopt_t refuse(std::string problem) {
        m_problem = std::move(problem);
        return std::nullopt;
    }

    bool knownKeysOnly() {
        for (const auto& entry : m_args.entries) {
            if (entry.key != "FName" && entry.key != "IncludeData" && entry.key != "IncludePreview" &&
                entry.key != "UseRelativePaths") {
                refuse("\"" + entry.key + "\" is not an option for saving a layout.");
                return false;
            }
        }
        return true;
    }

    bool flag(const char* key, bool& value) {
        if (!m_args.contains(key))
            return true;
        const auto number = m_args.findInt(key);
        if (!number || (*number != 0 && *number != 1)) {
            refuse(std::string("\"") + key + "\" must be the integer 0 or 1.");
            return false;
        }
        value = *number == 1;
        return true;
    }

    std::optional<SaveOptions> consistent(const SaveOptions& options) {
        if (m_args.contains("IncludePreview") && m_args.contains("UseRelativePaths"))
            return refuse("\"IncludePreview\" and \"UseRelativePaths\" cannot be given together: a preview "
                          "belongs to a package, relative paths to a layout without data.");
        if (m_args.contains("IncludePreview") && !options.includeData)
            return refuse("\"IncludePreview\" needs \"IncludeData\" 1: only a package carries a preview.");
        if (m_args.contains("UseRelativePaths") && options.includeData)
            return refuse("\"UseRelativePaths\" needs \"IncludeData\" 0: a package carries its data files.");
        return options;
    }

    const ArgList_s& m_args;
    std::string m_problem;
};

// A data set without files of its own, or changed since it was loaded, would not come back
// from the layout: the frame is saved without a data reference. Each file is recorded both ways
// with its hash, so that the layout can find it again after it moved and tell it from another.
qelmar::standin::LayoutFrameEntry linkedFrame(const qelmar::standin::Frame& frame, const QDir& layoutFolder,
                                              bool relative) {
    qelmar::standin::LayoutFrameEntry entry{frame.name, frame.plotType, {}, {}};
    if (!frame.dataSet || !frame.dataSet->journalValid)
        return entry;
    for (const std::string& file : frame.dataSet->dataFiles) {
        const QString absolute = QString::fromStdString(file);
        const std::string relativePath = layoutFolder.relativeFilePath(absolute).toStdString();
        entry.dataFiles.push_back(relative ? relativePath : file);
        entry.dataFileRecords.push_back({qelmar::standin::sha256OfFile(file), relativePath, file});
    }
    return entry;
}

LayoutDocument linkedLayout(const std::string& layoutPath, bool relative) {
    const QDir folder = QFileInfo(QString::fromStdString(layoutPath)).absoluteDir();
    LayoutDocument layout;
    layout.relativePaths = relative;
    for (const auto& page : ApplicationModel::instance().pages()) {
        auto& entry = layout.pages.emplace_back();
        entry.name = page.name;
        for (const auto& frame : page.frames)
            entry.frames.push_back(linkedFrame(frame, folder, relative));
    }
    return layout;
}

// Every data set goes into the package once, however many frames show it.
std::vector<qelmar::standin::PackageEntry> packageEntries(bool includePreview) {
    using qelmar::standin::packagedDataEntry;
    LayoutDocument layout;
    layout.relativePaths = true;
    std::vector<qelmar::standin::PackageEntry> dataEntries;
    std::map<long, std::string> entryOfDataSet;
    std::map<std::string, std::string> hashOfEntry;
    for (const auto& page : ApplicationModel::instance().pages()) {
        auto& pageEntry = layout.pages.emplace_back();
        pageEntry.name = page.name;
        for (const auto& frame : page.frames) {
            std::vector<std::string> dataEntry;
            std::vector<qelmar::standin::DataFileRecord> dataRecord;
            if (frame.dataSet) {
                auto [known, added] = entryOfDataSet.try_emplace(frame.dataSet->id);
                if (added) {
                    known->second = packagedDataEntry(static_cast<int>(dataEntries.size()) + 1);
                    dataEntries.push_back(
                        {known->second, qelmar::standin::encodeDataFile(frame.dataSet->allValues())});
                    hashOfEntry[known->second] = qelmar::standin::sha256Of(dataEntries.back().bytes);
                }
                dataEntry.push_back(known->second);
                dataRecord.push_back({hashOfEntry.at(known->second), {}, {}});
            }
            pageEntry.frames.push_back(
                {frame.name, frame.plotType, std::move(dataEntry), std::move(dataRecord)});
        }
    }
    std::vector<qelmar::standin::PackageEntry> entries;
    entries.push_back({qelmar::standin::packagedLayoutEntry(), qelmar::standin::encodeLayout(layout)});
    entries.insert(entries.end(), dataEntries.begin(), dataEntries.end());
    if (includePreview)
        entries.push_back(
            {qelmar::standin::packagedPreviewEntry(), qelmar::standin::renderLayoutPreview(layout)});
    return entries;
}

void writeLayout(const SaveOptions& options) {
    if (!options.includeData) {
        qelmar::standin::writeLayoutFile(options.fileName,
                                         linkedLayout(options.fileName, options.relativePaths));
        return;
    }
    qelmar::standin::writeEncodedFile(options.fileName, [&options] {
        return qelmar::standin::encodePackage(packageEntries(options.includePreview));
    });
}

} // namespace

bool QelUtilSaveLayoutX(ArgList_pa args) {
    qelmar::standin::clearLastErrorMessage();
    if (!KernelState::instance().beginCall("QelUtilSaveLayoutX"))
        return false;
    if (!args) {
        qelmar::standin::setLastErrorMessage("No options were given for saving the layout.");
        return false;
    }
    SaveOptionsReader reader(*args);
    const auto options = reader.read();
    if (!options) {
        qelmar::standin::setLastErrorMessage(reader.problem());
        return false;
    }
    if (!qelmar::standin::succeedsOrSetsLastError([&options] { writeLayout(*options); }))
        return false;
    auto& layout = ApplicationModel::instance().layout();
    layout.fileName = options->fileName;
    layout.dirty = false;
    qelmar::standin::notifyStateChange(StateChange_LayoutFile);
    return true;
}

char* QelUtilGetCurLayoutFName() {
    if (!KernelState::instance().beginCall("QelUtilGetCurLayoutFName"))
        return nullptr;
    return qelmar::standin::allocKernelString(ApplicationModel::instance().layout().fileName);
}

bool QelUtilQueryIsLayoutDirty() {
    if (!KernelState::instance().beginCall("QelUtilQueryIsLayoutDirty"))
        return false;
    return ApplicationModel::instance().layout().dirty;
}

bool QelUtilQueryLayoutHasStyle() {
    if (!KernelState::instance().beginCall("QelUtilQueryLayoutHasStyle"))
        return false;
    return ApplicationModel::instance().layout().hasStyle;
}

bool QelAppQueryOkToAutoSaveLayout() {
    if (!KernelState::instance().beginCall("QelAppQueryOkToAutoSaveLayout"))
        return false;
    return ApplicationModel::instance().layout().okToAutoSave;
}
