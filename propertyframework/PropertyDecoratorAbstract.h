#pragma once

#include "propertyframework/PropertyAbstract.h"

#include <boost/bind/bind.hpp>
#include <boost/signals2/shared_connection_block.hpp>

namespace qelmar {

// Base of properties that wrap another property of the same type and put their own validator
// in front of it. A concrete decorator stores through the decorated property's setValue (use
// setDecoratedValue) and reads through its retrieveValue; changes of the decorated property
// made elsewhere are announced as the decorator's own.
template <typename T> class PropertyDecoratorAbstract : public PropertyAbstract<T> {
public:
    PropertyDecoratorAbstract(PropertyPtr<T> decorated, ValidatorPtr<T> validator)
        : PropertyAbstract<T>(std::move(validator))
        , m_decorated(std::move(decorated))
        , m_decoratedConnection(m_decorated->connectToValueChangedSignal(
              boost::bind(&PropertyDecoratorAbstract::decoratedValueChanged, this, boost::placeholders::_1),
              PropertyAbstract<T>::defaultPriority)) {}

    const PropertyPtr<T>& decorated() const noexcept { return m_decorated; }

protected:
    // The decorated property's full setValue, with its validator and its own announcement. The
    // decorator announces the change itself when its setValue completes, so it does not also
    // echo the decorated property's announcement.
    void setDecoratedValue(const T& value) {
        boost::signals2::shared_connection_block ignoreOwnChange(m_decoratedConnection);
        m_decorated->setValue(value);
    }

    void decoratedValueChanged(const T&) { this->emitValueChangedSignal(this->retrieveValue()); }

private:
    PropertyPtr<T> m_decorated;
    boost::signals2::scoped_connection m_decoratedConnection;
};

} // namespace qelmar
