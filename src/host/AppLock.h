#pragma once

namespace qelmar::sdk {

// Holds the application lock for its scope. Every kernel operation started from a dialog runs
// inside one; the value says whether the kernel records the operation implicitly in a macro.
class AppLock {
public:
    explicit AppLock(int implicitMacroRecord = 0);
    AppLock(const AppLock&) = delete;
    AppLock& operator=(const AppLock&) = delete;
    ~AppLock();
};

} // namespace qelmar::sdk
