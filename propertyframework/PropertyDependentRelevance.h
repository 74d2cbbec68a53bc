#pragma once

#include "propertyframework/PropertyDependentRelevanceAbstract.h"

#include <initializer_list>
#include <set>

namespace qelmar::sdk::ui::propertymanager {

// Relevant while the property holds one of the relevant values.
template <typename T> class PropertyDependentRelevance : public PropertyDependentRelevanceAbstract<T> {
public:
    PropertyDependentRelevance(std::shared_ptr<const PropertyAbstract<T>> property, const T& relevantValue)
        : PropertyDependentRelevanceAbstract<T>(std::move(property))
        , m_relevantValues{relevantValue} {}

    PropertyDependentRelevance(std::shared_ptr<const PropertyAbstract<T>> property,
                               std::initializer_list<T> relevantValues)
        : PropertyDependentRelevanceAbstract<T>(std::move(property))
        , m_relevantValues(relevantValues) {}

    bool isRelevantValue(const T& value) const override { return m_relevantValues.count(value) > 0; }

    const std::set<T>& relevantValues() const noexcept { return m_relevantValues; }

private:
    std::set<T> m_relevantValues;
};

} // namespace qelmar::sdk::ui::propertymanager
