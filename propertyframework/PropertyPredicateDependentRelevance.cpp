#include "propertyframework/PropertyPredicateDependentRelevance.h"

#include "propertyframework/SignalConnectionCollection.h"

namespace qelmar::sdk::ui::propertymanager {

struct PropertyPredicateDependentRelevance::Impl {
    Impl(std::shared_ptr<const PropertyItemInterface> property, Predicate predicate)
        : property(std::move(property))
        , predicate(std::move(predicate)) {}

    std::shared_ptr<const PropertyItemInterface> property;
    Predicate predicate;
    SignalConnectionCollection connections;
};

PropertyPredicateDependentRelevance::PropertyPredicateDependentRelevance(
    std::shared_ptr<const PropertyItemInterface> property, Predicate predicate)
    : m_impl(std::make_unique<Impl>(std::move(property), std::move(predicate))) {
    m_impl->connections.add(
        m_impl->property->connectToPropertyChangedSignal([this] { emitRelevanceChanged(); }));
}

PropertyPredicateDependentRelevance::~PropertyPredicateDependentRelevance() = default;

bool PropertyPredicateDependentRelevance::isRelevant() const {
    return m_impl->predicate();
}

} // namespace qelmar::sdk::ui::propertymanager
