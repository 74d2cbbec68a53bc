#pragma once

#include <boost/signals2/signal.hpp>

#include <cstdint>
#include <memory>
#include <utility>

namespace qelmar {

// The signal type of every property, relevance and model. Slots are grouped by an integer
// priority: groups are notified in ascending order, within a group in connection order.
template <typename Signature> using Signal = boost::signals2::signal<Signature>;

using NotificationPriority = int;

namespace detail {

struct EmissionState {
    std::uint64_t latest = 0;
    bool closed = false;
};

// Calls the slots of one emission in order, but none after a slot started a newer emission
// of the same signal (those slots heard the newer one already, and the older one would reach
// them stale) or after the signal's owner closed it.
class LatestEmissionOnly {
public:
    using result_type = void;

    explicit LatestEmissionOnly(EmissionState* state = nullptr) noexcept
        : m_state(state) {}

    template <typename SlotIterator> void operator()(SlotIterator slot, SlotIterator end) const {
        const std::uint64_t emission = ++m_state->latest;
        for (; slot != end; ++slot) {
            if (m_state->closed || m_state->latest != emission)
                return;
            *slot;
        }
    }

private:
    EmissionState* m_state;
};

} // namespace detail

// A signal for values that change: a slot may set the value again while it is notified (the
// older emission then stops, so that every slot ends with the final value) and may destroy the
// signal's owner. The owner holds it through a shared pointer, every emission holds a copy,
// and the owner closes it when it dies, so that nothing is delivered on its behalf any more.
template <typename Signature> class LatestValueSignal {
public:
    using SignalType = boost::signals2::signal<Signature, detail::LatestEmissionOnly>;
    using slot_type = typename SignalType::slot_type;

    LatestValueSignal()
        : m_signal(detail::LatestEmissionOnly(&m_state)) {}
    LatestValueSignal(const LatestValueSignal&) = delete;
    LatestValueSignal& operator=(const LatestValueSignal&) = delete;

    SignalType& signal() noexcept { return m_signal; }
    const SignalType& signal() const noexcept { return m_signal; }

    void close() noexcept { m_state.closed = true; }

    // Static, so that `self` and not the caller's member keeps the signal alive.
    template <typename... Args> static void emit(std::shared_ptr<LatestValueSignal> self, Args&&... args) {
        self->m_signal(std::forward<Args>(args)...);
    }

private:
    detail::EmissionState m_state;
    SignalType m_signal;
};

} // namespace qelmar
