#pragma once

#include "common/FileBytes.h"

#include <QByteArray>
#include <QDir>
#include <QString>

#include <set>
#include <string>
#include <vector>

namespace testsupport {

// "station-007.csv": the names sort in load order.
inline std::string stationName(int station) {
    return QStringLiteral("station-%1.csv").arg(station, 3, 10, QLatin1Char('0')).toStdString();
}

// Time, temperature and pressure of one station over `rows` rows; a corrupt station has a word
// where line 12 (the 11th row below the header) holds its temperature.
inline QByteArray stationCsv(int station, int rows, bool corrupt) {
    QByteArray text = "Time,Temperature,Pressure\n";
    for (int row = 0; row < rows; ++row) {
        const QByteArray temperature = corrupt && row == 10
                                           ? QByteArray("warm")
                                           : QByteArray::number(10.0 + station + row * 0.01, 'f', 2);
        text += QByteArray::number(row) + ',' + temperature + ',' + QByteArray::number(1000 + station) + '\n';
    }
    return text;
}

// Writes stations 1 to `count` into the folder and returns their paths in order.
inline std::vector<std::string> writeStations(const QString& folder, int count,
                                              const std::set<int>& corrupt = {}, int rows = 20) {
    std::vector<std::string> paths;
    for (int station = 1; station <= count; ++station) {
        const std::string path =
            QDir(folder).filePath(QString::fromStdString(stationName(station))).toStdString();
        writeBytes(path, stationCsv(station, rows, corrupt.count(station) > 0));
        paths.push_back(path);
    }
    return paths;
}

} // namespace testsupport
