#pragma once

#include <exception>
#include <string>

namespace qelmar {

// Root of every exception the framework and the library raise. The flag says whether the
// message is meant for the user (shown as it is) rather than for a developer.
class ExceptionBase : public std::exception {
public:
    ExceptionBase() = default;
    explicit ExceptionBase(std::string message, bool forUser = false)
        : m_message(std::move(message))
        , m_forUser(forUser) {}

    const std::string& message() const noexcept { return m_message; }
    bool isForUser() const noexcept { return m_forUser; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
    bool m_forUser = false;
};

} // namespace qelmar
