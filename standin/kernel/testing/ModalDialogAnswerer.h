#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace qelmar::standin::testing {

// What a modal dialog looked like when the answerer answered it.
struct AnsweredDialog {
    enum class Kind { TextInput, MessageBox };
    Kind kind = Kind::TextInput;
    QString title;
    QString label; // the input's label or the message box text
    QString initialText;
    QString parentObjectName;
    bool applicationModal = false;
    bool accepted = false;
    // Text inputs only.
    int echoMode = 0;
    // Message boxes only.
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool hasDefaultButton = false;
};

// Answers the toolkit's own modal dialogs (text inputs and message boxes) that code under test
// opens, so that no test or scripted tour waits for a user. Queue the answers before the step
// that opens the dialogs; they are given in order from inside the dialogs' event loops.
// A dialog that appears without a queued answer is cancelled, and an answer whose dialog does
// not appear within the timeout is dropped; both are reported as failures.
class ModalDialogAnswerer {
public:
    using FailureHandler = std::function<void(const std::string& failure)>;

    explicit ModalDialogAnswerer(int timeoutMilliseconds = 10000);
    ModalDialogAnswerer(const ModalDialogAnswerer&) = delete;
    ModalDialogAnswerer& operator=(const ModalDialogAnswerer&) = delete;
    // Answers still queued at destruction are failures too.
    ~ModalDialogAnswerer();

    // Types the text into the next text input and confirms it.
    void enterText(const QString& text);
    void cancelTextInput();
    // Presses OK in the next message box.
    void pressOk();
    void pressButton(QMessageBox::StandardButton button);

    std::size_t pendingAnswers() const;
    const std::vector<AnsweredDialog>& answered() const;
    const std::vector<std::string>& failures() const;
    // By default failures are also printed on the error stream.
    void setFailureHandler(FailureHandler handler);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace qelmar::standin::testing
