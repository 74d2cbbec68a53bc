#pragma once

// Internal to the stand-in kernel: text layout files (".lay"). UTF-8, one record per line,
// fields separated by a tab:
//
//     #!QELMAR LAYOUT 1
//     Paths   relative | absolute
//     Page    <name>
//     Frame   <plot type>   <name>
//     Data    <data file>
//     End
//
// Every Frame belongs to the Page before it, in stack order from the top; the Data lines right
// after a Frame name the data files its data set loads from, in the order they are loaded,
// relative to the layout's folder when Paths is relative. In a package the data files are named by their
// entry in the package and Paths is relative. Names escape backslash, tab, line feed and carriage return as
// \\, \t, \n and \r. The closing End line tells a complete file from a truncated one.

#include <QByteArray>

#include <string>
#include <vector>

namespace qelmar::standin {

struct LayoutFrameEntry {
    std::string name;
    int plotType = 0;
    std::vector<std::string> dataFiles; // in load order; empty: the frame has no data reference
};

struct LayoutPageEntry {
    std::string name;
    std::vector<LayoutFrameEntry> frames;
};

struct LayoutDocument {
    bool relativePaths = false;
    std::vector<LayoutPageEntry> pages;
};

inline std::string layoutFileHeader() {
    return "#!QELMAR LAYOUT 1";
}

QByteArray encodeLayout(const LayoutDocument& layout);
// Throws std::runtime_error naming `origin`, the line and what is wrong with it.
LayoutDocument decodeLayout(const QByteArray& bytes, const std::string& origin);

// Throws std::runtime_error with a reason for the user ("Cannot write <path>: <why>").
void writeLayoutFile(const std::string& path, const LayoutDocument& layout);
// Throws std::runtime_error naming the file and what is wrong with it (missing, truncated, not a
// layout); the reason is also the kernel's last error.
LayoutDocument readLayoutFile(const std::string& path);

} // namespace qelmar::standin
