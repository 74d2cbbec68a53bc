#pragma once

#include "bindings/LineEditPropertyBindingAbstract.h"

namespace qelmar::sdk::ui::dialogs::propertybindings {

// Ties a line edit to a number or text property: the field shows the value, and what the user
// typed is validated, converted and committed when editing finishes.
template <typename T> class TextFieldPropertyBinding : public LineEditPropertyBindingAbstract<T> {
public:
    using typename UIPropertyBindingAbstract<T>::WidgetUpdateMode;

    // Where the cursor goes after the field was updated. At the start, a long value shows its
    // beginning rather than its end.
    enum CursorPosition_e { CursorPosition_Start = 0, CursorPosition_End = 1 };

    TextFieldPropertyBinding(QLineEdit* lineEdit, PropertyPtr<T> property,
                             WidgetUpdateMode mode = BindingInterface::WidgetUpdate_Immediate,
                             CursorPosition_e cursorPosition = CursorPosition_End)
        : LineEditPropertyBindingAbstract<T>(lineEdit, lineEdit, std::move(property), mode)
        , m_cursorPosition(cursorPosition) {
        this->listenToLineEdit();
        this->refreshWidget();
    }

    void updateWidget() override {
        QLineEdit* edit = this->lineEdit();
        if (!edit)
            return;
        this->showText(this->valueText(this->property()->retrieveValue()));
        if (m_cursorPosition == CursorPosition_Start)
            edit->home(false);
    }

private:
    const CursorPosition_e m_cursorPosition;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings
