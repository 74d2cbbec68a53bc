#include "host/BindingRelevanceState.h"

#include "propertyframework/SignalConnectionCollection.h"

namespace qelmar::sdk::ui::dialogs {

struct BindingRelevanceState::Impl {
    propertymanager::RelevancePtr relevance;
    mutable ChangedSignal signalChanged;
    SignalConnectionCollection connections;
};

BindingRelevanceState::BindingRelevanceState()
    : m_impl(std::make_unique<Impl>()) {}

BindingRelevanceState::~BindingRelevanceState() = default;

bool BindingRelevanceState::isActive() const {
    return !m_impl->relevance || m_impl->relevance->isRelevant();
}

void BindingRelevanceState::setRelevance(propertymanager::RelevancePtr relevance) {
    m_impl->connections.clear();
    m_impl->relevance = std::move(relevance);
    if (m_impl->relevance) {
        Impl* impl = m_impl.get();
        m_impl->connections.add(
            m_impl->relevance->connectToRelevanceChangedSignal([impl] { impl->signalChanged(); }));
    }
    m_impl->signalChanged();
}

const propertymanager::RelevancePtr& BindingRelevanceState::relevance() const {
    return m_impl->relevance;
}

boost::signals2::connection
BindingRelevanceState::connectToChangedSignal(const ChangedSignal::slot_type& slot) const {
    return m_impl->signalChanged.connect(slot);
}

} // namespace qelmar::sdk::ui::dialogs
