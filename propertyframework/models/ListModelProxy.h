#pragma once

#include "propertyframework/SignalConnectionCollection.h"
#include "propertyframework/models/ListModelAbstract.h"

#include <memory>

namespace qelmar::sdk::ui::dialogs::propertybindings::models {

// Forwards to an inner model that can be exchanged, also through a constant proxy, so that a
// view or a binding keeps one model while the choices behind it change. The proxy re-emits the
// inner model's signals as its own.
template <typename T> class ListModelProxy : public ListModelAbstract<T> {
public:
    explicit ListModelProxy(const std::shared_ptr<ListModelInterface<T>>& model = nullptr)
        : m_state(std::make_unique<State>()) {
        if (model)
            setModel(model);
    }

    // Views and bindings reload on the data-changed signal that this fires once.
    void setModel(const std::shared_ptr<ListModelInterface<T>>& model) const {
        m_state->connections.clear();
        m_state->model = model;
        if (model)
            forwardSignalsOf(*model);
        this->emitDataChanged();
    }

    const std::shared_ptr<ListModelInterface<T>>& model() const { return m_state->model; }

    int size() const override { return m_state->model ? m_state->model->size() : 0; }
    T get(int row) const override { return m_state->model->get(row); }
    std::string getStr(int row) const override { return m_state->model->getStr(row); }
    void set(T value, int row) override { m_state->model->set(value, row); }

    int indexOf(const T& value) const override {
        return m_state->model ? m_state->model->indexOf(value) : -1;
    }

private:
    struct State {
        std::shared_ptr<ListModelInterface<T>> model;
        SignalConnectionCollection connections;
    };

    void forwardSignalsOf(const ListModelInterface<T>& model) const {
        auto& connections = m_state->connections;
        connections.add(model.connectToDataChangedSignal([this] { this->emitDataChanged(); }));
        connections.add(model.connectToItemChangedSignal([this](int row) { this->emitItemChanged(row); }));
        connections.add(model.connectToItemsInsertedSignal(
            [this](int first, int last) { this->emitItemsInserted(first, last); }));
        connections.add(model.connectToItemsRemovedSignal(
            [this](int first, int last) { this->emitItemsRemoved(first, last); }));
    }

    // Destroyed before the signals of the base, so no forwarding outlives the proxy.
    std::unique_ptr<State> m_state;
};

} // namespace qelmar::sdk::ui::dialogs::propertybindings::models
