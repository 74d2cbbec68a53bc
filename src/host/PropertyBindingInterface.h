#pragma once

#include "host/BindingInterface.h"
#include "host/BindingRelevanceState.h"

#include <memory>

namespace qelmar::sdk::ui::dialogs {

// Base of every binding between a property and a widget. Besides the value, such a binding
// carries whether its widget is shown (visibility) and enabled (sensitivity); each follows an
// optional relevance, and the binding applies it to its widget whenever the state changes.
// Until a relevance is given the widget keeps the visibility and enabled state of its form.
class PropertyBindingInterface : public virtual BindingInterface {
public:
    PropertyBindingInterface();
    ~PropertyBindingInterface() override;

    BindingRelevanceState& visibilityState();
    const BindingRelevanceState& visibilityState() const;
    BindingRelevanceState& sensitivityState();
    const BindingRelevanceState& sensitivityState() const;

    void setVisibilityRelevance(propertymanager::RelevancePtr relevance);
    void setSensitivityRelevance(propertymanager::RelevancePtr relevance);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
