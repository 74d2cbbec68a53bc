#pragma once

#include <QAction>
#include <QString>
#include <QUrl>

namespace qelmar::sdk::ui {

// An action that opens one page of the application's help in the desktop's browser. The
// pages live in one folder; the host says where, or they are looked for next to the
// executable in "../share/qelmar/help".
class LaunchHelpAction : public QAction {
public:
    LaunchHelpAction(const QString& page, QObject* parent);

    // The page, optionally followed by "#anchor".
    QString link() const { return m_link; }
    void setLink(const QString& link) { m_link = link; }
    QUrl url() const;

    static void setHelpFolder(const QString& folder);
    static QString helpFolder();

private:
    void openPage() const;

    QString m_link;
};

} // namespace qelmar::sdk::ui
