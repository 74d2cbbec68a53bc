#pragma once

#include "host/BindingInterface.h"

#include <QMetaObject>

#include <functional>

class QAbstractButton;

namespace qelmar::sdk::ui::dialogs {

// Runs an action whenever the button is clicked, for as long as the binding lives.
class ButtonBinding : public virtual BindingInterface {
public:
    ButtonBinding(QAbstractButton& button, std::function<void()> action);
    ~ButtonBinding() override;

private:
    void runAction() const;

    std::function<void()> m_action;
    QMetaObject::Connection m_clicked;
};

} // namespace qelmar::sdk::ui::dialogs
