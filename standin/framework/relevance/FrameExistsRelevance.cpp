#include "host/FrameExistsRelevance.h"

#include "host/KernelFrames.h"
#include "host/StateChangeEventObservable.h"

#include <boost/signals2/connection.hpp>

namespace qelmar::sdk::ui::propertymanager {

struct FrameExistsRelevance::Impl {
    boost::signals2::scoped_connection frameChanges;
};

FrameExistsRelevance::FrameExistsRelevance()
    : m_impl(std::make_unique<Impl>()) {
    m_impl->frameChanges = StateChangeEventObservable::getInstance().connectToStateChangeSignalUnique(
        [this](const StateChangeEventInterface& event) {
            if (event.kind() == StateChange_FramesAltered)
                callRelevanceChanged();
        });
}

FrameExistsRelevance::~FrameExistsRelevance() = default;

bool FrameExistsRelevance::isRelevant() const {
    return QelUtilFrameExists();
}

void FrameExistsRelevance::callRelevanceChanged() const {
    emitRelevanceChanged();
}

} // namespace qelmar::sdk::ui::propertymanager
