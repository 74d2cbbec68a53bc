#include "host/OnIdleAfterPropertyChangeActionPerformer.h"

#include "host/OnIdleActionPerformerSingleShot.h"
#include "propertyframework/SignalConnectionCollection.h"

namespace qelmar::sdk::ui {

struct OnIdleAfterPropertyChangeActionPerformer::Impl {
    explicit Impl(std::function<void()> action)
        : performer(std::move(action)) {}

    OnIdleActionPerformerSingleShot performer;
    bool enabled = true;
    SignalConnectionCollection connections;
};

OnIdleAfterPropertyChangeActionPerformer::OnIdleAfterPropertyChangeActionPerformer(
    std::function<void()> action)
    : m_impl(std::make_unique<Impl>(std::move(action))) {}

OnIdleAfterPropertyChangeActionPerformer::~OnIdleAfterPropertyChangeActionPerformer() = default;

void OnIdleAfterPropertyChangeActionPerformer::watch(const boost::signals2::connection& connection) {
    m_impl->connections.add(connection);
}

void OnIdleAfterPropertyChangeActionPerformer::propertyChanged() {
    if (m_impl->enabled)
        m_impl->performer.enableNotification();
}

void OnIdleAfterPropertyChangeActionPerformer::enable(bool enabled) {
    m_impl->enabled = enabled;
}

bool OnIdleAfterPropertyChangeActionPerformer::isEnabled() const {
    return m_impl->enabled;
}

bool OnIdleAfterPropertyChangeActionPerformer::isPending() const {
    return m_impl->performer.isPending();
}

} // namespace qelmar::sdk::ui
