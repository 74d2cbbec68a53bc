#include "host/SpinBoxIntPropertyBinding.h"

#include "host/WidgetBindingCore.h"

#include <QPointer>
#include <QSpinBox>

namespace qelmar::sdk::ui::dialogs {

struct SpinBoxIntPropertyBinding::Impl {
    Impl(SpinBoxIntPropertyBinding& binding, QSpinBox* boundSpinBox, PropertyPtr<int> boundProperty,
         StepCalculator calculator, WidgetUpdateMode_e mode)
        : property(std::move(boundProperty))
        , stepCalculator(std::move(calculator))
        , spinBox(boundSpinBox)
        , core(boundSpinBox, mode, [this] { showValue(); }) {
        core.followStatesOf(binding);
    }

    ~Impl() { QObject::disconnect(valueChanged); }

    void showValue() {
        if (!spinBox)
            return;
        const int value = property->retrieveValue();
        spinBox->setValue(value);
        if (stepCalculator)
            spinBox->setSingleStep(std::max(1, stepCalculator(value)));
    }

    void userChanged(int value) {
        if (core.commitUserEdit([this, value] { property->setValue(value); }) && stepCalculator)
            spinBox->setSingleStep(std::max(1, stepCalculator(value)));
    }

    PropertyPtr<int> property;
    StepCalculator stepCalculator;
    QPointer<QSpinBox> spinBox;
    // Changes pass through a signal of the binding's own, so that the core can block them while
    // it writes into the spin box.
    Signal<void(int)> changed;
    QMetaObject::Connection valueChanged;
    WidgetBindingCore core;
};

SpinBoxIntPropertyBinding::SpinBoxIntPropertyBinding(QSpinBox* spinBox, PropertyPtr<int> property,
                                                     StepCalculator stepCalculator, WidgetUpdateMode_e mode)
    : m_impl(std::make_unique<Impl>(*this, spinBox, std::move(property), std::move(stepCalculator), mode)) {
    Impl* impl = m_impl.get();
    // Typing "150" must not commit 1, 15 and 150 on the way.
    spinBox->setKeyboardTracking(false);
    m_impl->core.listenTo(*m_impl->property);
    m_impl->core.addConnection(m_impl->changed.connect([impl](int value) { impl->userChanged(value); }));
    m_impl->valueChanged =
        QObject::connect(spinBox, &QSpinBox::valueChanged, [impl](int value) { impl->changed(value); });
    updateWidget();
}

SpinBoxIntPropertyBinding::~SpinBoxIntPropertyBinding() = default;

void SpinBoxIntPropertyBinding::updateWidget() {
    m_impl->core.updateWidgetNow();
}

} // namespace qelmar::sdk::ui::dialogs
