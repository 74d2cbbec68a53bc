#include "loaders/DelimitedTextOptionsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace qelmar::standin {

namespace {

QString missingValuesText(const std::vector<std::string>& tokens) {
    QStringList texts;
    for (const std::string& token : tokens)
        texts.push_back(QString::fromStdString(token));
    return texts.join(QStringLiteral(", "));
}

std::vector<std::string> missingValuesFrom(const QString& text) {
    std::vector<std::string> tokens;
    for (const QString& token : text.split(QLatin1Char(','))) {
        if (!token.trimmed().isEmpty())
            tokens.push_back(token.trimmed().toStdString());
    }
    return tokens;
}

} // namespace

DelimitedTextOptionsDialog::DelimitedTextOptionsDialog(QWidget* parent)
    : QDialog(parent)
    , m_separator(new QComboBox(this))
    , m_decimalSeparator(new QComboBox(this))
    , m_linesToSkip(new QSpinBox(this))
    , m_header(new QComboBox(this))
    , m_commentMarker(new QLineEdit(this))
    , m_missingValues(new QLineEdit(this))
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
    m_header->setObjectName("headerCombo");
    m_header->addItem(tr("From the first row, unless it holds only numbers"),
                      QVariant::fromValue(static_cast<int>(DelimitedTextHeader::Detect)));
    m_header->addItem(tr("From the first row"),
                      QVariant::fromValue(static_cast<int>(DelimitedTextHeader::Names)));
    m_header->addItem(tr("None: V1, V2, ..."),
                      QVariant::fromValue(static_cast<int>(DelimitedTextHeader::None)));
    m_commentMarker->setObjectName("commentMarkerEdit");
    m_commentMarker->setMaxLength(1);
    m_commentMarker->setText(QStringLiteral("#"));
    m_commentMarker->setToolTip(tr("Lines starting with this character are left out; empty for none."));
    m_missingValues->setObjectName("missingValuesEdit");
    m_missingValues->setText(missingValuesText(DelimitedTextOptions::defaultMissingValues()));
    m_missingValues->setToolTip(tr("Fields holding one of these, separated by commas, are missing values; "
                                   "an empty field always is."));
    m_buttons->setObjectName("buttonBox");

    auto* form = new QFormLayout;
    form->addRow(tr("&Separator:"), m_separator);
    form->addRow(tr("&Decimal separator:"), m_decimalSeparator);
    form->addRow(tr("&Lines to skip before the first row:"), m_linesToSkip);
    form->addRow(tr("&Variable names:"), m_header);
    form->addRow(tr("&Comment lines start with:"), m_commentMarker);
    form->addRow(tr("&Missing values:"), m_missingValues);
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
    options.header = static_cast<DelimitedTextHeader>(m_header->currentData().toInt());
    const QByteArray marker = m_commentMarker->text().toUtf8();
    options.commentMarker = marker.size() == 1 ? marker.front() : '\0';
    options.missingValues = missingValuesFrom(m_missingValues->text());
    return options;
}

// A comma cannot separate both fields and a number's decimals.
void DelimitedTextOptionsDialog::updateOkButton() {
    const DelimitedTextOptions chosen = options();
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(chosen.separator != chosen.decimalSeparator);
}

} // namespace qelmar::standin
