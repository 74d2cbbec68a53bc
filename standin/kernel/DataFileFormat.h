#pragma once

// Internal to the stand-in kernel: binary data files (".plt"), the form in which a data set is
// written so that it can be loaded again. All numbers are little-endian:
//
//     magic        8 bytes   "QELDATA\0"
//     version      uint32    1
//     title        text
//     variables    uint32    number of variables
//     points       uint32    number of values of every variable
//     names        text      one per variable
//     values       float64   variable after variable, `points` each
//     checksum     uint32    CRC-32 of every byte before it
//
// A text is a uint32 byte count followed by that many bytes of UTF-8. The checksum makes a
// truncated or damaged file fail to read instead of loading wrong numbers.

#include <QByteArray>

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

constexpr char dataFileMagic[8] = {'Q', 'E', 'L', 'D', 'A', 'T', 'A', '\0'};
constexpr unsigned dataFileVersion = 1;

// Throws std::invalid_argument when names and values do not match or variables differ in
// length.
QByteArray encodeDataFile(const DataValues& values);
// Throws std::runtime_error naming `origin` and what is wrong with the bytes.
DataValues decodeDataFile(const QByteArray& bytes, const std::string& origin);

// False with a reason for the user in `error`.
bool writeDataFile(const std::string& path, const DataValues& values, std::string& error);
// Throws std::runtime_error naming the file and what is wrong with it (missing, truncated, not a
// data file); the reason is also the kernel's last error.
DataValues readDataFile(const std::string& path);

// The CRC-32 used by data files (the polynomial of zip and PNG).
unsigned crc32Of(const char* data, std::size_t size);

} // namespace qelmar::standin
