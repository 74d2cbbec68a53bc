#include "host/LaunchHelpAction.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>

namespace qelmar::sdk::ui {

namespace {

QString& configuredHelpFolder() {
    static QString folder;
    return folder;
}

} // namespace

LaunchHelpAction::LaunchHelpAction(const QString& page, QObject* parent)
    : QAction(QCoreApplication::translate("LaunchHelpAction", "&Help"), parent)
    , m_link(page) {
    connect(this, &QAction::triggered, this, [this] { openPage(); });
}

void LaunchHelpAction::setHelpFolder(const QString& folder) {
    configuredHelpFolder() = folder;
}

QString LaunchHelpAction::helpFolder() {
    if (!configuredHelpFolder().isEmpty())
        return configuredHelpFolder();
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/qelmar/help"));
}

QUrl LaunchHelpAction::url() const {
    const qsizetype hash = m_link.indexOf(QLatin1Char('#'));
    const QString page = hash < 0 ? m_link : m_link.left(hash);
    QUrl url = QUrl::fromLocalFile(QDir(helpFolder()).filePath(page));
    if (hash >= 0)
        url.setFragment(m_link.mid(hash + 1));
    return url;
}

void LaunchHelpAction::openPage() const {
    QDesktopServices::openUrl(url());
}

} // namespace qelmar::sdk::ui
