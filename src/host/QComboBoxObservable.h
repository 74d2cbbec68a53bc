#pragma once

#include <boost/signals2/connection.hpp>

#include <memory>

class QComboBox;

namespace qelmar::sdk::ui::dialogs {

// Reports changes of a combo box's current item to listeners, one connection per listener.
class QComboBoxObservable {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // Any change of the current item, by the user or by the program; -1 when none is current.
        virtual void currentIndexChanged(int index, QComboBoxObservable& observable);
        // The user chose an item, even the current one again.
        virtual void activated(int index, QComboBoxObservable& observable);
    };

    explicit QComboBoxObservable(QComboBox& comboBox);
    QComboBoxObservable(const QComboBoxObservable&) = delete;
    QComboBoxObservable& operator=(const QComboBoxObservable&) = delete;
    ~QComboBoxObservable();

    // The listener must stay alive while the returned connection is connected.
    boost::signals2::connection addListener(Listener& listener);

    // Null once the combo box was destroyed.
    QComboBox* comboBox() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::sdk::ui::dialogs
