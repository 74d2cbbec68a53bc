#pragma once

#include <QWidget>

#include <memory>

namespace qelmar::sdk::ui::propertymanager {
class PostLoadOptionsPropertiesManager;
}

namespace qelmar::sdk::ui::postload {

// The "Suggested matches" panel of the "Variable Load and Combine" window: each available name
// with the variable to load it probably means and why ("available -> variable (reason)").
// Accepting a suggestion is a Combine of that pair through the manager, so every rule and
// refusal of Combine applies. The list follows the manager's lists, recomputed once per turn of
// the event loop however many changes a command makes.
class SuggestionsPanel : public QWidget {
public:
    SuggestionsPanel(propertymanager::PostLoadOptionsPropertiesManager& manager, QWidget* parent);
    ~SuggestionsPanel() override;

    // Recomputes the list now rather than on the next turn of the event loop.
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::postload
