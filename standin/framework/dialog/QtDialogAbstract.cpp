#include "host/QtDialogAbstract.h"

#include "framework/dialog/WidgetGeometryPersistence.h"
#include "propertyframework/SignalConnectionCollection.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

namespace qelmar::sdk::ui::dialogs {

namespace {

// Marks a button box whose signals already lead to the dialog, so it is wired only once.
constexpr char routedProperty[] = "qelmarRoutedToDialog";

} // namespace

struct QtDialogAbstract::Impl {
    propertymanager::RelevancePtr keepUpRelevance;
    QPointer<QAction> helpAction;
    WidgetGeometryPersistence geometry;
    bool deleteWhenDropped = false;
    SignalConnectionCollection connections;
};

QtDialogAbstract::QtDialogAbstract(QWidget* parent, propertymanager::RelevancePtr keepUpRelevance,
                                   Qt::WindowFlags flags)
    : QDialog(parent, flags)
    , m_impl(std::make_unique<Impl>()) {
    m_impl->keepUpRelevance = std::move(keepUpRelevance);
    if (m_impl->keepUpRelevance) {
        m_impl->connections.add(m_impl->keepUpRelevance->connectToRelevanceChangedSignal([this] {
            if (!isKeptUp())
                drop();
        }));
    }
}

QtDialogAbstract::~QtDialogAbstract() {
    // Disconnect first: nothing may reach a dialog that is half destroyed.
    m_impl->connections.clear();
}

bool QtDialogAbstract::isKeptUp() const {
    return !m_impl->keepUpRelevance || m_impl->keepUpRelevance->isRelevant();
}

void QtDialogAbstract::done(int result) {
    m_impl->geometry.save(*this);
    QDialog::done(result);
}

bool QtDialogAbstract::launch() {
    if (!isKeptUp()) {
        drop();
        return false;
    }
    routeButtonBoxes();
    m_impl->geometry.restore(*this);
    if (isModal())
        return exec() == QDialog::Accepted;
    show();
    raise();
    activateWindow();
    return true;
}

void QtDialogAbstract::drop() {
    // done() closes without a close event, so a dialog that confirms closing in its
    // closeEvent() is not asked again when it is no longer of any use; it is the dialog's own
    // done(), so that what a cancel restores is restored here too.
    if (isVisible())
        done(QDialog::Rejected);
    if (m_impl->deleteWhenDropped)
        deleteLater();
}

void QtDialogAbstract::setHelpAction(QAction* action) {
    if (m_impl->helpAction)
        removeAction(m_impl->helpAction);
    m_impl->helpAction = action;
    if (!action)
        return;
    if (action->shortcut().isEmpty())
        action->setShortcut(QKeySequence::HelpContents);
    addAction(action);
    routeButtonBoxes();
}

QAction* QtDialogAbstract::helpAction() const {
    return m_impl->helpAction;
}

void QtDialogAbstract::setDeleteWhenDropped(bool deleteWhenDropped) {
    m_impl->deleteWhenDropped = deleteWhenDropped;
}

void QtDialogAbstract::setPersistSizeAndPosition(const QString& settingsKey) {
    m_impl->geometry.setKey(settingsKey);
}

void QtDialogAbstract::showEvent(QShowEvent* event) {
    routeButtonBoxes();
    m_impl->geometry.restore(*this);
    QDialog::showEvent(event);
    if (!isKeptUp()) {
        // Hiding from inside the show event would leave the window system half way.
        QTimer::singleShot(0, this, [this] {
            if (!isKeptUp())
                drop();
        });
    }
}

void QtDialogAbstract::closeEvent(QCloseEvent* event) {
    m_impl->geometry.save(*this);
    QDialog::closeEvent(event);
}

void QtDialogAbstract::keyPressEvent(QKeyEvent* event) {
    // The help action's shortcut only fires while the window is active; a key press that
    // reached the dialog anyway still asks for help.
    if (event->matches(QKeySequence::HelpContents) && m_impl->helpAction) {
        m_impl->helpAction->trigger();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void QtDialogAbstract::routeButtonBoxes() {
    const auto boxes = findChildren<QDialogButtonBox*>();
    for (QDialogButtonBox* box : boxes) {
        if (box->window() != this || box->property(routedProperty).toBool())
            continue;
        box->setProperty(routedProperty, true);
        // The dialog is the context object: the connections end with the dialog or the box.
        connect(box, &QDialogButtonBox::accepted, this, [this] { accept(); });
        connect(box, &QDialogButtonBox::rejected, this, [this] { reject(); });
        connect(box, &QDialogButtonBox::helpRequested, this, [this] {
            if (m_impl->helpAction)
                m_impl->helpAction->trigger();
        });
    }
}

} // namespace qelmar::sdk::ui::dialogs
