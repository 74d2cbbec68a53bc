#pragma once

#include "propertyframework/RelevanceInterface.h"

namespace qelmar::sdk::ui::propertymanager {

// A relevance fixed at construction, for controls that always or never apply.
class SimpleBooleanRelevance : public virtual RelevanceInterface {
public:
    explicit SimpleBooleanRelevance(bool relevant);

    bool isRelevant() const override;

private:
    const bool m_relevant;
};

} // namespace qelmar::sdk::ui::propertymanager
