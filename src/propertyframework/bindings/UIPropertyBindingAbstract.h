#pragma once

#include "host/AppLock.h"
#include "host/KernelMessages.h"
#include "host/OnIdleActionPerformerSingleShot.h"
#include "host/PropertyBindingInterface.h"
#include "host/SignalConnectionCollection.h"
#include "propertyframework/InvalidPropertyValueException.h"
#include "propertyframework/PropertyAbstract.h"

#include <QPointer>
#include <QWidget>

#include <boost/bind/bind.hpp>

#include <memory>

namespace qelmar::sdk::ui::dialogs::propertybindings {

// Base of the bindings between one property and one widget. A property change updates the
// widget at once or, in deferred mode, once at the next idle moment however many changes come
// before; the widget's visibility and enabled state follow the binding's states the same way.
//
// Every connection of a binding lives in its collection. Derived bindings block that
// collection while they write into the widget, so showing a value never comes back as an edit.
template <typename T>
class UIPropertyBindingAbstract : public virtual PropertyBindingInterface, public virtual BindingInterface {
public:
    using WidgetUpdateMode = BindingInterface::WidgetUpdateMode_e;

    UIPropertyBindingAbstract(const UIPropertyBindingAbstract&) = delete;
    UIPropertyBindingAbstract& operator=(const UIPropertyBindingAbstract&) = delete;

    ~UIPropertyBindingAbstract() override { m_connections.clear(); }

    virtual void updateWidget() = 0;

    virtual void updateVisibility() {
        if (m_widget)
            m_widget->setVisible(visibilityState().isActive());
    }

    virtual void updateSensitivity() {
        if (m_widget)
            m_widget->setEnabled(sensitivityState().isActive());
    }

    // For changes of what the widget offers (a model), which always wait for the idle moment.
    virtual void updateValueOnIdle() { m_widgetUpdate.enableNotification(); }

    void valueChanged() { schedule(m_widgetUpdate, &UIPropertyBindingAbstract::updateWidget); }
    void visibilityChanged() { schedule(*m_visibilityUpdate, &UIPropertyBindingAbstract::updateVisibility); }
    void sensitivityChanged() {
        schedule(*m_sensitivityUpdate, &UIPropertyBindingAbstract::updateSensitivity);
    }

    void startListeningToProperty() {
        m_connections.add(m_property->connectToValueChangedSignal(
            boost::bind(&UIPropertyBindingAbstract::valueChanged, this)));
        m_connections.add(visibilityState().connectToChangedSignal([this] { visibilityChanged(); }));
        m_connections.add(sensitivityState().connectToChangedSignal([this] { sensitivityChanged(); }));
    }

    const PropertyPtr<T>& property() const noexcept { return m_property; }
    // Null once the widget was destroyed: a binding may outlive its widget.
    QWidget* widget() const { return m_widget.data(); }
    WidgetUpdateMode widgetUpdateMode() const noexcept { return m_mode; }

protected:
    UIPropertyBindingAbstract(QWidget* widget, PropertyPtr<T> property, WidgetUpdateMode mode)
        : m_mode(mode)
        , m_property(std::move(property))
        , m_widget(widget)
        , m_widgetUpdate([this] { updateWidget(); })
        , m_visibilityUpdate(
              std::make_unique<OnIdleActionPerformerSingleShot>([this] { updateVisibility(); }))
        , m_sensitivityUpdate(
              std::make_unique<OnIdleActionPerformerSingleShot>([this] { updateSensitivity(); })) {
        startListeningToProperty();
    }

    SignalConnectionCollection& connections() noexcept { return m_connections; }

    SignalConnectionCollection::ConnectionBlocker blockOwnConnections() const {
        return SignalConnectionCollection::ConnectionBlocker(m_connections);
    }

    // Stores a user's choice under the application lock. A value the property refuses is shown
    // to the user; the widget goes back to the property's value and the focus returns to it.
    bool commitValue(const T& value) {
        const AppLock lock(0);
        try {
            m_property->setValue(value);
            return true;
        } catch (const InvalidPropertyValueException& refused) {
            showRefusal(refused);
        }
        restoreWidget();
        return false;
    }

    static void showRefusal(const InvalidPropertyValueException& refused) {
        if (!refused.message().empty())
            QelUtilDialogMessageBox(refused.message().c_str(), MessageBox_Error);
    }

    // Puts the property's value back into the widget and gives it the focus again, so that the
    // user can correct what was refused.
    void restoreWidget(QWidget* focusWidget = nullptr) {
        updateWidget();
        QWidget* target = focusWidget ? focusWidget : m_widget.data();
        if (!target)
            return;
        target->activateWindow();
        target->setFocus(Qt::OtherFocusReason);
    }

private:
    void schedule(OnIdleActionPerformerSingleShot& performer, void (UIPropertyBindingAbstract::*update)()) {
        if (m_mode == BindingInterface::WidgetUpdate_Immediate)
            (this->*update)();
        else
            performer.enableNotification();
    }

    const WidgetUpdateMode m_mode;
    PropertyPtr<T> m_property;
    QPointer<QWidget> m_widget;
    OnIdleActionPerformerSingleShot m_widgetUpdate;
    std::unique_ptr<OnIdleActionPerformerSingleShot> m_visibilityUpdate;
    std::unique_ptr<OnIdleActionPerformerSingleShot> m_sensitivityUpdate;
    SignalConnectionCollection m_connections;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings
