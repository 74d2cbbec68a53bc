#include "host/OnIdleActionPerformerSingleShot.h"

#include <QTimer>

namespace qelmar::sdk::ui {

struct OnIdleActionPerformerSingleShot::Impl {
    std::function<void()> action;
    // A zero-interval single-shot timer fires once the event loop has nothing else to do.
    QTimer timer;
};

OnIdleActionPerformerSingleShot::OnIdleActionPerformerSingleShot(std::function<void()> action)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->action = std::move(action);
    m_impl->timer.setSingleShot(true);
    m_impl->timer.setInterval(0);
    QObject::connect(&m_impl->timer, &QTimer::timeout, [impl = m_impl.get()] { impl->action(); });
}

OnIdleActionPerformerSingleShot::~OnIdleActionPerformerSingleShot() = default;

void OnIdleActionPerformerSingleShot::enableNotification() {
    if (!m_impl->timer.isActive())
        m_impl->timer.start();
}

bool OnIdleActionPerformerSingleShot::isPending() const {
    return m_impl->timer.isActive();
}

void OnIdleActionPerformerSingleShot::flush() {
    if (!m_impl->timer.isActive())
        return;
    m_impl->timer.stop();
    m_impl->action();
}

} // namespace qelmar::sdk::ui
