#pragma once

// Internal to the stand-in kernel: text layout files (".lay"). UTF-8, one record per line,
// fields separated by a tab:
//
//     #!QELMAR LAYOUT 2
//     Paths   relative | absolute
//     Page    <name>
//     Frame   <plot type>   <name>
//     Data    <data file>   [<sha256>   [<relative path>   <absolute path>]]
//     End
//
// Every Frame belongs to the Page before it, in stack order from the top; the Data lines right
// after a Frame name the data files its data set loads from, in the order they are loaded,
// relative to the layout's folder when Paths is relative. In a package the data files are named by their
// entry in the package and Paths is relative. Names escape backslash, tab, line feed and carriage return as
// \\, \t, \n and \r. The closing End line tells a complete file from a truncated one.
//
// Version 2 lets a Data line say what the file was when the layout was saved, so that a layout
// finds its data again after both moved and never takes a different file for it: the SHA-256 of
// the file's bytes (64 lower-case hex digits), and for a linked layout the file's path relative to
// the layout's folder and its absolute path, whatever Paths says. A package records the hash of
// each data entry only. Version 1 files (one field per Data line) still read, their data files
// without a hash; a version 1 file with more fields on a Data line is refused.

#include <QByteArray>

#include <string>
#include <vector>

namespace qelmar::standin {

// What a layout knows of one data file beyond its reference. Empty fields were not recorded.
struct DataFileRecord {
    std::string sha256;
    std::string relativePath;
    std::string absolutePath;
};

struct LayoutFrameEntry {
    std::string name;
    int plotType = 0;
    std::vector<std::string> dataFiles; // in load order; empty: the frame has no data reference
    // Empty, or one per entry of dataFiles; reading always gives one per entry.
    std::vector<DataFileRecord> dataFileRecords;
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
    return "#!QELMAR LAYOUT 2";
}
inline std::string firstLayoutFileHeader() {
    return "#!QELMAR LAYOUT 1";
}

// The SHA-256 of the file's bytes in lower-case hex, read in blocks; empty when it cannot be read.
std::string sha256OfFile(const std::string& path);
std::string sha256Of(const QByteArray& bytes);

QByteArray encodeLayout(const LayoutDocument& layout);
// Throws std::runtime_error naming `origin`, the line and what is wrong with it.
LayoutDocument decodeLayout(const QByteArray& bytes, const std::string& origin);

// Throws std::runtime_error with a reason for the user ("Cannot write <path>: <why>").
void writeLayoutFile(const std::string& path, const LayoutDocument& layout);
// Throws std::runtime_error naming the file and what is wrong with it (missing, truncated, not a
// layout); the reason is also the kernel's last error.
LayoutDocument readLayoutFile(const std::string& path);

} // namespace qelmar::standin
