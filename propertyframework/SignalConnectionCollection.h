#pragma once

#include <boost/signals2/connection.hpp>
#include <boost/signals2/shared_connection_block.hpp>

#include <algorithm>
#include <vector>

namespace qelmar::sdk {

// Owns connections: they are disconnected when the collection is cleared or destroyed, so an
// observer never outlives its subscriptions.
class SignalConnectionCollection {
public:
    SignalConnectionCollection() = default;
    SignalConnectionCollection(const SignalConnectionCollection&) = delete;
    SignalConnectionCollection& operator=(const SignalConnectionCollection&) = delete;
    ~SignalConnectionCollection() { clear(); }

    void add(const boost::signals2::connection& connection) {
        dropDisconnected();
        m_connections.push_back(connection);
    }

    void clear() {
        // Swap first: a slot disconnected here may destroy an object that adds to this collection.
        std::vector<boost::signals2::connection> connections;
        connections.swap(m_connections);
        for (auto& connection : connections)
            connection.disconnect();
    }

    bool empty() const noexcept { return m_connections.empty(); }
    std::size_t size() const noexcept { return m_connections.size(); }

    // Blocks every connection of the collection while it lives.
    class ConnectionBlocker {
    public:
        explicit ConnectionBlocker(const SignalConnectionCollection& collection) {
            m_blocks.reserve(collection.m_connections.size());
            for (const auto& connection : collection.m_connections)
                m_blocks.emplace_back(connection);
        }
        ConnectionBlocker(const ConnectionBlocker&) = delete;
        ConnectionBlocker& operator=(const ConnectionBlocker&) = delete;

    private:
        std::vector<boost::signals2::shared_connection_block> m_blocks;
    };

private:
    void dropDisconnected() {
        // Connections of destroyed signals would otherwise pile up in long-lived collections.
        if (m_connections.size() < 8)
            return;
        m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(),
                                           [](const auto& c) { return !c.connected(); }),
                            m_connections.end());
    }

    std::vector<boost::signals2::connection> m_connections;
};

} // namespace qelmar::sdk
