#include "kernel/DataFileRelinking.h"

#include "host/KernelLayout.h"
#include "host/KernelMessages.h"
#include "kernel/ApplicationModel.h"
#include "kernel/KernelState.h"
#include "kernel/LayoutFileFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>

namespace qelmar::standin {

namespace {

struct Registration {
    LocateDataFileCallback_pf callback = nullptr;
    void* clientData = nullptr;
};

// Like the other callbacks, the registration is the application's wiring, not kernel state: a
// kernel reset keeps it, since the application registers only once.
Registration& registration() {
    static Registration registered;
    return registered;
}

// The change of folder that turns a file's old path into its new one: the two paths lose their
// longest common ending, component by component, and what is left of each is the old and the new
// folder. "/a/b/data/s1.plt" -> "/x/data/s1.plt" moves everything under "/a/b" to "/x".
class FolderChange {
public:
    FolderChange(const std::string& oldPath, const std::string& newPath) {
        QStringList oldParts = components(oldPath);
        QStringList newParts = components(newPath);
        // The first component of an absolute path is the empty one before the root's slash; it
        // stays, so that a folder is never empty.
        while (oldParts.size() > 1 && newParts.size() > 1 && oldParts.last() == newParts.last()) {
            oldParts.removeLast();
            newParts.removeLast();
        }
        m_oldFolder = oldParts.join('/') + '/';
        m_newFolder = newParts.join('/') + '/';
    }

    std::optional<std::string> applied(const std::string& path) const {
        const QString cleaned = QDir::cleanPath(QString::fromStdString(path));
        if (!cleaned.startsWith(m_oldFolder))
            return std::nullopt;
        return (m_newFolder + cleaned.mid(m_oldFolder.size())).toStdString();
    }

private:
    static QStringList components(const std::string& path) {
        return QDir::cleanPath(QString::fromStdString(path)).split('/');
    }

    QString m_oldFolder;
    QString m_newFolder;
};

enum class Found {
    Same,      // the recorded content, or a file at its recorded place the layout has no hash for
    Changed,   // other content than the recorded one
    Unchecked, // found at another place, and the layout has no hash to check it by
    Missing
};

struct Location {
    std::string path;
    Found found = Found::Missing;
};

std::string listed(const std::vector<std::string>& paths, const std::string& separator) {
    std::string text;
    for (const std::string& path : paths)
        text += (text.empty() ? "" : separator) + path;
    return text;
}

class Relinker {
public:
    Relinker(std::string layoutPath, const std::vector<LinkedDataFile>& files)
        : m_layoutPath(std::move(layoutPath))
        , m_files(files) {}

    std::map<std::string, std::string> run() {
        for (const LinkedDataFile& file : m_files)
            m_locations.push_back(atRecordedPlaces(file));
        if (registration().callback)
            locateMissingFiles();
        confirmFilesWithOtherContent();
        std::map<std::string, std::string> paths;
        for (std::size_t index = 0; index < m_files.size(); ++index) {
            const Location& location = m_locations[index];
            paths[m_files[index].reference] =
                location.found == Found::Missing ? m_files[index].places.front() : location.path;
        }
        return paths;
    }

private:
    static Location look(const LinkedDataFile& file, const std::string& path, Found withoutHash) {
        if (!QFileInfo(QString::fromStdString(path)).isFile())
            return {path, Found::Missing};
        if (file.sha256.empty())
            return {path, withoutHash};
        return {path, sha256OfFile(path) == file.sha256 ? Found::Same : Found::Changed};
    }

    // A place holding the recorded content wins over an earlier one holding other content.
    static Location atRecordedPlaces(const LinkedDataFile& file) {
        Location changed;
        for (const std::string& place : file.places) {
            const Location location = look(file, place, Found::Same);
            if (location.found == Found::Same)
                return location;
            if (location.found == Found::Changed && changed.found == Found::Missing)
                changed = location;
        }
        return changed;
    }

    std::vector<std::size_t> missing() const {
        std::vector<std::size_t> indices;
        for (std::size_t index = 0; index < m_locations.size(); ++index) {
            if (m_locations[index].found == Found::Missing)
                indices.push_back(index);
        }
        return indices;
    }

