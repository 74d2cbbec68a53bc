#include "framework/dataload/DelimitedTextOptionsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace qelmar::standin {

DelimitedTextOptionsDialog::DelimitedTextOptionsDialog(QWidget* parent)
    : QDialog(parent)
    , m_separator(new QComboBox(this))
    , m_decimalSeparator(new QComboBox(this))
    , m_linesToSkip(new QSpinBox(this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName("DelimitedTextOptionsDialog");
    setWindowTitle(tr("Delimited Text Options"));
    m_separator->setObjectName("separatorCombo");
    m_separator->addItem(tr("Detect from the header row"), QVariant::fromValue(0));
    m_separator->addItem(tr("Comma"), QVariant::fromValue(static_cast<int>(',')));
    m_separator->addItem(tr("Semicolon"), QVariant::fromValue(static_cast<int>(';')));
    m_separator->addItem(tr("Tab"), QVariant::fromValue(static_cast<int>('\t')));
    m_separator->addItem(tr("Blanks"), QVariant::fromValue(static_cast<int>(' ')));
    m_decimalSeparator->setObjectName("decimalSeparatorCombo");
    m_decimalSeparator->addItem(tr("Point (1.5)"), QVariant::fromValue(static_cast<int>('.')));
    m_decimalSeparator->addItem(tr("Comma (1,5)"), QVariant::fromValue(static_cast<int>(',')));
    m_linesToSkip->setObjectName("linesToSkipSpin");
    m_linesToSkip->setRange(0, 1000000);
    m_buttons->setObjectName("buttonBox");

    auto* form = new QFormLayout;
    form->addRow(tr("&Separator:"), m_separator);
    form->addRow(tr("&Decimal separator:"), m_decimalSeparator);
    form->addRow(tr("&Lines to skip before the header row:"), m_linesToSkip);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_buttons);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_separator, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &DelimitedTextOptionsDialog::updateOkButton);
    connect(m_decimalSeparator, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &DelimitedTextOptionsDialog::updateOkButton);
}

DelimitedTextOptions DelimitedTextOptionsDialog::options() const {
    DelimitedTextOptions options;
    options.separator = static_cast<char>(m_separator->currentData().toInt());
    options.decimalSeparator = static_cast<char>(m_decimalSeparator->currentData().toInt());
    options.linesToSkip = m_linesToSkip->value();
    return options;
}

// A comma cannot separate both fields and a number's decimals.
void DelimitedTextOptionsDialog::updateOkButton() {
    const DelimitedTextOptions chosen = options();
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(chosen.separator != chosen.decimalSeparator);
}

} // namespace qelmar::standin
