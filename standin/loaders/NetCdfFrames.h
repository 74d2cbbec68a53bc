#pragma once

// Internal to the NetCDF loader: what the reader process sends back through its pipe. Every
// frame is a kind byte, a uint64 byte count in the machine's order (both ends are the same
// program) and that many bytes:
//
//     'V' listing     name, zero byte, why it is skipped, zero byte, its grid when not the usual one
//     'T' title       text
//     'N' name        a loaded variable, in order
//     'D' dimensions  uint64 I, J, K of an ordered zone (none for a list of points)
//     'H' shape       uint64 points per step, uint64 steps
//     'I' note        text for the user (what was skipped)
//     'X' values      float64 x points: the next variable of the current step
//     'E' refusal     text for the user; ends the reply
//     'Z' end         the reply is complete
//
// A reply without its end frame means the reader died on the file.

#include "loaders/ZoneValues.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qelmar::standin {

namespace netcdfframe {
constexpr char listing = 'V', title = 'T', name = 'N', dimensions = 'D', shape = 'H', note = 'I',
               values = 'X', refusal = 'E', end = 'Z';
} // namespace netcdfframe

struct NetCdfVariable {
    std::string name;
    // Empty for a variable that can be loaded, else why it is skipped.
    std::string skippedBecause;
    // For a loadable variable on another grid than the one a load takes unless told otherwise,
    // that grid, e.g. "(lat, lon) in steps of time"; empty otherwise.
    std::string otherGrid;
};

// What one file gave: its variables (listing) or its values with notes on what was skipped.
struct NetCdfReply {
    std::vector<NetCdfVariable> variables;
    FileZone file;
    std::vector<std::string> notes;
    std::string refusal; // non-empty when the reader refused the file
    bool complete = false;
};

// Fills `size` bytes; false when the stream ends first.
using ByteSource = std::function<bool(void* data, std::size_t size)>;

// Reads frames until the end frame, a refusal or the end of the stream. Throws
// std::runtime_error naming `origin` when the frames contradict each other, and never allocates
// more than `maxValues` doubles for values, whatever the frames claim.
NetCdfReply decodeNetCdfReply(const ByteSource& source, const std::string& origin, std::size_t maxValues);

// The child's side: frames out through `sink`.
class NetCdfFrameWriter {
public:
    using Sink = std::function<void(const void* data, std::size_t size)>;
    explicit NetCdfFrameWriter(Sink sink)
        : m_sink(std::move(sink)) {}

    void text(char kind, const std::string& text);
    void numbers(char kind, const std::vector<std::uint64_t>& numbers);
    // A values frame of `count` doubles, whose bytes follow through `valuesPart` calls.
    void beginValues(std::uint64_t count);
    void valuesPart(const double* values, std::size_t count);
    void end();

private:
    void header(char kind, std::uint64_t bytes);

    Sink m_sink;
    // Bytes still owed to the open values frame: a refusal in the middle of a variable pads it
    // first, so that the reader still finds the refusal.
    std::uint64_t m_owed = 0;
};

} // namespace qelmar::standin
