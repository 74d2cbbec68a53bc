#pragma once

#include "kernel/KernelState.h"

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qelmar::standin::testing {

// Drives the stand-in kernel from a test or a scripted tour. Construction puts the kernel into
// its initial state and takes over its message boxes; destruction restores both, so no test
// leaves state behind for the next.
class KernelTestControl {
public:
    KernelTestControl();
    KernelTestControl(const KernelTestControl&) = delete;
    KernelTestControl& operator=(const KernelTestControl&) = delete;
    ~KernelTestControl();

    // Answers to yes/no questions: answers given for a text win, then queued answers in order,
    // then the default answer. A question nobody answered counts as "no" and is remembered.
    void answerNextQuestions(std::initializer_list<bool> answers);
    void answerQuestion(const std::string& text, bool answer);
    void setDefaultAnswer(bool answer) { m_defaultAnswer = answer; }
    const std::vector<std::string>& unansweredQuestions() const { return m_unanswered; }

    const std::vector<ShownMessage>& messages() const;
    std::vector<ShownMessage> messagesOfType(int type) const;
    void clearMessages();

    // The call fails (once or from then on) after succeeding `succeedFirst` more times, so that
    // a failure can be placed in the middle of an operation.
    void failCall(const std::string& call, FailMode mode = FailMode::Always, int succeedFirst = 0);
    void clearFailures();

    // The journal is kept only while a CallRecording lives; asking for it otherwise is a mistake
    // in the test (every "was not called" would pass), so these throw std::logic_error then.
    const std::vector<KernelCallRecord>& journal() const;
    std::vector<KernelCallRecord> callsNamed(const std::string& call) const;
    bool wasCalled(const std::string& call) const { return !callsNamed(call).empty(); }
    void clearJournal();

    void setRecordingLanguage(int language);

    void reset();

private:
    bool answer(const std::string& text, int type);

    std::deque<bool> m_queuedAnswers;
    std::map<std::string, bool> m_answersByText;
    std::optional<bool> m_defaultAnswer;
    std::vector<std::string> m_unanswered;
};

} // namespace qelmar::standin::testing
