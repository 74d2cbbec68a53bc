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
    connectToPropertyChangedSignal(const PropertyChangedSignal::slot_type& slot) const
    {
        auto connection = m_signalPropertyChanged.connect(slot);
        signalPropertyChangedConnected();
        return connection;
    }

protected:
    virtual void signalPropertyChangedConnected() const {}

    mutable PropertyChangedSignal m_signalPropertyChanged;
};

} // namespace qelmar
