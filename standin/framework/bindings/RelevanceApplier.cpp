#include "host/RelevanceApplier.h"

#include "host/WidgetBindingCore.h"

namespace qelmar::sdk::ui::dialogs {

struct RelevanceApplier::Impl {
    Impl(propertymanager::RelevancePtr appliedRelevance, std::vector<QWidget*> widgets, int manifestation,
         int widgetUpdateMode)
        : relevance(std::move(appliedRelevance))
        , shows(manifestation == Manifestation_Show)
        , core(std::move(widgets), widgetUpdateMode) {
        const propertymanager::RelevanceInterface* observed = relevance.get();
        auto holds = [observed] { return observed->isRelevant(); };
        if (shows)
            core.setVisibilityCondition(holds);
        else
            core.setSensitivityCondition(holds);
        core.addConnection(relevance->connectToRelevanceChangedSignal([this] { changed(); }));
    }

    void changed() {
        if (shows)
            core.visibilityChanged();
        else
            core.sensitivityChanged();
    }

    void apply() {
        if (shows)
            core.applyVisibility();
        else
            core.applySensitivity();
    }

    propertymanager::RelevancePtr relevance;
    const bool shows;
    WidgetBindingCore core;
};

RelevanceApplier::RelevanceApplier(propertymanager::RelevancePtr relevance, std::vector<QWidget*> widgets,
                                   int manifestation, int widgetUpdateMode)
    : m_impl(
          std::make_unique<Impl>(std::move(relevance), std::move(widgets), manifestation, widgetUpdateMode)) {
    // A dialog shows its controls right from the start, not only after the first change.
    m_impl->apply();
}

RelevanceApplier::~RelevanceApplier() = default;

void RelevanceApplier::apply() const {
    m_impl->apply();
}

} // namespace qelmar::sdk::ui::dialogs
