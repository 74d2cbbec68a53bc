#include "loaders/NetCdfFile.h"

#include "loaders/NetCdfReader.h"

#include <new>
#include <stdexcept>

#include <sys/stat.h>

namespace qelmar::standin {

namespace {

std::string failure(const std::string& path, const NetCdfLimits& limits, ChildEnd end) {
    if (end == ChildEnd::TimedOut)
        return path + " could not be read: the NetCDF library took longer than " +
               std::to_string(limits.reader.time.count() / 1000) + " s on it (it may be damaged).";
    return path + " could not be read: the NetCDF library failed on it (it may be damaged).";
}

// The reader maps a classic file whole to find out whether it was cut short, on top of its
// memory for reading.
ChildLimits readerLimits(const std::string& path, const NetCdfLimits& limits) {
    ChildLimits reader = limits.reader;
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && status.st_size > 0)
        reader.memory += static_cast<std::size_t>(status.st_size);
    return reader;
}

NetCdfReply ask(const NetCdfRequest& request, const NetCdfLimits& limits) {
    IsolatedChild reader(
        [&request](ChildPipe& pipe) {
            NetCdfFrameWriter out([&pipe](const void* data, std::size_t size) { pipe.write(data, size); });
            answerNetCdfRequest(request, out);
        },
        readerLimits(request.path, limits));
    NetCdfReply reply;
    try {
        reply = decodeNetCdfReply([&reader](void* data, std::size_t size) { return reader.read(data, size); },
                                  request.path, limits.maxValues);
    } catch (const std::bad_alloc&) {
        throw std::runtime_error(request.path +
                                 " could not be loaded: its values need more memory than is free.");
    }
    const ChildEnd end = reader.finish();
    if (!reply.complete)
        throw std::runtime_error(failure(request.path, limits, end));
    if (!reply.refusal.empty())
        throw std::runtime_error(reply.refusal);
    return reply;
}

NetCdfRequest requestFor(const std::string& path, const NetCdfLimits& limits) {
    NetCdfRequest request;
    request.path = path;
    request.maxValues = limits.maxValues;
    request.memoryLimit = limits.reader.memory;
    return request;
}

} // namespace

std::vector<NetCdfVariable> netCdfVariables(const std::string& path, const NetCdfLimits& limits) {
    NetCdfRequest request = requestFor(path, limits);
    request.listOnly = true;
    return ask(request, limits).variables;
}

NetCdfLoad readNetCdf(const std::string& path, const std::vector<std::string>& wanted,
                      const NetCdfLimits& limits) {
    NetCdfRequest request = requestFor(path, limits);
    request.wanted = wanted;
    NetCdfReply reply = ask(request, limits);
    if (reply.file.values.variableNames.empty())
        throw std::runtime_error(path + " could not be read: the NetCDF reader sent no variables.");
    reply.file.path = path;
    return {std::move(reply.file), std::move(reply.notes)};
}

} // namespace qelmar::standin
