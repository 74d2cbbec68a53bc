#include "host/ButtonBinding.h"

#include "host/ExceptionBase.h"
#include "host/KernelMessages.h"

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
        QelUtilDialogMessageBox(failure.message().c_str(), MessageBox_Error);
    }
}

} // namespace qelmar::sdk::ui::dialogs
