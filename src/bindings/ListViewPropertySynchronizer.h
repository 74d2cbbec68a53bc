#pragma once

#include "host/ListViewPropertyBinding.h"
#include "host/ListViewSynchronizerInterface.h"
#include "host/OnIdleActionPerformerSingleShot.h"
#include "host/OnIdleAfterPropertyChangeActionPerformer.h"
#include "host/WidgetBindingCore.h"
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
        , m_refreshFromProperty(*m_property, [this] { updateWidgetFromProperty(); })
        , m_synchronize([this] { synchronizePropertyAndSelection(); })
        , m_core(&view, mode, [this] { updateWidgetFromProperty(); }) {
        setupModel();
        updateWidgetFromProperty();
    }

    ~ListViewPropertySynchronizer() override { m_core.disconnectAll(); }

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
        const T values = selectedValues();
        m_core.commitUserEdit([this, &values] {
            // The view already shows this selection; refreshing it from the property is moot.
            const OnIdleAfterPropertyChangeActionPerformer::ScopedDisable ownChange(m_refreshFromProperty);
            m_property->setValue(values);
        });
    }

    bool isUpdating() const override { return m_updating; }
    QListView* view() const override { return m_view.data(); }

    // The model changed; the view has not followed yet. Selection changes until the view has
    // followed are the view's, not the user's.
    void preserveSelectionOnModelChange() {
        m_updating = true;
        if (m_core.widgetUpdateMode() != BindingInterface::WidgetUpdate_Immediate)
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

    // The synchronizer hears of a model change both before the adaptor (to raise the updating
    // flag while the view follows) and after it (to rebuild the selection once it has followed).
    void setupModel() {
        listenToModelChanges([this] { preserveSelectionOnModelChange(); });
        m_adaptor = std::make_unique<models::QListModel<int>>(m_model);
        m_view->setModel(m_adaptor.get());
        listenToModelChanges([this] { viewFollowedModel(); });
    }

    template <typename Slot> void listenToModelChanges(Slot slot) {
        m_core.addConnection(m_model->connectToDataChangedSignal(slot));
        m_core.addConnection(m_model->connectToItemChangedSignal([slot](int) { slot(); }));
        m_core.addConnection(m_model->connectToItemsRemovedSignal([slot](int, int) { slot(); }));
    }

    void viewFollowedModel() {
        if (m_core.widgetUpdateMode() == BindingInterface::WidgetUpdate_Immediate)
            synchronizePropertyAndSelection();
    }

    // Read through the adaptor, which knows which value a row of the view stands for, also while
    // the view still shows rows the model no longer has.
    T selectedValues() const {
        T values;
        for (const QModelIndex& index : m_view->selectionModel()->selectedIndexes()) {
            const QVariant value = index.data(models::QListModel<int>::RawValueRole);
            if (value.isValid())
                values.insert(static_cast<int>(value.toLongLong()));
        }
        return values;
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
    bool m_updating = false;
    OnIdleAfterPropertyChangeActionPerformer m_refreshFromProperty;
    OnIdleActionPerformerSingleShot m_synchronize;
    std::unique_ptr<models::QListModel<int>> m_adaptor;
    WidgetBindingCore m_core;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings
