// Feeds arbitrary bytes to the layout package reader and every entry it yields to the reader of
// its kind, as opening a package does. A refusal is a std::runtime_error; anything else
// escaping, a crash or a sanitizer report is a fault.
#include "kernel/DataFileFormat.h"
#include "kernel/LayoutFileFormat.h"
#include "kernel/LayoutPackage.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void decodeEntry(const qelmar::standin::PackageEntry& entry) {
    try {
        if (entry.name == qelmar::standin::packagedLayoutEntry())
            qelmar::standin::decodeLayout(entry.bytes, entry.name);
        else if (endsWith(entry.name, ".plt"))
            qelmar::standin::decodeDataFile(entry.bytes, entry.name);
    } catch (const std::runtime_error&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        for (const auto& entry : qelmar::standin::decodePackage(bytes, "input.lpk"))
            decodeEntry(entry);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
