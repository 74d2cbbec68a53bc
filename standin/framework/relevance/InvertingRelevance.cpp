#include "host/InvertingRelevance.h"

#include <stdexcept>

namespace qelmar::sdk::ui::propertymanager {

InvertingRelevance::InvertingRelevance(RelevancePtr operand)
    : m_operand(std::move(operand)) {
    if (!m_operand)
        throw std::invalid_argument("InvertingRelevance: null operand");
    m_connections.add(m_operand->connectToRelevanceChangedSignal([this] { emitRelevanceChanged(); }));
}

InvertingRelevance::~InvertingRelevance() = default;

bool InvertingRelevance::isRelevant() const {
    return !m_operand->isRelevant();
}

} // namespace qelmar::sdk::ui::propertymanager
