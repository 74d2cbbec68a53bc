#pragma once

#include <QLineEdit>

namespace qelmar::sdk::ui {

// A line edit in which Enter finishes editing (so a binding commits the value) without also
// pressing the dialog's default button: a user confirming a number must not close the dialog.
class EnterKeySwallowingLineEdit : public QLineEdit {
public:
    explicit EnterKeySwallowingLineEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace qelmar::sdk::ui
