#include "host/KernelLayout.h"

#include "kernel/ApplicationModel.h"
#include "kernel/ArgListData.h"
#include "kernel/DataFileFormat.h"
#include "kernel/DataFileRelinking.h"
#include "kernel/KernelState.h"
#include "kernel/LastError.h"
#include "kernel/LayoutFileFormat.h"
#include "kernel/LayoutPackage.h"
#include "kernel/StateChange.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>

namespace {

using qelmar::standin::ApplicationModel;
using qelmar::standin::DataSet;
using qelmar::standin::DataValues;
using qelmar::standin::LayoutDocument;

struct OpenOptions {
    std::string fileName;
    bool append = false;
};

std::optional<OpenOptions> readOptions(const ArgList_s* args, std::string& problem) {
    const auto fileName = args ? args->findString("FName") : std::nullopt;
    if (!fileName || fileName->empty()) {
        problem = "No file name was given for the layout to open (\"FName\").";
        return std::nullopt;
    }
    OpenOptions options{*fileName, false};
    if (args->contains("Append")) {
        const auto append = args->findInt("Append");
        if (!append || (*append != 0 && *append != 1)) {
            problem = "\"Append\" must be the integer 0 or 1.";
            return std::nullopt;
        }
        options.append = *append == 1;
    }
    for (const auto& entry : args->entries) {
        if (entry.key != "FName" && entry.key != "Append") {
            problem = "\"" + entry.key + "\" is not an option for opening a layout.";
            return std::nullopt;
        }
    }
    return options;
}

bool isPackage(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).suffix().compare("lpk", Qt::CaseInsensitive) == 0;
}

// The layout with every data set it names, read in full before the application changes, so
// that a layout whose data cannot be read leaves the application as it was.
class LayoutReading {
public:
    explicit LayoutReading(std::string path)
        : m_path(std::move(path))
        , m_package(isPackage(m_path))
        , m_layout(m_package ? qelmar::standin::readPackagedLayout(m_path)
                             : qelmar::standin::readLayoutFile(m_path)) {
        collectRecords();
        if (!m_package)
            m_locatedFiles = qelmar::standin::locateDataFiles(m_path, linkedDataFiles());
        for (const auto& page : m_layout.pages) {
            for (const auto& frame : page.frames) {
                if (!frame.dataFiles.empty() && !m_dataSets.count(frame.dataFiles))
                    m_dataSets.emplace(frame.dataFiles, readDataSet(frame.dataFiles));
            }
        }
    }

    const LayoutDocument& layout() const { return m_layout; }
    // Frames naming the same data files share one data set, as they did when the layout was saved.
    std::shared_ptr<DataSet> dataSetOf(const std::vector<std::string>& dataFiles) const {
        const auto found = m_dataSets.find(dataFiles);
        return found == m_dataSets.end() ? nullptr : found->second;
    }

private:
    void collectRecords() {
        for (const auto& page : m_layout.pages) {
            for (const auto& frame : page.frames) {
                for (std::size_t index = 0; index < frame.dataFileRecords.size(); ++index)
                    m_records.emplace(frame.dataFiles[index], frame.dataFileRecords[index]);
            }
        }
    }

    const qelmar::standin::DataFileRecord& recordOf(const std::string& reference) const {
        static const qelmar::standin::DataFileRecord unrecorded;
        const auto found = m_records.find(reference);
        return found == m_records.end() ? unrecorded : found->second;
    }

    // Each file once, however many frames show it: where the layout reads it from as it always
    // did, then where it was relative to the layout, then where it was on its own.
    std::vector<qelmar::standin::LinkedDataFile> linkedDataFiles() const {
        const QDir folder = QFileInfo(QString::fromStdString(m_path)).absoluteDir();
        std::vector<qelmar::standin::LinkedDataFile> files;
        std::set<std::string> seen;
        for (const auto& page : m_layout.pages) {
            for (const auto& frame : page.frames) {
                for (const std::string& reference : frame.dataFiles) {
                    if (!seen.insert(reference).second)
                        continue;
                    const auto& record = recordOf(reference);
                    qelmar::standin::LinkedDataFile file{
                        reference, dataFilePath(reference), {}, record.sha256};
                    file.places.push_back(file.recordedPath);
                    if (!record.relativePath.empty())
                        file.places.push_back(QDir::cleanPath(folder.absoluteFilePath(QString::fromStdString(
                                                                  record.relativePath)))
                                                  .toStdString());
                    if (!record.absolutePath.empty()) {
                        file.places.push_back(record.absolutePath);
                        file.recordedPath = record.absolutePath;
                    }
                    files.push_back(std::move(file));
                }
            }
        }
        return files;
    }

