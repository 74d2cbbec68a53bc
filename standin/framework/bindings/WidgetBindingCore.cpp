#include "framework/bindings/WidgetBindingCore.h"

#include "host/AppLock.h"
#include "host/KernelMessages.h"
#include "propertyframework/InvalidPropertyValueException.h"

namespace qelmar::standin::framework {

using sdk::ui::dialogs::BindingInterface;

WidgetBindingCore::WidgetBindingCore(sdk::ui::dialogs::PropertyBindingInterface& binding, QWidget* widget,
                                     WidgetUpdateMode mode, std::function<void()> updateWidget)
    : m_binding(binding)
    , m_widget(widget)
    , m_mode(mode)
    , m_updateWidget(std::move(updateWidget))
    , m_widgetUpdate([this] { updateWidgetNow(); })
    , m_visibilityUpdate([this] { applyVisibility(); })
    , m_sensitivityUpdate([this] { applySensitivity(); }) {
    m_connections.add(binding.visibilityState().connectToChangedSignal(
        [this] { schedule(m_visibilityUpdate, &WidgetBindingCore::applyVisibility); }));
    m_connections.add(binding.sensitivityState().connectToChangedSignal(
        [this] { schedule(m_sensitivityUpdate, &WidgetBindingCore::applySensitivity); }));
}

WidgetBindingCore::~WidgetBindingCore() {
    m_connections.clear();
}

void WidgetBindingCore::valueChanged() {
    schedule(m_widgetUpdate, &WidgetBindingCore::updateWidgetNow);
}

void WidgetBindingCore::schedule(sdk::ui::OnIdleActionPerformerSingleShot& performer,
                                 void (WidgetBindingCore::*apply)()) {
    if (m_mode == BindingInterface::WidgetUpdate_Immediate)
        (this->*apply)();
    else
        performer.enableNotification();
}

void WidgetBindingCore::updateWidgetNow() {
    if (!m_widget)
        return;
    const sdk::SignalConnectionCollection::ConnectionBlocker blocker(m_connections);
    m_updateWidget();
}

void WidgetBindingCore::applyVisibility() {
    if (m_widget)
        m_widget->setVisible(m_binding.visibilityState().isActive());
}

void WidgetBindingCore::applySensitivity() {
    if (m_widget)
        m_widget->setEnabled(m_binding.sensitivityState().isActive());
}

bool WidgetBindingCore::commitUserEdit(const std::function<void()>& store) {
    const sdk::AppLock lock(0);
    try {
        store();
        return true;
    } catch (const InvalidPropertyValueException& refused) {
        if (!refused.message().empty())
            QelUtilDialogMessageBox(refused.message().c_str(), MessageBox_Error);
    }
    updateWidgetNow();
    if (m_widget) {
        m_widget->activateWindow();
        m_widget->setFocus(Qt::OtherFocusReason);
    }
    return false;
}

} // namespace qelmar::standin::framework
