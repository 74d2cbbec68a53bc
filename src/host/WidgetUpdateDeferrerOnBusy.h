#pragma once

#include <memory>

class QWidget;

namespace qelmar::sdk::ui {

// Stops a widget from repainting while what it shows changes in a burst (a model refilled row
// by row) and lets it repaint once at the next idle moment.
class WidgetUpdateDeferrerOnBusy {
public:
    explicit WidgetUpdateDeferrerOnBusy(QWidget& widget);
    WidgetUpdateDeferrerOnBusy(const WidgetUpdateDeferrerOnBusy&) = delete;
    WidgetUpdateDeferrerOnBusy& operator=(const WidgetUpdateDeferrerOnBusy&) = delete;
    // Gives the widget its updates back if a burst was still going on.
    ~WidgetUpdateDeferrerOnBusy();

    // The widget's content is changing; repainting waits for the next idle moment.
    void busy();
    bool isDeferring() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui
