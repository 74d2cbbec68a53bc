#include "postload/SuggestionsPanel.h"

#include "postload/PostLoadOptionsPropertiesManager.h"
#include "postload/VariableNameSimilarity.h"

#include "propertyframework/SignalConnectionCollection.h"

#include "ui_SuggestionsPanel.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace qelmar::sdk::ui::postload {

using propertymanager::PostLoadOptionsPropertiesManager;

namespace {

QString panelText(const char* text) {
    return QCoreApplication::translate("SuggestionsPanel", text);
}

QString suggestionText(const NameSuggestion& suggestion) {
    return panelText("%1 -> %2 (%3)")
        .arg(QString::fromStdString(suggestion.availableName),
             QString::fromStdString(suggestion.variableName),
             panelText(similarityReasonText(suggestion.reason).c_str()));
}

} // namespace

struct SuggestionsPanel::Impl {
    PostLoadOptionsPropertiesManager& manager;
    QListWidget* list = nullptr;
    QPushButton* accept = nullptr;
    QPushButton* acceptAll = nullptr;
    QTimer refreshSoon;
    std::vector<NameSuggestion> shown;
    bool stale = false;
    SignalConnectionCollection connections;

    explicit Impl(PostLoadOptionsPropertiesManager& manager)
        : manager(manager) {}

    void followManager() {
        refreshSoon.setSingleShot(true);
        refreshSoon.setInterval(0);
        // Out of sight, the list waits until it is shown: a window between loads, or with the
        // panel switched off, asks for nothing.
        const auto changed = [this] {
            if (list->isVisible())
                refreshSoon.start();
            else
                stale = true;
        };
        manager.followListChanges(changed, connections);
        connections.add(manager.filePath()->connectToValueChangedSignalUnique(
            [changed](const std::string&) { changed(); }));
    }

    void refresh() {
        refreshSoon.stop();
        stale = false;
        shown = manager.suggestions();
        list->clear();
        for (const NameSuggestion& suggestion : shown)
            list->addItem(suggestionText(suggestion));
        if (!shown.empty())
            list->setCurrentRow(0);
        updateButtons();
    }

    void updateButtons() {
        accept->setEnabled(list->currentRow() >= 0);
        acceptAll->setEnabled(!shown.empty());
    }

    void combine(const NameSuggestion& suggestion) {
        manager.selectedVarsAvailable()->setValue({suggestion.availableRow});
        manager.selectedVarsToLoad()->setValue({suggestion.toLoadRow});
        manager.combine();
    }

    void acceptCurrent() {
        const int row = list->currentRow();
        if (row < 0 || row >= static_cast<int>(shown.size()))
            return;
        combine(shown[static_cast<std::size_t>(row)]);
        refresh();
    }

    // A combined name leaves the available list and the rows below it move up, while the
    // variables keep their rows; going from the last available row up keeps every row valid.
    void acceptAllSuggestions() {
        std::vector<NameSuggestion> pending = shown;
        std::sort(pending.begin(), pending.end(), [](const NameSuggestion& a, const NameSuggestion& b) {
            return a.availableRow > b.availableRow;
        });
        for (const NameSuggestion& suggestion : pending)
            combine(suggestion);
        refresh();
    }
};

SuggestionsPanel::SuggestionsPanel(PostLoadOptionsPropertiesManager& manager, QWidget* parent)
    : QWidget(parent)
    , m_impl(std::make_unique<Impl>(manager)) {
    Ui_SuggestionsPanel form;
    form.setupUi(this);
    m_impl->list = form.suggestions_ListView;
    m_impl->accept = form.suggestions_Accept_Button;
    m_impl->acceptAll = form.suggestions_AcceptAll_Button;

    connect(&m_impl->refreshSoon, &QTimer::timeout, this, [this] { m_impl->refresh(); });
    connect(m_impl->list, &QListWidget::currentRowChanged, this, [this] { m_impl->updateButtons(); });
    connect(m_impl->list, &QListWidget::itemDoubleClicked, this, [this] { m_impl->acceptCurrent(); });
    connect(m_impl->accept, &QPushButton::clicked, this, [this] { m_impl->acceptCurrent(); });
    connect(m_impl->acceptAll, &QPushButton::clicked, this, [this] { m_impl->acceptAllSuggestions(); });
    m_impl->followManager();
    m_impl->stale = true;
    m_impl->updateButtons();
}

// The connections go before the widgets they update.
SuggestionsPanel::~SuggestionsPanel() {
    m_impl->connections.clear();
}

void SuggestionsPanel::refresh() {
    m_impl->refresh();
}

void SuggestionsPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_impl->stale || m_impl->refreshSoon.isActive())
        m_impl->refresh();
}

} // namespace qelmar::sdk::ui::postload
