#pragma once

#include "host/PropertyBindingInterface.h"
#include "propertyframework/PropertyAbstract.h"

#include <functional>
#include <memory>

class QSpinBox;

namespace qelmar::sdk::ui::dialogs {

// Ties a spin box to an integer property. A value is committed when the user steps with the
// arrows or finishes typing (Enter, leaving the field), not per keystroke. The optional step
// calculator gives the arrow step for the current value (coarser steps for large values).
class SpinBoxIntPropertyBinding : public virtual PropertyBindingInterface {
public:
    using StepCalculator = std::function<int(int currentValue)>;

    SpinBoxIntPropertyBinding(QSpinBox* spinBox, PropertyPtr<int> property,
                              StepCalculator stepCalculator = {},
                              WidgetUpdateMode_e mode = WidgetUpdate_Immediate);
    ~SpinBoxIntPropertyBinding() override;

    void updateWidget();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
