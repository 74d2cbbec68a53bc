#pragma once

// Internal to the stand-in kernel and its testing controls: the bookkeeping every kernel call
// goes through (call journal, failure switches) and the way messages reach the user.

#include <functional>
#include <map>
#include <string>
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

    // Every kernel call starts here: it is journalled, and false means the call must fail
    // because a test switched it off.
    bool beginCall(const char* call);

    void failCall(const std::string& call, FailMode mode);
    void clearFailures();
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
    std::map<std::string, FailMode> m_failures;
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
