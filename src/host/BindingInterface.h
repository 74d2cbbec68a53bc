#pragma once

namespace qelmar::sdk::ui::dialogs {

// Root of every binding a dialog owns: destroying a binding releases everything it connected.
class BindingInterface {
public:
    // How a binding brings a widget up to date after a change: at once, or at the next idle moment.
    enum WidgetUpdateMode_e { WidgetUpdate_Immediate = 0, WidgetUpdate_OnIdle = 1 };
    // How a binding follows changes of the model behind a widget.
    enum ModelUpdateMode { ModelUpdate_Immediate = 0, ModelUpdate_DeferredWhileBusy = 1 };

    BindingInterface() = default;
    BindingInterface(const BindingInterface&) = delete;
    BindingInterface& operator=(const BindingInterface&) = delete;
    virtual ~BindingInterface() = default;
};

} // namespace qelmar::sdk::ui::dialogs
