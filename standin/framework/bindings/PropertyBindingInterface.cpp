#include "host/PropertyBindingInterface.h"

namespace qelmar::sdk::ui::dialogs {

struct PropertyBindingInterface::Impl {
    BindingRelevanceState visibility;
    BindingRelevanceState sensitivity;
};

PropertyBindingInterface::PropertyBindingInterface()
    : m_impl(std::make_unique<Impl>()) {}

PropertyBindingInterface::~PropertyBindingInterface() = default;

BindingRelevanceState& PropertyBindingInterface::visibilityState() {
    return m_impl->visibility;
}

const BindingRelevanceState& PropertyBindingInterface::visibilityState() const {
    return m_impl->visibility;
}

BindingRelevanceState& PropertyBindingInterface::sensitivityState() {
    return m_impl->sensitivity;
}

const BindingRelevanceState& PropertyBindingInterface::sensitivityState() const {
    return m_impl->sensitivity;
}

void PropertyBindingInterface::setVisibilityRelevance(propertymanager::RelevancePtr relevance) {
    m_impl->visibility.setRelevance(std::move(relevance));
}

void PropertyBindingInterface::setSensitivityRelevance(propertymanager::RelevancePtr relevance) {
    m_impl->sensitivity.setRelevance(std::move(relevance));
}

} // namespace qelmar::sdk::ui::dialogs
