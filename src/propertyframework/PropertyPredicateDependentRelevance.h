#pragma once

#include "host/PropertyItemInterface.h"
#include "host/SignalConnectionCollection.h"
#include "propertyframework/RelevanceInterface.h"

#include <functional>
#include <memory>

namespace qelmar::sdk::ui::propertymanager {

// A relevance that a predicate decides, asked again whenever the property changes. The
// predicate usually reads the property, but need not.
class PropertyPredicateDependentRelevance : public virtual RelevanceInterface {
public:
    using Predicate = std::function<bool()>;

    PropertyPredicateDependentRelevance(std::shared_ptr<const PropertyItemInterface> property,
                                        Predicate predicate)
        : m_property(std::move(property))
        , m_predicate(std::move(predicate)) {
        m_connections.add(m_property->connectToPropertyChangedSignal([this] { emitRelevanceChanged(); }));
    }

    bool isRelevant() const override { return m_predicate(); }

private:
    std::shared_ptr<const PropertyItemInterface> m_property;
    Predicate m_predicate;
    SignalConnectionCollection m_connections;
};

} // namespace qelmar::sdk::ui::propertymanager
