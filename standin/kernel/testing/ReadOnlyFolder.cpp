#include "kernel/testing/ReadOnlyFolder.h"

#include <QDir>
#include <QFile>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>

namespace qelmar::standin::testing {

ReadOnlyFolder::ReadOnlyFolder(const QString& mountPoint)
    : m_path(QDir(mountPoint).absolutePath()) {
    QDir().mkpath(m_path);
    const QByteArray target = QFile::encodeName(m_path);
    if (::mount("qelmar-test", target.constData(), "tmpfs", 0, "size=1m") != 0) {
        m_problem = std::string("cannot mount a file system: ") + std::strerror(errno);
        return;
    }
    m_mounted = true;
    QFile existing(existingFile());
    if (!existing.open(QIODevice::WriteOnly) || existing.write("before\n") < 0) {
        m_problem = "cannot write the existing file";
        return;
    }
    existing.close();
    if (::mount(nullptr, target.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        m_problem = std::string("cannot make the file system read-only: ") + std::strerror(errno);
        return;
    }
    m_readOnly = true;
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (m_mounted)
        ::umount2(QFile::encodeName(m_path).constData(), MNT_DETACH);
}

QString ReadOnlyFolder::existingFile() const {
    return QDir(m_path).filePath(QStringLiteral("existing.lay"));
}

} // namespace qelmar::standin::testing
