#pragma once

#include "host/CheckedStyleValue.h"
#include "host/SignalConnectionCollection.h"
#include "host/StateChangeEventObservable.h"
#include "propertyframework/styleproperties/KernelPropertyAbstract.h"
#include "propertyframework/styleproperties/KernelValueTransfer.h"
#include "propertyframework/styleproperties/StyleIdentifierPath.h"

#include <boost/bind/bind.hpp>

namespace qelmar::sdk::styleproperties {

// A property that reads and writes a kernel style value immediately. It keeps the last value
// it read or wrote; every read asks the kernel again and announces a value that changed behind
// its back. While anyone listens to its value-changed signal it also follows the kernel's
// state changes, so changes made elsewhere in the application reach the listeners.
template <typename T> class KernelProperty : public KernelPropertyAbstract<T> {
public:
    explicit KernelProperty(const toolbox::StyleValue& styleValue, long firstOffset = -1,
                            long secondOffset = -1)
        : PropertyAbstract<T>()
        , m_cache()
        , m_styleValue(styleValue)
        , m_firstOffset(firstOffset)
        , m_secondOffset(secondOffset) {
        retrieveValue();
    }

    void setOffsets(long firstOffset, long secondOffset) override {
        m_firstOffset = firstOffset;
        m_secondOffset = secondOffset;
        retrieveValue();
    }

    ~KernelProperty() override = default;

    T retrieveValue() const override {
        const StyleIdentifierPath path(m_styleValue);
        toolbox::ArgList args;
        m_styleValue.setupGetValueArgList(path.data(), m_firstOffset, m_secondOffset, args);
        T fetched{};
        const GetValueReturnCode_e code = detail::readFromKernel(m_styleValue, args, fetched);
        if (!toolbox::StyleValue::returnCodeOk(code) || detail::sameReading(fetched, m_cache))
            return m_cache;
        m_cache = fetched;
        if (m_fireOnRead)
            this->emitValueChangedSignal(m_cache);
        return m_cache;
    }

    void signalValueChangedConnected() const override {
        if (isSubscribed())
            return;
        // Not subscribed, the cache may be stale. The first listener should hear only of changes
        // made after it connected, so catch up without announcing.
        if (this->valueChangedSlotCount() == chainingSlots + 1)
            refreshSilently();
        subscribe();
    }

    // Writes to the kernel and returns the kernel's answer; the cache follows an accepted value.
    SetValueReturnCode_e applyValue(const T& value) {
        // The write makes the kernel announce a state change; this property knows of it already.
        const SignalConnectionCollection::ConnectionBlocker blocker(m_stateConnections);
        const StyleIdentifierPath path(m_styleValue);
        toolbox::ArgList args;
        m_styleValue.setupSetValueArgList(path.data(), nullptr, m_firstOffset, m_secondOffset,
                                          toolbox::StyleValue::assignOperator, args);
        const SetValueReturnCode_e code = detail::writeToKernel(m_styleValue, args, value);
        // A duplicate still tells what the kernel holds.
        if (toolbox::StyleValue::returnCodeOk(code))
            m_cache = value;
        return code;
    }

    void stateChanged(const StateChangeEventInterface& event) const {
        // Only the chaining slot left: nobody listens any more, so stop following the kernel;
        // the next listener subscribes again.
        if (event.kind() == StateChange_Shutdown || this->valueChangedSlotCount() <= chainingSlots) {
            m_stateConnections.clear();
            return;
        }
        retrieveValue();
    }

    bool isSubscribed() const noexcept { return !m_stateConnections.empty(); }
    long firstOffset() const noexcept { return m_firstOffset; }
    long secondOffset() const noexcept { return m_secondOffset; }
    const toolbox::StyleValue& styleValue() const noexcept { return m_styleValue; }

protected:
    void storeValue(const T& value) override {
        const SetValueReturnCode_e code = applyValue(value);
        m_forceWrite = code == SetValue_AcceptedMayDiffer;
        if (m_forceWrite) {
            // Take what the kernel made of the value without announcing it: setValue announces
            // the value read back, and listeners should hear of this write once.
            refreshSilently();
            return;
        }
        if (toolbox::StyleValue::returnCodeOk(code))
            return;
        throw InvalidPropertyValueException(detail::lastStyleErrorMessage());
    }

    // After an answer that the kernel may hold the value differently, a comparison proves
    // nothing: the next setValue writes again.
    bool isEqual(const T& value) const override { return !m_forceWrite && value == retrieveValue(); }

private:
    // The slot every property connects to chain its typed signal to the untyped one.
    static constexpr std::size_t chainingSlots = 1;

    void refreshSilently() const {
        const bool fireOnRead = m_fireOnRead;
        m_fireOnRead = false;
        retrieveValue();
        m_fireOnRead = fireOnRead;
    }

    void subscribe() const {
        m_stateConnections.add(StateChangeEventObservable::getInstance().connectToStateChangeSignal(
            boost::bind(&KernelProperty<T>::stateChanged, this, boost::placeholders::_1)));
    }

    mutable T m_cache;
    toolbox::CheckedStyleValue m_styleValue;
    long m_firstOffset;
    long m_secondOffset;
    bool m_forceWrite = false;
    mutable bool m_fireOnRead = true;
    // Last, so that it disconnects before anything the slot uses is gone.
    mutable SignalConnectionCollection m_stateConnections;
};

} // namespace qelmar::sdk::styleproperties
