#pragma once

#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/RelevanceInterface.h"
#include "propertyframework/SignalConnectionCollection.h"

#include <boost/bind/bind.hpp>

namespace qelmar::sdk::ui::propertymanager {

// A relevance that follows the value of one property. Every value change notifies, whether or
// not the answer changed.
template <typename T> class PropertyDependentRelevanceAbstract : public virtual RelevanceInterface {
public:
    explicit PropertyDependentRelevanceAbstract(std::shared_ptr<const PropertyAbstract<T>> property)
        : m_property(std::move(property)) {
        m_connections.add(m_property->connectToValueChangedSignal(boost::bind(
            &PropertyDependentRelevanceAbstract::propertyValueChanged, this, boost::placeholders::_1)));
    }

    bool isRelevant() const override { return isRelevantValue(m_property->retrieveValue()); }
    virtual bool isRelevantValue(const T& value) const = 0;

    const std::shared_ptr<const PropertyAbstract<T>>& property() const noexcept { return m_property; }

private:
    void propertyValueChanged(const T&) { emitRelevanceChanged(); }

    std::shared_ptr<const PropertyAbstract<T>> m_property;
    SignalConnectionCollection m_connections;
};

} // namespace qelmar::sdk::ui::propertymanager
