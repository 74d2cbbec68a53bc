#include "host/KernelMessages.h"

#include "kernel/KernelState.h"

using qelmar::standin::KernelState;

bool QelUtilDialogMessageBox(const char* text, int type) {
    auto& kernel = KernelState::instance();
    if (!kernel.beginCall("QelUtilDialogMessageBox"))
        return false;
    return kernel.presentMessage(text ? text : "", type);
}

void QelUtilDialogErrMsg(const char* text) {
    auto& kernel = KernelState::instance();
    if (!kernel.beginCall("QelUtilDialogErrMsg"))
        return;
    kernel.presentMessage(text ? text : "", 0);
}
