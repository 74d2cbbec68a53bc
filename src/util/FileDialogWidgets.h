#pragma once

#include <QLabel>
#include <QWidget>

namespace qelmar::dialogs::io {

// Helpers for dialogs that add their own controls to the framework's file dialog, whose own
// widgets may be missing on another toolkit version: each does nothing for a missing widget.

inline void setTabOrderOf(QWidget* first, QWidget* second) {
    if (first && second)
        QWidget::setTabOrder(first, second);
}

inline void labelWithBuddy(QLabel* label, const QString& text, QWidget* buddy) {
    if (!label)
        return;
    label->setText(text);
    label->setBuddy(buddy);
}

} // namespace qelmar::dialogs::io
