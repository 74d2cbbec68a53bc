#include "host/WidgetBindingCore.h"

#include "host/AppLock.h"
#include "host/KernelMessages.h"
#include "host/OnIdleActionPerformerSingleShot.h"
#include "host/PropertyBindingInterface.h"
#include "propertyframework/InvalidPropertyValueException.h"

#include <QCoreApplication>
#include <QPointer>
#include <QStackedWidget>
#include <QWidget>

namespace qelmar::sdk::ui::dialogs {

namespace {

void showToUser(const std::string& message) {
    QelUtilDialogMessageBox(message.c_str(), MessageBox_Error);
}

// A page of a stacked widget is shown by making it the current page; the stack hides the
// others itself, and hiding the current page would leave the stack showing nothing.
void setShown(QWidget* widget, bool shown) {
    if (auto* stack = qobject_cast<QStackedWidget*>(widget->parentWidget())) {
        if (shown)
            stack->setCurrentWidget(widget);
        return;
    }
    widget->setVisible(shown);
}

void setEnabled(QWidget* widget, bool enabled) {
    widget->setEnabled(enabled);
}

} // namespace

struct WidgetBindingCore::Impl {
    Impl(std::vector<QWidget*> boundWidgets, int widgetUpdateMode, std::function<void()> update)
        : mode(static_cast<WidgetUpdateMode>(widgetUpdateMode))
        , updateWidget(std::move(update))
        , widgetUpdate([this] { runUpdate(); })
        , visibilityUpdate([this] { applyVisibility(); })
        , sensitivityUpdate([this] { applySensitivity(); }) {
        for (QWidget* widget : boundWidgets) {
            if (widget)
                widgets.emplace_back(widget);
        }
    }

    void schedule(OnIdleActionPerformerSingleShot& performer, void (Impl::*run)()) {
        if (mode == BindingInterface::WidgetUpdate_Immediate)
            (this->*run)();
        else
            performer.enableNotification();
    }

    void runUpdate() {
        if (!updateWidget || !hasLiveWidget())
            return;
        const SignalConnectionCollection::ConnectionBlocker blocker(connections);
        try {
            updateWidget();
        } catch (const ExceptionBase& failure) {
            reportFailure(failure);
        }
    }

    void apply(const std::function<bool()>& condition, void (*set)(QWidget*, bool)) {
        if (!condition)
            return;
        bool holds = false;
        try {
            holds = condition();
        } catch (const ExceptionBase& failure) {
            reportFailure(failure);
            return;
        }
        for (const auto& widget : widgets) {
            if (widget)
                set(widget.data(), holds);
        }
    }

    void applyVisibility() { apply(visible, &setShown); }
    void applySensitivity() { apply(enabled, &setEnabled); }

    bool hasLiveWidget() const {
        for (const auto& widget : widgets) {
            if (widget)
                return true;
        }
        return false;
    }

    QWidget* focusTarget(QWidget* requested) const {
        if (requested)
            return requested;
        return widgets.empty() ? nullptr : widgets.front().data();
    }

    const WidgetUpdateMode mode;
    std::vector<QPointer<QWidget>> widgets;
    std::function<void()> updateWidget;
    std::function<bool()> visible;
    std::function<bool()> enabled;
    OnIdleActionPerformerSingleShot widgetUpdate;
    OnIdleActionPerformerSingleShot visibilityUpdate;
    OnIdleActionPerformerSingleShot sensitivityUpdate;
    // Last, so that its connections go before everything they reach.
    SignalConnectionCollection connections;
};

WidgetBindingCore::WidgetBindingCore(std::vector<QWidget*> widgets, int widgetUpdateMode,
                                     std::function<void()> updateWidget)
    : m_impl(std::make_unique<Impl>(std::move(widgets), widgetUpdateMode, std::move(updateWidget))) {}

WidgetBindingCore::WidgetBindingCore(QWidget* widget, int widgetUpdateMode,
                                     std::function<void()> updateWidget)
    : WidgetBindingCore(std::vector<QWidget*>{widget}, widgetUpdateMode, std::move(updateWidget)) {}

WidgetBindingCore::~WidgetBindingCore() {
    disconnectAll();
}

QWidget* WidgetBindingCore::widget() const {
    return m_impl->widgets.empty() ? nullptr : m_impl->widgets.front().data();
}

WidgetBindingCore::WidgetUpdateMode WidgetBindingCore::widgetUpdateMode() const {
    return m_impl->mode;
}

void WidgetBindingCore::valueChanged() {
    m_impl->schedule(m_impl->widgetUpdate, &Impl::runUpdate);
}

void WidgetBindingCore::updateValueOnIdle() {
    m_impl->widgetUpdate.enableNotification();
}

void WidgetBindingCore::updateWidgetNow() {
    m_impl->runUpdate();
}

void WidgetBindingCore::setVisibilityCondition(std::function<bool()> holds) {
    m_impl->visible = std::move(holds);
}

void WidgetBindingCore::setSensitivityCondition(std::function<bool()> holds) {
    m_impl->enabled = std::move(holds);
}

void WidgetBindingCore::visibilityChanged() {
    m_impl->schedule(m_impl->visibilityUpdate, &Impl::applyVisibility);
}

void WidgetBindingCore::sensitivityChanged() {
    m_impl->schedule(m_impl->sensitivityUpdate, &Impl::applySensitivity);
}

void WidgetBindingCore::applyVisibility() {
    m_impl->applyVisibility();
}

void WidgetBindingCore::applySensitivity() {
    m_impl->applySensitivity();
}

void WidgetBindingCore::followStatesOf(const PropertyBindingInterface& binding) {
    const BindingRelevanceState& visibility = binding.visibilityState();
    const BindingRelevanceState& sensitivity = binding.sensitivityState();
    setVisibilityCondition([&visibility] { return visibility.isActive(); });
    setSensitivityCondition([&sensitivity] { return sensitivity.isActive(); });
    addConnection(visibility.connectToChangedSignal([this] { visibilityChanged(); }));
    addConnection(sensitivity.connectToChangedSignal([this] { sensitivityChanged(); }));
}

void WidgetBindingCore::addConnection(const boost::signals2::connection& connection) {
    m_impl->connections.add(connection);
}

SignalConnectionCollection::ConnectionBlocker WidgetBindingCore::blockOwnConnections() const {
    return SignalConnectionCollection::ConnectionBlocker(m_impl->connections);
}

void WidgetBindingCore::disconnectAll() {
    m_impl->connections.clear();
}

bool WidgetBindingCore::commitUserEdit(const std::function<void()>& store, QWidget* focusWidget) {
    const AppLock lock(AppLock::NoImplicitMacroRecord);
    try {
        store();
        return true;
    } catch (const InvalidPropertyValueException& refused) {
        if (!refused.message().empty())
            showToUser(refused.message());
    } catch (const ExceptionBase& failure) {
        reportFailure(failure);
    }
    restoreWidget(focusWidget);
    return false;
}

// A failure without a text of its own still deserves a word to the user rather than silence.
void WidgetBindingCore::reportFailure(const ExceptionBase& failure) {
    if (!failure.message().empty())
        showToUser(failure.message());
    else
        showToUser(QCoreApplication::translate("WidgetBindingCore", "Invalid value.").toStdString());
}

void WidgetBindingCore::restoreWidget(QWidget* focusWidget) {
    m_impl->runUpdate();
    if (QWidget* target = m_impl->focusTarget(focusWidget)) {
        target->activateWindow();
        target->setFocus(Qt::OtherFocusReason);
    }
}

} // namespace qelmar::sdk::ui::dialogs
