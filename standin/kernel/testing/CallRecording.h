#pragma once

namespace qelmar::standin::testing {

// Keeps the kernel's call journal while it lives. The kernel records nothing otherwise, so the
// demo and long loads do not pile up records nobody reads; a test that inspects the journal
// holds one of these. The outermost one starts with an empty journal and leaves one behind.
class CallRecording {
public:
    CallRecording();
    CallRecording(const CallRecording&) = delete;
    CallRecording& operator=(const CallRecording&) = delete;
    ~CallRecording();
};

} // namespace qelmar::standin::testing
