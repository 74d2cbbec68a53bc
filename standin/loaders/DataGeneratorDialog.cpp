#include "loaders/DataGeneratorDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace qelmar::standin {

namespace {

QDoubleSpinBox* numberBox(QWidget* parent, const char* name, double value) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(-1e6, 1e6);
    box->setDecimals(4);
    box->setValue(value);
    return box;
}

} // namespace

DataGeneratorDialog::DataGeneratorDialog(QWidget* parent)
    : QDialog(parent)
    , m_formula(new QComboBox(this))
    , m_a(numberBox(this, "parameterA", 1.0))
    , m_b(numberBox(this, "parameterB", 1.0))
    , m_c(numberBox(this, "parameterC", 0.0))
    , m_points(new QSpinBox(this))
    , m_from(numberBox(this, "fromSpin", 0.0))
    , m_to(numberBox(this, "toSpin", 2 * M_PI))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName("DataGeneratorDialog");
    setWindowTitle(tr("Generate Data"));
    m_formula->setObjectName("formulaCombo");
    m_formula->addItem(tr("y = a sin(b x + c)"), Sine);
    m_formula->addItem(tr("y = a cos(b x + c)"), Cosine);
    m_formula->addItem(tr("y = a + b x + c x\u00b2"), Polynomial);
    m_points->setObjectName("pointsSpin");
    m_points->setRange(2, 10000000);
    m_points->setValue(100);
    m_buttons->setObjectName("buttonBox");

    auto* form = new QFormLayout;
    form->addRow(tr("&Formula:"), m_formula);
    form->addRow(tr("&a:"), m_a);
    form->addRow(tr("&b:"), m_b);
    form->addRow(tr("&c:"), m_c);
    form->addRow(tr("&Points:"), m_points);
    form->addRow(tr("x &from:"), m_from);
    form->addRow(tr("x &to:"), m_to);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_buttons);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_from, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &DataGeneratorDialog::updateOkButton);
    connect(m_to, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
            &DataGeneratorDialog::updateOkButton);
}

ZoneValues DataGeneratorDialog::generatedValues() const {
    const auto formula = static_cast<Formula>(m_formula->currentData().toInt());
    const double a = m_a->value();
    const double b = m_b->value();
    const double c = m_c->value();
    const int points = m_points->value();
    ZoneValues data;
    data.title = m_formula->currentText().remove('&').toStdString();
    data.variableNames = {"x", "y"};
    data.values.assign(2, std::vector<double>(static_cast<std::size_t>(points)));
    for (int i = 0; i < points; ++i) {
        const double x = m_from->value() + (m_to->value() - m_from->value()) * i / (points - 1);
        double y = a + b * x + c * x * x;
        if (formula == Sine)
            y = a * std::sin(b * x + c);
        else if (formula == Cosine)
            y = a * std::cos(b * x + c);
        data.values[0][static_cast<std::size_t>(i)] = x;
        data.values[1][static_cast<std::size_t>(i)] = y;
    }
    return data;
}

// An empty range would put every point at the same x.
void DataGeneratorDialog::updateOkButton() {
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_from->value() != m_to->value());
}

} // namespace qelmar::standin
