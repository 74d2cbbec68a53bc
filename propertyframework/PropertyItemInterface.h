#pragma once

#include "propertyframework/Signal.h"

namespace qelmar {

// Untyped root of every property: it only says that the value changed.
class PropertyItemInterface {
public:
    using PropertyChangedSignal = SharedSignal<void()>;

    PropertyItemInterface()
        : m_propertyChanged(std::make_shared<PropertyChangedSignal>()) {}
    PropertyItemInterface(const PropertyItemInterface&) = delete;
    PropertyItemInterface& operator=(const PropertyItemInterface&) = delete;
    virtual ~PropertyItemInterface() { m_propertyChanged->close(); }

    boost::signals2::connection
    connectToPropertyChangedSignal(const PropertyChangedSignal::slot_type& slot) const {
        if (!m_propertyChangedEverConnected) {
            m_propertyChangedEverConnected = true;
            firstPropertyChangedListenerConnecting();
        }
        auto connection = m_propertyChanged->signal().connect(slot);
        signalPropertyChangedConnected();
        return connection;
    }

protected:
    virtual void signalPropertyChangedConnected() const {}

    // Called once, before the first untyped listener connects: a typed property starts
    // forwarding its value changes only then, so that the many properties nobody watches
    // untyped pay nothing for it.
    virtual void firstPropertyChangedListenerConnecting() const {}

    // Asking the signal takes its lock; most properties never get an untyped listener, so the
    // flag answers for them without it.
    bool hasPropertyChangedListeners() const {
        return m_propertyChangedEverConnected && !m_propertyChanged->signal().empty();
    }

    void emitPropertyChangedSignal() const { PropertyChangedSignal::notify(m_propertyChanged); }

private:
    // Shared with every announcement in progress: a listener may destroy the property.
    std::shared_ptr<PropertyChangedSignal> m_propertyChanged;
    mutable bool m_propertyChangedEverConnected = false;
};

} // namespace qelmar
