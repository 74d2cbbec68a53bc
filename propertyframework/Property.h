#pragma once

#include "propertyframework/PropertyAbstract.h"

namespace qelmar {

// A property whose value lives in the library.
template <typename T> class Property : public PropertyAbstract<T> {
public:
    explicit Property(T initialValue = T(), ValidatorPtr<T> validator = nullptr)
        : PropertyAbstract<T>(std::move(validator))
        , m_value(std::move(initialValue)) {}

    T retrieveValue() const override { return m_value; }

protected:
    void storeValue(const T& value) override { m_value = value; }

private:
    T m_value;
};

} // namespace qelmar
