#pragma once

#include "propertyframework/NumberText.h"
#include "propertyframework/ValidatorInterface.h"

#include <cstdint>
#include <string>

namespace qelmar {

// Accepts values between two bounds. Each side is inclusive, exclusive or open; the message of
// a rejection names both bounds whatever their kinds, so the user sees the whole range.
template <typename T> class BoundedValueValidator : public ValidatorInterface<T> {
public:
    enum BoundKind : std::int32_t { Inclusive = 0, Exclusive = 1, Unbounded = 2 };

    BoundedValueValidator(T lowerBound, T upperBound)
        : BoundedValueValidator(lowerBound, upperBound, Inclusive, Inclusive) {}

    BoundedValueValidator(T lowerBound, T upperBound, std::int32_t lowerKind, std::int32_t upperKind)
        : m_lowerBound(lowerBound)
        , m_upperBound(upperBound)
        , m_lowerKind(lowerKind)
        , m_upperKind(upperKind) {}

    // Every comparison with NaN is false, so a double NaN passes both sides.
    ValidationResult validate(const T& value) const override {
        ValidationResult result;
        if (rejectedByLowerBound(value) || rejectedByUpperBound(value))
            result.setErrorString(message());
        return result;
    }

    T lowerBound() const noexcept { return m_lowerBound; }
    T upperBound() const noexcept { return m_upperBound; }
    std::int32_t lowerKind() const noexcept { return m_lowerKind; }
    std::int32_t upperKind() const noexcept { return m_upperKind; }

private:
    bool rejectedByLowerBound(const T& value) const {
        switch (m_lowerKind) {
        case Inclusive:
            return value < m_lowerBound;
        case Exclusive:
            return value <= m_lowerBound;
        default:
            return false;
        }
    }

    bool rejectedByUpperBound(const T& value) const {
        switch (m_upperKind) {
        case Inclusive:
            return value > m_upperBound;
        case Exclusive:
            return value >= m_upperBound;
        default:
            return false;
        }
    }

    std::string message() const {
        return "The value must be greater than " +
               std::string(m_lowerKind == Inclusive ? "or equal to " : "") + formatNumber(m_lowerBound) +
               " and less than " + (m_upperKind == Inclusive ? "or equal to " : "") +
               formatNumber(m_upperBound) + ".";
    }

    T m_lowerBound;
    T m_upperBound;
    std::int32_t m_lowerKind;
    std::int32_t m_upperKind;
};

} // namespace qelmar
