#pragma once

#include <boost/signals2/signal.hpp>

#include <memory>
#include <optional>
#include <utility>

namespace qelmar {

// The signal type of every property, relevance and model. Slots are grouped by an integer
// priority: groups are notified in ascending order, within a group in connection order.
template <typename Signature> using Signal = boost::signals2::signal<Signature>;

using NotificationPriority = int;

// A signal that its owner holds through a shared pointer and every emission through a copy of
// it, so that a slot may destroy the owner while it is notified. The owner closes it when it
// goes: every slot is disconnected, so nothing more is delivered on the owner's behalf.
template <typename Signature> class SharedSignal {
public:
    using SignalType = boost::signals2::signal<Signature>;
    using slot_type = typename SignalType::slot_type;

    SharedSignal() = default;
    SharedSignal(const SharedSignal&) = delete;
    SharedSignal& operator=(const SharedSignal&) = delete;

    SignalType& signal() noexcept { return m_signal; }
    const SignalType& signal() const noexcept { return m_signal; }

    void close() { m_signal.disconnect_all_slots(); }

    // Static, so that `self` and not the caller's member keeps the signal alive.
    template <typename... Args> static void notify(std::shared_ptr<SharedSignal> self, Args&&... args) {
        self->m_signal(std::forward<Args>(args)...);
    }
#ifndef emit // Qt's keyword macro of that name would swallow the member's name
    template <typename... Args>
    [[deprecated("use notify")]] static void emit(std::shared_ptr<SharedSignal> self, Args&&... args) {
        notify(std::move(self), std::forward<Args>(args)...);
    }
#endif

private:
    SignalType m_signal;
};

// The signal of a changing value. Slots are handed the value announced last, not a copy: when a
// slot sets the value again while it is notified, the slots after it that the older announcement
// still reaches see the newer value, so every slot ends with the final value and none hears a
// superseded one after it.
template <typename T> class ValueSignal : public SharedSignal<void(const T&)> {
public:
    static void announce(std::shared_ptr<ValueSignal> self, const T& value) {
        if (self->m_latest)
            *self->m_latest = value;
        else
            self->m_latest.emplace(value);
        self->signal()(*self->m_latest);
    }

private:
    // Assigned in place, so that references handed to slots stay valid.
    std::optional<T> m_latest;
};

} // namespace qelmar
