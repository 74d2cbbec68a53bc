#include "host/CheckButtonPropertyBinding.h"

#include "host/QButtonObservable.h"
#include "host/WidgetBindingCore.h"

#include <QAbstractButton>
#include <QPointer>

namespace qelmar::sdk::ui::dialogs {

struct CheckButtonPropertyBinding::Impl : QButtonObservable::Listener {
    Impl(CheckButtonPropertyBinding& binding, QAbstractButton& button, PropertyPtr<bool> boundProperty,
         bool invertedButton, WidgetUpdateMode_e mode)
        : property(std::move(boundProperty))
        , inverted(invertedButton)
        , observable(button)
        , core(&button, mode, [this] { showValue(); }) {
        core.followStatesOf(binding);
    }

    void showValue() {
        if (auto* button = observable.button())
            button->setChecked(property->retrieveValue() != inverted);
    }

    void buttonToggled(QButtonObservable& source) override {
        const bool value = source.isChecked() != inverted;
        core.commitUserEdit([this, value] { property->setValue(value); });
    }

    PropertyPtr<bool> property;
    const bool inverted;
    QButtonObservable observable;
    // Last, so that its connections go before the objects they reach.
    WidgetBindingCore core;
};

CheckButtonPropertyBinding::CheckButtonPropertyBinding(QAbstractButton* button, PropertyPtr<bool> property,
                                                       bool inverted, WidgetUpdateMode_e mode)
    : m_impl(std::make_unique<Impl>(*this, *button, std::move(property), inverted, mode)) {
    button->setCheckable(true);
    m_impl->core.listenTo(*m_impl->property);
    m_impl->core.addConnection(m_impl->observable.addListener(*m_impl));
    m_impl->core.updateWidgetNow();
}

CheckButtonPropertyBinding::~CheckButtonPropertyBinding() = default;

void CheckButtonPropertyBinding::updateWidget() {
    m_impl->core.updateWidgetNow();
}

} // namespace qelmar::sdk::ui::dialogs
