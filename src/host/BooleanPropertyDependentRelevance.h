#pragma once

#include "propertyframework/PropertyDependentRelevanceAbstract.h"

namespace qelmar::sdk::ui::propertymanager {

// Relevant while a boolean property is true; notifies on every change of the property.
class BooleanPropertyDependentRelevance : public PropertyDependentRelevanceAbstract<bool> {
public:
    explicit BooleanPropertyDependentRelevance(std::shared_ptr<const PropertyAbstract<bool>> property);
    ~BooleanPropertyDependentRelevance() override;

    bool isRelevantValue(const bool& value) const override;
};

} // namespace qelmar::sdk::ui::propertymanager
