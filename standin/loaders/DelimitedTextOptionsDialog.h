#pragma once

#include "loaders/DelimitedText.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QSpinBox;

namespace qelmar::standin {

// The delimited-text loader's advanced options: separator, decimal separator, lines to skip,
// where the variable names come from, the comment marker and the missing-value tokens.
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
    QComboBox* m_header;
    QLineEdit* m_commentMarker;
    QLineEdit* m_missingValues;
    QDialogButtonBox* m_buttons;
};

} // namespace qelmar::standin
