#pragma once

#include <QString>

class QWidget;

namespace qelmar::sdk::ui::dialogs {

// Keeps a window's size and position in the user's settings under a key, so that the next
// window with the same key, also in a later run, opens where the last one was closed.
class WidgetGeometryPersistence {
public:
    // An empty key persists nothing.
    void setKey(const QString& key);

    // Puts the widget where the last one with this key was; once until the next save, so a
    // window shown again is not moved back. False when nothing is stored under the key.
    bool restore(QWidget& widget);
    // Remembers the geometry of a widget on screen; a hidden widget has none worth keeping.
    void save(const QWidget& widget);

private:
    QString m_key;
    bool m_restored = false;
};

} // namespace qelmar::sdk::ui::dialogs
