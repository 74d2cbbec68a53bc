#include "host/FrameExistsRelevance.h"

#include "host/KernelFrames.h"

namespace qelmar::sdk::ui::propertymanager {

bool FrameExistsRelevance::isRelevant() const {
    return QelUtilFrameExists();
}

void FrameExistsRelevance::callRelevanceChanged() const {
    emitRelevanceChanged();
}

} // namespace qelmar::sdk::ui::propertymanager
