#pragma once

class QListView;

namespace qelmar::sdk::ui::dialogs {

// Keeps a list view's selection and a property in step; a ListViewPropertyBinding owns one and
// reports the user's selection changes to it.
class ListViewSynchronizerInterface {
public:
    ListViewSynchronizerInterface() = default;
    ListViewSynchronizerInterface(const ListViewSynchronizerInterface&) = delete;
    ListViewSynchronizerInterface& operator=(const ListViewSynchronizerInterface&) = delete;
    virtual ~ListViewSynchronizerInterface() = default;

    virtual void updateWidgetFromProperty() = 0;
    virtual void updatePropertyFromWidget() = 0;
    // True while the synchronizer changes the selection itself or while the model changes:
    // selection changes are not the user's then.
    virtual bool isUpdating() const = 0;
    // Null once the view was destroyed.
    virtual QListView* view() const = 0;
};

} // namespace qelmar::sdk::ui::dialogs
