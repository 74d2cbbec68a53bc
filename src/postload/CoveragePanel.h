#pragma once

#include <QWidget>

namespace qelmar::sdk::ui::propertymanager {
class PostLoadOptionsPropertiesManager;
}

namespace qelmar::sdk::ui::postload {

class CoverageTableModel;

// The coverage view of the "Variable Load and Combine" window: which name of each file fills
// each variable to load, the variables a file would leave empty (highlighted), and the names of
// each file still unmatched.
class CoveragePanel : public QWidget {
    Q_OBJECT
public:
    CoveragePanel(const propertymanager::PostLoadOptionsPropertiesManager& manager, QWidget* parent);
    ~CoveragePanel() override;

    CoverageTableModel& model() const;

private:
    CoverageTableModel* m_model;
};

} // namespace qelmar::sdk::ui::postload
