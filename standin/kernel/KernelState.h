#pragma once

// Internal to the stand-in kernel and its testing controls: the bookkeeping every kernel call
// goes through (call journal, failure switches) and the way messages reach the user.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qelmar::standin {

enum class FailMode { Once, Always };

struct KernelCallRecord {
    std::string call;
    bool insideLock = false;
};

struct ShownMessage {
    std::string text;
    int type = 0;
    bool answer = false; // what the call returned
};

// Decides what a message box returns; installed by tests and the tour instead of real boxes.
using MessagePresenter = std::function<bool(const std::string& text, int type)>;

class KernelState {
public:
    static KernelState& instance();

    // Every kernel call starts here: it is journalled while a test records calls, and false
    // means the call must fail because a test switched it off. Cheap otherwise: a long load
    // makes millions of calls.
    bool beginCall(const char* call);

    // The call fails once or always, after succeeding `succeedFirst` more times.
    void failCall(const std::string& call, FailMode mode, int succeedFirst = 0);
    void clearFailures();

    // Recording is off unless a test asks for it; nested requests keep it on until the last ends.
    void startRecording() { ++m_recordingDepth; }
    void stopRecording();
    bool isRecording() const { return m_recordingDepth > 0; }
    const std::vector<KernelCallRecord>& journal() const { return m_journal; }
    void clearJournal() { m_journal.clear(); }

    void lock() { ++m_lockDepth; }
    void unlock();
    bool isLocked() const { return m_lockDepth > 0; }

    bool presentMessage(const std::string& text, int type);
    void setMessagePresenter(MessagePresenter presenter) { m_presenter = std::move(presenter); }
    const std::vector<ShownMessage>& messages() const { return m_messages; }
    void clearMessages() { m_messages.clear(); }

    // Each area of the kernel registers how it returns to its initial state.
    void registerReset(std::function<void()> reset);
    void reset();

private:
    KernelState() = default;

    std::vector<KernelCallRecord> m_journal;
    int m_recordingDepth = 0;
    struct Failure {
        FailMode mode = FailMode::Always;
        int succeedFirst = 0;
    };
    std::map<std::string, Failure, std::less<>> m_failures;
    int m_lockDepth = 0;
    MessagePresenter m_presenter;
    std::vector<ShownMessage> m_messages;
    std::vector<std::function<void()>> m_resets;
};

// Registers an area's reset at static initialisation: `static const ResetRegistration r{...};`
struct ResetRegistration {
    explicit ResetRegistration(std::function<void()> reset) {
        KernelState::instance().registerReset(std::move(reset));
    }
};

// Copies a text into a kernel-allocated string that callers free with QelUtilStringDealloc.
char* allocKernelString(const std::string& text);

} // namespace qelmar::standin
