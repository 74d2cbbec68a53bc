#pragma once

#include "host/KernelStrings.h"

#include <string>
#include <utility>

namespace qelmar::sdk {

// Owns a string the kernel allocated and frees it with the kernel on every way out of a scope.
// Pass address() to a kernel call that returns its string through an out-parameter, or adopt
// the string a call returns.
class KernelString {
public:
    KernelString() = default;
    explicit KernelString(char* adopted) noexcept
        : m_string(adopted) {}
    KernelString(KernelString&& other) noexcept
        : m_string(std::exchange(other.m_string, nullptr)) {}
    KernelString& operator=(KernelString&& other) noexcept {
        if (this != &other) {
            reset();
            m_string = std::exchange(other.m_string, nullptr);
        }
        return *this;
    }
    KernelString(const KernelString&) = delete;
    KernelString& operator=(const KernelString&) = delete;
    ~KernelString() { reset(); }

    // For a kernel call that hands out a new string: frees the one held before.
    char** address() noexcept {
        reset();
        return &m_string;
    }

    bool isNull() const noexcept { return m_string == nullptr; }
    bool isEmpty() const noexcept { return !m_string || !*m_string; }
    // Never null: an absent string reads as empty.
    const char* c_str() const noexcept { return m_string ? m_string : ""; }
    std::string str() const { return c_str(); }

    void reset() noexcept {
        if (m_string)
            QelUtilStringDealloc(&m_string);
        m_string = nullptr;
    }

private:
    char* m_string = nullptr;
};

} // namespace qelmar::sdk
