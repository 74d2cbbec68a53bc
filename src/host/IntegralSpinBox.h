#pragma once

#include <QSpinBox>

namespace qelmar::sdk::ui {

// A spin box for whole numbers as the dialogs want it: Enter commits the value without pressing
// the dialog's default button, and the mouse wheel changes the value only while the box has the
// focus, so that scrolling over a form never changes a setting by accident.
class IntegralSpinBox : public QSpinBox {
public:
    explicit IntegralSpinBox(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace qelmar::sdk::ui
