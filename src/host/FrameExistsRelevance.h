#pragma once

#include "propertyframework/RelevanceInterface.h"

namespace qelmar::sdk::ui::propertymanager {

// True while the application has a frame. Asks the kernel every time, so it is right even
// when nobody told it that frames came or went; callRelevanceChanged() tells the observers
// to ask again.
class FrameExistsRelevance : public virtual RelevanceInterface {
public:
    FrameExistsRelevance() = default;

    bool isRelevant() const override;
    void callRelevanceChanged() const;
};

} // namespace qelmar::sdk::ui::propertymanager
