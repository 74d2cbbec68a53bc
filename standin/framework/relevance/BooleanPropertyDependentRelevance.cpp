#include "host/BooleanPropertyDependentRelevance.h"

namespace qelmar::sdk::ui::propertymanager {

BooleanPropertyDependentRelevance::BooleanPropertyDependentRelevance(
    std::shared_ptr<const PropertyAbstract<bool>> property)
    : PropertyDependentRelevanceAbstract<bool>(std::move(property)) {}

BooleanPropertyDependentRelevance::~BooleanPropertyDependentRelevance() = default;

bool BooleanPropertyDependentRelevance::isRelevantValue(const bool& value) const {
    return value;
}

} // namespace qelmar::sdk::ui::propertymanager
