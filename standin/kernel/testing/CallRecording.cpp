#include "kernel/testing/CallRecording.h"

#include "kernel/KernelState.h"

namespace qelmar::standin::testing {

CallRecording::CallRecording() {
    if (!KernelState::instance().isRecording())
        KernelState::instance().clearJournal();
    KernelState::instance().startRecording();
}

CallRecording::~CallRecording() {
    KernelState::instance().stopRecording();
}

} // namespace qelmar::standin::testing
