#pragma once

// Internal to the stand-in kernel: binary data files (".plt"), the form in which a data set is
// written so that it can be loaded again: every zone through every time step. All numbers are
// little-endian:
//
//     magic        8 bytes   "QELDATA\0"
//     version      uint32    2
//     variables    uint32    number of variables
//     names        text      one per variable, shared by every zone and step
//     zones        uint32    at least 1
//     steps        uint32    at least 1, the same for every zone
//     blocks       zone after zone, each zone step after step:
//         title        text
//         rank         uint32    0 for a list of points, else 1 to 3
//         dimensions   uint32    `rank` of them, I first; their product is `points`
//         points       uint32    number of values of every variable
//         values       float64   variable after variable, `points` each
//     checksum     uint32    CRC-32 of every byte before it
//
// A text is a uint32 byte count followed by that many bytes of UTF-8. Every count is checked
// against the bytes that follow before anything is allocated for it, and the checksum makes a
// truncated or damaged file fail to read instead of loading wrong numbers.
//
// Version 1 files hold one zone of one step and are still read: after the version come the
// title, the number of variables, the number of points, the names and the values.

#include <QByteArray>

#include <cstddef>
#include <string>
#include <vector>

namespace qelmar::standin {

struct DataValues {
    std::string title;
    std::vector<std::string> variableNames;
    std::vector<std::vector<double>> values; // one vector per variable, all of equal length
    // I, J (and K) of an ordered zone, I varying fastest, their product the number of points;
    // empty for points that are only a list.
    std::vector<std::size_t> dimensions;
};

// What a data file holds: zones[zone][step], every zone with the same number of steps and every
// step with the same variables.
struct DataFileContents {
    std::vector<std::vector<DataValues>> zones;

    // The first zone at the first step.
    const DataValues& first() const { return zones.front().front(); }
};

constexpr char dataFileMagic[8] = {'Q', 'E', 'L', 'D', 'A', 'T', 'A', '\0'};
constexpr unsigned dataFileVersion = 2;

// Throws std::invalid_argument when there is no zone or step, names and values do not match,
// variables differ in length or between zones and steps, zones differ in their number of steps
// or dimensions do not multiply to the number of points.
QByteArray encodeDataFile(const DataFileContents& contents);
// One zone of one step.
QByteArray encodeDataFile(const DataValues& values);
// Throws std::runtime_error naming `origin` and what is wrong with the bytes.
DataFileContents decodeDataFile(const QByteArray& bytes, const std::string& origin);

// Throw std::runtime_error with a reason for the user ("Cannot write <path>: <why>").
void writeDataFile(const std::string& path, const DataFileContents& contents);
void writeDataFile(const std::string& path, const DataValues& values);
// Throws std::runtime_error naming the file and what is wrong with it (missing, truncated, not a
// data file); the reason is also the kernel's last error.
DataFileContents readDataFile(const std::string& path);

// The CRC-32 used by data files (the polynomial of zip and PNG).
unsigned crc32Of(const char* data, std::size_t size);

} // namespace qelmar::standin
