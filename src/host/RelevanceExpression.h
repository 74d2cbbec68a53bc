#pragma once

#include "propertyframework/RelevanceInterface.h"
#include "propertyframework/SignalConnectionCollection.h"

#include <memory>
#include <vector>

namespace qelmar::sdk::ui::propertymanager {

// Combines relevances left to right with "and" and "or". Create it through std::make_shared,
// chain aand()/oor(), then convert it to a relevance pointer: the conversion shares ownership
// with the pointer that created the expression, so it needs one to exist.
class RelevanceExpression : public virtual RelevanceInterface,
                            public std::enable_shared_from_this<RelevanceExpression> {
public:
    explicit RelevanceExpression(RelevancePtr firstOperand);
    ~RelevanceExpression() override;

    // The letters are doubled because `and` and `or` are C++ keywords. There is no precedence:
    // a.oor(b).aand(c) is (a or b) and c.
    // Logical and: relevant while the expression so far and the operand are both relevant.
    RelevanceExpression& aand(RelevancePtr operand);
    // Logical or: relevant while the expression so far or the operand is relevant.
    RelevanceExpression& oor(RelevancePtr operand);

    operator std::shared_ptr<RelevanceInterface>();
    operator std::shared_ptr<const RelevanceInterface>() const;

    bool isRelevant() const override;

private:
    enum class Combination { And, Or };
    struct Term {
        Combination combination;
        RelevancePtr operand;
    };

    RelevanceExpression& append(Combination combination, RelevancePtr operand);

    std::vector<Term> m_terms;
    SignalConnectionCollection m_connections;
};

} // namespace qelmar::sdk::ui::propertymanager
