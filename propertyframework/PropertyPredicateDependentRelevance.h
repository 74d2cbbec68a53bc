#pragma once

#include "propertyframework/PropertyItemInterface.h"
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
                                        Predicate predicate);
    ~PropertyPredicateDependentRelevance() override;

    bool isRelevant() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::propertymanager
