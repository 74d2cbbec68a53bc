#pragma once

// Internal to the stand-in kernel: layout packages (".lpk"), zip archives that carry a layout
// together with its data so that it opens anywhere:
//
//     layout.lay      the layout (see LayoutFileFormat.h); its frames refer to their data by
//                     the entry names below, with relative paths
//     data/<n>.plt    one data file (see DataFileFormat.h) per data set with all of its zones
//                     and time steps, n counting from 1 in the order the layout first uses them
//     preview.png     a small picture of the pages and their frames, only when asked for
//
// Every entry is stored as a regular file readable by all and writable by its owner alone. The
// archive is built in memory and reaches the disk through a temporary file, so a failed save
// leaves an earlier package intact.

#include "kernel/LayoutFileFormat.h"

#include <QByteArray>

#include <string>
#include <vector>

namespace qelmar::standin {

inline std::string packagedLayoutEntry() {
    return "layout.lay";
}
inline std::string packagedPreviewEntry() {
    return "preview.png";
}
std::string packagedDataEntry(int number);

struct PackageEntry {
    std::string name;
    QByteArray bytes;
};

// The package's bytes; throws std::runtime_error with libzip's reason when it cannot be made.
QByteArray encodePackage(const std::vector<PackageEntry>& entries);
// Throws std::runtime_error with a reason for the user ("Cannot write <path>: <why>").
void writePackage(const std::string& path, const std::vector<PackageEntry>& entries);
// The readers throw std::runtime_error naming the file and what is wrong: it is missing,
// damaged or not a package, the entry is not in it, or an entry claims more bytes than the
// package can hold. The file readers also leave the reason as the kernel's last error.
std::vector<std::string> readPackageEntryNames(const std::string& path);
QByteArray readPackageEntry(const std::string& path, const std::string& entry);
// The layout the package carries.
LayoutDocument readPackagedLayout(const std::string& path);
// Every entry of the package in `bytes`, in the archive's order.
std::vector<PackageEntry> decodePackage(const QByteArray& bytes, const std::string& origin);

// A PNG picture of the layout: one band per page with its name and a box per frame.
QByteArray renderLayoutPreview(const LayoutDocument& layout);

} // namespace qelmar::standin
