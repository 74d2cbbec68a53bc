#include "postload/CoveragePanel.h"

#include "postload/CoverageTableModel.h"

#include "ui_CoveragePanel.h"

#include <QHeaderView>
#include <QTableView>

namespace qelmar::sdk::ui::postload {

CoveragePanel::CoveragePanel(const propertymanager::PostLoadOptionsPropertiesManager& manager,
                             QWidget* parent)
    : QWidget(parent)
    , m_model(new CoverageTableModel(manager, this)) {
    Ui_CoveragePanel form;
    form.setupUi(this);
    form.coverage_TableView->setModel(m_model);
    // Sized by their contents, the rows would be read one by one; fixed, a window of thousands
    // of files opens quickly.
    form.coverage_TableView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

CoveragePanel::~CoveragePanel() = default;

CoverageTableModel& CoveragePanel::model() const {
    return *m_model;
}

} // namespace qelmar::sdk::ui::postload
