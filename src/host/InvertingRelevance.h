#pragma once

#include "propertyframework/RelevanceInterface.h"
#include "propertyframework/SignalConnectionCollection.h"

namespace qelmar::sdk::ui::propertymanager {

// The negation of another relevance; notifies whenever the operand notifies.
class InvertingRelevance : public virtual RelevanceInterface {
public:
    explicit InvertingRelevance(RelevancePtr operand);
    ~InvertingRelevance() override;

    bool isRelevant() const override;

private:
    RelevancePtr m_operand;
    SignalConnectionCollection m_connections;
};

} // namespace qelmar::sdk::ui::propertymanager
