#include "host/WidgetUpdateDeferrerOnBusy.h"

#include "host/OnIdleActionPerformerSingleShot.h"

#include <QPointer>
#include <QWidget>

namespace qelmar::sdk::ui {

struct WidgetUpdateDeferrerOnBusy::Impl {
    explicit Impl(QWidget& deferred)
        : widget(&deferred)
        , resume([this] { resumeUpdates(); }) {}

    void resumeUpdates() {
        if (!deferring)
            return;
        deferring = false;
        if (!widget)
            return;
        widget->setUpdatesEnabled(updatesWereEnabled);
        widget->update();
    }

    QPointer<QWidget> widget;
    bool deferring = false;
    // Updates the owner of the widget had switched off stay off.
    bool updatesWereEnabled = true;
    OnIdleActionPerformerSingleShot resume;
};

WidgetUpdateDeferrerOnBusy::WidgetUpdateDeferrerOnBusy(QWidget& widget)
    : m_impl(std::make_unique<Impl>(widget)) {}

WidgetUpdateDeferrerOnBusy::~WidgetUpdateDeferrerOnBusy() {
    m_impl->resumeUpdates();
}

void WidgetUpdateDeferrerOnBusy::busy() {
    if (!m_impl->widget)
        return;
    if (!m_impl->deferring) {
        m_impl->updatesWereEnabled = m_impl->widget->updatesEnabled();
        m_impl->widget->setUpdatesEnabled(false);
        m_impl->deferring = true;
    }
    m_impl->resume.enableNotification();
}

bool WidgetUpdateDeferrerOnBusy::isDeferring() const {
    return m_impl->deferring;
}

} // namespace qelmar::sdk::ui
