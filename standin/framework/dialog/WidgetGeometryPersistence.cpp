#include "framework/dialog/WidgetGeometryPersistence.h"

#include <QSettings>
#include <QWidget>

namespace qelmar::sdk::ui::dialogs {

void WidgetGeometryPersistence::setKey(const QString& key) {
    m_key = key;
    m_restored = false;
}

bool WidgetGeometryPersistence::restore(QWidget& widget) {
    if (m_key.isEmpty())
        return false;
    if (!m_restored) {
        const QByteArray geometry = QSettings().value(m_key).toByteArray();
        m_restored = !geometry.isEmpty() && widget.restoreGeometry(geometry);
    }
    return m_restored;
}

void WidgetGeometryPersistence::save(const QWidget& widget) {
    if (m_key.isEmpty() || !widget.isVisible())
        return;
    QSettings().setValue(m_key, widget.saveGeometry());
    m_restored = false;
}

} // namespace qelmar::sdk::ui::dialogs
