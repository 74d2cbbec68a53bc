#pragma once

#include "propertyframework/ValidationResult.h"

#include <memory>

namespace qelmar {

// Validators are shared between properties and hold no mutable state.
template <typename T> class ValidatorInterface {
public:
    virtual ValidationResult validate(const T& value) const = 0;
    virtual ~ValidatorInterface() = default;
};

template <typename T> using ValidatorPtr = std::shared_ptr<const ValidatorInterface<T>>;

} // namespace qelmar
