#include "host/KernelLock.h"

#include "kernel/KernelState.h"

using qelmar::standin::KernelState;

void QelAppLockStart(int) {
    KernelState::instance().lock();
}

void QelAppLockFinish() {
    KernelState::instance().unlock();
}

bool QelAppLockIsHeld() {
    return KernelState::instance().isLocked();
}