    std::vector<std::string> pathsOf(const std::vector<std::size_t>& indices) const {
        std::vector<std::string> paths;
        for (const std::size_t index : indices)
            paths.push_back(m_files[index].recordedPath);
        return paths;
    }

    // Every answer resolves at least the file asked for, so this asks at most once per file.
    void locateMissingFiles() {
        for (auto stillMissing = missing(); !stillMissing.empty(); stillMissing = missing()) {
            const std::size_t asked = stillMissing.front();
            const LinkedDataFile& file = m_files[asked];
            const std::string chosen = ask(file, stillMissing);
            m_locations[asked] = look(file, chosen, Found::Unchecked);
            if (m_locations[asked].found == Found::Missing)
                throw std::runtime_error("The layout " + m_layoutPath + " was not opened: the file " +
                                         chosen + " chosen for the data file " + file.recordedPath +
                                         " does not exist.");
            m_changes.emplace_back(file.recordedPath, chosen);
            for (const std::size_t other : missing())
                m_locations[other] = afterFolderChanges(m_files[other]);
        }
    }

    std::string ask(const LinkedDataFile& file, const std::vector<std::size_t>& stillMissing) const {
        const Registration registered = registration();
        const std::unique_ptr<char, decltype(&std::free)> answer(
            registered.callback(m_layoutPath.c_str(), file.recordedPath.c_str(),
                                static_cast<long>(stillMissing.size()), registered.clientData),
            &std::free);
        if (!answer)
            throw std::runtime_error(
                "Opening the layout " + m_layoutPath +
                " was cancelled. These data files are missing: " + listed(pathsOf(stillMissing), ", ") + ".");
        return absolutePath(answer.get());
    }

    // The latest answer is the likeliest to say where the rest went.
    Location afterFolderChanges(const LinkedDataFile& file) const {
        for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change) {
            if (const auto moved = change->applied(file.recordedPath)) {
                const Location location = look(file, *moved, Found::Unchecked);
                if (location.found != Found::Missing)
                    return location;
            }
        }
        return {};
    }

    std::vector<std::string> pathsFound(Found found) const {
        std::vector<std::string> paths;
        for (const Location& location : m_locations) {
            if (location.found == found)
                paths.push_back(location.path);
        }
        return paths;
    }

    void confirmFilesWithOtherContent() const {
        const std::vector<std::string> changed = pathsFound(Found::Changed);
        const std::vector<std::string> unchecked = pathsFound(Found::Unchecked);
        if (changed.empty() && unchecked.empty())
            return;
        std::string question;
        if (!changed.empty())
            question +=
                "These data files changed since the layout was saved:\n" + listed(changed, "\n") + "\n";
        if (!unchecked.empty())
            question += "These data files were found in another place, and the layout cannot tell whether "
                        "they changed:\n" +
                        listed(unchecked, "\n") + "\n";
        question += "Open the layout with them?";
        if (QelUtilDialogMessageBox(question.c_str(), MessageBox_Question))
            return;
        std::vector<std::string> declined = changed;
        declined.insert(declined.end(), unchecked.begin(), unchecked.end());
        throw std::runtime_error("The layout " + m_layoutPath + " was not opened: the data files " +
                                 listed(declined, ", ") + " may not be the ones it was saved with.");
    }

    std::string m_layoutPath;
    const std::vector<LinkedDataFile>& m_files;
    std::vector<Location> m_locations;
    std::vector<FolderChange> m_changes;
};

} // namespace

std::map<std::string, std::string> locateDataFiles(const std::string& layoutPath,
                                                   const std::vector<LinkedDataFile>& files) {
    return Relinker(layoutPath, files).run();
}

} // namespace qelmar::standin

void QelUtilLayoutRegisterLocateDataFileCallback(LocateDataFileCallback_pf callback, void* clientData) {
    if (!qelmar::standin::KernelState::instance().beginCall("QelUtilLayoutRegisterLocateDataFileCallback"))
        return;
    qelmar::standin::registration() = {callback, clientData};
}
