#pragma once

#include "framework/dataload/DelimitedText.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QSpinBox;

namespace qelmar::standin {

// The delimited-text loader's advanced options: separator, decimal separator, lines to skip.
class DelimitedTextOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit DelimitedTextOptionsDialog(QWidget* parent = nullptr);

    DelimitedTextOptions options() const;

private:
    void updateOkButton();

    QComboBox* m_separator;
    QComboBox* m_decimalSeparator;
    QSpinBox* m_linesToSkip;
    QDialogButtonBox* m_buttons;
};

} // namespace qelmar::standin
