#pragma once

#include "propertyframework/AllowAnyValueValidator.h"
#include "propertyframework/InvalidPropertyValueException.h"
#include "propertyframework/PropertyItemInterface.h"

#include <boost/signals2/connection.hpp>

#include <memory>

namespace qelmar {

// A typed, validated, observable value. setValue() is the only way to change it: it validates,
// stores only a value that differs and then announces the value read back after storing.
//
// Every value change is also announced on the untyped property-changed signal: a slot chained
// in front of all listeners of the default priority forwards it. The slot is connected when the
// first untyped listener connects; until then a value change notifies only the typed listeners.
//
// A listener may set the property again while it is notified: the listeners after it that the
// older announcement still reaches are handed the newer value, so every listener ends with the
// final value. A listener may also destroy the property's owner: the announcement keeps the
// signal alive, and the property disconnects every listener when it goes.
template <typename T> class PropertyAbstract : public PropertyItemInterface {
public:
    using ValueType = T;
    using ValueChangedSignal = ValueSignal<T>;

    // The chaining slot and the listeners that managers install use this priority.
    static constexpr NotificationPriority defaultPriority = 1;

    // Derived classes may inherit this class virtually; the most derived class then passes the
    // validator (or nothing, for one that accepts every value).
    explicit PropertyAbstract(ValidatorPtr<T> validator = nullptr)
        : m_valueChanged(std::make_shared<ValueChangedSignal>())
        , m_validator(validator ? std::move(validator) : AllowAnyValueValidator<T>::instance()) {}

    ~PropertyAbstract() override { m_valueChanged->close(); }

    void setValue(const T& value) {
        validate(value);
        if (isEqual(value))
            return;
        storeValue(value);
        emitValueChangedSignal(valueAfterStore());
    }

    virtual T retrieveValue() const = 0;

    // Connects a comparable slot (a function pointer or a bound member function) at the back of
    // its priority group. An equal slot connected before is disconnected first, so connecting
    // twice leaves one connection.
    template <typename Slot>
    boost::signals2::connection
    connectToValueChangedSignal(const Slot& slot, NotificationPriority priority = defaultPriority) const {
        m_valueChanged->signal().disconnect(slot);
        auto connection = m_valueChanged->signal().connect(priority, slot, boost::signals2::at_back);
        signalValueChangedConnected();
        return connection;
    }

    // Connects a slot that cannot be compared (a lambda, a tracked slot): no earlier equal
    // connection can be found, so callers connect such slots once.
    boost::signals2::connection
    connectToValueChangedSignalUnique(const typename ValueChangedSignal::slot_type& slot,
                                      NotificationPriority priority = defaultPriority) const {
        auto connection = m_valueChanged->signal().connect(priority, slot, boost::signals2::at_back);
        signalValueChangedConnected();
        return connection;
    }

    template <typename Slot> void disconnectFromValueChangedSignal(const Slot& slot) const {
        m_valueChanged->signal().disconnect(slot);
    }

    void callBaseClassSignalIfThereAreListeners() const {
        if (hasPropertyChangedListeners())
            emitPropertyChangedSignal();
    }

    // The validator object itself; wrappers ask it directly, without the property's own checks.
    const ValidatorPtr<T>& validator() const noexcept { return m_validator; }

    // Counts the chaining slot as connected even before it is, so that the count of a property
    // without listeners is the same whether or not anything ever listened to it untyped.
    std::size_t valueChangedSlotCount() const {
        return m_valueChanged->signal().num_slots() + (m_chainToPropertyChanged.connected() ? 0 : 1);
    }

    virtual void signalValueChangedConnected() const {}

protected:
    virtual void storeValue(const T& value) = 0;

    virtual bool isEqual(const T& value) const { return value == retrieveValue(); }

    // What setValue announces: the value read back after storeValue. A property that knows what
    // its storage holds after a store, without asking it again, answers from there.
    virtual T valueAfterStore() const { return retrieveValue(); }

    virtual void validate(const T& value) const {
        const ValidationResult result = m_validator->validate(value);
        if (!result.isValid())
            throw InvalidPropertyValueException(result.errorString());
    }

    virtual void emitValueChangedSignal(const T& value) const {
        ValueChangedSignal::announce(m_valueChanged, value);
    }

    void firstPropertyChangedListenerConnecting() const override {
        // At the front of the default group: where it would be had it been connected first.
        m_chainToPropertyChanged = m_valueChanged->signal().connect(
            defaultPriority, [this](const T&) { callBaseClassSignalIfThereAreListeners(); },
            boost::signals2::at_front);
    }

private:
    // Shared with every announcement in progress.
    std::shared_ptr<ValueChangedSignal> m_valueChanged;
    ValidatorPtr<T> m_validator;
    mutable boost::signals2::scoped_connection m_chainToPropertyChanged;
};

template <typename T> using PropertyPtr = std::shared_ptr<PropertyAbstract<T>>;
template <typename T> using ConstPropertyPtr = std::shared_ptr<const PropertyAbstract<T>>;

} // namespace qelmar
