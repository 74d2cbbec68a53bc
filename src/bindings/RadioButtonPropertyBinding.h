#pragma once

#include "bindings/UIPropertyBindingAbstract.h"
#include "host/OnIdleActionPerformerSingleShot.h"
#include "host/QButtonObservable.h"

#include <QAbstractButton>
#include <QPointer>

namespace qelmar::sdk::ui::dialogs::propertybindings {

// Ties one radio button of a group to the value it stands for: the button is checked while the
// property holds that value, and checking it sets the value. The other buttons of the group
// follow through their own bindings to the same property.
template <typename T> class RadioButtonPropertyBinding : public UIPropertyBindingAbstract<T> {
public:
    using typename UIPropertyBindingAbstract<T>::WidgetUpdateMode;

    RadioButtonPropertyBinding(QAbstractButton* button, PropertyPtr<T> property, const T& buttonValue,
                               WidgetUpdateMode mode = BindingInterface::WidgetUpdate_Immediate)
        : UIPropertyBindingAbstract<T>(button, std::move(property), mode)
        , m_button(button)
        , m_buttonValue(buttonValue)
        , m_observable(*button)
        , m_recheck([this] { updateWidget(); }) {
        this->core().addConnection(m_observable.addListener(m_listener));
        this->refreshWidget();
    }

    ~RadioButtonPropertyBinding() override { this->core().disconnectAll(); }

    void updateWidget() override {
        if (!m_button)
            return;
        const auto blocker = this->core().blockOwnConnections();
        m_button->setChecked(this->property()->retrieveValue() == m_buttonValue);
    }

    const T& buttonValue() const noexcept { return m_buttonValue; }

private:
    struct QButtonListener : QButtonObservable::Listener {
        explicit QButtonListener(RadioButtonPropertyBinding& owner)
            : binding(owner) {}
        // Only the button that became checked sets the value. The one that lost the check looks
        // again once the event is over: if the new button's value was refused, the property
        // still holds this button's value and the check must come back here.
        void buttonToggled(QButtonObservable& observable) override {
            if (observable.isChecked())
                binding.commitValue(binding.m_buttonValue);
            else
                binding.m_recheck.enableNotification();
        }
        RadioButtonPropertyBinding& binding;
    };

    QPointer<QAbstractButton> m_button;
    const T m_buttonValue;
    QButtonObservable m_observable;
    QButtonListener m_listener{*this};
    OnIdleActionPerformerSingleShot m_recheck;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings
