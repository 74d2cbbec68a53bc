#pragma once

#include "host/ListViewSynchronizerInterface.h"
#include "host/PropertyBindingInterface.h"

#include <memory>

namespace qelmar::sdk::ui::dialogs {

// Binds a list view: the synchronizer it owns keeps the view's selection and a property in
// step, and the binding reports the user's selection changes to it once init() was called.
// Visibility and sensitivity states apply to the view.
class ListViewPropertyBinding : public virtual PropertyBindingInterface {
public:
    explicit ListViewPropertyBinding(std::unique_ptr<ListViewSynchronizerInterface> synchronizer,
                                     WidgetUpdateMode_e mode = WidgetUpdate_Immediate);
    ~ListViewPropertyBinding() override;

    // Starts following the user's selection. Call it once the synchronizer has given the view
    // its model: replacing the model replaces the selection model that is watched.
    void init();

    ListViewSynchronizerInterface& synchronizer() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
