#include "host/FilenameStrategy.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <map>
#include <mutex>

namespace qelmar::sdk::ui {

namespace {

struct RememberedFile {
    std::string folder;
    std::string name;
};

std::string extensionOf(int category) {
    switch (category) {
    case FilenameStrategy::FileCategory_Layout:
        return ".lay";
    case FilenameStrategy::FileCategory_DataFile:
        return ".plt";
    case FilenameStrategy::FileCategory_Macro:
        return ".mcr";
    case FilenameStrategy::FileCategory_Export:
        return ".png";
    default:
        return "";
    }
}

std::string initialFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return QDir::cleanPath(documents).toStdString();
    return QDir::currentPath().toStdString();
}

} // namespace

struct FilenameStrategy::Impl {
    mutable std::mutex mutex;
    std::map<int, RememberedFile> remembered;
};

FilenameStrategy::FilenameStrategy() {
    // The manager lives as long as the process; its state needs no heap and so never leaks.
    static Impl impl;
    m_impl = &impl;
}

FilenameStrategy& FilenameStrategy::getManager() {
    static FilenameStrategy manager;
    return manager;
}

std::string FilenameStrategy::getDefaultDirectory(int category) const {
    const std::lock_guard<std::mutex> lock(m_impl->mutex);
    const auto found = m_impl->remembered.find(category);
    if (found != m_impl->remembered.end() && !found->second.folder.empty())
        return found->second.folder;
    return initialFolder();
}

std::string FilenameStrategy::getDefaultFileName(int category) const {
    const std::lock_guard<std::mutex> lock(m_impl->mutex);
    const auto found = m_impl->remembered.find(category);
    if (found != m_impl->remembered.end() && !found->second.name.empty())
        return found->second.name;
    return "untitled" + extensionOf(category);
}

void FilenameStrategy::rememberOutcome(int category, const std::string& path, bool succeeded) {
    if (succeeded)
        rememberFile(category, path);
}

void FilenameStrategy::rememberFile(int category, const std::string& path) {
    if (path.empty())
        return;
    const QFileInfo file(QString::fromStdString(path));
    RememberedFile remembered{QDir::cleanPath(file.absolutePath()).toStdString(),
                              file.fileName().toStdString()};
    const std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->remembered[category] = std::move(remembered);
}

void FilenameStrategy::reset() {
    const std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->remembered.clear();
}

} // namespace qelmar::sdk::ui
