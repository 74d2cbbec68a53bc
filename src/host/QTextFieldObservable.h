#pragma once

#include <boost/signals2/connection.hpp>

#include <memory>

class QLineEdit;
class QString;

namespace qelmar::sdk::ui::dialogs {

// Reports a line edit's editing to listeners, one connection per listener. Bindings commit on
// editingFinished (Enter or leaving the field), not on every keystroke.
class QTextFieldObservable {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void editingFinished(QTextFieldObservable& observable);
        // The user changed the text; not reported for texts set by the program.
        virtual void textEdited(const QString& text, QTextFieldObservable& observable);
    };

    explicit QTextFieldObservable(QLineEdit& lineEdit);
    QTextFieldObservable(const QTextFieldObservable&) = delete;
    QTextFieldObservable& operator=(const QTextFieldObservable&) = delete;
    ~QTextFieldObservable();

    // The listener must stay alive while the returned connection is connected.
    boost::signals2::connection addListener(Listener& listener);

    // Null once the line edit was destroyed.
    QLineEdit* lineEdit() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
