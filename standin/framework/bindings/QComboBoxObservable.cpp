#include "host/QComboBoxObservable.h"

#include "propertyframework/Signal.h"

#include <QComboBox>
#include <QPointer>

namespace qelmar::sdk::ui::dialogs {

void QComboBoxObservable::Listener::currentIndexChanged(int, QComboBoxObservable&) {}
void QComboBoxObservable::Listener::activated(int, QComboBoxObservable&) {}

namespace {
enum class ComboBoxEvent { CurrentIndexChanged, Activated };
}

struct QComboBoxObservable::Impl {
    QPointer<QComboBox> comboBox;
    Signal<void(ComboBoxEvent, int)> signalEvent;
    QMetaObject::Connection currentIndexChanged;
    QMetaObject::Connection activated;
};

QComboBoxObservable::QComboBoxObservable(QComboBox& comboBox)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->comboBox = &comboBox;
    Impl* impl = m_impl.get();
    m_impl->currentIndexChanged =
        QObject::connect(&comboBox, &QComboBox::currentIndexChanged,
                         [impl](int index) { impl->signalEvent(ComboBoxEvent::CurrentIndexChanged, index); });
    m_impl->activated = QObject::connect(&comboBox, &QComboBox::activated, [impl](int index) {
        impl->signalEvent(ComboBoxEvent::Activated, index);
    });
}

QComboBoxObservable::~QComboBoxObservable() {
    QObject::disconnect(m_impl->currentIndexChanged);
    QObject::disconnect(m_impl->activated);
}

boost::signals2::connection QComboBoxObservable::addListener(Listener& listener) {
    return m_impl->signalEvent.connect([this, &listener](ComboBoxEvent event, int index) {
        if (event == ComboBoxEvent::CurrentIndexChanged)
            listener.currentIndexChanged(index, *this);
        else
            listener.activated(index, *this);
    });
}

QComboBox* QComboBoxObservable::comboBox() const {
    return m_impl->comboBox.data();
}

} // namespace qelmar::sdk::ui::dialogs
