#include "host/IntegralSpinBox.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace qelmar::sdk::ui {

IntegralSpinBox::IntegralSpinBox(QWidget* parent)
    : QSpinBox(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void IntegralSpinBox::keyPressEvent(QKeyEvent* event) {
    QSpinBox::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        event->accept();
}

void IntegralSpinBox::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        // Let the scroll area around the form scroll instead.
        event->ignore();
        return;
    }
    QSpinBox::wheelEvent(event);
}

} // namespace qelmar::sdk::ui
