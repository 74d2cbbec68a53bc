#pragma once

#include "host/Signal.h"

namespace qelmar {

// Untyped root of every property: it only says that the value changed.
class PropertyItemInterface {
public:
    using PropertyChangedSignal = Signal<void()>;

    PropertyItemInterface() = default;
    PropertyItemInterface(const PropertyItemInterface&) = delete;
    PropertyItemInterface& operator=(const PropertyItemInterface&) = delete;
    virtual ~PropertyItemInterface() = default;

    boost::signals2::connection
    connectToPropertyChangedSignal(const PropertyChangedSignal::slot_type& slot) const {
        m_propertyChangedEverConnected = true;
        auto connection = m_signalPropertyChanged.connect(slot);
        signalPropertyChangedConnected();
        return connection;
    }

protected:
    virtual void signalPropertyChangedConnected() const {}

    // Asking the signal takes its lock; most properties never get an untyped listener, so the
    // flag answers for them without it.
    bool hasPropertyChangedListeners() const {
        return m_propertyChangedEverConnected && !m_signalPropertyChanged.empty();
    }

    void emitPropertyChangedSignal() const { m_signalPropertyChanged(); }

private:
    mutable PropertyChangedSignal m_signalPropertyChanged;
    mutable bool m_propertyChangedEverConnected = false;
};

} // namespace qelmar
