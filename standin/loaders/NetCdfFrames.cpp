#include "loaders/NetCdfFrames.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace qelmar::standin {

namespace {

// Names, titles and notes are short; a longer text means the frames are garbage.
constexpr std::uint64_t longestText = 1 << 20;

class FrameReader {
public:
    FrameReader(const ByteSource& source, const std::string& origin, std::size_t maxValues)
        : m_source(source)
        , m_origin(origin)
        , m_maxValues(maxValues) {}

    NetCdfReply read() {
        NetCdfReply reply;
        while (true) {
            char kind = 0;
            std::uint64_t bytes = 0;
            if (!m_source(&kind, 1) || !m_source(&bytes, sizeof bytes))
                return reply;
            if (kind == netcdfframe::end) {
                checkComplete(reply);
                reply.complete = true;
                return reply;
            }
            if (kind == netcdfframe::values) {
                if (!readValues(reply, bytes))
                    return reply;
                continue;
            }
            std::string payload;
            if (!readText(bytes, payload))
                return reply;
            if (kind == netcdfframe::refusal) {
                reply.refusal = payload.empty() ? m_origin + " could not be read." : payload;
                reply.complete = true;
                return reply;
            }
            take(reply, kind, payload);
        }
    }

private:
    [[noreturn]] void garbled(const std::string& what) const {
        throw std::runtime_error(m_origin + " could not be read: the NetCDF reader sent " + what + ".");
    }

    bool readText(std::uint64_t bytes, std::string& text) {
        if (bytes > longestText)
            garbled("a text of " + std::to_string(bytes) + " bytes");
        text.resize(static_cast<std::size_t>(bytes));
        return bytes == 0 || m_source(text.data(), text.size());
    }

    static std::vector<std::uint64_t> numbersOf(const std::string& payload) {
        std::vector<std::uint64_t> numbers(payload.size() / sizeof(std::uint64_t));
        if (!numbers.empty())
            std::memcpy(numbers.data(), payload.data(), numbers.size() * sizeof(std::uint64_t));
        return numbers;
    }

    void take(NetCdfReply& reply, char kind, const std::string& payload) {
        switch (kind) {
        case netcdfframe::listing: {
            const std::size_t split = payload.find('\0');
            if (split == std::string::npos)
                garbled("a variable without its state");
            const std::size_t grid = payload.find('\0', split + 1);
            const std::string reason = payload.substr(split + 1, grid - std::min(grid, split + 1));
            reply.variables.push_back({payload.substr(0, split), reason,
                                       grid == std::string::npos ? std::string() : payload.substr(grid + 1)});
            return;
        }
        case netcdfframe::title:
            reply.file.values.title = payload;
            return;
        case netcdfframe::name:
            if (m_steps > 0)
                garbled("a variable after the values");
            reply.file.values.variableNames.push_back(payload);
            return;
        case netcdfframe::dimensions:
            if (payload.size() % sizeof(std::uint64_t) != 0 || payload.size() > 3 * sizeof(std::uint64_t))
                garbled("dimensions that are not I, J and K");
            for (const std::uint64_t size : numbersOf(payload))
                reply.file.values.dimensions.push_back(static_cast<std::size_t>(size));
            return;
        case netcdfframe::shape:
            takeShape(reply, payload);
            return;
        case netcdfframe::note:
            reply.notes.push_back(payload);
            return;
        default:
            garbled("a frame of unknown kind " + std::to_string(static_cast<unsigned char>(kind)));
        }
    }

