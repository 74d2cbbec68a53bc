// The NetCDF loader's two sides. Inputs that start like a NetCDF file (classic "CDF" or HDF5)
// are written to a file and read by the loader as the application does, through the reader
// process: its pre-read size checks, its frames and the parent's decoding of them. Any other
// input is decoded directly as the frames of a reader's reply, as a reader gone wrong might
// send them. A refusal is a std::runtime_error; anything else escaping, a crash or a sanitizer
// report in this process is a fault (the reader process may die: that is what it is for).
//
// The reader process is a fork of the fuzzer and keeps libFuzzer's malloc hook, which writes an
// "oom-" artifact for any allocation above -malloc_limit_mb even there, where the reader's own
// limits handle it. When fuzzing, pass -malloc_limit_mb=100000 so that only this process's
// allocations are judged (its resident memory stays under -rss_limit_mb).
#include "loaders/NetCdfFile.h"
#include "loaders/NetCdfFrames.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

bool looksLikeNetCdf(const std::uint8_t* data, std::size_t size) {
    return (size >= 3 && std::memcmp(data, "CDF", 3) == 0) ||
           (size >= 4 && std::memcmp(data, "\x89HDF", 4) == 0);
}

void readAsFile(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/fuzz_netcdf_" + std::to_string(::getpid()) + ".nc";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    qelmar::standin::NetCdfLimits limits;
    limits.maxValues = std::size_t(1) << 24;
    limits.reader.time = std::chrono::milliseconds(5000);
    try {
        qelmar::standin::readNetCdf(path, {}, limits);
    } catch (const std::runtime_error&) {
    }
}

void decodeAsFrames(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    const qelmar::standin::ByteSource source = [&](void* out, std::size_t bytes) {
        if (size - at < bytes)
            return false;
        std::memcpy(out, data + at, bytes);
        at += bytes;
        return true;
    };
    try {
        qelmar::standin::decodeNetCdfReply(source, "input.nc", std::size_t(1) << 20);
    } catch (const std::runtime_error&) {
    }
}

} // namespace

// The reader process is this one forked: a damaged file that talks libnetcdf into a huge
// allocation there must fail that allocation (the reader then reports the memory it lacked), not
// end in a sanitizer report that would pass for a fault of ours.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (looksLikeNetCdf(data, size))
        readAsFile(data, size);
    else
        decodeAsFrames(data, size);
    return 0;
}
