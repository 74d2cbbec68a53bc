#include "host/RelevanceApplier.h"

#include "host/OnIdleActionPerformerSingleShot.h"
#include "host/SignalConnectionCollection.h"

#include <QPointer>
#include <QWidget>

namespace qelmar::sdk::ui::dialogs {

struct RelevanceApplier::Impl {
    Impl(propertymanager::RelevancePtr appliedRelevance, int appliedManifestation)
        : relevance(std::move(appliedRelevance))
        , manifestation(appliedManifestation)
        , deferredApply([this] { apply(); }) {}

    void apply() const {
        const bool relevant = relevance->isRelevant();
        for (const auto& widget : widgets) {
            if (!widget)
                continue;
            if (manifestation == Manifestation_Show)
                widget->setVisible(relevant);
            else
                widget->setEnabled(relevant);
        }
    }

    propertymanager::RelevancePtr relevance;
    const int manifestation;
    std::vector<QPointer<QWidget>> widgets;
    OnIdleActionPerformerSingleShot deferredApply;
    SignalConnectionCollection connections;
};

RelevanceApplier::RelevanceApplier(propertymanager::RelevancePtr relevance, std::vector<QWidget*> widgets,
                                   int manifestation, int widgetUpdateMode)
    : m_impl(std::make_unique<Impl>(std::move(relevance), manifestation)) {
    for (QWidget* widget : widgets) {
        if (widget)
            m_impl->widgets.emplace_back(widget);
    }
    Impl* impl = m_impl.get();
    if (widgetUpdateMode == BindingInterface::WidgetUpdate_Immediate)
        m_impl->connections.add(
            m_impl->relevance->connectToRelevanceChangedSignal([impl] { impl->apply(); }));
    else
        m_impl->connections.add(m_impl->relevance->connectToRelevanceChangedSignal(
            [impl] { impl->deferredApply.enableNotification(); }));
    // A dialog shows its controls right from the start, not only after the first change.
    m_impl->apply();
}

RelevanceApplier::~RelevanceApplier() = default;

void RelevanceApplier::apply() const {
    m_impl->apply();
}

} // namespace qelmar::sdk::ui::dialogs
