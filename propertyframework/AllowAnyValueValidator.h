#pragma once

#include "propertyframework/ValidatorInterface.h"

namespace qelmar {

template <typename T> class AllowAnyValueValidator final : public ValidatorInterface<T> {
public:
    ValidationResult validate(const T&) const override { return {}; }

    // One instance per type is enough: the validator has no state.
    static const ValidatorPtr<T>& instance() {
        static const ValidatorPtr<T> validator = std::make_shared<AllowAnyValueValidator<T>>();
        return validator;
    }
};

} // namespace qelmar
