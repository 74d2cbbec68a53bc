#pragma once

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QToolBar;

namespace qelmar::demo {

// The demo's stand-in for the application's main window: a File menu and tool bar the
// features add their commands to, pages to show their forms on and a status line.
class DemoMainWindow : public QMainWindow {
public:
    explicit DemoMainWindow(QWidget* parent = nullptr);
    ~DemoMainWindow() override;

    // Adds a command to the File menu and the tool bar, above "Quit".
    QAction* addCommand(const QString& text, const std::function<void()>& trigger);
    // Adds a page to the central tab widget; the window owns it.
    void addPage(QWidget* page, const QString& title);
    void showPage(QWidget* page);
    // Brings the first tab, the application's pages, to the front.
    void showApplicationPage();
    void showStatus(const QString& message);
    QString statusText() const;

    QMenu* fileMenu() const;
    QToolBar* commandBar() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::demo
