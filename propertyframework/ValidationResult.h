#pragma once

#include <string>

namespace qelmar {

// Outcome of a validation: valid until an error text is set.
class ValidationResult {
public:
    ValidationResult() = default;

    bool isValid() const noexcept { return !m_invalid; }
    const std::string& errorString() const noexcept { return m_errorString; }
    void setErrorString(std::string errorString) {
        m_errorString = std::move(errorString);
        m_invalid = true;
    }

private:
    std::string m_errorString;
    bool m_invalid = false;
};

} // namespace qelmar
