#include "host/KernelErrors.h"

#include "kernel/KernelState.h"
#include "kernel/LastError.h"

namespace qelmar::standin {

namespace {

std::string& storedMessage() {
    static std::string message;
    return message;
}

const ResetRegistration resetLastError{[] { storedMessage().clear(); }};

} // namespace

void setLastErrorMessage(std::string message) {
    storedMessage() = std::move(message);
}

void clearLastErrorMessage() {
    storedMessage().clear();
}

const std::string& lastErrorMessage() {
    return storedMessage();
}

} // namespace qelmar::standin

char* QelUtilGetLastErrorMessage() {
    if (!qelmar::standin::KernelState::instance().beginCall("QelUtilGetLastErrorMessage"))
        return nullptr;
    return qelmar::standin::allocKernelString(qelmar::standin::lastErrorMessage());
}
