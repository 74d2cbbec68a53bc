#pragma once

#include "host/StateChangeEventInterface.h"
#include "propertyframework/Signal.h"

namespace qelmar::sdk {

// The kernel's state changes as a signal, for the whole application. The instance registers
// with the kernel when first asked for and stays registered until the process ends.
class StateChangeEventObservable {
public:
    using StateChangeSignal = Signal<void(const StateChangeEventInterface&)>;

    // The process-wide instance, owned by the framework and alive until the process ends.
    static StateChangeEventObservable& getInstance();

    StateChangeEventObservable(const StateChangeEventObservable&) = delete;
    StateChangeEventObservable& operator=(const StateChangeEventObservable&) = delete;

    // Connects a comparable slot (a function pointer or a bound member function) at the back of
    // its priority group; an equal slot connected before is disconnected first, so an observer
    // is subscribed at most once.
    template <typename Slot>
    boost::signals2::connection connectToStateChangeSignal(const Slot& slot,
                                                           NotificationPriority priority = 1) {
        m_signalStateChange.disconnect(slot);
        return m_signalStateChange.connect(priority, slot, boost::signals2::at_back);
    }

    // Slots that cannot be compared (lambdas); callers connect them once.
    boost::signals2::connection connectToStateChangeSignalUnique(const StateChangeSignal::slot_type& slot,
                                                                 NotificationPriority priority = 1) {
        return m_signalStateChange.connect(priority, slot, boost::signals2::at_back);
    }

    std::size_t subscriberCount() const { return m_signalStateChange.num_slots(); }

private:
    StateChangeEventObservable();
    ~StateChangeEventObservable();

    static void kernelStateChanged(StateChange_e kind, void* observable);

    StateChangeSignal m_signalStateChange;
};

} // namespace qelmar::sdk
