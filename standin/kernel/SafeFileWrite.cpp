#include "kernel/SafeFileWrite.h"

#include "kernel/SafeFile.h"

#include <QFile>
#include <QString>

#include <stdexcept>

namespace qelmar::standin {

namespace {

QByteArray encodeFor(const std::string& path, const std::function<QByteArray()>& encode) {
    try {
        return encode();
    } catch (const std::invalid_argument& refused) {
        throw std::runtime_error("Cannot write " + path + ": " + refused.what());
    } catch (const std::runtime_error& refused) {
        throw std::runtime_error("Cannot write " + path + ": " + refused.what());
    }
}

} // namespace

QByteArray readWholeFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("Cannot read " + path + ": " + file.errorString().toStdString());
    // A device or a pipe has no end to read up to.
    if (file.isSequential())
        throw std::runtime_error("Cannot read " + path + ": it is not a regular file.");
    return file.readAll();
}

void writeFileSafely(const std::string& path, const QByteArray& bytes) {
    SafeFile file(path);
    file.append(bytes);
    file.commit();
}

void writeEncodedFile(const std::string& path, const std::function<QByteArray()>& encode) {
    writeFileSafely(path, encodeFor(path, encode));
}

} // namespace qelmar::standin
