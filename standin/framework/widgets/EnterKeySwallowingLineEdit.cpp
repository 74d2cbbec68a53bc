#include "host/EnterKeySwallowingLineEdit.h"

#include <QKeyEvent>

namespace qelmar::sdk::ui {

EnterKeySwallowingLineEdit::EnterKeySwallowingLineEdit(QWidget* parent)
    : QLineEdit(parent) {}

void EnterKeySwallowingLineEdit::keyPressEvent(QKeyEvent* event) {
    QLineEdit::keyPressEvent(event);
    // The line edit leaves Enter to its parents, where a dialog would press its default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        event->accept();
}

} // namespace qelmar::sdk::ui
