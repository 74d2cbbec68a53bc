#pragma once

#include "host/KernelHandle.h"
#include "host/KernelStrings.h"

#include <string>

namespace qelmar::sdk {

// Owns a string the kernel allocated and frees it with the kernel on every way out of a scope.
// Pass address() to a kernel call that returns its string through an out-parameter, or adopt
// the string a call returns.
class KernelString {
public:
    KernelString() = default;
    explicit KernelString(char* adopted) noexcept
        : m_string(adopted) {}

    // For a kernel call that hands out a new string: frees the one held before.
    char** address() noexcept { return m_string.address(); }

    bool isNull() const noexcept { return m_string.isNull(); }
    bool isEmpty() const noexcept { return isNull() || !*m_string.get(); }
    // Never null: an absent string reads as empty.
    const char* c_str() const noexcept { return isNull() ? "" : m_string.get(); }
    std::string str() const { return c_str(); }

    void reset() noexcept { m_string.reset(); }

private:
    KernelHandle<char, QelUtilStringDealloc> m_string;
};

} // namespace qelmar::sdk
