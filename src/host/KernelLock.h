#pragma once

// The application lock, taken by the framework's AppLock for the scope of a kernel operation
// started from a dialog.

void QelAppLockStart(int implicitMacroRecord);
void QelAppLockFinish();
bool QelAppLockIsHeld();
