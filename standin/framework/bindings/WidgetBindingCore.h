#pragma once

// Internal to the framework's bindings: what every binding between a property and a widget
// does the same way (deferred updates, visibility and sensitivity, committing a user's edit).

#include "host/OnIdleActionPerformerSingleShot.h"
#include "host/PropertyBindingInterface.h"
#include "host/SignalConnectionCollection.h"
#include "propertyframework/PropertyAbstract.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace qelmar::standin::framework {

class WidgetBindingCore {
public:
    using WidgetUpdateMode = sdk::ui::dialogs::BindingInterface::WidgetUpdateMode_e;

    WidgetBindingCore(sdk::ui::dialogs::PropertyBindingInterface& binding, QWidget* widget,
                      WidgetUpdateMode mode, std::function<void()> updateWidget);
    WidgetBindingCore(const WidgetBindingCore&) = delete;
    WidgetBindingCore& operator=(const WidgetBindingCore&) = delete;
    ~WidgetBindingCore();

    // Null once the widget was destroyed: a binding may outlive its widget.
    QWidget* widget() const { return m_widget.data(); }

    // Something the widget shows changed: update it now, or once at the next idle moment
    // however many changes come before.
    void valueChanged();

    template <typename T> void listenTo(const PropertyAbstract<T>& property) {
        m_connections.add(property.connectToValueChangedSignalUnique([this](const T&) { valueChanged(); }));
    }

    // Listeners to the widget go here too, so that updating the widget does not come back as
    // a user edit.
    void addConnection(const boost::signals2::connection& connection) { m_connections.add(connection); }

    void updateWidgetNow();

    // Stores a user's edit under the application lock. A value the property refuses is shown
    // to the user and the widget goes back to the property's value. True when stored.
    bool commitUserEdit(const std::function<void()>& store);

private:
    void applyVisibility();
    void applySensitivity();
    void schedule(sdk::ui::OnIdleActionPerformerSingleShot& performer, void (WidgetBindingCore::*apply)());

    sdk::ui::dialogs::PropertyBindingInterface& m_binding;
    QPointer<QWidget> m_widget;
    const WidgetUpdateMode m_mode;
    std::function<void()> m_updateWidget;
    sdk::ui::OnIdleActionPerformerSingleShot m_widgetUpdate;
    sdk::ui::OnIdleActionPerformerSingleShot m_visibilityUpdate;
    sdk::ui::OnIdleActionPerformerSingleShot m_sensitivityUpdate;
    sdk::SignalConnectionCollection m_connections;
};

} // namespace qelmar::standin::framework
