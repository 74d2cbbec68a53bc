#include "host/QButtonObservable.h"

#include "propertyframework/Signal.h"

#include <QAbstractButton>
#include <QPointer>

namespace qelmar::sdk::ui::dialogs {

void QButtonObservable::Listener::buttonToggled(QButtonObservable&) {}
void QButtonObservable::Listener::buttonClicked(QButtonObservable&) {}

namespace {
enum class ButtonEvent { Toggled, Clicked };
}

struct QButtonObservable::Impl {
    QPointer<QAbstractButton> button;
    Signal<void(ButtonEvent)> signalEvent;
    QMetaObject::Connection toggled;
    QMetaObject::Connection clicked;
};

QButtonObservable::QButtonObservable(QAbstractButton& button)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->button = &button;
    Impl* impl = m_impl.get();
    m_impl->toggled = QObject::connect(&button, &QAbstractButton::toggled,
                                       [impl] { impl->signalEvent(ButtonEvent::Toggled); });
    m_impl->clicked = QObject::connect(&button, &QAbstractButton::clicked,
                                       [impl] { impl->signalEvent(ButtonEvent::Clicked); });
}

QButtonObservable::~QButtonObservable() {
    QObject::disconnect(m_impl->toggled);
    QObject::disconnect(m_impl->clicked);
}

boost::signals2::connection QButtonObservable::addListener(Listener& listener) {
    return m_impl->signalEvent.connect([this, &listener](ButtonEvent event) {
        if (event == ButtonEvent::Toggled)
            listener.buttonToggled(*this);
        else
            listener.buttonClicked(*this);
    });
}

QAbstractButton* QButtonObservable::button() const {
    return m_impl->button.data();
}

bool QButtonObservable::isChecked() const {
    return m_impl->button && m_impl->button->isChecked();
}

} // namespace qelmar::sdk::ui::dialogs
