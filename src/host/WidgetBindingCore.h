#pragma once

#include "host/BindingInterface.h"
#include "propertyframework/ExceptionBase.h"
#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/SignalConnectionCollection.h"

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace qelmar::sdk::ui::dialogs {

class PropertyBindingInterface;

// What every tie between dialog state and widgets does the same way, whether it binds a value
// (the property bindings) or only applies a relevance (RelevanceApplier):
// - bringing the widgets up to date at once or, deferred, once at the next idle moment however
//   many changes come before; with its own connections blocked, so that showing a value never
//   comes back as a user's edit; and never letting a property's failure escape into Qt;
// - showing or hiding, enabling or disabling the widgets as a condition says;
// - committing a user's edit under the application lock, showing a refused value to the user
//   and putting the widget back.
// Widgets destroyed before the core are left alone.
class WidgetBindingCore {
public:
    using WidgetUpdateMode = BindingInterface::WidgetUpdateMode_e;

    WidgetBindingCore(std::vector<QWidget*> widgets, int widgetUpdateMode,
                      std::function<void()> updateWidget = {});
    WidgetBindingCore(QWidget* widget, int widgetUpdateMode, std::function<void()> updateWidget = {});
    WidgetBindingCore(const WidgetBindingCore&) = delete;
    WidgetBindingCore& operator=(const WidgetBindingCore&) = delete;
    ~WidgetBindingCore();

    // The first widget; null once it was destroyed.
    QWidget* widget() const;
    WidgetUpdateMode widgetUpdateMode() const;

    // Something the widget shows changed.
    void valueChanged();
    // What the widget offers (its model) changed: always waits for the idle moment, when the
    // model's own announcements are over.
    void updateValueOnIdle();
    // Runs the update now. A property that raises while it is read is reported to the user.
    void updateWidgetNow();

    // The widgets are shown (enabled) while the condition holds. It is asked at once when
    // applied, and after visibilityChanged() (sensitivityChanged()) at once or at idle.
    void setVisibilityCondition(std::function<bool()> holds);
    void setSensitivityCondition(std::function<bool()> holds);
    void visibilityChanged();
    void sensitivityChanged();
    void applyVisibility();
    void applySensitivity();
    // Visibility and sensitivity follow the binding's two states.
    void followStatesOf(const PropertyBindingInterface& binding);

    template <typename T> void listenTo(const PropertyAbstract<T>& property) {
        addConnection(property.connectToValueChangedSignalUnique([this](const T&) { valueChanged(); }));
    }
    // Listeners to the widget go here too, so that updating the widget does not come back as
    // a user edit.
    void addConnection(const boost::signals2::connection& connection);
    SignalConnectionCollection::ConnectionBlocker blockOwnConnections() const;
    // For owners whose connections reach members that go before the core.
    void disconnectAll();

    // Stores a user's edit under the application lock. A value the property refuses is shown
    // to the user, the widget goes back to the property's value and the focus returns to it
    // (or to focusWidget). True when stored.
    bool commitUserEdit(const std::function<void()>& store, QWidget* focusWidget = nullptr);
    // Puts the property's value back and gives the focus to the widget, so that the user can
    // correct what was refused.
    void restoreWidget(QWidget* focusWidget = nullptr);

    // Tells the user about a failure that must not unwind through Qt's event delivery.
    static void reportFailure(const ExceptionBase& failure);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
