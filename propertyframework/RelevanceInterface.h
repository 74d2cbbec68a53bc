#pragma once

#include "propertyframework/Signal.h"

#include <memory>

namespace qelmar::sdk::ui::propertymanager {

// Says whether a piece of a dialog applies right now. Consumers ask isRelevant() again on
// every notification: a notification does not promise that the answer changed.
class RelevanceInterface {
public:
    using RelevanceChangedSignal = Signal<void()>;

    RelevanceInterface() = default;
    RelevanceInterface(const RelevanceInterface&) = delete;
    RelevanceInterface& operator=(const RelevanceInterface&) = delete;

    virtual bool isRelevant() const = 0;

    boost::signals2::connection
    connectToRelevanceChangedSignal(const RelevanceChangedSignal::slot_type& slot) const {
        auto connection = m_signalRelevanceChanged.connect(slot);
        signalRelevanceChangedConnected();
        return connection;
    }

    virtual void signalRelevanceChangedConnected() const {}
    virtual ~RelevanceInterface() = default;

protected:
    void emitRelevanceChanged() const { m_signalRelevanceChanged(); }

private:
    mutable RelevanceChangedSignal m_signalRelevanceChanged;
};

using RelevancePtr = std::shared_ptr<const RelevanceInterface>;

} // namespace qelmar::sdk::ui::propertymanager
