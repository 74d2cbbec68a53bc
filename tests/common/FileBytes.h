#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

// The whole file, or nothing when it cannot be read.
inline QByteArray contentsOf(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file with exactly these bytes.
inline void writeBytes(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path;
    file.write(bytes);
}

inline bool fileExists(const std::string& path) {
    return QFile::exists(QString::fromStdString(path));
}

} // namespace testsupport
