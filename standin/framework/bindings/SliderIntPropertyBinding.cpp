#include "host/SliderIntPropertyBinding.h"

#include "host/WidgetBindingCore.h"

#include <QAbstractSlider>
#include <QPointer>

#include <algorithm>
#include <climits>

namespace qelmar::sdk::ui::dialogs {

namespace {

int toSliderInt(long value) {
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

} // namespace

struct SliderIntPropertyBinding::Impl {
    Impl(SliderIntPropertyBinding& binding, QAbstractSlider* boundSlider, PropertyPtr<long> boundProperty,
         RangePtr boundRange, WidgetUpdateMode_e mode)
        : property(std::move(boundProperty))
        , range(std::move(boundRange))
        , slider(boundSlider)
        , core(boundSlider, mode, [this] { showValue(); }) {
        core.followStatesOf(binding);
    }

    ~Impl() { QObject::disconnect(valueChanged); }

    void showValue() {
        if (!slider)
            return;
        if (range) {
            const auto limits = range->retrieveValue();
            slider->setRange(toSliderInt(limits.min()), toSliderInt(limits.max()));
            slider->setSingleStep(toSliderInt(std::max(1L, limits.stepSize())));
        }
        slider->setValue(toSliderInt(property->retrieveValue()));
    }

    void userMoved(int value) {
        core.commitUserEdit([this, value] { property->setValue(value); });
    }

    PropertyPtr<long> property;
    RangePtr range;
    QPointer<QAbstractSlider> slider;
    // The slider's moves pass through a signal of the binding's own, whose connection the core
    // blocks while it writes into the slider: Qt cannot block a single connection.
    Signal<void(int)> moved;
    QMetaObject::Connection valueChanged;
    WidgetBindingCore core;
};

SliderIntPropertyBinding::SliderIntPropertyBinding(QAbstractSlider* slider, PropertyPtr<long> property,
                                                   RangePtr range, WidgetUpdateMode_e mode)
    : m_impl(std::make_unique<Impl>(*this, slider, std::move(property), std::move(range), mode)) {
    Impl* impl = m_impl.get();
    m_impl->core.listenTo(*m_impl->property);
    if (m_impl->range)
        m_impl->core.listenTo(*m_impl->range);
    m_impl->core.addConnection(m_impl->moved.connect([impl](int value) { impl->userMoved(value); }));
    m_impl->valueChanged =
        QObject::connect(slider, &QAbstractSlider::valueChanged, [impl](int value) { impl->moved(value); });
    updateWidget();
}

SliderIntPropertyBinding::~SliderIntPropertyBinding() = default;

void SliderIntPropertyBinding::updateWidget() {
    m_impl->core.updateWidgetNow();
}

} // namespace qelmar::sdk::ui::dialogs
