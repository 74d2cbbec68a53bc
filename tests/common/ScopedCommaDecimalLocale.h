#pragma once

#include <locale>
#include <string>

namespace testsupport {

// Puts a global C++ locale with decimal comma and dot grouping in place for a scope, as a host
// application that follows the user's regional settings may do, and restores the previous one
// however the test ends.
class ScopedCommaDecimalLocale {
public:
    ScopedCommaDecimalLocale()
        : m_previous(std::locale::global(std::locale(std::locale::classic(), new CommaPunct))) {}
    ScopedCommaDecimalLocale(const ScopedCommaDecimalLocale&) = delete;
    ScopedCommaDecimalLocale& operator=(const ScopedCommaDecimalLocale&) = delete;
    ~ScopedCommaDecimalLocale() { std::locale::global(m_previous); }

private:
    struct CommaPunct : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    std::locale m_previous;
};

} // namespace testsupport