    // A package carries each data set whole in one entry; a linked layout names the files a data
    // set was loaded from, whose zones follow one another in that order.
    std::shared_ptr<DataSet> readDataSet(const std::vector<std::string>& references) const {
        auto dataSet = std::make_shared<DataSet>();
        dataSet->id = ApplicationModel::nextDataSetId();
        dataSet->journalValid = true;
        qelmar::standin::DataFileContents values;
        for (const std::string& reference : references) {
            const qelmar::standin::DataFileContents read = readReference(reference);
            values.zones.insert(values.zones.end(), read.zones.begin(), read.zones.end());
            if (!m_package)
                dataSet->dataFiles.push_back(m_locatedFiles.at(reference));
        }
        try {
            dataSet->setAllValues(std::move(values));
        } catch (const std::invalid_argument&) {
            throw std::runtime_error("The layout " + m_path +
                                     " shows data files whose time steps do not match one another.");
        }
        return dataSet;
    }

    qelmar::standin::DataFileContents readReference(const std::string& reference) const {
        if (m_package)
            return qelmar::standin::decodeDataFile(packageEntry(reference), m_path + ":" + reference);
        const std::string file = m_locatedFiles.at(reference);
        try {
            return qelmar::standin::readDataFile(file);
        } catch (const std::runtime_error& failure) {
            throw std::runtime_error("The layout " + m_path + " shows the data file " + file +
                                     ", which cannot be read: " + failure.what());
        }
    }

    QByteArray packageEntry(const std::string& reference) const {
        QByteArray bytes = qelmar::standin::readPackageEntry(m_path, reference);
        const std::string& sha256 = recordOf(reference).sha256;
        if (!sha256.empty() && qelmar::standin::sha256Of(bytes) != sha256)
            throw std::runtime_error("The package " + m_path + " is damaged: its data entry " + reference +
                                     " is not what was saved in it.");
        return bytes;
    }

    std::string dataFilePath(const std::string& reference) const {
        const QString given = QString::fromStdString(reference);
        if (!m_layout.relativePaths)
            return qelmar::standin::absolutePath(reference);
        const QDir folder = QFileInfo(QString::fromStdString(m_path)).absoluteDir();
        return QDir::cleanPath(folder.absoluteFilePath(given)).toStdString();
    }

    std::string m_path;
    bool m_package;
    LayoutDocument m_layout;
    std::map<std::string, qelmar::standin::DataFileRecord> m_records;
    std::map<std::string, std::string> m_locatedFiles; // linked layouts: reference -> path now
    std::map<std::vector<std::string>, std::shared_ptr<DataSet>> m_dataSets;
};

// Frames are added on top of their page's stack, so the layout's stack (top first) is added from
// the bottom up. Returns the id of the first page's top frame, -1 when the layout has none.
int addPages(const LayoutReading& reading) {
    ApplicationModel& model = ApplicationModel::instance();
    int firstFrame = -1;
    for (const auto& pageEntry : reading.layout().pages) {
        const int page = model.addPage(pageEntry.name);
        for (auto frame = pageEntry.frames.rbegin(); frame != pageEntry.frames.rend(); ++frame) {
            const int id = model.addFrame(page, frame->name, frame->plotType);
            model.frame(id).dataSet = reading.dataSetOf(frame->dataFiles);
            if (frame + 1 == pageEntry.frames.rend() && firstFrame < 0)
                firstFrame = id;
        }
    }
    return firstFrame;
}

// Replacing starts from an empty application; the layout then is the file, unchanged. Appended
// pages make an application that no file holds yet.
void openLayout(const LayoutReading& reading, const OpenOptions& options) {
    ApplicationModel& model = ApplicationModel::instance();
    const qelmar::standin::LayoutState before = model.layout();
    if (!options.append)
        model.clear();
    const int firstFrame = addPages(reading);
    if (firstFrame >= 0)
        model.setCurrentFrame(firstFrame);
    auto& layout = model.layout();
    layout.okToAutoSave = before.okToAutoSave;
    layout.hasStyle = true;
    if (options.append) {
        layout.fileName = before.fileName;
        layout.dirty = true;
    } else {
        layout.fileName = options.fileName;
        layout.dirty = false;
    }
    qelmar::standin::notifyStateChange(StateChange_DataSetsAltered);
    qelmar::standin::notifyStateChange(StateChange_LayoutFile);
}

} // namespace

bool QelUtilOpenLayoutX(ArgList_pa args) {
    qelmar::standin::clearLastErrorMessage();
    if (!qelmar::standin::KernelState::instance().beginCall("QelUtilOpenLayoutX"))
        return false;
    std::string problem;
    const auto options = readOptions(args, problem);
    if (!options) {
        qelmar::standin::setLastErrorMessage(problem);
        return false;
    }
    std::optional<LayoutReading> reading;
    try {
        reading.emplace(options->fileName);
    } catch (const std::exception& failure) {
        qelmar::standin::setLastErrorMessage(failure.what());
        return false;
    }
    openLayout(*reading, *options);
    qelmar::standin::clearLastErrorMessage();
    return true;
}
