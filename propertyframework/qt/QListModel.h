#pragma once

#include "propertyframework/SignalConnectionCollection.h"
#include "propertyframework/models/ListModelInterface.h"

#include <QAbstractListModel>
#include <QString>
#include <QVariant>

#include <memory>
#include <string>
#include <string_view>

namespace qelmar::sdk::ui::dialogs::propertybindings::models {

// Presents a list model to Qt's item views. The model has already changed when it signals,
// while Qt expects the old rows until the change is announced; so the adaptor keeps its own row
// count and, between the begin and the end of an announcement, maps the old row numbers that
// views still ask about onto the model's new ones.
//
// A class template cannot carry Q_OBJECT; it needs no signals or slots of its own because it
// listens to the model's Boost signals.
template <typename T> class QListModel : public QAbstractListModel {
public:
    static constexpr int RawValueRole = 0x710;

    // The model must outlive the adaptor.
    explicit QListModel(const ListModelInterface<T>& model, QObject* parent = nullptr)
        : QAbstractListModel(parent)
        , m_model(model)
        , m_rowCount(model.size()) {
        listenToModel();
    }

    // Shares ownership of the model, for adaptors that may outlive its other holders.
    explicit QListModel(std::shared_ptr<const ListModelInterface<T>> model, QObject* parent = nullptr)
        : QListModel(*model, parent) {
        m_keptAlive = std::move(model);
    }

    ~QListModel() override { m_connections.clear(); }

    const ListModelInterface<T>& listModel() const { return m_model; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : m_rowCount;
    }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
        const int row = modelRow(index);
        if (row < 0)
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return displayText(row);
        case Qt::EditRole:
            return m_model.isEditable() ? QString::fromStdString(m_model.getStrForEdit(row))
                                        : displayText(row);
        case RawValueRole:
            return QVariant::fromValue(static_cast<qlonglong>(m_model.get(row)));
        default:
            return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags flags = QAbstractListModel::flags(index);
        const int row = modelRow(index);
        if (flags == Qt::NoItemFlags || row < 0)
            return flags;
        const bool header = m_model.isHeader(row);
        if (m_model.isEditable() && !header)
            flags |= Qt::ItemIsEditable;
        if (header)
            flags &= ~Qt::ItemIsEnabled;
        return flags;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int = Qt::EditRole) override {
        const int row = modelRow(index);
        return row >= 0 && m_model.setEditedItem(value.toString().toStdString(), row);
    }

    // The value behind a row of a view showing such an adaptor.
    static long rawValue(const QModelIndex& index) {
        return static_cast<long>(index.data(RawValueRole).toLongLong());
    }

private:
    // While a change is announced: old rows from `from` on are the model's rows shifted by
    // `delta`, and the `gone` rows just before `from` no longer exist.
    struct Shift {
        int from = 0;
        int gone = 0;
        int delta = 0;
    };

    class PendingShift {
    public:
        PendingShift(Shift& pending, int from, int gone, int delta)
            : m_pending(pending) {
            m_pending = Shift{from, gone, delta};
        }
        ~PendingShift() { m_pending = Shift{}; }
        PendingShift(const PendingShift&) = delete;
        PendingShift& operator=(const PendingShift&) = delete;

    private:
        Shift& m_pending;
    };

    // Views ask for every row they show on every paint: the text is converted straight from the
    // model's own storage where it keeps one, without an intermediate copy.
    QString displayText(int row) const {
        const std::string_view text = m_model.getStrView(row, m_textBuffer);
        return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
    }

    // The model's row for a row of the adaptor, or -1 when the model no longer has it.
    int modelRow(const QModelIndex& index) const {
        if (!index.isValid() || index.row() < 0 || index.row() >= m_rowCount)
            return -1;
        int row = index.row();
        if (m_pending.delta != 0 && row >= m_pending.from - m_pending.gone) {
            if (row < m_pending.from)
                return -1;
            row += m_pending.delta;
        }
        return row < m_model.size() ? row : -1;
    }

    void listenToModel() {
        m_connections.add(m_model.connectToDataChangedSignal([this] { onDataChanged(); }));
        m_connections.add(m_model.connectToItemChangedSignal([this](int row) { onItemChanged(row); }));
        m_connections.add(m_model.connectToItemsInsertedSignal(
            [this](int first, int last) { onItemsInserted(first, last); }));
        m_connections.add(m_model.connectToItemsRemovedSignal(
            [this](int first, int last) { onItemsRemoved(first, last); }));
    }

    void onDataChanged() {
        beginResetModel();
        m_rowCount = m_model.size();
        if (m_rowCount > 0)
            Q_EMIT dataChanged(index(0), index(m_rowCount - 1));
        endResetModel();
    }

    void onItemChanged(int row) {
        if (row < 0 || row >= m_rowCount)
            return;
        const QModelIndex changed = index(row);
        Q_EMIT dataChanged(changed, changed);
    }

    void onItemsInserted(int first, int last) {
        if (first < 0 || last < first || first > m_rowCount)
            return onDataChanged();
        const int count = last - first + 1;
        {
            const PendingShift shift(m_pending, first, 0, count);
            beginInsertRows(QModelIndex(), first, last);
        }
        m_rowCount += count;
        endInsertRows();
    }

    void onItemsRemoved(int first, int last) {
        if (first < 0 || last < first || last >= m_rowCount)
            return onDataChanged();
        const int count = last - first + 1;
        {
            const PendingShift shift(m_pending, last + 1, count, -count);
            beginRemoveRows(QModelIndex(), first, last);
        }
        m_rowCount -= count;
        endRemoveRows();
    }

    std::shared_ptr<const ListModelInterface<T>> m_keptAlive;
    const ListModelInterface<T>& m_model;
    int m_rowCount;
    Shift m_pending;
    mutable std::string m_textBuffer;
    SignalConnectionCollection m_connections;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings::models
