#pragma once

namespace qelmar::sdk {

// Holds the application lock for its scope. Every kernel operation started from a dialog runs
// inside one; the value says whether the kernel records the operation implicitly in a macro.
class AppLock {
public:
    enum ImplicitMacroRecord_e { NoImplicitMacroRecord = 0, ImplicitMacroRecord = 1 };

    explicit AppLock(int implicitMacroRecord = NoImplicitMacroRecord);
    AppLock(const AppLock&) = delete;
    AppLock& operator=(const AppLock&) = delete;
    ~AppLock();
};

} // namespace qelmar::sdk
