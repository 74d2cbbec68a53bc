#pragma once

#include "host/QExtendedFileDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

namespace testsupport {

// Picks a file type with the arrow keys, as a user does: the file dialog hears of a pick only
// through the combo box's activation, whose signature differs between Qt versions.
inline void chooseFileType(QFileDialog& dialog, int index) {
    QComboBox* combo = dynamic_cast<qelmar::sdk::ui::dialogs::QExtendedFileDialog&>(dialog).fileTypeCombo();
    while (combo->currentIndex() < index)
        QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() > index)
        QTest::keyClick(combo, Qt::Key_Up);
}

inline void typeNameAndSave(QFileDialog& dialog, const QString& fileName) {
    auto& files = dynamic_cast<qelmar::sdk::ui::dialogs::QExtendedFileDialog&>(dialog);
    // A user types into the focused field, and only then does the dialog let go of the file it
    // proposed: unfocused, an existing proposed file stays selected and is the one saved.
    QApplication::setActiveWindow(&dialog);
    files.fileNameEdit()->setFocus(Qt::OtherFocusReason);
    files.fileNameEdit()->setText(fileName);
    files.buttonBox()->button(QDialogButtonBox::Save)->click();
}

// Runs one queued step on each file dialog as it opens, from inside its event loop. A dialog
// without a step, or left open by its step, is rejected and counted as a failure: no test waits.
class FileDialogSteps {
public:
    using Step = std::function<void(QFileDialog&)>;

    FileDialogSteps() {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { tick(); });
        m_poll.start(10);
    }
    void then(Step step) { m_steps.push_back(std::move(step)); }
    void saveAs(const QString& name) {
        then([name](QFileDialog& dialog) { typeNameAndSave(dialog, name); });
    }
    void cancel() {
        then([](QFileDialog& dialog) { dialog.reject(); });
    }

    std::vector<QString> titles, filters;
    int failures = 0;
    std::size_t pending() const { return m_steps.size(); }

private:
    void tick() {
        QFileDialog* dialog = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* candidate = qobject_cast<QFileDialog*>(window); candidate && candidate->isVisible())
                dialog = candidate;
        }
        // A step that processes events runs this timer again.
        if (!dialog || m_inStep)
            return;
        titles.push_back(dialog->windowTitle());
        filters.push_back(dialog->selectedNameFilter());
        if (!m_steps.empty()) {
            const Step step = std::move(m_steps.front());
            m_steps.pop_front();
            m_inStep = true;
            step(*dialog);
            m_inStep = false;
        }
        if (dialog->isVisible()) {
            ++failures;
            dialog->reject();
        }
    }

    std::deque<Step> m_steps;
    bool m_inStep = false;
    QTimer m_poll;
};

} // namespace testsupport
