#pragma once

#include "host/PropertyBindingInterface.h"
#include "propertyframework/PropertyAbstract.h"

#include <memory>

class QAbstractButton;

namespace qelmar::sdk::ui::dialogs {

// Ties a checkable button (check box, tool button) to a boolean property in both directions.
// Inverted, the button is checked while the property is false ("Hide ..." for a "show" value).
class CheckButtonPropertyBinding : public virtual PropertyBindingInterface {
public:
    CheckButtonPropertyBinding(QAbstractButton* button, PropertyPtr<bool> property, bool inverted = false,
                               WidgetUpdateMode_e mode = WidgetUpdate_Immediate);
    ~CheckButtonPropertyBinding() override;

    void updateWidget();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
