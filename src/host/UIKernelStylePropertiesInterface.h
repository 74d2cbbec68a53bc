#pragma once

#include "propertyframework/Signal.h"

namespace qelmar::sdk::ui::propertymanager {

// What observers of a set of kernel style properties can hear: the set is ready, and the set
// was submitted to the kernel.
class UIKernelStylePropertiesInterface {
public:
    using NotificationSignal = Signal<void()>;

    UIKernelStylePropertiesInterface() = default;
    UIKernelStylePropertiesInterface(const UIKernelStylePropertiesInterface&) = delete;
    UIKernelStylePropertiesInterface& operator=(const UIKernelStylePropertiesInterface&) = delete;
    virtual ~UIKernelStylePropertiesInterface() = default;

    boost::signals2::connection connectToInitializedSignal(const NotificationSignal::slot_type& slot) {
        auto connection = m_signalInitialized.connect(slot);
        signalInitializedConnected();
        return connection;
    }

    boost::signals2::connection connectToSubmittedSignal(const NotificationSignal::slot_type& slot) {
        auto connection = m_signalSubmitted.connect(slot);
        signalSubmittedConnected();
        return connection;
    }

protected:
    virtual void signalInitializedConnected() {}
    virtual void signalSubmittedConnected() {}

    void emitInitializedSignal() { m_signalInitialized(); }
    void emitSubmittedSignal() { m_signalSubmitted(); }

private:
    NotificationSignal m_signalInitialized;
    NotificationSignal m_signalSubmitted;
};

} // namespace qelmar::sdk::ui::propertymanager
