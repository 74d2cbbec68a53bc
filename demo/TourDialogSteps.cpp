#include "TourDialogSteps.h"

#include "TourContext.h"

#include "host/QExtendedFileDialog.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <deque>
#include <set>

namespace qelmar::demo {

using qelmar::sdk::ui::dialogs::QExtendedFileDialog;

struct TourDialogSteps::Impl {
    struct Expected {
        QString title;
        Step step;
    };

    TourContext& tour;
    std::deque<Expected> steps;
    // Dialogs whose step runs now, outermost first; their steps may be waiting for inner ones.
    std::set<const QDialog*> inStep;
    QTimer poll;
    QTimer deadline;

    explicit Impl(TourContext& context)
        : tour(context) {}

    // The innermost modal dialog, unless its step runs already, the modal answerer owns it or it
    // reports progress (it closes by itself when the work is done).
    QDialog* dialogToStep() const {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || inStep.count(dialog) || qobject_cast<QMessageBox*>(dialog) ||
            qobject_cast<QInputDialog*>(dialog) || qobject_cast<QProgressDialog*>(dialog))
            return nullptr;
        return dialog;
    }

    void tick() {
        QDialog* dialog = dialogToStep();
        if (!dialog)
            return;
        if (steps.empty() || steps.front().title != dialog->windowTitle()) {
            tour.fail(QStringLiteral("unexpected dialog \"%1\"").arg(dialog->windowTitle()));
            dialog->reject();
            return;
        }
        Expected expected = std::move(steps.front());
        steps.pop_front();
        inStep.insert(dialog);
        // Not from inside this timer's own activation: the toolkit does not run a timer again
        // in a nested event loop while its earlier timeout is still being handled, and a step
        // that opens another dialog needs this timer to step that one.
        QMetaObject::invokeMethod(
            &poll,
            [this, dialog, guarded = QPointer<QDialog>(dialog), expected = std::move(expected)] {
                runStep(guarded, expected);
                inStep.erase(dialog);
            },
            Qt::QueuedConnection);
    }

    void runStep(const QPointer<QDialog>& dialog, const Expected& expected) {
        if (dialog)
            expected.step(*dialog);
        if (dialog && dialog->isVisible()) {
            tour.fail(QStringLiteral("the dialog \"%1\" stayed open").arg(expected.title));
            dialog->reject();
        }
    }

    void giveUp() {
        steps.clear();
        // Rejecting the innermost dialog returns to the next one out, which is rejected next.
        while (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            tour.fail(QStringLiteral("the dialog \"%1\" was still open").arg(modal->windowTitle()));
            modal->reject();
            QApplication::processEvents();
            if (QApplication::activeModalWidget() == modal)
                break;
        }
    }
};

TourDialogSteps::TourDialogSteps(TourContext& tour, int deadlineMilliseconds)
    : m_impl(std::make_unique<Impl>(tour)) {
    QObject::connect(&m_impl->poll, &QTimer::timeout, [impl = m_impl.get()] { impl->tick(); });
    m_impl->poll.start(20);
    m_impl->deadline.setSingleShot(true);
    QObject::connect(&m_impl->deadline, &QTimer::timeout, [impl = m_impl.get()] { impl->giveUp(); });
    m_impl->deadline.start(deadlineMilliseconds);
}

TourDialogSteps::~TourDialogSteps() {
    if (!m_impl->steps.empty())
        m_impl->tour.fail(
            QStringLiteral("the dialog \"%1\" never appeared").arg(m_impl->steps.front().title));
}

void TourDialogSteps::expect(const QString& windowTitle, Step step) {
    m_impl->steps.push_back({windowTitle, std::move(step)});
}

void TourDialogSteps::typeNameAndSave(QDialog& fileDialog, const QString& fileName) {
    auto* files = dynamic_cast<QExtendedFileDialog*>(&fileDialog);
    QLineEdit* edit = files ? files->fileNameEdit() : nullptr;
    QDialogButtonBox* buttons = files ? files->buttonBox() : nullptr;
    QPushButton* save = buttons ? buttons->button(QDialogButtonBox::Save) : nullptr;
    if (!edit || !save)
        return;
    // A user types into the focused field, and only then does the dialog let go of the file it
    // proposed: unfocused, an existing proposed file stays selected and is the one saved.
    QApplication::setActiveWindow(&fileDialog);
    edit->setFocus(Qt::OtherFocusReason);
    edit->setText(fileName);
    save->click();
}

} // namespace qelmar::demo
