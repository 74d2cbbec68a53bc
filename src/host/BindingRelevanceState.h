#pragma once

#include "propertyframework/RelevanceInterface.h"
#include "propertyframework/Signal.h"

#include <memory>

namespace qelmar::sdk::ui::dialogs {

// One yes/no state of a binding (is its widget shown? is it enabled?), fed by an optional
// relevance. Without a relevance the state holds. The change signal fires whenever the
// relevance notifies or the relevance is replaced; listeners ask isActive() again.
class BindingRelevanceState {
public:
    using ChangedSignal = Signal<void()>;

    BindingRelevanceState();
    BindingRelevanceState(const BindingRelevanceState&) = delete;
    BindingRelevanceState& operator=(const BindingRelevanceState&) = delete;
    ~BindingRelevanceState();

    bool isActive() const;

    void setRelevance(propertymanager::RelevancePtr relevance);
    const propertymanager::RelevancePtr& relevance() const;

    boost::signals2::connection connectToChangedSignal(const ChangedSignal::slot_type& slot) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
