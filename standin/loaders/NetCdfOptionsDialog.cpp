#include "loaders/NetCdfOptionsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace qelmar::standin {

NetCdfOptionsDialog::NetCdfOptionsDialog(const std::string& fileName,
                                         const std::vector<NetCdfVariable>& variables, QWidget* parent)
    : QDialog(parent)
    , m_variables(new QListWidget(this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setObjectName("NetCdfOptionsDialog");
    setWindowTitle(tr("NetCDF Options"));
    m_variables->setObjectName("variableList");
    m_buttons->setObjectName("buttonBox");
    for (const NetCdfVariable& variable : variables) {
        const QString name = QString::fromStdString(variable.name);
        auto* item = new QListWidgetItem(m_variables);
        item->setData(Qt::UserRole, name);
        if (variable.skippedBecause.empty()) {
            // Variables on another grid are offered unchecked: checking them moves the load to
            // the grid most checked variables share.
            const bool usualGrid = variable.otherGrid.empty();
            item->setText(
                usualGrid ? name
                          : tr("%1 (on the grid %2)").arg(name, QString::fromStdString(variable.otherGrid)));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(usualGrid ? Qt::Checked : Qt::Unchecked);
        } else {
            item->setText(tr("%1 (skipped: %2)").arg(name, QString::fromStdString(variable.skippedBecause)));
            item->setFlags(Qt::NoItemFlags);
        }
    }
    auto* label = new QLabel(tr("&Variables of %1 to load:").arg(QString::fromStdString(fileName)), this);
    label->setBuddy(m_variables);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_variables);
    layout->addWidget(m_buttons);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_variables, &QListWidget::itemChanged, this, &NetCdfOptionsDialog::updateOkButton);
    updateOkButton();
}

std::vector<std::string> NetCdfOptionsDialog::chosenVariables() const {
    std::vector<std::string> chosen;
    for (int row = 0; row < m_variables->count(); ++row) {
        const QListWidgetItem* item = m_variables->item(row);
        if ((item->flags() & Qt::ItemIsUserCheckable) && item->checkState() == Qt::Checked)
            chosen.push_back(item->data(Qt::UserRole).toString().toStdString());
    }
    return chosen;
}

void NetCdfOptionsDialog::updateOkButton() {
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!chosenVariables().empty());
}

} // namespace qelmar::standin
