#include "postload/CoverageTableModel.h"

#include "host/KernelString.h"
#include "host/KernelVarNames.h"
#include "host/StringList.h"
#include "postload/PostLoadOptionsPropertiesManager.h"
#include "postload/TrimmedName.h"

#include <QBrush>
#include <QColor>

#include <new>

namespace qelmar::sdk::ui::postload {

namespace {

using KernelList = toolbox::StringList;

// Shown for a file whose name for the variable is the variable's own: the eye looks for the
// cells that differ.
const QString sameNameMark = QStringLiteral("\u2713");
const QColor emptyCellColour(255, 205, 200);

std::string firstNameOf(const char* entry) {
    if (!entry)
        return {};
    const std::string_view text(entry);
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string name = trimmedName(std::string(text.substr(start, end - start)));
        if (!name.empty())
            return name;
        start = end + 1;
    }
    return {};
}

std::vector<std::string> namesIn(const KernelList& list) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(list.size()));
    for (long index = 0; index < list.size(); ++index)
        names.push_back(list.get(index));
    return names;
}

} // namespace

// The to-load list as it was at the last refresh, and each row's answer from the kernel once a
// view asked for it: a window of hundreds of files shows a few of them at a time.
struct CoverageTableModel::Snapshot {
    KernelList toLoad;
    std::vector<long> columnEntries; // the to-load list's index of each column: its rows skip nulls
    std::vector<StringList_s*> sources;
    const StringList_s* existing = nullptr;
    mutable std::vector<std::optional<std::vector<std::string>>> fillingNames;
};

CoverageTableModel::CoverageTableModel(const propertymanager::PostLoadOptionsPropertiesManager& manager,
                                       QObject* parent)
    : QAbstractTableModel(parent)
    , m_manager(manager) {
    manager.followListChanges([this] { scheduleRefresh(); }, m_connections);
}

CoverageTableModel::~CoverageTableModel() = default;

void CoverageTableModel::setSourceNames(QStringList names) {
    m_sourceNames = std::move(names);
    if (rowCount() > 0)
        Q_EMIT headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

void CoverageTableModel::nameSourcesFromKernel() {
    QStringList names;
    for (long index = -1; index < static_cast<long>(m_manager.incomingVarNames().size()); ++index)
        names.append(QString::fromStdString(KernelString(QelEngMatchVariablesGetSourceName(index)).str()));
    setSourceNames(std::move(names));
}

// A command changes both lists several times; the table is read again once, after all of them.
void CoverageTableModel::scheduleRefresh() {
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_refreshPending)
                refresh();
        },
        Qt::QueuedConnection);
}

void CoverageTableModel::refresh() {
    m_refreshPending = false;
    auto snapshot = std::make_unique<Snapshot>();
    try {
        snapshot->toLoad = toolbox::adoptNewList(m_manager.varNamesToLoad());
    } catch (const std::bad_alloc&) {
        // Without memory for a copy of the list there is nothing to show; the window still works.
        snapshot.reset();
    }
    if (snapshot) {
        for (long index = 0; index < snapshot->toLoad.size(); ++index) {
            if (snapshot->toLoad[index])
                snapshot->columnEntries.push_back(index);
        }
        snapshot->existing = m_manager.existingVarNames();
        snapshot->sources.push_back(const_cast<StringList_s*>(snapshot->existing));
        for (StringList_s* incoming : m_manager.incomingVarNames())
            snapshot->sources.push_back(incoming);
        snapshot->fillingNames.resize(snapshot->sources.size());
    }
    beginResetModel();
    m_snapshot = std::move(snapshot);
    endResetModel();
}

void CoverageTableModel::clear() {
    m_refreshPending = false;
    beginResetModel();
    m_snapshot.reset();
    m_sourceNames.clear();
    endResetModel();
}

int CoverageTableModel::unmatchedColumn() const {
    return m_snapshot ? static_cast<int>(m_snapshot->columnEntries.size()) : 0;
}

int CoverageTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_snapshot ? 0 : static_cast<int>(m_snapshot->sources.size());
}

int CoverageTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_snapshot ? 0 : unmatchedColumn() + 1;
}

QString CoverageTableModel::sourceName(int row) const {
    if (row < m_sourceNames.size() && !m_sourceNames[row].isEmpty())
        return m_sourceNames[row];
    return row == 0 ? tr("Existing data") : tr("File %1").arg(row);
}

QString CoverageTableModel::variableName(int column) const {
    const long entry = m_snapshot->columnEntries[static_cast<std::size_t>(column)];
    return QString::fromStdString(firstNameOf(m_snapshot->toLoad[entry]));
}

const std::vector<std::string>& CoverageTableModel::fillingNamesOfRow(int row) const {
    auto& names = m_snapshot->fillingNames[static_cast<std::size_t>(row)];
    if (!names) {
        // A kernel short of memory answers nothing; the row then shows every variable empty
        // rather than a guess.
        const KernelList answer(
            QelAppVarNameListGetFillingNames(m_snapshot->existing, m_snapshot->toLoad.getRef(),
                                             m_snapshot->sources[static_cast<std::size_t>(row)]));
        names = namesIn(answer);
        names->resize(static_cast<std::size_t>(m_snapshot->toLoad.size()));
    }
    return *names;
}

QString CoverageTableModel::unmatchedNamesOfRow(int row) const {
    // The existing names are all variables to load already.
    const StringList_s* available =
        row == 0 ? nullptr : m_manager.availableVarNamesOfFile(static_cast<std::size_t>(row - 1));
    QStringList names;
    for (long position = 1; available && position <= QelUtilStringListGetCount(available); ++position) {
        if (const char* name = QelUtilStringListGetRawStringPtr(available, position))
            names.append(QString::fromUtf8(name));
    }
    return names.join(QStringLiteral(", "));
}

QVariant CoverageTableModel::fillingData(int row, int column, int role) const {
    const long entry = m_snapshot->columnEntries[static_cast<std::size_t>(column)];
    const std::string& name = fillingNamesOfRow(row)[static_cast<std::size_t>(entry)];
    const QString filling = QString::fromStdString(name);
    switch (role) {
    case FillingNameRole:
        return filling;
    case Qt::DisplayRole:
        if (!name.empty() && trimmedName(name) == variableName(column).toStdString())
            return sameNameMark;
        return filling;
    case Qt::BackgroundRole:
        return name.empty() ? QVariant(QBrush(emptyCellColour)) : QVariant();
    case Qt::ToolTipRole:
        if (name.empty())
            return tr("%1 leaves %2 empty").arg(sourceName(row), variableName(column));
        return tr("%1 fills %2 from its %3").arg(sourceName(row), variableName(column), filling);
    default:
        return {};
    }
}

QVariant CoverageTableModel::data(const QModelIndex& index, int role) const {
    if (!m_snapshot || !index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (index.column() < unmatchedColumn())
        return fillingData(index.row(), index.column(), role);
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return unmatchedNamesOfRow(index.row());
    return {};
}

QVariant CoverageTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || !m_snapshot || section < 0)
        return {};
    if (orientation == Qt::Vertical)
        return section < rowCount() ? sourceName(section) : QVariant();
    if (section == unmatchedColumn())
        return tr("Unmatched");
    if (section < unmatchedColumn())
        return QStringLiteral("%1: %2").arg(section + 1).arg(variableName(section));
    return {};
}

} // namespace qelmar::sdk::ui::postload
