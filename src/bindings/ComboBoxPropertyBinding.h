#pragma once

#include "bindings/LineEditPropertyBindingAbstract.h"
#include "host/QComboBoxObservable.h"
#include "host/WidgetUpdateDeferrerOnBusy.h"
#include "propertyframework/models/ListModelInterface.h"
#include "propertyframework/qt/QListModel.h"

#include <QComboBox>
#include <QListView>

#include <memory>

namespace qelmar::sdk::ui::dialogs::propertybindings {

// Ties a combo box to a property and a list model: the combo box offers the model's rows and
// shows the row of the property's value; choosing a row sets its value. An editable combo box
// also commits what the user typed, like a text field. When the model changes, the combo box
// is brought up to date once at the next idle moment.
template <typename T> class ComboBoxPropertyBinding : public LineEditPropertyBindingAbstract<T> {
public:
    using typename UIPropertyBindingAbstract<T>::WidgetUpdateMode;
    using ModelPtr = models::ConstListModelPtr<T>;

    ComboBoxPropertyBinding(
        QComboBox& comboBox, PropertyPtr<T> property, ModelPtr model,
        BindingInterface::ModelUpdateMode modelUpdateMode = BindingInterface::ModelUpdate_Immediate,
        WidgetUpdateMode mode = BindingInterface::WidgetUpdate_Immediate)
        : LineEditPropertyBindingAbstract<T>(&comboBox, comboBox.lineEdit(), std::move(property), mode)
        , m_comboBox(&comboBox)
        , m_model(std::move(model)) {
        this->listenToLineEdit();
        init(modelUpdateMode);
        this->refreshWidget();
    }

    ~ComboBoxPropertyBinding() override { this->core().disconnectAll(); }

    void updateWidget() override {
        m_modelChanging = false;
        if (!m_comboBox)
            return;
        if (showValue())
            return;
        // A value the model does not offer (the list was swapped for another) cannot be shown by
        // a combo box the user cannot type into: its first row is shown and becomes the value,
        // since what the user sees is what OK will use.
        if (!m_comboBox->isEditable() && m_model->size() > 0)
            this->commitValue(m_model->get(0));
    }

    const models::ListModelInterface<T>& model() const { return *m_model; }

private:
    // Whether the property's value is one the combo box can show as it is.
    bool showValue() {
        const auto blocker = this->core().blockOwnConnections();
        const T value = this->property()->retrieveValue();
        const int index = m_model->indexOf(value);
        bool shown = true;
        if (index != -1) {
            m_comboBox->setCurrentIndex(index);
        } else if (m_comboBox->isEditable()) {
            m_comboBox->setEditText(this->valueText(value));
        } else {
            shown = false;
            if (m_model->size() > 0)
                m_comboBox->setCurrentIndex(0);
        }
        this->rememberShownText();
        return shown;
    }

    void init(BindingInterface::ModelUpdateMode modelUpdateMode) {
        if (modelUpdateMode == BindingInterface::ModelUpdate_DeferredWhileBusy)
            m_deferrer = std::make_unique<WidgetUpdateDeferrerOnBusy>(*m_comboBox);
        m_comboBox->setInsertPolicy(QComboBox::NoInsert);
        auto& core = this->core();
        core.addConnection(m_model->connectToDataChangedSignal([this] { modelChanged(); }));
        core.addConnection(m_model->connectToItemChangedSignal([this](int) { modelChanged(); }));
        core.addConnection(m_model->connectToItemsInsertedSignal([this](int, int) { modelChanged(); }));
        core.addConnection(m_model->connectToItemsRemovedSignal([this](int, int) { modelChanged(); }));
        m_adaptor = std::make_unique<models::QListModel<T>>(m_model);
        m_comboBox->setModel(m_adaptor.get());
        if (auto* listView = qobject_cast<QListView*>(m_comboBox->view()))
            listView->setUniformItemSizes(true);
        m_observable = std::make_unique<QComboBoxObservable>(*m_comboBox);
        core.addConnection(m_observable->addListener(m_listener));
    }

    // While the model changes, the combo box moves its current row by itself; those moves are
    // not the user's choice, and the idle update puts the property's value back.
    void modelChanged() {
        m_modelChanging = true;
        if (m_deferrer)
            m_deferrer->busy();
        this->updateValueOnIdle();
    }

    void choose(int index) {
        if (index < 0 || m_modelChanging || index >= m_model->size())
            return;
        this->commitValue(m_model->get(index));
    }

    struct QComboBoxListener : QComboBoxObservable::Listener {
        explicit QComboBoxListener(ComboBoxPropertyBinding& owner)
            : binding(owner) {}
        void currentIndexChanged(int index, QComboBoxObservable&) override { binding.choose(index); }
        ComboBoxPropertyBinding& binding;
    };

    QPointer<QComboBox> m_comboBox;
    ModelPtr m_model;
    std::unique_ptr<WidgetUpdateDeferrerOnBusy> m_deferrer;
    std::unique_ptr<models::QListModel<T>> m_adaptor;
    bool m_modelChanging = false;
    QComboBoxListener m_listener{*this};
    std::unique_ptr<QComboBoxObservable> m_observable;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings
