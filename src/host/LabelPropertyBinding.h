#pragma once

#include "host/PropertyBindingInterface.h"
#include "propertyframework/PropertyAbstract.h"

#include <memory>
#include <string>

class QLabel;

namespace qelmar::sdk::ui::dialogs {

// Shows a text property in a label; the label only shows, so nothing flows back.
class LabelPropertyBinding : public virtual PropertyBindingInterface {
public:
    LabelPropertyBinding(QLabel* label, std::shared_ptr<const PropertyAbstract<std::string>> property,
                         WidgetUpdateMode_e mode = WidgetUpdate_Immediate);
    ~LabelPropertyBinding() override;

    void updateWidget();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
