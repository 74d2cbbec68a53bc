#include "host/KernelLock.h"

#include "kernel/KernelState.h"

using qelmar::standin::KernelState;

// Every journalled call records whether the lock was held, so taking and releasing the lock are
// not journalled themselves; nor can a test switch them off, which would leave the lock
// unbalanced for every later call rather than simulate a kernel refusal.
void QelAppLockStart(int) {
    KernelState::instance().lock();
}

void QelAppLockFinish() {
    KernelState::instance().unlock();
}

bool QelAppLockIsHeld() {
    if (!KernelState::instance().beginCall("QelAppLockIsHeld"))
        return false;
    return KernelState::instance().isLocked();
}
