#pragma once

#include "kernel/MacroFileFormat.h"

#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The lines of a recorded macro after its header; none when the file does not exist.
inline std::vector<std::string> readMacroBody(const std::string& path) {
    QFile file(QString::fromStdString(path));
    std::vector<std::string> lines;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    QTextStream stream(&file);
    EXPECT_EQ(stream.readLine().toStdString(), qelmar::standin::macroFileHeader());
    while (!stream.atEnd())
        lines.push_back(stream.readLine().toStdString());
    return lines;
}
