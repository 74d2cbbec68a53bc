#pragma once

#include <boost/signals2/connection.hpp>

#include <memory>

class QAbstractButton;

namespace qelmar::sdk::ui::dialogs {

// Reports what the user does with a button to listeners. Each listener gets its own connection,
// so a binding can block or drop its listener without touching the button or other listeners.
class QButtonObservable {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void buttonToggled(QButtonObservable& observable);
        virtual void buttonClicked(QButtonObservable& observable);
    };

    explicit QButtonObservable(QAbstractButton& button);
    QButtonObservable(const QButtonObservable&) = delete;
    QButtonObservable& operator=(const QButtonObservable&) = delete;
    ~QButtonObservable();

    // The listener must stay alive while the returned connection is connected.
    boost::signals2::connection addListener(Listener& listener);

    // Null once the button was destroyed.
    QAbstractButton* button() const;
    bool isChecked() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
