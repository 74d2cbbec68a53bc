#include "kernel/KernelState.h"

#include <QApplication>
#include <QMessageBox>

#include <cstring>
#include <iostream>

namespace qelmar::standin {

namespace {

bool showRealMessageBox(const std::string& text, int type) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::cerr << text << '\n';
        return false;
    }
    QWidget* parent = QApplication::activeWindow();
    const QString message = QString::fromStdString(text);
    const QString title = QCoreApplication::applicationName();
    switch (type) {
    case 0:
        QMessageBox::critical(parent, title, message);
        return true;
    case 3:
        return QMessageBox::question(parent, title, message, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::NoButton) == QMessageBox::Yes;
    case 1:
        QMessageBox::warning(parent, title, message);
        return true;
    default:
        QMessageBox::information(parent, title, message);
        return true;
    }
}

} // namespace

KernelState& KernelState::instance() {
    static KernelState state;
    return state;
}

bool KernelState::beginCall(const char* call) {
    if (isRecording())
        m_journal.push_back({call, isLocked()});
    if (m_failures.empty())
        return true;
    const auto failure = m_failures.find(std::string_view(call));
    if (failure == m_failures.end())
        return true;
    if (failure->second.succeedFirst > 0) {
        --failure->second.succeedFirst;
        return true;
    }
    if (failure->second.mode == FailMode::Once)
        m_failures.erase(failure);
    return false;
}

void KernelState::failCall(const std::string& call, FailMode mode, int succeedFirst) {
    m_failures[call] = {mode, succeedFirst};
}

void KernelState::stopRecording() {
    if (m_recordingDepth > 0 && --m_recordingDepth == 0)
        m_journal.clear();
}

void KernelState::clearFailures() {
    m_failures.clear();
}

void KernelState::unlock() {
    if (m_lockDepth > 0)
        --m_lockDepth;
}

bool KernelState::presentMessage(const std::string& text, int type) {
    const bool answer = m_presenter ? m_presenter(text, type) : showRealMessageBox(text, type);
    m_messages.push_back({text, type, answer});
    return answer;
}

void KernelState::registerReset(std::function<void()> reset) {
    m_resets.push_back(std::move(reset));
}

void KernelState::reset() {
    for (const auto& reset : m_resets)
        reset();
    m_journal.clear();
    m_failures.clear();
    m_messages.clear();
    m_lockDepth = 0;
}

char* allocKernelString(const std::string& text) {
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

} // namespace qelmar::standin
