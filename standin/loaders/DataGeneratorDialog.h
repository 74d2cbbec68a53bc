#pragma once

#include "loaders/ZoneValues.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QSpinBox;

namespace qelmar::standin {

// Asks for a formula of x with its parameters a, b, c and the grid of x values to compute it on.
class DataGeneratorDialog : public QDialog {
    Q_OBJECT
public:
    enum Formula { Sine, Cosine, Polynomial };

    explicit DataGeneratorDialog(QWidget* parent = nullptr);

    // The variables x and y over the grid, titled with the formula.
    ZoneValues generatedValues() const;

private:
    void updateOkButton();

    QComboBox* m_formula;
    QDoubleSpinBox* m_a;
    QDoubleSpinBox* m_b;
    QDoubleSpinBox* m_c;
    QSpinBox* m_points;
    QDoubleSpinBox* m_from;
    QDoubleSpinBox* m_to;
    QDialogButtonBox* m_buttons;
};

} // namespace qelmar::standin
