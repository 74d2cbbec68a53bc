#pragma once

#include "host/BindingInterface.h"
#include "propertyframework/RelevanceInterface.h"

#include <memory>
#include <vector>

class QWidget;

namespace qelmar::sdk::ui::dialogs {

// Makes widgets follow a relevance: enabled (or shown) while it holds, disabled (or hidden)
// otherwise. It applies the relevance once when constructed, then on every notification, at
// once or at the next idle moment. Widgets destroyed before the applier are left alone.
class RelevanceApplier {
public:
    enum Manifestation_e { Manifestation_Enable = 0, Manifestation_Show = 1 };

    RelevanceApplier(propertymanager::RelevancePtr relevance, std::vector<QWidget*> widgets,
                     int manifestation = Manifestation_Enable,
                     int widgetUpdateMode = BindingInterface::WidgetUpdate_Immediate);

    RelevanceApplier(propertymanager::RelevancePtr relevance, QWidget* w1,
                     int manifestation = Manifestation_Enable,
                     int widgetUpdateMode = BindingInterface::WidgetUpdate_Immediate)
        : RelevanceApplier(std::move(relevance), std::vector<QWidget*>{w1}, manifestation, widgetUpdateMode) {
    }
    RelevanceApplier(propertymanager::RelevancePtr relevance, QWidget* w1, QWidget* w2,
                     int manifestation = Manifestation_Enable,
                     int widgetUpdateMode = BindingInterface::WidgetUpdate_Immediate)
        : RelevanceApplier(std::move(relevance), std::vector<QWidget*>{w1, w2}, manifestation,
                           widgetUpdateMode) {}
    RelevanceApplier(propertymanager::RelevancePtr relevance, QWidget* w1, QWidget* w2, QWidget* w3,
                     int manifestation = Manifestation_Enable,
                     int widgetUpdateMode = BindingInterface::WidgetUpdate_Immediate)
        : RelevanceApplier(std::move(relevance), std::vector<QWidget*>{w1, w2, w3}, manifestation,
                           widgetUpdateMode) {}
    RelevanceApplier(propertymanager::RelevancePtr relevance, QWidget* w1, QWidget* w2, QWidget* w3,
                     QWidget* w4, int manifestation = Manifestation_Enable,
                     int widgetUpdateMode = BindingInterface::WidgetUpdate_Immediate)
        : RelevanceApplier(std::move(relevance), std::vector<QWidget*>{w1, w2, w3, w4}, manifestation,
                           widgetUpdateMode) {}
    RelevanceApplier(propertymanager::RelevancePtr relevance, QWidget* w1, QWidget* w2, QWidget* w3,
                     QWidget* w4, QWidget* w5, int manifestation = Manifestation_Enable,
                     int widgetUpdateMode = BindingInterface::WidgetUpdate_Immediate)
        : RelevanceApplier(std::move(relevance), std::vector<QWidget*>{w1, w2, w3, w4, w5}, manifestation,
                           widgetUpdateMode) {}
    RelevanceApplier(propertymanager::RelevancePtr relevance, QWidget* w1, QWidget* w2, QWidget* w3,
                     QWidget* w4, QWidget* w5, QWidget* w6, int manifestation = Manifestation_Enable,
                     int widgetUpdateMode = BindingInterface::WidgetUpdate_Immediate)
        : RelevanceApplier(std::move(relevance), std::vector<QWidget*>{w1, w2, w3, w4, w5, w6}, manifestation,
                           widgetUpdateMode) {}
    RelevanceApplier(propertymanager::RelevancePtr relevance, QWidget* w1, QWidget* w2, QWidget* w3,
                     QWidget* w4, QWidget* w5, QWidget* w6, QWidget* w7,
                     int manifestation = Manifestation_Enable,
                     int widgetUpdateMode = BindingInterface::WidgetUpdate_Immediate)
        : RelevanceApplier(std::move(relevance), std::vector<QWidget*>{w1, w2, w3, w4, w5, w6, w7},
                           manifestation, widgetUpdateMode) {}

    RelevanceApplier(const RelevanceApplier&) = delete;
    RelevanceApplier& operator=(const RelevanceApplier&) = delete;
    ~RelevanceApplier();

    // Brings the widgets up to date with the relevance now.
    void apply() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
