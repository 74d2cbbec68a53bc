#include "host/SimpleBooleanRelevance.h"

namespace qelmar::sdk::ui::propertymanager {

SimpleBooleanRelevance::SimpleBooleanRelevance(bool relevant)
    : m_relevant(relevant) {}

bool SimpleBooleanRelevance::isRelevant() const {
    return m_relevant;
}

} // namespace qelmar::sdk::ui::propertymanager
