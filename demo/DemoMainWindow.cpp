#include "DemoMainWindow.h"

#include "PageView.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace qelmar::demo {

struct DemoMainWindow::Impl {
    QMenu* fileMenu = nullptr;
    QToolBar* commandBar = nullptr;
    QAction* quitAction = nullptr;
    QTabWidget* pages = nullptr;
};

DemoMainWindow::DemoMainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_impl(std::make_unique<Impl>()) {
    setObjectName(QStringLiteral("DemoMainWindow"));
    setWindowTitle(tr("Qelmar Demo"));

    m_impl->fileMenu = menuBar()->addMenu(tr("&File"));
    m_impl->commandBar = addToolBar(tr("Commands"));
    m_impl->commandBar->setObjectName(QStringLiteral("commandBar"));
    m_impl->commandBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_impl->quitAction = m_impl->fileMenu->addAction(tr("&Quit"), this, &QWidget::close);
    m_impl->quitAction->setShortcut(QKeySequence::Quit);

    m_impl->pages = new QTabWidget(this);
    m_impl->pages->setObjectName(QStringLiteral("pages"));
    auto* application = new QWidget(m_impl->pages);
    application->setObjectName(QStringLiteral("applicationPage"));
    auto* layout = new QVBoxLayout(application);
    auto* welcome = new QLabel(tr("The commands of the File menu and the tool bar open the input and output "
                                  "dialogs against the demo's kernel. Click a frame to make it current."),
                               application);
    welcome->setWordWrap(true);
    layout->addWidget(welcome);
    layout->addWidget(new PageView(application), 1);
    m_impl->pages->addTab(application, tr("Pages"));
    setCentralWidget(m_impl->pages);

    statusBar()->showMessage(tr("Ready"));
    resize(1000, 860);
}

DemoMainWindow::~DemoMainWindow() = default;

QAction* DemoMainWindow::addCommand(const QString& text, const std::function<void()>& trigger) {
    auto* action = new QAction(text, this);
    connect(action, &QAction::triggered, this, [trigger] { trigger(); });
    m_impl->fileMenu->insertAction(m_impl->quitAction, action);
    m_impl->commandBar->addAction(action);
    return action;
}

void DemoMainWindow::addPage(QWidget* page, const QString& title) {
    m_impl->pages->addTab(page, title);
}

void DemoMainWindow::showPage(QWidget* page) {
    m_impl->pages->setCurrentWidget(page);
}

void DemoMainWindow::showApplicationPage() {
    m_impl->pages->setCurrentIndex(0);
}

void DemoMainWindow::showStatus(const QString& message) {
    statusBar()->showMessage(message);
}

QString DemoMainWindow::statusText() const {
    return statusBar()->currentMessage();
}

QMenu* DemoMainWindow::fileMenu() const {
    return m_impl->fileMenu;
}

QToolBar* DemoMainWindow::commandBar() const {
    return m_impl->commandBar;
}

} // namespace qelmar::demo
