#include "kernel/testing/KernelTestControl.h"

#include "kernel/MacroFileFormat.h"

#include <algorithm>
#include <stdexcept>

namespace qelmar::standin::testing {

KernelTestControl::KernelTestControl() {
    KernelState::instance().reset();
    KernelState::instance().setMessagePresenter(
        [this](const std::string& text, int type) { return answer(text, type); });
}

KernelTestControl::~KernelTestControl() {
    KernelState::instance().setMessagePresenter(nullptr);
    KernelState::instance().reset();
}

void KernelTestControl::answerNextQuestions(std::initializer_list<bool> answers) {
    m_queuedAnswers.insert(m_queuedAnswers.end(), answers.begin(), answers.end());
}

void KernelTestControl::answerQuestion(const std::string& text, bool answer) {
    m_answersByText[text] = answer;
}

bool KernelTestControl::answer(const std::string& text, int type) {
    if (type != 3)
        return true;
    if (const auto byText = m_answersByText.find(text); byText != m_answersByText.end())
        return byText->second;
    if (!m_queuedAnswers.empty()) {
        const bool queued = m_queuedAnswers.front();
        m_queuedAnswers.pop_front();
        return queued;
    }
    if (m_defaultAnswer)
        return *m_defaultAnswer;
    m_unanswered.push_back(text);
    return false;
}

const std::vector<ShownMessage>& KernelTestControl::messages() const {
    return KernelState::instance().messages();
}

std::vector<ShownMessage> KernelTestControl::messagesOfType(int type) const {
    std::vector<ShownMessage> result;
    std::copy_if(messages().begin(), messages().end(), std::back_inserter(result),
                 [type](const ShownMessage& message) { return message.type == type; });
    return result;
}

void KernelTestControl::clearMessages() {
    KernelState::instance().clearMessages();
}

void KernelTestControl::failCall(const std::string& call, FailMode mode, int succeedFirst) {
    KernelState::instance().failCall(call, mode, succeedFirst);
}

void KernelTestControl::clearFailures() {
    KernelState::instance().clearFailures();
}

const std::vector<KernelCallRecord>& KernelTestControl::journal() const {
    if (!KernelState::instance().isRecording())
        throw std::logic_error("The kernel records calls only while a CallRecording exists.");
    return KernelState::instance().journal();
}

std::vector<KernelCallRecord> KernelTestControl::callsNamed(const std::string& call) const {
    std::vector<KernelCallRecord> result;
    std::copy_if(journal().begin(), journal().end(), std::back_inserter(result),
                 [&call](const KernelCallRecord& record) { return record.call == call; });
    return result;
}

void KernelTestControl::clearJournal() {
    KernelState::instance().clearJournal();
}

void KernelTestControl::setRecordingLanguage(int language) {
    qelmar::standin::setRecordingLanguage(language);
}

void KernelTestControl::reset() {
    KernelState::instance().reset();
    m_queuedAnswers.clear();
    m_answersByText.clear();
    m_defaultAnswer.reset();
    m_unanswered.clear();
}

} // namespace qelmar::standin::testing
