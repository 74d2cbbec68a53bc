#include "host/AppLock.h"

#include "host/KernelLock.h"

namespace qelmar::sdk {

AppLock::AppLock(int implicitMacroRecord) {
    QelAppLockStart(implicitMacroRecord);
}

AppLock::~AppLock() {
    QelAppLockFinish();
}

} // namespace qelmar::sdk
