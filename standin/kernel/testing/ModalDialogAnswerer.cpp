#include "kernel/testing/ModalDialogAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <deque>
#include <iostream>

namespace qelmar::standin::testing {

namespace {

struct Answer {
    AnsweredDialog::Kind kind;
    bool accept = true;
    QString text;
    QMessageBox::StandardButton button = QMessageBox::Ok;
};

QString describe(AnsweredDialog::Kind kind) {
    return kind == AnsweredDialog::Kind::TextInput ? QStringLiteral("text input")
                                                   : QStringLiteral("message box");
}

bool isAnswerable(QWidget* widget) {
    return widget && widget->isVisible() && widget->isModal() &&
           (qobject_cast<QInputDialog*>(widget) || qobject_cast<QMessageBox*>(widget));
}

// The topmost modal dialog we know how to answer, if any.
QDialog* findModalDialog() {
    if (QWidget* active = QApplication::activeModalWidget(); isAnswerable(active))
        return static_cast<QDialog*>(active);
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (isAnswerable(window))
            return static_cast<QDialog*>(window);
    }
    return nullptr;
}

AnsweredDialog describeDialog(QDialog& dialog) {
    AnsweredDialog seen;
    seen.title = dialog.windowTitle();
    seen.parentObjectName = dialog.parentWidget() ? dialog.parentWidget()->objectName() : QString();
    seen.applicationModal = dialog.windowModality() == Qt::ApplicationModal;
    if (auto* input = qobject_cast<QInputDialog*>(&dialog)) {
        seen.kind = AnsweredDialog::Kind::TextInput;
        seen.label = input->labelText();
        seen.initialText = input->textValue();
        seen.echoMode = input->textEchoMode();
    } else if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        seen.kind = AnsweredDialog::Kind::MessageBox;
        seen.label = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.hasDefaultButton = box->defaultButton() != nullptr;
    }
    return seen;
}

void clickBoxButton(QDialog& dialog, QDialogButtonBox::StandardButton which, bool accept) {
    auto* box = dialog.findChild<QDialogButtonBox*>();
    QAbstractButton* button = box ? box->button(which) : nullptr;
    if (button)
        button->click();
    else if (accept)
        dialog.accept();
    else
        dialog.reject();
}

void answerTextInput(QInputDialog& input, const Answer& answer) {
    if (!answer.accept) {
        clickBoxButton(input, QDialogButtonBox::Cancel, false);
        return;
    }
    // Type like a user would, so the dialog's own editing reaches the result.
    if (auto* edit = input.findChild<QLineEdit*>()) {
        edit->clear();
        QTest::keyClicks(edit, answer.text);
    }
    if (input.textValue() != answer.text)
        input.setTextValue(answer.text);
    clickBoxButton(input, QDialogButtonBox::Ok, true);
}

void answerMessageBox(QMessageBox& box, const Answer& answer) {
    if (QAbstractButton* button = box.button(answer.button))
        button->click();
    else
        box.done(answer.button);
}

} // namespace

struct ModalDialogAnswerer::Impl {
    int timeout = 10000;
    std::deque<Answer> answers;
    QElapsedTimer waitingSince;
    std::vector<AnsweredDialog> answered;
    std::vector<std::string> failures;
    FailureHandler failureHandler;
    QTimer poll;

    void queue(Answer answer) {
        if (answers.empty())
            waitingSince.start();
        answers.push_back(std::move(answer));
        if (!poll.isActive())
            poll.start();
    }

    void fail(const QString& failure) {
        const std::string text = failure.toStdString();
        failures.push_back(text);
        if (failureHandler)
            failureHandler(text);
        else
            std::cerr << "ModalDialogAnswerer: " << text << std::endl;
    }

    void tick() {
        if (QDialog* dialog = findModalDialog()) {
            answerDialog(*dialog);
            return;
        }
        if (!answers.empty() && waitingSince.hasExpired(timeout)) {
            fail(QStringLiteral("expected a %1, but none appeared within %2 ms")
                     .arg(describe(answers.front().kind))
                     .arg(timeout));
            answers.pop_front();
            waitingSince.start();
        }
    }

    void answerDialog(QDialog& dialog) {
        AnsweredDialog seen = describeDialog(dialog);
        if (answers.empty() || answers.front().kind != seen.kind) {
            fail(QStringLiteral("unexpected %1 \"%2\": %3").arg(describe(seen.kind), seen.title, seen.label));
            dialog.reject();
            return;
        }
        const Answer answer = answers.front();
        answers.pop_front();
        waitingSince.start();
        seen.accepted = answer.accept;
        answered.push_back(seen);
        if (auto* input = qobject_cast<QInputDialog*>(&dialog))
            answerTextInput(*input, answer);
        else
            answerMessageBox(static_cast<QMessageBox&>(dialog), answer);
    }
};

ModalDialogAnswerer::ModalDialogAnswerer(int timeoutMilliseconds)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->timeout = timeoutMilliseconds;
    m_impl->poll.setInterval(10);
    QObject::connect(&m_impl->poll, &QTimer::timeout, [impl = m_impl.get()] { impl->tick(); });
    // Polling from the start also catches dialogs that nobody expected.
    m_impl->poll.start();
}

ModalDialogAnswerer::~ModalDialogAnswerer() {
    m_impl->poll.stop();
    for (const Answer& answer : m_impl->answers)
        m_impl->fail(QStringLiteral("the expected %1 never appeared").arg(describe(answer.kind)));
}

void ModalDialogAnswerer::enterText(const QString& text) {
    m_impl->queue({AnsweredDialog::Kind::TextInput, true, text});
}

void ModalDialogAnswerer::cancelTextInput() {
    m_impl->queue({AnsweredDialog::Kind::TextInput, false, {}});
}

void ModalDialogAnswerer::pressOk() {
    pressButton(QMessageBox::Ok);
}

void ModalDialogAnswerer::pressButton(QMessageBox::StandardButton button) {
    m_impl->queue({AnsweredDialog::Kind::MessageBox, true, {}, button});
}

std::size_t ModalDialogAnswerer::pendingAnswers() const {
    return m_impl->answers.size();
}

const std::vector<AnsweredDialog>& ModalDialogAnswerer::answered() const {
    return m_impl->answered;
}

const std::vector<std::string>& ModalDialogAnswerer::failures() const {
    return m_impl->failures;
}

void ModalDialogAnswerer::setFailureHandler(FailureHandler handler) {
    m_impl->failureHandler = std::move(handler);
}

} // namespace qelmar::standin::testing
