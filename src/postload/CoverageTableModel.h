#pragma once

#include "propertyframework/SignalConnectionCollection.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qelmar::sdk::ui::propertymanager {
class PostLoadOptionsPropertiesManager;
}

namespace qelmar::sdk::ui::postload {

// Files x variables of the load being matched: one row per source (the existing data set or the
// first file, then each incoming list), one column per variable to load and a last column with
// the source's names still unmatched. A cell holds the name of that source whose values the load
// would put into that variable, as the kernel answers it, or nothing when the source leaves the
// variable empty. The model follows the manager's lists by itself, once per event-loop turn
// however many changes a command made.
class CoverageTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The name that fills a cell, empty when none; for the display role the cell shows a mark
    // instead of a name equal to the variable's.
    static constexpr int FillingNameRole = Qt::UserRole;

    explicit CoverageTableModel(const propertymanager::PostLoadOptionsPropertiesManager& manager,
                                QObject* parent = nullptr);
    ~CoverageTableModel() override;

    // Row names, the existing names first; rows without a name get a generic one.
    void setSourceNames(QStringList names);
    // The names the kernel gives the lists of the match-variables callback that runs now.
    void nameSourcesFromKernel();
    // Reads the manager's lists now rather than at the next turn of the event loop.
    void refresh();
    // Forgets the load: its lists are the kernel's only while the load runs.
    void clear();

    int unmatchedColumn() const;
    // The manager whose lists the table shows.
    const propertymanager::PostLoadOptionsPropertiesManager& manager() const { return m_manager; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void scheduleRefresh();
    QString sourceName(int row) const;
    QString variableName(int column) const;
    const std::vector<std::string>& fillingNamesOfRow(int row) const;
    QString unmatchedNamesOfRow(int row) const;
    QVariant fillingData(int row, int column, int role) const;

    const propertymanager::PostLoadOptionsPropertiesManager& m_manager;
    SignalConnectionCollection m_connections;
    QStringList m_sourceNames;
    struct Snapshot;
    std::unique_ptr<Snapshot> m_snapshot;
    bool m_refreshPending = false;
};

} // namespace qelmar::sdk::ui::postload
