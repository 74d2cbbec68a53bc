#pragma once

#include <QString>

#include <string>

namespace qelmar::standin::testing {

// A fresh folder on a file system of its own that is mounted read-only, holding one existing
// file: what a save onto a write-protected medium meets, also for root, whom permission bits
// do not stop. Needs the right to mount (root in a container that allows it); check
// isAvailable() and skip otherwise. Destruction unmounts it.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& mountPoint);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool isAvailable() const { return m_mounted && m_readOnly; }
    // Why it is not available, for the skip message.
    const std::string& problem() const { return m_problem; }
    const QString& path() const { return m_path; }
    // A file that was written before the file system became read-only.
    QString existingFile() const;

private:
    QString m_path;
    bool m_mounted = false;
    bool m_readOnly = false;
    std::string m_problem;
};

} // namespace qelmar::standin::testing
