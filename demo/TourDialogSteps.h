#pragma once

#include <QString>

#include <functional>
#include <memory>

class QDialog;

namespace qelmar::demo {

class TourContext;

// Runs one step on each modal dialog of the tour as it opens, in the order expected, from
// inside the dialog's event loop. A step may open the next dialog (pressing OK in a dialog
// that then asks for a file): the inner dialog gets its own step meanwhile. A dialog that was
// not expected, or that its step left open, is rejected and fails the tour; so is any dialog
// still open when the deadline passes. Message boxes and text inputs are left to the tour's
// modal answerer; progress dialogs need no answer.
class TourDialogSteps {
public:
    using Step = std::function<void(QDialog&)>;

    explicit TourDialogSteps(TourContext& tour, int deadlineMilliseconds = 30000);
    // A step still waiting for its dialog fails the tour.
    ~TourDialogSteps();

    void expect(const QString& windowTitle, Step step);

    // Types the name into a file dialog's name field and presses its Save button.
    static void typeNameAndSave(QDialog& fileDialog, const QString& fileName);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::demo
