#include "host/RelevanceExpression.h"

#include <stdexcept>

namespace qelmar::sdk::ui::propertymanager {

RelevanceExpression::RelevanceExpression(RelevancePtr firstOperand) {
    append(Combination::Or, std::move(firstOperand));
}

RelevanceExpression::~RelevanceExpression() = default;

RelevanceExpression& RelevanceExpression::aand(RelevancePtr operand) {
    return append(Combination::And, std::move(operand));
}

RelevanceExpression& RelevanceExpression::oor(RelevancePtr operand) {
    return append(Combination::Or, std::move(operand));
}

RelevanceExpression& RelevanceExpression::append(Combination combination, RelevancePtr operand) {
    if (!operand)
        throw std::invalid_argument("RelevanceExpression: null operand");
    m_connections.add(operand->connectToRelevanceChangedSignal([this] { emitRelevanceChanged(); }));
    m_terms.push_back({combination, std::move(operand)});
    return *this;
}

RelevanceExpression::operator std::shared_ptr<RelevanceInterface>() {
    return shared_from_this();
}

RelevanceExpression::operator std::shared_ptr<const RelevanceInterface>() const {
    return shared_from_this();
}

bool RelevanceExpression::isRelevant() const {
    // The first term's combination is irrelevant: "false or x" is x.
    bool relevant = false;
    for (const Term& term : m_terms) {
        if (term.combination == Combination::And)
            relevant = relevant && term.operand->isRelevant();
        else
            relevant = relevant || term.operand->isRelevant();
    }
    return relevant;
}

} // namespace qelmar::sdk::ui::propertymanager
