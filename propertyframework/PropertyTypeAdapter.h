#pragma once

#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/PropertyTypeAdapterConversions.h"

#include <boost/bind/bind.hpp>
#include <boost/signals2/shared_connection_block.hpp>

#include <functional>

namespace qelmar {

// Presents a property of type S as a property of type D, for widgets that work with another
// type than the property they edit. Reading converts the source's value; storing converts back
// and sets the source, so the source's validator still decides. Any failure on the way reaches
// the caller as "Invalid value.".
template <typename D, typename S> class PropertyTypeAdapter : public PropertyAbstract<D> {
public:
    using ToDesired = std::function<D(const S&)>;
    using ToSource = std::function<S(const D&)>;

    // Asks the source's validator about the converted value; a value that cannot be converted
    // is invalid.
    class AdapterValidator : public ValidatorInterface<D> {
    public:
        AdapterValidator(PropertyPtr<S> source, ToSource toSource)
            : m_source(std::move(source))
            , m_toSource(std::move(toSource)) {}

        ValidationResult validate(const D& value) const override {
            S converted;
            try {
                converted = m_toSource(value);
            } catch (const ExceptionBase&) {
                ValidationResult invalid;
                invalid.setErrorString(invalidValueMessage());
                return invalid;
            }
            return m_source->validator()->validate(converted);
        }

    private:
        PropertyPtr<S> m_source;
        ToSource m_toSource;
    };

    explicit PropertyTypeAdapter(PropertyPtr<S> source, ToDesired toDesired = &defaultToDesiredValue<D, S>,
                                 ToSource toSource = &defaultToSourceValue<D, S>)
        : PropertyAbstract<D>(std::make_shared<AdapterValidator>(source, toSource))
        , m_source(std::move(source))
        , m_toDesired(std::move(toDesired))
        , m_toSource(std::move(toSource)) {
        init();
    }

    D retrieveValue() const override { return m_toDesired(m_source->retrieveValue()); }

    const PropertyPtr<S>& source() const noexcept { return m_source; }

    static std::string invalidValueMessage() { return "Invalid value."; }

protected:
    void storeValue(const D& value) override {
        // The adapter announces the change itself once the store is complete; hearing the
        // source's announcement as well would make it twice.
        boost::signals2::shared_connection_block ignoreOwnChange(m_sourceConnection);
        try {
            m_source->setValue(m_toSource(value));
        } catch (const ExceptionBase&) {
            throw InvalidPropertyValueException(invalidValueMessage());
        }
    }

    // A source value that has no representation in D is never equal to anything.
    bool isEqual(const D& value) const override {
        try {
            return value == retrieveValue();
        } catch (const ExceptionBase&) {
            return false;
        }
    }

private:
    void init() {
        m_sourceConnection = m_source->connectToValueChangedSignal(
            boost::bind(&PropertyTypeAdapter::sourceValueChanged, this, boost::placeholders::_1),
            PropertyAbstract<D>::defaultPriority);
    }

    void sourceValueChanged(const S& value) {
        D converted;
        try {
            converted = m_toDesired(value);
        } catch (const ExceptionBase&) {
            // A source value without a representation here cannot be announced; throwing would
            // abort the source's own notification of its other listeners.
            return;
        }
        this->emitValueChangedSignal(converted);
    }

    PropertyPtr<S> m_source;
    ToDesired m_toDesired;
    ToSource m_toSource;
    // Disconnects when the adapter goes, so the source never calls into a destroyed adapter.
    boost::signals2::scoped_connection m_sourceConnection;
};

} // namespace qelmar
