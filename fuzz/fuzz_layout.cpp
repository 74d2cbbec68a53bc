// Feeds arbitrary bytes to the layout file reader. A refusal is a std::runtime_error; anything
// else escaping, a crash or a sanitizer report is a fault.
#include "kernel/LayoutFileFormat.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        qelmar::standin::decodeLayout(bytes, "input.lay");
    } catch (const std::runtime_error&) {
    }
    return 0;
}
