#pragma once

#include "host/AppLock.h"
#include "host/KernelMessages.h"
#include "host/ListViewPropertyBinding.h"
#include "host/ListViewSynchronizerInterface.h"
#include "host/OnIdleActionPerformerSingleShot.h"
#include "host/OnIdleAfterPropertyChangeActionPerformer.h"
#include "host/SignalConnectionCollection.h"
#include "propertyframework/InvalidPropertyValueException.h"
#include "propertyframework/PropertyAbstract.h"
#include "propertyframework/models/ListModelInterface.h"
#include "propertyframework/qt/QListModel.h"

#include <QItemSelection>
#include <QItemSelectionModel>
#include <QListView>
#include <QPointer>

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

namespace qelmar::sdk::ui::dialogs::propertybindings {

// Keeps the selection of a list view, whose rows come from a list model, and a property holding
// the set of the selected rows' values in step, both ways. When the model changes, the
// selection is rebuilt from the property and then read back, so values whose rows disappeared
// leave the property.
template <typename T> class ListViewPropertySynchronizer : public ListViewSynchronizerInterface {
public:
    using ModelPtr = models::ConstListModelPtr<int>;
    using WidgetUpdateMode = BindingInterface::WidgetUpdateMode_e;

    ListViewPropertySynchronizer(QListView& view, PropertyPtr<T> property, ModelPtr model,
                                 WidgetUpdateMode mode = BindingInterface::WidgetUpdate_Immediate)
        : m_view(&view)
        , m_property(std::move(property))
        , m_model(std::move(model))
        , m_mode(mode)
        , m_refreshFromProperty(*m_property, [this] { updateWidgetFromProperty(); })
        , m_synchronize([this] { synchronizePropertyAndSelection(); }) {
        setupModel();
        updateWidgetFromProperty();
    }

    ~ListViewPropertySynchronizer() override { m_connections.clear(); }

    // A binding that reports the user's selection changes to a new synchronizer.
    static std::unique_ptr<ListViewPropertyBinding>
    bind(QListView& view, PropertyPtr<T> property, ModelPtr model,
         WidgetUpdateMode mode = BindingInterface::WidgetUpdate_Immediate) {
        auto binding = std::make_unique<ListViewPropertyBinding>(
            std::make_unique<ListViewPropertySynchronizer>(view, std::move(property), std::move(model), mode),
            mode);
        binding->init();
        return binding;
    }

    void updateWidgetFromProperty() override {
        const RaisedFlag updating(m_updating);
        setSelectionForPropertyValues(m_property->retrieveValue());
    }

    // Stores the selected rows' values under the application lock. A refused selection is shown
    // to the user and the view goes back to the property's value.
    void updatePropertyFromWidget() override {
        if (!m_view || !m_view->selectionModel())
            return;
        T values;
        const int rows = m_model->size();
        for (const QModelIndex& index : m_view->selectionModel()->selectedIndexes()) {
            if (index.row() < rows)
                values.insert(m_model->get(index.row()));
        }
        const AppLock lock(0);
        try {
            // The view already shows this selection; refreshing it from the property is moot.
            const OnIdleAfterPropertyChangeActionPerformer::ScopedDisable ownChange(m_refreshFromProperty);
            m_property->setValue(values);
        } catch (const InvalidPropertyValueException& refused) {
            if (!refused.message().empty())
                QelUtilDialogMessageBox(refused.message().c_str(), MessageBox_Error);
            updateWidgetFromProperty();
        }
    }

    bool isUpdating() const override { return m_updating; }
    QListView* view() const override { return m_view.data(); }

    void preserveSelectionOnModelChange() {
        m_updating = true;
        if (m_mode == BindingInterface::WidgetUpdate_Immediate)
            synchronizePropertyAndSelection();
        else
            m_synchronize.enableNotification();
    }

    void synchronizePropertyAndSelection() {
        m_updating = false;
        updateWidgetFromProperty();
        updatePropertyFromWidget();
    }

private:
    // Sets a flag for a scope and gives it its previous value back, also when leaving by an
    // exception.
    class RaisedFlag {
    public:
        explicit RaisedFlag(bool& flag)
            : m_flag(flag)
            , m_previous(flag) {
            m_flag = true;
        }
        RaisedFlag(const RaisedFlag&) = delete;
        RaisedFlag& operator=(const RaisedFlag&) = delete;
        ~RaisedFlag() { m_flag = m_previous; }

    private:
        bool& m_flag;
        const bool m_previous;
    };

    void setupModel() {
        // The adaptor listens first, so that the view has followed a change of the model before
        // the selection is rebuilt for it.
        m_adaptor = std::make_unique<models::QListModel<int>>(m_model);
        m_view->setModel(m_adaptor.get());
        m_connections.add(m_model->connectToDataChangedSignal([this] { preserveSelectionOnModelChange(); }));
        m_connections.add(
            m_model->connectToItemChangedSignal([this](int) { preserveSelectionOnModelChange(); }));
        m_connections.add(
            m_model->connectToItemsRemovedSignal([this](int, int) { preserveSelectionOnModelChange(); }));
    }

    void setSelectionForPropertyValues(const T& values) {
        if (!m_view || !m_view->selectionModel())
            return;
        std::unordered_map<int, int> rowOfValue;
        const int rows = std::min(m_model->size(), m_adaptor->rowCount());
        for (int row = 0; row < rows; ++row)
            rowOfValue.emplace(m_model->get(row), row);
        std::vector<int> selectedRows;
        for (const int value : values) {
            const auto found = rowOfValue.find(value);
            if (found != rowOfValue.end())
                selectedRows.push_back(found->second);
        }
        std::sort(selectedRows.begin(), selectedRows.end());
        m_view->selectionModel()->select(selectionOfRows(selectedRows), QItemSelectionModel::ClearAndSelect);
    }

    // One range per run of adjacent rows, so that a large selection stays cheap.
    QItemSelection selectionOfRows(const std::vector<int>& sortedRows) const {
        QItemSelection selection;
        for (std::size_t first = 0; first < sortedRows.size();) {
            std::size_t last = first;
            while (last + 1 < sortedRows.size() && sortedRows[last + 1] <= sortedRows[last] + 1)
                ++last;
            selection.select(m_adaptor->index(sortedRows[first]), m_adaptor->index(sortedRows[last]));
            first = last + 1;
        }
        return selection;
    }

    QPointer<QListView> m_view;
    PropertyPtr<T> m_property;
    ModelPtr m_model;
    const WidgetUpdateMode m_mode;
    bool m_updating = false;
    OnIdleAfterPropertyChangeActionPerformer m_refreshFromProperty;
    OnIdleActionPerformerSingleShot m_synchronize;
    std::unique_ptr<models::QListModel<int>> m_adaptor;
    SignalConnectionCollection m_connections;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings
