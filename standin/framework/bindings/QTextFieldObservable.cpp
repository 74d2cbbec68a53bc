#include "host/QTextFieldObservable.h"

#include "propertyframework/Signal.h"

#include <QLineEdit>
#include <QPointer>

namespace qelmar::sdk::ui::dialogs {

void QTextFieldObservable::Listener::editingFinished(QTextFieldObservable&) {}
void QTextFieldObservable::Listener::textEdited(const QString&, QTextFieldObservable&) {}

struct QTextFieldObservable::Impl {
    QPointer<QLineEdit> lineEdit;
    // A null text stands for editing-finished, any other for an edit.
    Signal<void(const QString*)> signalEvent;
    QMetaObject::Connection editingFinished;
    QMetaObject::Connection textEdited;
};

QTextFieldObservable::QTextFieldObservable(QLineEdit& lineEdit)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->lineEdit = &lineEdit;
    Impl* impl = m_impl.get();
    m_impl->editingFinished =
        QObject::connect(&lineEdit, &QLineEdit::editingFinished, [impl] { impl->signalEvent(nullptr); });
    m_impl->textEdited = QObject::connect(&lineEdit, &QLineEdit::textEdited,
                                          [impl](const QString& text) { impl->signalEvent(&text); });
}

QTextFieldObservable::~QTextFieldObservable() {
    QObject::disconnect(m_impl->editingFinished);
    QObject::disconnect(m_impl->textEdited);
}

boost::signals2::connection QTextFieldObservable::addListener(Listener& listener) {
    return m_impl->signalEvent.connect([this, &listener](const QString* editedText) {
        if (editedText)
            listener.textEdited(*editedText, *this);
        else
            listener.editingFinished(*this);
    });
}

QLineEdit* QTextFieldObservable::lineEdit() const {
    return m_impl->lineEdit.data();
}

} // namespace qelmar::sdk::ui::dialogs
