#include "postload/CoveragePanel.h"

#include "postload/CoverageTableModel.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace qelmar::sdk::ui::postload {

CoveragePanel::CoveragePanel(const propertymanager::PostLoadOptionsPropertiesManager& manager,
                             QWidget* parent)
    : QWidget(parent)
    , m_model(new CoverageTableModel(manager, this))
    , m_label(new QLabel(this))
    , m_table(new QTableView(this)) {
    setObjectName(QStringLiteral("coverage_Panel"));
    m_label->setObjectName(QStringLiteral("coverage_Label"));
    m_label->setText(tr("Coverage: the name of each file that fills each variable to load (%1 where it "
                        "is the variable's own name). A highlighted cell is a variable the file leaves "
                        "empty.")
                         .arg(QStringLiteral("\u2713")));
    m_label->setWordWrap(true);
    m_table->setObjectName(QStringLiteral("coverage_TableView"));
    m_table->setModel(m_model);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    // Sized once per column by hand would read every row; the header's fixed default keeps a
    // window of thousands of variables quick to open.
    m_table->horizontalHeader()->setDefaultSectionSize(110);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    layout->addWidget(m_table, 1);
}

CoveragePanel::~CoveragePanel() = default;

CoverageTableModel& CoveragePanel::model() const {
    return *m_model;
}

QTableView& CoveragePanel::table() const {
    return *m_table;
}

} // namespace qelmar::sdk::ui::postload
