#pragma once

#include "host/CheckedStyleValue.h"
#include "host/StateChangeEventObservable.h"
#include "propertyframework/SignalConnectionCollection.h"
#include "styleproperties/KernelPropertyAbstract.h"
#include "styleproperties/KernelValueTransfer.h"
#include "styleproperties/ReusableArgList.h"
#include "styleproperties/StyleIdentifierPath.h"

#include <boost/bind/bind.hpp>

namespace qelmar::sdk::styleproperties {

// A property that reads and writes a kernel style value immediately. It keeps the last value
// it read or wrote; every read asks the kernel again and announces a value that changed behind
// its back. While anyone listens to its value-changed signal it also follows the kernel's
// state changes, so changes made elsewhere in the application reach the listeners.
template <typename T> class KernelProperty : public KernelPropertyAbstract<T> {
public:
    explicit KernelProperty(const toolbox::StyleValue& styleValue, long firstOffset = noOffset,
                            long secondOffset = noOffset)
        : PropertyAbstract<T>()
        , m_cache()
        , m_styleValue(styleValue)
        , m_path(m_styleValue)
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
        T fetched{};
        const GetValueReturnCode_e code = readKernel(fetched);
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
        ReusableArgList::Lease lease(m_args);
        m_styleValue.setupSetValueArgList(m_path.data(), nullptr, m_firstOffset, m_secondOffset,
                                          toolbox::StyleValue::assignOperator, lease.args());
        const SetValueReturnCode_e code = detail::writeToKernel(m_styleValue, lease.args(), value);
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
        // setValue announces the stored value once. A read made while the kernel handles the
        // write (a listener of another property on this style value asking this one) only
        // catches up.
        const SilentReads silent(*this);
        const SetValueReturnCode_e code = applyValue(value);
        m_forceWrite = code == SetValue_AcceptedMayDiffer;
        if (m_forceWrite) {
            // Take what the kernel made of the value; setValue announces it.
            retrieveValue();
            return;
        }
        if (toolbox::StyleValue::returnCodeOk(code))
            return;
        throw InvalidPropertyValueException(detail::lastStyleErrorMessage());
    }

    // After an answer that the kernel may hold the value differently, a comparison proves
    // nothing: the next setValue writes again.
    bool isEqual(const T& value) const override { return !m_forceWrite && value == retrieveValue(); }

    // An accepted write left the cache holding what the kernel holds (after an answer that the
    // kernel may hold it differently, storeValue read it back), so there is nothing to ask.
    T valueAfterStore() const override { return m_cache; }

private:
    // The slot every property connects to chain its typed signal to the untyped one.
    static constexpr std::size_t chainingSlots = 1;

    GetValueReturnCode_e readKernel(T& fetched) const {
        ReusableArgList::Lease lease(m_args);
        m_styleValue.setupGetValueArgList(m_path.data(), m_firstOffset, m_secondOffset, lease.args());
        return detail::readFromKernel(m_styleValue, lease.args(), fetched);
    }

    // For its lifetime reads update the cache without announcing a change.
    class SilentReads {
    public:
        explicit SilentReads(const KernelProperty& property)
            : m_fireOnRead(property.m_fireOnRead)
            , m_saved(m_fireOnRead) {
            m_fireOnRead = false;
        }
        ~SilentReads() { m_fireOnRead = m_saved; }
        SilentReads(const SilentReads&) = delete;
        SilentReads& operator=(const SilentReads&) = delete;

    private:
        bool& m_fireOnRead;
        bool m_saved;
    };

    void refreshSilently() const {
        const SilentReads silent(*this);
        retrieveValue();
    }

    void subscribe() const {
        m_stateConnections.add(StateChangeEventObservable::getInstance().connectToStateChangeSignal(
            boost::bind(&KernelProperty<T>::stateChanged, this, boost::placeholders::_1)));
    }

    mutable T m_cache;
    toolbox::CheckedStyleValue m_styleValue;
    // The style value's names never change, nor do their identifiers.
    const StyleIdentifierPath m_path;
    mutable ReusableArgList m_args;
    long m_firstOffset;
    long m_secondOffset;
    bool m_forceWrite = false;
    mutable bool m_fireOnRead = true;
    // Last, so that it disconnects before anything the slot uses is gone.
    mutable SignalConnectionCollection m_stateConnections;
};

} // namespace qelmar::sdk::styleproperties
