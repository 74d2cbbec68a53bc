#include "host/ButtonBinding.h"

#include "host/WidgetBindingCore.h"

#include <QAbstractButton>

namespace qelmar::sdk::ui::dialogs {

ButtonBinding::ButtonBinding(QAbstractButton& button, std::function<void()> action)
    : m_action(std::move(action)) {
    m_clicked = QObject::connect(&button, &QAbstractButton::clicked, [this] { runAction(); });
}

ButtonBinding::~ButtonBinding() {
    QObject::disconnect(m_clicked);
}

void ButtonBinding::runAction() const {
    if (!m_action)
        return;
    // An exception must not unwind through Qt's event delivery; the user sees its message.
    try {
        m_action();
    } catch (const qelmar::ExceptionBase& failure) {
        WidgetBindingCore::reportFailure(failure);
    }
}

} // namespace qelmar::sdk::ui::dialogs
