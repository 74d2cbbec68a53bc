#pragma once

#include "propertyframework/RelevanceInterface.h"
#include "propertyframework/SignalConnectionCollection.h"
#include "propertyframework/models/ListModelInterface.h"

#include <functional>

namespace qelmar::sdk::ui::propertymanager {

// A relevance that a predicate decides, asked again whenever the model changes in any way.
// The model must outlive the relevance or stop signalling before it goes.
template <typename T> class ModelDependentRelevance : public virtual RelevanceInterface {
public:
    using Model = dialogs::propertybindings::models::ListModelInterface<T>;
    using Predicate = std::function<bool()>;

    ModelDependentRelevance(const Model& model, Predicate predicate)
        : m_predicate(std::move(predicate)) {
        m_connections.add(model.connectToDataChangedSignal([this] { emitRelevanceChanged(); }));
        m_connections.add(model.connectToItemChangedSignal([this](int) { emitRelevanceChanged(); }));
        m_connections.add(model.connectToItemsInsertedSignal([this](int, int) { emitRelevanceChanged(); }));
        m_connections.add(model.connectToItemsRemovedSignal([this](int, int) { emitRelevanceChanged(); }));
    }

    bool isRelevant() const override { return m_predicate(); }

private:
    Predicate m_predicate;
    SignalConnectionCollection m_connections;
};

} // namespace qelmar::sdk::ui::propertymanager