    void takeShape(NetCdfReply& reply, const std::string& payload) {
        if (payload.size() != 2 * sizeof(std::uint64_t) || m_steps > 0)
            garbled("a second or malformed shape");
        const std::vector<std::uint64_t> shape = numbersOf(payload);
        const std::uint64_t variables = reply.file.values.variableNames.size();
        if (shape[1] == 0 || variables == 0)
            garbled("a shape without steps or variables");
        // Overflow-safe: points x steps x variables must stay within what a load may take.
        const std::uint64_t limit = m_maxValues;
        if (shape[0] > limit || shape[1] > limit || (shape[0] && shape[1] > limit / shape[0]) ||
            (shape[0] * shape[1] != 0 && variables > limit / (shape[0] * shape[1])))
            garbled(std::to_string(shape[0]) + " points in " + std::to_string(shape[1]) +
                    " steps, more than a load may take");
        std::uint64_t product = 1;
        for (const std::size_t size : reply.file.values.dimensions)
            product = size && product > limit / size ? limit + 1 : product * size;
        if (!reply.file.values.dimensions.empty() && product != shape[0])
            garbled("dimensions that do not multiply to the points");
        m_points = static_cast<std::size_t>(shape[0]);
        m_steps = static_cast<std::size_t>(shape[1]);
        reply.file.laterSteps.resize(m_steps - 1);
        for (ZoneValues& step : reply.file.laterSteps) {
            step.title = reply.file.values.title;
            step.variableNames = reply.file.values.variableNames;
            step.dimensions = reply.file.values.dimensions;
        }
    }

    ZoneValues& stepAt(NetCdfReply& reply, std::size_t step) {
        return step == 0 ? reply.file.values : reply.file.laterSteps[step - 1];
    }

    bool readValues(NetCdfReply& reply, std::uint64_t bytes) {
        const std::size_t variables = reply.file.values.variableNames.size();
        if (m_steps == 0 || m_received >= m_steps * variables)
            garbled("values beyond the declared shape");
        if (bytes != static_cast<std::uint64_t>(m_points) * sizeof(double))
            garbled("a variable of " + std::to_string(bytes) + " bytes where " + std::to_string(m_points) +
                    " values belong");
        std::vector<double>* values = nullptr;
        try {
            values = &stepAt(reply, m_received / variables).values.emplace_back(m_points);
        } catch (const std::bad_alloc&) {
            const std::uint64_t total = static_cast<std::uint64_t>(m_points) * m_steps * variables;
            throw std::runtime_error(m_origin + " could not be loaded: its " + std::to_string(total) +
                                     " values (" + std::to_string(total * sizeof(double) >> 20) +
                                     " MB) need more memory than is free.");
        }
        ++m_received;
        return m_points == 0 || m_source(values->data(), m_points * sizeof(double));
    }

    void checkComplete(const NetCdfReply& reply) const {
        if (m_steps > 0 && m_received != m_steps * reply.file.values.variableNames.size())
            garbled("fewer values than it declared");
    }

    const ByteSource& m_source;
    const std::string& m_origin;
    std::size_t m_maxValues;
    std::size_t m_points = 0;
    std::size_t m_steps = 0;
    std::size_t m_received = 0;
};

} // namespace

NetCdfReply decodeNetCdfReply(const ByteSource& source, const std::string& origin, std::size_t maxValues) {
    return FrameReader(source, origin, maxValues).read();
}

void NetCdfFrameWriter::header(char kind, std::uint64_t bytes) {
    const double padding[512] = {};
    while (m_owed > 0) {
        const std::uint64_t part = std::min<std::uint64_t>(m_owed, sizeof padding);
        m_sink(padding, static_cast<std::size_t>(part));
        m_owed -= part;
    }
    m_sink(&kind, 1);
    m_sink(&bytes, sizeof bytes);
}

void NetCdfFrameWriter::text(char kind, const std::string& text) {
    header(kind, text.size());
    if (!text.empty())
        m_sink(text.data(), text.size());
}

void NetCdfFrameWriter::numbers(char kind, const std::vector<std::uint64_t>& numbers) {
    header(kind, numbers.size() * sizeof(std::uint64_t));
    if (!numbers.empty())
        m_sink(numbers.data(), numbers.size() * sizeof(std::uint64_t));
}

void NetCdfFrameWriter::beginValues(std::uint64_t count) {
    header(netcdfframe::values, count * sizeof(double));
    m_owed = count * sizeof(double);
}

void NetCdfFrameWriter::valuesPart(const double* values, std::size_t count) {
    const std::uint64_t bytes = std::min<std::uint64_t>(count * sizeof(double), m_owed);
    if (bytes > 0)
        m_sink(values, static_cast<std::size_t>(bytes));
    m_owed -= bytes;
}

void NetCdfFrameWriter::end() {
    header(netcdfframe::end, 0);
}

} // namespace qelmar::standin
