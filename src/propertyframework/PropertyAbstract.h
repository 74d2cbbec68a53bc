#pragma once

#include "host/PropertyItemInterface.h"
#include "propertyframework/AllowAnyValueValidator.h"
#include "propertyframework/InvalidPropertyValueException.h"

#include <boost/signals2/connection.hpp>

#include <memory>

namespace qelmar {

// A typed, validated, observable value. setValue() is the only way to change it: it
// validates, stores only a value that differs and then announces the value read back.
template <typename T>
class PropertyAbstract : public PropertyItemInterface {
public:
    using ValueType = T;
    using ValueChangedSignal = Signal<void(const T&)>;

    // The chaining slot and the listeners that managers install use this priority.
    static constexpr NotificationPriority defaultPriority = 1;

    explicit PropertyAbstract(ValidatorPtr<T> validator = nullptr)
        : m_validator(validator ? std::move(validator) : AllowAnyValueValidator<T>::instance())
    {
        m_chainToPropertyChanged = m_signalValueChanged.connect(
            defaultPriority, [this](const T&) { callBaseClassSignalIfThereAreListeners(); });
    }

    void setValue(const T& value)
    {
        validate(value);
        if (isEqual(value))
            return;
        storeValue(value);
        emitValueChangedSignal(retrieveValue());
    }

    virtual T retrieveValue() const = 0;

    template <typename Slot>
    boost::signals2::connection connectToValueChangedSignal(const Slot& slot,
                                                            NotificationPriority priority = defaultPriority) const
    {
        m_signalValueChanged.disconnect(slot);
        auto connection = m_signalValueChanged.connect(priority, slot);
        signalValueChangedConnected();
        return connection;
    }

    // Connects a slot that cannot be compared (a lambda, a bound tracked slot): no check for
    // an earlier equal connection is possible, so callers connect such slots once.
    boost::signals2::connection
    connectToValueChangedSignalUnique(const typename ValueChangedSignal::slot_type& slot,
                                      NotificationPriority priority = defaultPriority) const
    {
        auto connection = m_signalValueChanged.connect(priority, slot);
        signalValueChangedConnected();
        return connection;
    }

    void callBaseClassSignalIfThereAreListeners() const
    {
        if (!m_signalPropertyChanged.empty())
            m_signalPropertyChanged();
    }

    const ValidatorPtr<T>& validator() const noexcept { return m_validator; }

    std::size_t valueChangedSlotCount() const { return m_signalValueChanged.num_slots(); }

    virtual void signalValueChangedConnected() const {}

protected:
    virtual void storeValue(const T& value) = 0;

    virtual bool isEqual(const T& value) const { return value == retrieveValue(); }

    virtual void validate(const T& value) const
    {
        const ValidationResult result = m_validator->validate(value);
        if (!result.isValid())
            throw InvalidPropertyValueException(result.errorString());
    }

    virtual void emitValueChangedSignal(const T& value) const { m_signalValueChanged(value); }

private:
    mutable ValueChangedSignal m_signalValueChanged;
    ValidatorPtr<T> m_validator;
    boost::signals2::scoped_connection m_chainToPropertyChanged;
};

template <typename T>
using PropertyPtr = std::shared_ptr<PropertyAbstract<T>>;

} // namespace qelmar
