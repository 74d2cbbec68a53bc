#include "host/ListViewPropertyBinding.h"

#include "host/WidgetBindingCore.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QPointer>

namespace qelmar::sdk::ui::dialogs {

struct ListViewPropertyBinding::Impl {
    Impl(ListViewPropertyBinding& binding, std::unique_ptr<ListViewSynchronizerInterface> owned,
         WidgetUpdateMode_e mode)
        : synchronizer(std::move(owned))
        , core(synchronizer->view(), mode, [this] { synchronizer->updateWidgetFromProperty(); }) {
        core.followStatesOf(binding);
    }

    ~Impl() { QObject::disconnect(selectionChanged); }

    void userSelectionChanged() {
        if (!synchronizer->isUpdating())
            synchronizer->updatePropertyFromWidget();
    }

    std::unique_ptr<ListViewSynchronizerInterface> synchronizer;
    WidgetBindingCore core;
    QMetaObject::Connection selectionChanged;
};

ListViewPropertyBinding::ListViewPropertyBinding(std::unique_ptr<ListViewSynchronizerInterface> synchronizer,
                                                 WidgetUpdateMode_e mode)
    : m_impl(std::make_unique<Impl>(*this, std::move(synchronizer), mode)) {}

ListViewPropertyBinding::~ListViewPropertyBinding() = default;

void ListViewPropertyBinding::init() {
    QObject::disconnect(m_impl->selectionChanged);
    QListView* view = m_impl->synchronizer->view();
    if (!view || !view->selectionModel())
        return;
    Impl* impl = m_impl.get();
    m_impl->selectionChanged =
        QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged,
                         [impl] { impl->userSelectionChanged(); });
}

ListViewSynchronizerInterface& ListViewPropertyBinding::synchronizer() const {
    return *m_impl->synchronizer;
}

} // namespace qelmar::sdk::ui::dialogs
