#pragma once

#include "host/PropertyBindingInterface.h"
#include "host/WidgetBindingCore.h"
#include "propertyframework/PropertyAbstract.h"

#include <boost/bind/bind.hpp>

namespace qelmar::sdk::ui::dialogs::propertybindings {

// Base of the bindings between one property and one widget. A property change updates the
// widget at once or, in deferred mode, once at the next idle moment however many changes come
// before; the widget's visibility and enabled state follow the binding's states the same way.
//
// Every connection of a binding lives in its core, which blocks them while it writes into the
// widget, so showing a value never comes back as an edit.
template <typename T>
class UIPropertyBindingAbstract : public virtual PropertyBindingInterface, public virtual BindingInterface {
public:
    using WidgetUpdateMode = BindingInterface::WidgetUpdateMode_e;

    UIPropertyBindingAbstract(const UIPropertyBindingAbstract&) = delete;
    UIPropertyBindingAbstract& operator=(const UIPropertyBindingAbstract&) = delete;

    virtual void updateWidget() = 0;
    virtual void updateVisibility() { m_core.applyVisibility(); }
    virtual void updateSensitivity() { m_core.applySensitivity(); }
    // For changes of what the widget offers (a model), which always wait for the idle moment.
    virtual void updateValueOnIdle() { m_core.updateValueOnIdle(); }

    void valueChanged() { m_core.valueChanged(); }
    void visibilityChanged() { m_core.visibilityChanged(); }
    void sensitivityChanged() { m_core.sensitivityChanged(); }

    void startListeningToProperty() {
        m_core.addConnection(m_property->connectToValueChangedSignal(
            boost::bind(&UIPropertyBindingAbstract::valueChanged, this)));
        m_core.followStatesOf(*this);
    }

    const PropertyPtr<T>& property() const noexcept { return m_property; }
    // Null once the widget was destroyed: a binding may outlive its widget.
    QWidget* widget() const { return m_core.widget(); }
    WidgetUpdateMode widgetUpdateMode() const { return m_core.widgetUpdateMode(); }

protected:
    UIPropertyBindingAbstract(QWidget* widget, PropertyPtr<T> property, WidgetUpdateMode mode)
        : m_property(std::move(property))
        , m_core(widget, mode, [this] { updateWidget(); }) {
        startListeningToProperty();
    }

    WidgetBindingCore& core() noexcept { return m_core; }

    // Brings the widget up to date now, the way a property change would.
    void refreshWidget() { m_core.updateWidgetNow(); }

    // Stores a user's choice; see WidgetBindingCore::commitUserEdit.
    bool commitValue(const T& value) {
        return m_core.commitUserEdit([this, &value] { m_property->setValue(value); });
    }

private:
    PropertyPtr<T> m_property;
    WidgetBindingCore m_core;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings
